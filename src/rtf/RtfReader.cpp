#include "rtf/RtfReader.h"

#include <algorithm>
#include <cstring>

#include "rtf/RtfParseLoop.h"
#include "rtf/StyleNames.h"
#include "rtf/TranslationCode.h"

namespace lexaport {
namespace {

using rtfwords::CreWordIndex;
using rtfwords::RtfWordIndex;

// A value as two bytes: v mod 256, then v / 256. The quotient is a division truncated toward zero
// (as C divides), so for a negative value it is not the high byte of its two's complement: -10
// gives 0xF6 and 0, not 0xF6 and 0xFF.
std::uint8_t LowByte(std::int32_t v) { return static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) & 0xFF); }
std::uint8_t QuotientByte(std::int32_t v) { return LowByte(v / 256); }

}  // namespace

void RtfReaderState::ClearDeadState() {
  // BeginGroup writes a record before the depth reaches it.
  for (std::size_t d = static_cast<std::size_t>(depth_) + 1; d < records_.size(); ++d) records_[d] = RtfGroupRecord{};
  // These buffers are read only up to their lengths.
  std::fill(word_.begin() + static_cast<std::ptrdiff_t>(wordLength_), word_.end(), '\0');
  std::fill(catSystemText_.begin() + static_cast<std::ptrdiff_t>(catSystemTextLength_), catSystemText_.end(), 0);
  std::fill(conflict_.begin() + static_cast<std::ptrdiff_t>(conflictLength_), conflict_.end(), 0);
  // The value of a \'hh escape is read only while one is pending; \' starts it at 0.
  if (hexCount_ == 0) hexValue_ = 0;

  // A group takes a destination from the word that sets it or from the group it is opened in.
  // With no open group collecting a conflict or time code, the next one that does begins with
  // \cxconf (length and choices to 0) or \cxt / \cxe (time code and field to 0); until then
  // only \cxc touches the choices, by counting up from a value that will be replaced.
  bool conflictOpen = false;
  bool timeCodeOpen = false;
  for (int d = 0; d <= depth_; ++d) {
    const std::uint32_t destination = records_[static_cast<std::size_t>(d)].destination;
    conflictOpen = conflictOpen || destination == rtfdest::kConflict;
    timeCodeOpen = timeCodeOpen || destination == rtfdest::kTimeCode || destination == rtfdest::kTimeCodeEnd;
  }
  if (!conflictOpen) {
    conflict_.fill(0);
    conflictLength_ = 0;
    conflictChoices_ = 0;
  }
  if (!timeCodeOpen) {
    timeCode_ = RtfTimeCode{};
    timeCodeField_ = 0;
  }
  lastTimeCode_ = RtfTimeCode{};
}

CRtfReader::CRtfReader() { RebuildStenoLetters(); }  // the steno keys start with layout 1 installed

void CRtfReader::RebuildStenoLetters() {
  stenoLetters_.fill(false);
  const StenoLayout& layout = steno_.Layout();
  for (const auto* letters : {&layout.keyLetters, &layout.numberLetters}) {
    for (char c : *letters) {
      if (c == '\0') break;
      stenoLetters_[static_cast<std::uint8_t>(c)] = true;
    }
  }
  RebuildOutlineLetters();
}

void CRtfReader::RebuildOutlineLetters() {
  const auto& plain = ansi_ ? rtfparse::kPlainText.ansi : rtfparse::kPlainText.oem;
  for (std::size_t i = 0; i < outlineLetters_.size(); ++i) {
    const auto c = static_cast<std::uint8_t>(i);
    outlineLetters_[i] = plain[c] && !IsStrokeSeparator(c) && (c == '-' || stenoLetters_[c]);
  }
  strokeParserStale_ = true;  // its run table is made from these
}

int CRtfReader::Parse(const std::uint8_t* text) { return ParseText(*this, text); }

int CRtfReader::DispatchWord() { return DispatchWordOf(*this); }

int CRtfReader::FindCreWord() {
  const int index = rtfwords::FindCreWord(Word());
  return index >= 0 ? HandleCreWord(index) : -1;
}

std::uint8_t CRtfReader::StyleTypeLetter(int style) const {
  return style >= 0 && style < kStyleCount ? styles_[static_cast<std::size_t>(style)].typeLetter : 0;
}

