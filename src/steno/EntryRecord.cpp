#include "steno/EntryRecord.h"

#include <array>
#include <cstring>

#include "support/CharClass.h"
#include "support/CopyFewBytes.h"

namespace lexaport {

int BuildEntryRecord(std::uint8_t* record, const std::uint8_t* strokes, int n, const std::uint8_t* translation,
                     int L, std::uint32_t number, std::uint32_t date) {
  const std::size_t size = EntryRecordSize(static_cast<std::size_t>(n), static_cast<std::size_t>(L));
  // The padding: the last word is cleared before anything else is written, and the fields, the
  // strokes and the translation then cover what of it they take.
  StoreU32(record + size - 4, 0);
  StoreU32(record + entry::kNumber, number);
  StoreU32(record + entry::kCreationDate, date);
  StoreU32(record + entry::kSecondDate, 0);
  StoreU32(record + entry::kReserved, 0);
  record[entry::kStrokeCount] = static_cast<std::uint8_t>(n);
  StoreU16(record + entry::kTranslationLength, static_cast<std::uint16_t>(L));
  const std::size_t strokeBytes = 4 * static_cast<std::size_t>(n);
  CopyFewBytes(record + entry::kStrokes, strokes, strokeBytes);
  std::uint8_t* text = record + entry::kStrokes + strokeBytes;
  CopyFewBytes(text, translation, static_cast<std::size_t>(L));
  StoreU16(record + entry::kFlags, ComputeEntryFlags(record));
  return static_cast<int>(size);
}

namespace {

// What a byte adds to the flags word: the classes of text bytes (32 and above), and a mark for
// the control bytes below 32.
enum : std::uint8_t {
  kTextLetter = 0x01,
  kTextUpper = 0x02,     // an upper-case letter
  kTextLower = 0x04,     // a letter that is not upper case
  kTextDigit = 0x08,
  kTextSpace = 0x10,
  kTextPunctuation = 0x20,
  kControlByte = 0x40,
};

constexpr std::array<std::uint8_t, 256> MakeTextClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<std::uint8_t>(c);
    std::uint8_t k = 0;
    if (c < 32) {
      k = kControlByte;
    } else if (IsLetter(b)) {
      k = kTextLetter | (IsUpperLetter(b) ? kTextUpper : kTextLower);
    } else if (IsAsciiDigit(b)) {
      k = kTextDigit;
    } else if (b == ' ') {
      k = kTextSpace;
    } else if (IsPunctuation(b)) {
      k = kTextPunctuation;
    }
    classes[static_cast<std::size_t>(c)] = k;
  }
  return classes;
}
constexpr std::array<std::uint8_t, 256> kTextClasses = MakeTextClasses();

bool IsLetterByte(std::uint8_t c) { return (kTextClasses[c] & kTextLetter) != 0; }

// The flags that the classes of the text bytes give, whatever their order.
std::uint16_t ClassFlags(std::uint8_t seen) {
  std::uint16_t flags = 0;
  if ((seen & kTextUpper) != 0) flags |= entryflag::kHasUpper;
  if ((seen & kTextDigit) != 0) flags |= entryflag::kDigit;
  if ((seen & kTextPunctuation) != 0) flags |= entryflag::kPunctuation;
  // All upper: some letter, and none that is not upper case.
  if ((seen & (kTextLetter | kTextLower)) == kTextLetter) flags |= entryflag::kAllUpper;
  return flags;
}

// A translation of text bytes only, as most are: it has several words when a space stands
// somewhere after its first letter and before its last.
std::uint16_t TextFlags(const std::uint8_t* t, std::size_t length, std::uint8_t seen) {
  std::uint16_t flags = ClassFlags(seen);
  if ((seen & kTextLetter) != 0 && (seen & kTextSpace) != 0) {
    std::size_t first = 0;
    while (!IsLetterByte(t[first])) ++first;
    std::size_t last = length - 1;
    while (!IsLetterByte(t[last])) --last;
    for (std::size_t i = first + 1; i < last; ++i) {
      if (t[i] == ' ') {
        flags |= entryflag::kSeveralWords;
        break;
      }
    }
  }
  return flags;
}

}  // namespace

std::uint16_t ComputeEntryFlags(const std::uint8_t* record) {
  const EntryRecordView view(record);
  const std::uint8_t* t = view.Translation();
  const std::size_t length = static_cast<std::size_t>(view.TranslationLength());
  if (length == 0) return 0;

  std::uint8_t textSeen = 0;  // the classes of all bytes
  for (std::size_t i = 0; i < length; ++i) textSeen |= kTextClasses[t[i]];
  if ((textSeen & kControlByte) == 0) return TextFlags(t, length, textSeen);

  // With control codes: their operands are no text, and some of them separate or join words.
  textSeen = 0;
  std::uint16_t flags = 0;
  bool inWord = false;
  bool wordEnded = false;

  auto separator = [&] {
    if (inWord) wordEnded = true;
    inWord = false;
  };

  std::size_t i = 0;
  while (i < length) {
    const std::uint8_t c = t[i++];
    if (c >= 32) {
      const std::uint8_t k = kTextClasses[c];
      textSeen |= k;
      if ((k & kTextLetter) != 0) {
        if (wordEnded) flags |= entryflag::kSeveralWords;
        inWord = true;
      } else if (k == kTextSpace) {
        separator();
      }
      continue;
    }

    if (c != 2 && c != 3) flags |= entryflag::kControlCode;
    switch (c) {
      case 1:
      case 9:
      case 10:
      case 12:
        separator();
        break;
      case 2:
      case 3:
        flags |= entryflag::kAlternatives;
        break;
      case 4:
        // Attach joins what follows to the previous word: it does not start a new one.
        wordEnded = false;
        break;
      case 16:
      case 18:
        i += 1;
        break;
      case 17:
        i += 5;
        break;
      case 21: {
        if (i >= length) break;
        const std::uint8_t subtype = t[i];
        if (subtype != 2 && subtype != 7) break;
        flags |= subtype == 2 ? entryflag::kHeaderBlock : entryflag::kBlockType7;
        // The block is opaque: its content is data for the writer, not text.
        if (length - i < 5) {
          i = length;
          break;
        }
        const std::uint32_t blockLength = LoadU32(t + i + 1);
        i += 5;
        i = blockLength >= length - i ? length : i + blockLength;
        break;
      }
      case 22:
        i += 2;
        break;
      case 23:
        if (i < length && (t[i] == 9 || t[i] == 137)) flags |= entryflag::kSingleChoiceConflict;
        i += 1;
        break;
      case 26:
        i += 3;
        break;
      default:
        break;
    }
  }

  return flags | ClassFlags(textSeen);
}

}  // namespace lexaport
