#include "rtf/RtfDictionaryReader.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "rtf/CatSystem.h"
#include "rtf/ControlWords.h"
#include "rtf/RtfParseLoop.h"
#include "rtf/StyleNames.h"
#include "rtf/TranslationCode.h"
#include "support/ByteOrder.h"
#include "support/CharClass.h"

namespace lexaport {
namespace {

using rtfwords::CreWordIndex;
using rtfwords::RtfWordIndex;

bool IsFullStop(std::uint8_t c) { return c == '!' || c == '.' || c == ':' || c == '?'; }

// 1-9 as given, anything else taken as 2.
std::uint8_t OneToNineOrTwo(std::int32_t p) { return static_cast<std::uint8_t>(p >= 1 && p <= 9 ? p : 2); }

// Hastra writes trailing spaces after punctuation that the writer adds itself; keep only the
// spaces that belong to the text.
std::size_t TrimHastraTrailingSpace(const std::uint8_t* t, std::size_t n) {
  if (n <= 1 || t[n - 1] != ' ') return n;
  if (n > 2 && t[n - 2] == ' ') {
    const std::uint8_t before = t[n - 3];
    const bool quoteAfterStop = (before == '"' || before == '\'') && n > 3 && IsFullStop(t[n - 4]);
    return IsFullStop(before) || quoteAfterStop ? n - 1 : n;
  }
  const std::uint8_t before = t[n - 2];
  if (!IsPunctuation(before) || IsFullStop(before)) return n;
  if (before == '"' || before == '\'') return n > 2 && (t[n - 3] == ',' || t[n - 3] == ';') ? n - 1 : n;
  return n - 1;
}

}  // namespace

void DictionaryReaderState::ClearDeadState() {
  std::fill(strokeText_.begin() + static_cast<std::ptrdiff_t>(strokeTextLength_), strokeText_.end(), '\0');
  if (!strokeKeysKnown_) strokeKeys_ = KeySet{};
  std::fill(csiText_.begin() + static_cast<std::ptrdiff_t>(csiLength_), csiText_.end(), '\0');
  aiData_.Clear();
}

CRtfDictionaryReader::CRtfDictionaryReader(std::uint32_t today) : today_(today) {}

DictionaryParseState CRtfDictionaryReader::SaveParseState() const {
  DictionaryParseState state{ReaderState(), static_cast<const DictionaryReaderState&>(*this)};
  state.reader.ClearDeadState();
  state.dictionary.ClearDeadState();
  return state;
}

void CRtfDictionaryReader::AdoptParseState(const DictionaryParseState& state) {
  AdoptReaderState(state.reader);
  static_cast<DictionaryReaderState&>(*this) = state.dictionary;
}

int CRtfDictionaryReader::ParseEntryOpening() {
  static constexpr std::uint8_t kOpening[] = "{\\*\\cxs ";
  return Parse(kOpening);
}

void CRtfDictionaryReader::NumberEntriesFrom(std::uint32_t first) {
  std::uint8_t* const data = entries_.Data();
  const std::uint32_t* const offsets = offsets_.Data();
  for (std::size_t i = 0; i < offsets_.Size(); ++i) {
    std::uint8_t* number = data + offsets[i] + entry::kNumber;
    StoreU32(number, LoadU32(number) + first);
  }
}

bool CRtfDictionaryReader::PrepareBuffers(std::size_t fileLength) {
  if (fileLength > SIZE_MAX / 4) return false;
  const std::size_t work = ((fileLength + 1) & ~std::size_t{0xFFFF}) + 0x10000;
  // Records of short entries are larger than their text (a dictionary of short words takes
  // about 1.2 to 1.4 times its file length) and an entry takes at least ten bytes of text. The
  // room is reserved, not touched, so a generous guess costs no memory, where growing the areas
  // while another reader runs would: the kernel interrupts that reader's core to drop the old
  // mapping.
  const std::size_t entries = fileLength + fileLength / 2 + 0x1000;
  const std::size_t offsets = fileLength / 16 + 2048;
  return Work().Reserve(work) && entries_.Reserve(entries) && offsets_.Reserve(offsets);
}

int CRtfDictionaryReader::Parse(const std::uint8_t* zeroTerminatedText) {
  if (OutOfMemory()) return kOutOfMemory;
  return ParseText(*this, zeroTerminatedText);
}

int CRtfDictionaryReader::ReadDictionary(const std::uint8_t* zeroTerminatedText) {
  const int result = Parse(zeroTerminatedText);
  if (result < 0) return result;
  if (WorkLength() != 0) FinishEntry();
  return OutOfMemory() ? kOutOfMemory : 0;
}

void CRtfDictionaryReader::StartEntry() {
  FinishEntry();
  notColloquy_ = true;
  strokeCount_ = 0;
  Work().Clear();
  strokeTextLength_ = 0;
  strokeKeysKnown_ = false;
  Current().destination = rtfdest::kSteno;
  collecting_ = true;
  headerPosition_ = -1;  // a header code block never spans two entries
}

void CRtfDictionaryReader::FinishEntry() {
  const std::size_t k = strokeCount_;
  const std::size_t total = Work().Size();
  if (k == 0 || total <= 4 * k) return;         // no outline, or no translation
  if (k > entry::kMaxStrokes) return;           // the stroke count is one byte
  if (!Work().Reserve(total + 1)) {             // the suffix conversion may add a byte
    SetOutOfMemory();
    return;
  }
  std::uint8_t* const t = Work().Data() + 4 * k;
  std::size_t n = total - 4 * k;
  const bool hastra = CatSystemCode() == catsystem::kHastra;

  if (t[0] == code::kAttach) {
    n = ConvertSuffix(t, n);
    if (t[0] == code::kAttach && hastra && n > 1) {
      // Hastra attaches punctuation explicitly; the writer attaches it anyway.
      const std::uint8_t second = t[1];
      const bool attachesPunctuation = second == code::kHardSpace || second == '!' || second == ',' ||
                                       second == '.' || second == ':' || second == ';' || second == '?' ||
                                       (second == '-' && n > 2 && t[2] != '-');
      if (attachesPunctuation) {
        std::memmove(t, t + 1, n - 1);
        --n;
      }
    }
  } else if (hastra) {
    if (t[0] == '+') {
      t[0] = code::kAttach;
      n = ConvertSuffix(t, n);
    }
    n = TrimHastraTrailingSpace(t, n);
  }
  Work().SetSize(4 * k + n);

  if (n > static_cast<std::size_t>(entry::kMaxTranslationLength)) return;  // no room in the length field

  const std::size_t size = EntryRecordSize(k, n);
  if (!entries_.EnsureRoom(size) || !offsets_.EnsureRoom(1)) {
    SetOutOfMemory();
    return;
  }
  const std::size_t offset = entries_.Size();
  std::uint8_t* record = entries_.Data() + offset;
  const int built = BuildEntryRecord(record, Work().Data(), static_cast<int>(k), t, static_cast<int>(n),
                                     EntryCount(), today_);
  offsets_.Push(static_cast<std::uint32_t>(offset));
  entries_.SetSize(offset + static_cast<std::size_t>(built));
}

void CRtfDictionaryReader::ProcessStroke() {
  // The stroke text stays after a group's close, and a later close parses it again: the keys
  // known serve once.
  if (std::exchange(strokeKeysKnown_, false)) {
    AddKeySet(strokeKeys_);
    return;
  }
  AddStroke(std::string_view(strokeText_.data(), strokeTextLength_));
}

void CRtfDictionaryReader::AddStroke(std::string_view text) {
  KeySet keys{};
  if (StrokeParser().Parse(text, keys)) AddKeySet(keys);
}

void CRtfDictionaryReader::AbandonOutline() {
  const std::size_t keySetBytes = 4 * strokeCount_;
  Work().SetSize(Work().Size() > keySetBytes ? Work().Size() - keySetBytes : 0);
  strokeCount_ = 0;
  collecting_ = false;
  strokeTextLength_ = 0;
  strokeKeysKnown_ = false;
}

void CRtfDictionaryReader::StenoByte(std::uint8_t c) {
  if (IsStrokeSeparator(c)) {
    ProcessStroke();
    strokeTextLength_ = 0;
    return;
  }
  if (!collecting_) return;
  if (c != '-' && !IsStenoLetter(c)) {
    // Not a key of the layout (a lower-case letter, a space, ...): the whole entry is dropped.
    AbandonOutline();
    return;
  }
  if (strokeTextLength_ < kStrokeTextMax) strokeText_[strokeTextLength_++] = static_cast<char>(c);
  strokeKeysKnown_ = false;
}

void CRtfDictionaryReader::PutChar(int value) {
  const auto c = static_cast<std::uint8_t>(value);
  const RtfGroupRecord& group = CurrentGroup();
  switch (group.destination) {
    case rtfdest::kBody:
      if (group.skip == 0) AppendWork(c);
      return;
    case rtfdest::kSteno: StenoByte(c); return;
    case rtfdest::kInfo: return;
    case rtfdest::kCsi:
      if (csiLength_ < kCsiTextMax) csiText_[csiLength_++] = static_cast<char>(c);
      return;
    case rtfdest::kAiData:
      if (!aiData_.Push(c)) SetOutOfMemory();
      return;
    default: CRtfReader::PutChar(value); return;
  }
}

void CRtfDictionaryReader::PutText(const std::uint8_t* bytes, std::size_t count) {
  const RtfGroupRecord& group = CurrentGroup();
  if (group.destination == rtfdest::kBody) {
    if (group.skip == 0) AppendWork(bytes, count);
    return;
  }
  if (group.destination == rtfdest::kSteno) {
    // An outline arrives as one run ("STKPW/-T"): no destination switch per byte.
    for (std::size_t i = 0; i < count; ++i) StenoByte(bytes[i]);
    return;
  }
  for (std::size_t i = 0; i < count; ++i) PutChar(bytes[i]);
}

const std::uint8_t* CRtfDictionaryReader::ReadOutline(const std::uint8_t* text) {
  if (CurrentGroup().destination != rtfdest::kSteno || !collecting_) return text;
  const strokeparse::RunTable& runTable = OutlineRunTable();
  const CStrokeParser& parser = StrokeParser();
  // Whether a '}' here closes the steno group, which parses the stroke text, right after this
  // returns. A '}' that closes a group never opened does not.
  const bool braceEndsGroup = DepthOverflow() == 0 && Depth() > 0;
  for (;;) {
    // One stroke's letters (nothing here stops collecting), read with the stroke parser's tables
    // as they go by, then what ends them.
    const std::uint8_t* letters = text;
    KeySet keys;
    const bool parsed = parser.ParseRun(text, runTable, keys);
    const auto length = static_cast<std::size_t>(text - letters);
    if (strokeTextLength_ == 0 && IsStrokeSeparator(*text)) {
      // The whole stroke lies here: it is parsed where it stands, as far as it would be copied.
      if (parsed && length <= kStrokeTextMax) {
        AddKeySet(keys);
      } else {
        AddStroke(std::string_view(reinterpret_cast<const char*>(letters), std::min(length, kStrokeTextMax)));
      }
      ++text;
      continue;
    }
    const std::size_t kept = std::min(length, kStrokeTextMax - strokeTextLength_);
    std::memcpy(strokeText_.data() + strokeTextLength_, letters, kept);
    strokeTextLength_ += kept;
    if (!IsStrokeSeparator(*text)) {
      // The group's close parses the stroke text next: it finds the keys read here.
      if (parsed && *text == '}' && braceEndsGroup && strokeTextLength_ == length) {
        strokeKeys_ = keys;
        strokeKeysKnown_ = true;
      }
      return text;
    }
    ProcessStroke();
    strokeTextLength_ = 0;
    ++text;
  }
}

int CRtfDictionaryReader::FlushOutput() {
  // An entry with key sets is kept whole, however long. Without key sets nothing in the work
  // buffer can become a record, so its start can go.
  // Discarding 4096 bytes at a time until at most 4096 remain, in one move (a run of text can
  // arrive in one piece).
  if (strokeCount_ != 0 || Work().Size() <= kFlushThreshold) return 0;
  const std::size_t drop = (Work().Size() - 1) / kFlushThreshold * kFlushThreshold;
  Work().DropFront(drop);
  headerPosition_ = headerPosition_ >= static_cast<std::ptrdiff_t>(drop)
                        ? headerPosition_ - static_cast<std::ptrdiff_t>(drop)
                        : -1;
  return 0;
}

void CRtfDictionaryReader::CloseHeaderBlock() {
  if (headerPosition_ < 0) return;
  const auto position = static_cast<std::size_t>(headerPosition_);
  if (position + 4 > Work().Size()) return;
  StoreU32(Work().Data() + position, static_cast<std::uint32_t>(Work().Size() - position - 4));
}

void CRtfDictionaryReader::WriteConflict() {
  std::array<std::uint8_t, kConflictMax + 4> out;
  const std::size_t n = ConflictOutput(ConflictBytes(), ConflictLength(), ConflictChoices(), out.data());
  PutText(out.data(), n);
}

void CRtfDictionaryReader::EndGroup() {
  if (Depth() == 0) return;
  const RtfGroupRecord closed = CurrentGroup();
  const RtfGroupRecord& enclosing = Enclosing();
  if (closed.destination == rtfdest::kStyleSheet && enclosing.destination != rtfdest::kStyleSheet) {
    ClassifyStyles();
  }
  if (closed.destination == rtfdest::kBody && closed.subDestination == rtfsub::kHeaderBlock &&
      enclosing.subDestination != rtfsub::kHeaderBlock) {
    CloseHeaderBlock();
  }

  CRtfReader::EndGroup();

  if (closed.destination == rtfdest::kConflict && CurrentGroup().destination != rtfdest::kConflict) {
    WriteConflict();
  }
  if (closed.destination == rtfdest::kSteno) {
    // The translation follows the steno group as plain body text.
    Current().destination = rtfdest::kBody;
    Current().attributes = 0;
    speakerMark_ = false;
  }
  if (closed.destination == rtfdest::kCsi) {
    RunCsiCommands();
    csiLength_ = 0;
  }
}

void CRtfDictionaryReader::ClassifyStyles() {
  for (int n = 0; n < kStyleCount; ++n) {
    RtfStyle& style = Style(n);
    if (style.name.Empty()) continue;
    const StyleClassification result = ClassifyStyleName(style.name.Data(), style.name.Size());
    if (result.matched) style.typeLetter = result.letter;
  }
}

void CRtfDictionaryReader::RunCsiCommands() {
  std::array<std::uint8_t, kCsiOutputMax> out;
  const std::size_t n = TranslateCsiText(std::string_view(csiText_.data(), csiLength_), speakerMark_, out.data());
  PutText(out.data(), n);
}

std::uint8_t* CRtfDictionaryReader::TrailingParagraphCode() {
  // The key sets in front of the translation can hold the same byte values; taking them for a
  // paragraph code would rewrite the outline.
  const std::size_t translationStart = 4 * strokeCount_;
  const std::size_t n = Work().Size();
  if (n < translationStart + 3) return nullptr;
  std::uint8_t* paragraph = Work().Data() + (n - 3);
  return paragraph[0] == code::kParagraph && paragraph[2] == 0 ? paragraph : nullptr;
}

bool CRtfDictionaryReader::EndsWith(const std::uint8_t* data, std::size_t length, std::uint8_t a,
                                    std::uint8_t b) const {
  return length >= 2 && data[length - 2] == a && data[length - 1] == b;
}

int CRtfDictionaryReader::HandleCreWord(int index) {
  RtfGroupRecord& group = Current();
  const std::int32_t p = Parameter();
  switch (index) {
    case CreWordIndex("cxs"): StartEntry(); break;
    case CreWordIndex("cxa"):
      // Speaker identification of a colloquy paragraph stays; elsewhere the group is dropped.
      if (notColloquy_) group.destination = rtfdest::kDropped;
      break;
    case CreWordIndex("cxaidata"):
      group.destination = rtfdest::kAiData;
      aiData_.Clear();
      break;
    case CreWordIndex("cxcsi"):
      group.destination = rtfdest::kCsi;
      group.skip = 0;
      csiLength_ = 0;
      break;
    case CreWordIndex("cxdict"):
    case CreWordIndex("cxff"):
    case CreWordIndex("cxnotes"):
    case CreWordIndex("cxtranscript"): break;
    case CreWordIndex("cxds"): {
      // No attach code right after a suffix or prefix command: those attach already. Outside a
      // conflict only the translation counts, not the key sets in front of it.
      const bool inConflict = group.destination == rtfdest::kConflict;
      const std::size_t translationStart = inConflict ? 0 : std::min(4 * strokeCount_, Work().Size());
      const std::uint8_t* data = inConflict ? ConflictBytes() : Work().Data() + translationStart;
      const std::size_t length = inConflict ? ConflictLength() : Work().Size() - translationStart;
      if (!EndsWith(data, length, 16, 129) && !EndsWith(data, length, 16, 1)) Emit({code::kAttach});
      break;
    }
    case CreWordIndex("cxzqdel"): Emit({16, 12}); break;
    case CreWordIndex("cxzqautoconf"): Emit({16, 7}); break;
    case CreWordIndex("cxzqbench"):
      if (HasParameter()) return CRtfReader::HandleCreWord(index);
      Emit({16, 13});
      break;
    case CreWordIndex("cxzqcanceldlgs"): Emit({16, 35}); break;
    case CreWordIndex("cxzqcappre"):
      if (p >= 1 && p <= 9) Emit({16, static_cast<std::uint8_t>(64 + p)});
      break;
    case CreWordIndex("cxzqcapprev"): Emit({16, static_cast<std::uint8_t>(64 + OneToNineOrTwo(p))}); break;
    case CreWordIndex("cxzqcaptionperiod"): Emit({16, 33}); break;
    case CreWordIndex("cxzqconnum"):
      if (p >= 1 && p <= 9) Emit({16, static_cast<std::uint8_t>(48 + p)});
      break;
    case CreWordIndex("cxzqdef"): Emit({16, 3}); break;
    case CreWordIndex("cxzqdefinewithls"): Emit({16, static_cast<std::uint8_t>(104 + OneToNineOrTwo(p))}); break;
    case CreWordIndex("cxzqfollowrt"): Emit({16, 9}); break;
    case CreWordIndex("cxzqheader"):
      group.skip = 0;
      Emit({code::kBlock, code::kHeaderBlock});
      headerPosition_ = static_cast<std::ptrdiff_t>(Work().Size());
      Emit({0, 0, 0, 0, static_cast<std::uint8_t>(static_cast<std::uint32_t>(p) & 0x0F)});
      Current().subDestination = rtfsub::kHeaderBlock;
      break;
    case CreWordIndex("cxzqlsignoreuntran"): Emit({16, 39}); break;
    case CreWordIndex("cxzqnoautoconvert"): Emit({17, 28, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqnumcvt"): Emit({16, 11}); break;
    case CreWordIndex("cxzqnumtrg"): Emit({16, 139}); break;
    case CreWordIndex("cxzqpausea"): Emit({16, 6}); break;
    case CreWordIndex("cxzqphonetic"): Emit({16, 8}); break;
    case CreWordIndex("cxzqpre"): Emit({16, 1}); break;
    case CreWordIndex("cxzqprefixnum"): Emit({16, 5}); break;
    case CreWordIndex("cxzqreplacewithls"): Emit({16, static_cast<std::uint8_t>(96 + OneToNineOrTwo(p))}); break;
    case CreWordIndex("cxzqresumea"): Emit({16, 134}); break;
    case CreWordIndex("cxzqscandef"): Emit({16, 4}); break;
    case CreWordIndex("cxzqsetjobendtime"): Emit({16, 38}); break;
    case CreWordIndex("cxzqsetjobstarttime"): Emit({16, 37}); break;
    case CreWordIndex("cxzqspeakerdef"): Emit({16, 36}); break;
    case CreWordIndex("cxzqstitch"):
      Emit({16, static_cast<std::uint8_t>(!HasParameter() || p != 0 ? 14 : 142)});
      break;
    case CreWordIndex("cxzqstoptimer"): Emit({16, 143}); break;
    case CreWordIndex("cxzqsuf"): Emit({16, 129}); break;
    case CreWordIndex("cxzqta"):
      if (group.destination == rtfdest::kStyleSheet && CurrentStyle() != kNoStyle) {
        Style(CurrentStyle()).paragraphValue = p;
      }
      break;
    case CreWordIndex("cxzqtimer"): Emit({16, 15}); break;
    case CreWordIndex("cxzquserdef"):
      // Only right after a paragraph of the default style: the user style number goes into it.
      if (std::uint8_t* paragraph = TrailingParagraphCode();
          paragraph != nullptr && paragraph[1] == kDefaultParagraphCode) {
        paragraph[2] = static_cast<std::uint8_t>((static_cast<std::uint32_t>(p) - 1u) & 0xFF);
      }
      break;
    default: return CRtfReader::HandleCreWord(index);
  }
  return 0;
}

int CRtfDictionaryReader::HandleRtfWord(int index) {
  RtfGroupRecord& group = Current();
  const bool inStyleSheet = group.destination == rtfdest::kStyleSheet;
  const std::int32_t p = Parameter();
  const bool styleValid = CurrentStyle() != kNoStyle;
  switch (index) {
    case RtfWordIndex("s"):
      if (p < 0 || p >= kStyleCount) {
        // No such style. Inside the stylesheet the name that follows belongs to no style.
        if (inStyleSheet) SetCurrentStyle(kNoStyle);
        break;
      }
      if (inStyleSheet) {
        SetCurrentStyle(p);
      } else {
        const std::uint8_t letter = Style(p).typeLetter;
        Emit({code::kParagraph, ParagraphCode(letter), 0});
        notColloquy_ = letter != styletype::kColloquy;
      }
      break;
    case RtfWordIndex("sbasedon"):
      if (inStyleSheet && styleValid && p >= 0 && p < kStyleCount && p != CurrentStyle()) {
        const RtfStyle& base = Style(p);
        RtfStyle& style = Style(CurrentStyle());
        style.typeLetter = base.typeLetter;
        style.firstIndent = base.firstIndent;
        style.fontSize = base.fontSize;
        style.leftIndent = base.leftIndent;
        style.rightIndent = base.rightIndent;
        style.paragraphValue = base.paragraphValue;
      }
      break;
    case RtfWordIndex("fs"):
      if (!inStyleSheet) return CRtfReader::HandleRtfWord(index);
      if (styleValid) Style(CurrentStyle()).fontSize = p;
      break;
    case RtfWordIndex("fi"):
      if (inStyleSheet && styleValid) Style(CurrentStyle()).firstIndent = p;
      break;
    case RtfWordIndex("li"):
      if (inStyleSheet && styleValid) Style(CurrentStyle()).leftIndent = p;
      break;
    case RtfWordIndex("ri"):
      if (inStyleSheet && styleValid) Style(CurrentStyle()).rightIndent = p;
      break;
    case RtfWordIndex("qc"): {
      // A centred Normal paragraph is one paragraph code, not two.
      std::uint8_t* paragraph = TrailingParagraphCode();
      if (group.destination == rtfdest::kBody && paragraph != nullptr &&
          paragraph[1] == ParagraphCode(styletype::kNormal)) {
        paragraph[1] = kCentredParagraphCode;
        break;
      }
      return CRtfReader::HandleRtfWord(index);
    }
    default: return CRtfReader::HandleRtfWord(index);
  }
  return 0;
}

void CRtfDictionaryReader::ResetState() {
  CRtfReader::ResetState();
  strokeTextLength_ = 0;
  strokeKeysKnown_ = false;
  strokeCount_ = 0;
  collecting_ = false;
  entries_.Clear();
  offsets_.Clear();
  headerPosition_ = -1;
  csiLength_ = 0;
  speakerMark_ = false;
}

}  // namespace lexaport