void CRtfReader::BeginGroup() {
  if (depth_ >= kMaxDepth) {
    // No room for another record: the group is counted, and its bytes are read with the
    // deepest record.
    ++depthOverflow_;
    return;
  }
  records_[static_cast<std::size_t>(depth_ + 1)] = records_[static_cast<std::size_t>(depth_)];
  ++depth_;
}

void CRtfReader::EndGroup() {
  if (depth_ == 0) return;
  const RtfGroupRecord closed = Current();
  if (closed.destination == rtfdest::kTimeCode || closed.destination == rtfdest::kTimeCodeEnd) {
    lastTimeCode_ = timeCode_;
  }
  if (closed.destination == rtfdest::kSteno) ProcessStroke();  // the text after the last '/'
  --depth_;
  if (closed.destination == rtfdest::kCatSystem && Current().destination != rtfdest::kCatSystem) {
    RecognizeCatSystemFromText();
  }
}

void CRtfReader::RecognizeCatSystemFromText() {
  catSystem_ = 0;
  if (catSystemTextLength_ > kCatSystemTextMax) catSystemTextLength_ = kCatSystemTextMax;
  catSystem_ = lexaport::CatSystemWord(RecognizeCatSystem(CatSystemText()));
}

void CRtfReader::PutChar(int value) {
  const auto c = static_cast<std::uint8_t>(value);
  RtfGroupRecord& group = Current();
  switch (group.destination) {
    case rtfdest::kBody:
      if (group.skip == 0) AppendWork(c);
      break;
    case rtfdest::kStyleSheet:
      if (currentStyle_ >= 0 && currentStyle_ < kStyleCount) {
        if (!styles_[static_cast<std::size_t>(currentStyle_)].name.Push(c)) outOfMemory_ = true;
      }
      break;
    case rtfdest::kTimeCode:
    case rtfdest::kTimeCodeEnd:
      if (c == ':') {
        if (timeCodeField_ + 1 < timeCode_.fields.size()) ++timeCodeField_;
      } else if (IsAsciiDigit(c)) {
        std::uint32_t& field = timeCode_.fields[timeCodeField_];
        field = field * 10u + static_cast<std::uint32_t>(c - '0');
      }
      break;
    case rtfdest::kConflict:
      if ((group.attributes & rtfattr::kChoice) != 0 && (group.attributes & rtfattr::kDeleted) == 0 &&
          conflictLength_ < kConflictMax) {
        conflict_[conflictLength_++] = c;
      }
      break;
    case rtfdest::kCatSystem:
      if (catSystemTextLength_ < kCatSystemTextMax) catSystemText_[catSystemTextLength_++] = c;
      break;
    case rtfdest::kStenoTable:
      AppendStenoTableLetter(c);
      break;
    default:
      // Footer, info, font and colour tables, dropped groups, fields; the steno, CSI and AI data
      // destinations belong to the dictionary reader.
      break;
  }
}

void CRtfReader::AppendStenoTableLetter(std::uint8_t c) {
  StenoLayout& layout = steno_.Layout();
  auto& letters = stenoShifted_ ? layout.numberLetters : layout.keyLetters;
  const void* zero = std::memchr(letters.data(), '\0', letters.size());
  const std::size_t length =
      zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - letters.data()) : letters.size();
  // A definition longer than the field keeps its first 31 letters and its terminating zero.
  if (length + 1 < letters.size() && c != 0) {
    letters[length] = static_cast<char>(c);
    letters[length + 1] = '\0';
    stenoLetters_[c] = true;
    RebuildOutlineLetters();
    strokeParserStale_ = true;
  }
}

void CRtfReader::ToggleAttribute(std::uint32_t flag, std::uint8_t onCode) {
  if (ToggleOn()) {
    Emit({18, onCode});
    Current().attributes |= flag;
  } else {
    Emit({18, static_cast<std::uint8_t>(onCode + 128)});
    Current().attributes &= ~flag;
  }
}

int CRtfReader::HandleRtfWord(int index) {
  RtfGroupRecord& group = Current();
  switch (index) {
    case RtfWordIndex("ansi"):
      ansi_ = true;
      RebuildOutlineLetters();
      break;
    case RtfWordIndex("b"): ToggleAttribute(rtfattr::kBold, 1); break;
    case RtfWordIndex("i"): ToggleAttribute(rtfattr::kItalic, 3); break;
    case RtfWordIndex("ul"):
    case RtfWordIndex("uld"):
    case RtfWordIndex("uldash"):
    case RtfWordIndex("uldashd"):
    case RtfWordIndex("uldashdd"):
    case RtfWordIndex("uldb"):
    case RtfWordIndex("ulth"):
    case RtfWordIndex("ulw"):
    case RtfWordIndex("ulwave"): ToggleAttribute(rtfattr::kUnderline, 2); break;
    case RtfWordIndex("ulnone"):
      Emit({18, 130});
      Current().attributes &= ~rtfattr::kUnderline;
      break;
    case RtfWordIndex("strike"): ToggleAttribute(rtfattr::kStrike, 6); break;
    case RtfWordIndex("super"):
      Emit({18, 4});
      Current().attributes |= rtfattr::kSuperscript;
      break;
    case RtfWordIndex("sub"):
      Emit({18, 5});
      Current().attributes |= rtfattr::kSubscript;
      break;
    case RtfWordIndex("nosupersub"):
      if ((group.attributes & rtfattr::kSuperscript) != 0) {
        Emit({18, 132});
        Current().attributes &= ~rtfattr::kSuperscript;
      }
      if ((Current().attributes & rtfattr::kSubscript) != 0) {
        Emit({18, 133});
        Current().attributes &= ~rtfattr::kSubscript;
      }
      break;
    case RtfWordIndex("caps"): Emit({18, static_cast<std::uint8_t>(ToggleOn() ? 8 : 136)}); break;
    case RtfWordIndex("deleted"): group.attributes |= rtfattr::kDeleted; break;
    case RtfWordIndex("plain"): {
      static constexpr struct {
        std::uint32_t flag;
        std::uint8_t offCode;
      } kOff[] = {{rtfattr::kBold, 129},        {rtfattr::kItalic, 131},    {rtfattr::kUnderline, 130},
                  {rtfattr::kSuperscript, 132}, {rtfattr::kSubscript, 133}, {rtfattr::kStrike, 134},
                  {rtfattr::kBench, 135}};
      for (const auto& off : kOff) {
        if ((Current().attributes & off.flag) != 0) {
          Emit({18, off.offCode});
          Current().attributes &= ~off.flag;
        }
      }
      break;
    }
    case RtfWordIndex("fs"):
      if (group.destination == rtfdest::kBody) {
        const std::int32_t points = Parameter() / 2;
        Emit({17, 7, LowByte(points), QuotientByte(points), 0, 0});
      }
      break;
    case RtfWordIndex("qc"): Emit({22, kCentredParagraphCode, 0}); break;
    case RtfWordIndex("tab"): Emit({9}); break;
    case RtfWordIndex("line"): Emit({10}); break;
    case RtfWordIndex("page"):
    case RtfWordIndex("pagebb"):
    case RtfWordIndex("sbkpage"): Emit({12}); break;
    case RtfWordIndex("lquote"):
    case RtfWordIndex("rquote"): Emit({'\''}); break;
    case RtfWordIndex("ldblquote"):
    case RtfWordIndex("rdblquote"): Emit({'"'}); break;
    case RtfWordIndex("_"): Emit({'-'}); break;
    case RtfWordIndex("~"): Emit({code::kHardSpace}); break;
    case RtfWordIndex("fonttbl"): group.destination = rtfdest::kFontTable; break;
    case RtfWordIndex("colortbl"): group.destination = rtfdest::kColorTable; break;
    case RtfWordIndex("stylesheet"):
      group.destination = rtfdest::kStyleSheet;
      currentStyle_ = 0;
      break;
    case RtfWordIndex("footer"): group.destination = rtfdest::kFooter; break;
    case RtfWordIndex("info"):
      group.destination = rtfdest::kInfo;
      group.subDestination = rtfsub::kNone;
      break;
    case RtfWordIndex("creatim"): group.subDestination = 1; break;
    case RtfWordIndex("revtim"): group.subDestination = 2; break;
    case RtfWordIndex("printim"): group.subDestination = 3; break;
    case RtfWordIndex("buptim"): group.subDestination = 4; break;
    case RtfWordIndex("title"): group.subDestination = 5; break;
    case RtfWordIndex("subject"): group.subDestination = 6; break;
    case RtfWordIndex("comment"): group.subDestination = 7; break;
    case RtfWordIndex("author"): group.subDestination = 8; break;
    case RtfWordIndex("operator"): group.subDestination = 9; break;
    default:
      // Colour values, the parts of the \info dates and every other word: no output.
      break;
  }
  return 0;
}

int CRtfReader::HandleCreWord(int index) {
  RtfGroupRecord& group = Current();
  const std::int32_t p = Parameter();
  const std::uint8_t pByte = LowByte(p);
  switch (index) {
    case CreWordIndex("cxc"):
      ++conflictChoices_;
      group.attributes |= rtfattr::kChoice;
      Emit({code::kAlternative});
      break;
    case CreWordIndex("cxconf"):
      group.destination = rtfdest::kConflict;
      conflictChoices_ = 0;
      conflictLength_ = 0;
      group.attributes &= ~rtfattr::kChoice;
      break;
    case CreWordIndex("cxdouble"): Emit({18, 137}); break;
    case CreWordIndex("cxdstroke"): Emit({16, 12}); break;
    case CreWordIndex("cxe"):
    case CreWordIndex("cxt"):
      group.destination = index == CreWordIndex("cxt") ? rtfdest::kTimeCode : rtfdest::kTimeCodeEnd;
      group.skip = 0;
      timeCode_ = RtfTimeCode{};
      timeCodeField_ = 0;
      break;
    case CreWordIndex("cxfc"): Emit({18, 14}); break;
    case CreWordIndex("cxfing"): Emit({16, 2}); break;
    case CreWordIndex("cxfl"): Emit({18, 142}); break;
    case CreWordIndex("cxgbltable"):
    case CreWordIndex("cxpntable"): group.destination = rtfdest::kDropped; break;
    case CreWordIndex("cxlinenum"):
    case CreWordIndex("cxzqlinenum"): Emit({18, static_cast<std::uint8_t>(p != 0 ? 10 : 138)}); break;
    case CreWordIndex("cxzqbench"):
      if (p != 0) {
        Emit({18, 7});
        Current().attributes |= rtfattr::kBench;
      } else {
        Emit({18, 135});
        Current().attributes &= ~rtfattr::kBench;
      }
      break;
    case CreWordIndex("cxzqcaptionbaseline"): Emit({26, 130, pByte, 0}); break;
    case CreWordIndex("cxzqcaptionblock"): Emit({26, 2, 0, 0}); break;
    case CreWordIndex("cxzqcaptioncapmode"): Emit({26, 136, pByte, 0}); break;
    case CreWordIndex("cxzqcaptionchars"): Emit({26, 128, pByte, 0}); break;
    case CreWordIndex("cxzqcaptionclear"): Emit({26, 0, 0, 0}); break;
    case CreWordIndex("cxzqcaptioncolor"): Emit({26, 132, pByte, 0}); break;
    case CreWordIndex("cxzqcaptioncolumn"): Emit({26, 129, pByte, 0}); break;
    case CreWordIndex("cxzqcaptioneoc"): Emit({26, 3, 0, 0}); break;
    case CreWordIndex("cxzqcaptionflash"): Emit({26, 7, 0, 0}); break;
    case CreWordIndex("cxzqcaptionflush"): Emit({26, 5, 0, 0}); break;
    case CreWordIndex("cxzqcaptionkeepcasenext"): Emit({26, 16, 0, 0}); break;
    case CreWordIndex("cxzqcaptionkeepcaseoff"): Emit({26, 17, 0, 0}); break;
    case CreWordIndex("cxzqcaptionkeepcaseon"): Emit({26, 18, 0, 0}); break;
    case CreWordIndex("cxzqcaptionmusicalnote"): Emit({26, 8, 0, 0}); break;
    case CreWordIndex("cxzqcaptionnik"): Emit({26, 133, pByte, 0}); break;
    case CreWordIndex("cxzqcaptionpass"): Emit({26, 1, 0, 0}); break;
    case CreWordIndex("cxzqcaptionposition"): Emit({26, 144, pByte, QuotientByte(p)}); break;
    case CreWordIndex("cxzqcaptionrolluprows"): Emit({26, 131, pByte, 0}); break;
    case CreWordIndex("cxzqcaptionscatter"): Emit({26, 145, pByte, QuotientByte(p)}); break;
    case CreWordIndex("cxzqcaptionsendline"): Emit({26, 135, pByte, 0}); break;
    case CreWordIndex("cxzqcaptionskipline"): Emit({26, 13, 0, 0}); break;
    case CreWordIndex("cxzqcaptionstoryslugoff"): Emit({26, 11, 0, 0}); break;
    case CreWordIndex("cxzqcaptionstoryslugon"): Emit({26, 10, 0, 0}); break;
    case CreWordIndex("cxzqcaptiontransparentspace"): Emit({26, 9, 0, 0}); break;
    case CreWordIndex("cxzqcaptionwarningoff"): Emit({26, 24, 0, 0}); break;
    case CreWordIndex("cxzqcaptionwarningon"): Emit({26, 23, 0, 0}); break;
    case CreWordIndex("cxzqfield"): group.destination = rtfdest::kField; break;
    case CreWordIndex("cxzqindex"):
      Emit({17, static_cast<std::uint8_t>((p & 0x80) != 0 ? 138 : 10), IndexCharacter(p), 0, 0, 0});
      break;
    case CreWordIndex("cxzqindexhead"):
      Emit({17, static_cast<std::uint8_t>((p & 0x80) != 0 ? 140 : 12), IndexCharacter(p), 0, 0, 0});
      break;
    case CreWordIndex("cxzqindexline"): Emit({17, 16, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqindexpage"): Emit({17, 15, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqindexpos"): Emit({17, 13, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqindexsec"): Emit({17, 14, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqindexseq"): Emit({17, 17, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqindexvol"): Emit({17, 24, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqnosub"):
      Emit({18, 133});
      Current().attributes &= ~rtfattr::kSubscript;
      break;
    case CreWordIndex("cxzqnosuper"):
      Emit({18, 132});
      Current().attributes &= ~rtfattr::kSuperscript;
      break;
    case CreWordIndex("cxzqoops"): Emit({17, 27, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqorphan"): Emit({17, 6, LowByte(p > 2 ? p : 2), 0, 0, 0}); break;
    case CreWordIndex("cxzqpauset"): Emit({17, 2, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqredact"): Emit({18, static_cast<std::uint8_t>(p != 0 ? 11 : 139)}); break;
    case CreWordIndex("cxzqrelright"): Emit({code::kRelativeRight}); break;
    case CreWordIndex("cxzqresett"): Emit({17, 3, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqresumet"): Emit({17, 4, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqsett"): Emit({17, 5, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqtape"): Emit({17, 1, 0, 0, 0, 0}); break;
    case CreWordIndex("cxzqstenoleft"):
      steno_.Layout().leftBank = pByte;
      strokeParserStale_ = true;
      break;
    case CreWordIndex("cxzqstenomiddle"): steno_.Layout().middleBank = pByte; break;
    case CreWordIndex("cxzqstenoright"): steno_.Layout().rightBank = pByte; break;
    case CreWordIndex("cxzqstenotable"):
      group.destination = rtfdest::kStenoTable;
      steno_.Layout().Clear();
      strokeParserStale_ = true;
      stenoLetters_.fill(false);
      RebuildOutlineLetters();
      stenoShifted_ = false;
      group.skip = 0;
      break;
    case CreWordIndex("cxzqstnormal"): stenoShifted_ = false; break;
    case CreWordIndex("cxzqstshifted"): stenoShifted_ = true; break;
    case CreWordIndex("cxzquserdef"): {
      // Only right after a paragraph of the default style: the user style number goes into it.
      const std::size_t n = work_.Size();
      std::uint8_t* w = work_.Data();
      if (n >= 3 && w[n - 3] == 22 && w[n - 2] == kDefaultParagraphCode && w[n - 1] == 0) {
        w[n - 1] = static_cast<std::uint8_t>((static_cast<std::uint32_t>(p) - 1u) & 0xFF);
      }
      break;
    }
    case CreWordIndex("cxsingle"): Emit({18, 9}); break;
    case CreWordIndex("cxsystem"):
      group.destination = rtfdest::kCatSystem;
      group.skip = 0;
      break;
    default: return -1;
  }
  return 0;
}

void CRtfReader::ResetState() {
  work_.Clear();
  depth_ = 0;
  depthOverflow_ = 0;
  records_[0] = RtfGroupRecord{};
  tokenState_ = kText;
  wordLength_ = 0;
  parameterBits_ = 0;
  parameterNegative_ = false;
  parameter_ = 0;
  hasParameter_ = false;
  hexCount_ = 0;
  hexValue_ = 0;
  catSystemTextLength_ = 0;
  ansi_ = false;
  steno_.SelectLayout(1);
  RebuildStenoLetters();  // and the outline letters, for the reset \ansi too
  strokeParserStale_ = true;
  stenoShifted_ = false;
  currentStyle_ = 0;
  outOfMemory_ = false;
}

}  // namespace lexaport
