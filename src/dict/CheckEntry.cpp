#include "dict/CheckEntry.h"

#include <algorithm>
#include <array>
#include <bit>

#include "steno/EntryRecord.h"
#include "support/ByteOrder.h"

namespace lexaport {
namespace {

using namespace entryfault;

// Every layout has three keys after its banks: '#', '(' and '!'.
constexpr int kKeysAfterBanks = 3;

// The bits of a key set, read as a big-endian number (position j is bit 31 - j), at positions
// the layout has no key for.
std::uint32_t UnusedKeyMask(const StenoLayout& layout) {
  const int keys = std::min(32, layout.leftBank + layout.middleBank + layout.rightBank + kKeysAfterBanks);
  return keys >= 32 ? 0 : 0xFFFFFFFFu >> keys;
}

std::uint32_t LoadKeySet(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

std::uint32_t Code17Fault(std::uint8_t subcode, std::uint32_t value) {
  switch (subcode) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8:
    case 14: case 18: case 23: case 27: case 28: case 29:
      return 0;
    case 10: case 12: case 138: case 140:  // index characters
      return value > 36 ? kInvalidCode : 0;
    case 22:
      return value > 20 ? kInvalidCode : 0;
    case 13: case 15: case 16: case 17: case 19: case 20: case 21: case 24: case 25: case 26:
      return value != 0 ? kWarningCode : 0;
    default:
      return kUnknownSubcode;
  }
}

std::uint32_t Code18Fault(std::uint8_t subcode) {
  if (InRange(subcode, 1, 12) || subcode == 14 || InRange(subcode, 129, 139) || subcode == 142) return 0;
  return kUnknownSubcode;
}

std::uint32_t Code22Fault(std::uint8_t subcode) {
  return InRange(subcode, 1, 10) || subcode == 255 ? 0 : kUnknownSubcode;
}

std::uint32_t Code23Fault(std::uint8_t subcode) {
  if (subcode == 9 || subcode == 10 || subcode == 137 || subcode == 138) return 0;
  if (InRange(subcode, 1, 8) || subcode == 12 || InRange(subcode, 129, 136) || subcode == 140) return kWarningCode;
  return kUnknownSubcode;
}

std::uint32_t Code26Fault(std::uint8_t subcode, int value) {
  switch (subcode) {
    case 128: return InRange(value, 8, 32) ? 0 : kInvalidCode;
    case 129: return InRange(value, 1, 28) ? 0 : kInvalidCode;
    case 130: return InRange(value, 1, 15) ? 0 : kInvalidCode;
    case 131: return InRange(value, 1, 4) ? 0 : kInvalidCode;
    case 133: return InRange(value, 0, 9) ? 0 : kInvalidCode;
    default: break;
  }
  if (subcode == 12 || InRange(subcode, 19, 127) || InRange(subcode, 138, 143) || subcode > 145) return kUnknownSubcode;
  return 0;
}

// The first byte at or after `i` that is no text (below 32), or `length`. Eight bytes at a time
// while they last: a byte below 32 sets the top bit of its lane in `low`, and a lane can only be
// set wrongly by a borrow from a lower one that is set already, so the lowest lane set is the
// first such byte.
std::size_t SkipText(const std::uint8_t* t, std::size_t i, std::size_t length) {
  constexpr std::uint64_t kSpaces = 0x2020202020202020;
  constexpr std::uint64_t kTopBits = 0x8080808080808080;
  for (; length - i >= 8; i += 8) {
    const std::uint64_t word = LoadU64(t + i);
    const std::uint64_t low = (word - kSpaces) & ~word & kTopBits;
    if (low != 0) return i + static_cast<std::size_t>(std::countr_zero(low)) / 8;
  }
  while (i < length && t[i] >= 32) ++i;
  return i;
}

// Walks the translation code. Stops at the end, at an invalid code, or at a code 21 block of
// subtype 2 or 7, whose content is not translation code and is not looked at.
std::uint32_t ScanTranslation(const std::uint8_t* t, std::size_t length, std::uint32_t faults) {
  bool groupOpen = false;
  std::size_t i = 0;
  // A multi-byte code cut off by the end of the translation would make the writer take the
  // bytes behind it as its operands: it is invalid.
  const auto fits = [&](std::size_t itemLength) { return length - i >= itemLength; };
  while (i < length && (faults & (kPaddingNotZero | kInvalidCode)) == 0) {
    // Text is valid: a run of it is passed over in one go.
    i = SkipText(t, i, length);
    if (i == length) return faults | (groupOpen ? kGroupLeftOpen : 0);
    const std::uint8_t code = t[i];
    std::size_t itemLength = 1;
    {
      switch (code) {
        case 2:
          groupOpen = true;
          break;
        case 3:
          groupOpen = false;
          break;
        case 0: case 5: case 6: case 7: case 19:
          faults |= kInvalidCode;
          break;
        case 11: case 13: case 14:
          faults |= kWarningCode;
          break;
        case 16:
          itemLength = 2;
          if (!fits(itemLength)) faults |= kInvalidCode;
          break;
        case 17:
          itemLength = 6;
          if (!fits(itemLength)) {
            faults |= kInvalidCode;
          } else {
            faults |= Code17Fault(t[i + 1], LoadU32(t + i + 2));
          }
          break;
        case 18:
          itemLength = 2;
          faults |= fits(itemLength) ? Code18Fault(t[i + 1]) : kInvalidCode;
          break;
        case 21:
          if (fits(2) && (t[i + 1] == 2 || t[i + 1] == 7)) return faults | (groupOpen ? kGroupLeftOpen : 0);
          faults |= kInvalidCode;
          break;
        case 22:
          itemLength = 3;
          faults |= fits(itemLength) ? Code22Fault(t[i + 1]) : kInvalidCode;
          break;
        case 23:
          itemLength = 2;
          faults |= fits(itemLength) ? Code23Fault(t[i + 1]) : kInvalidCode;
          break;
        case 26:
          itemLength = 4;
          faults |= fits(itemLength) ? Code26Fault(t[i + 1], static_cast<std::int16_t>(LoadU16(t + i + 2)))
                                     : kInvalidCode;
          break;
        default:  // 1, 4, 8-10, 12, 15, 20, 24, 25, 27-31
          break;
      }
    }
    i += itemLength;
  }
  if (groupOpen) faults |= kGroupLeftOpen;
  return faults;
}

}  // namespace

std::uint32_t CheckEntry(const std::uint8_t* record, const StenoLayout& layout, std::uint32_t today) {
  const EntryRecordView entry(record);
  std::uint32_t faults = 0;

  const std::uint32_t created = entry.CreationDate();
  if (created < kEarliestEntryDate) faults |= kCreationDateTooEarly;
  if (created > today) faults |= kCreationDateInFuture;
  if (const std::uint32_t second = entry.SecondDate(); second != 0) {
    if (second < kEarliestEntryDate) faults |= kSecondDateTooEarly;
    if (second > today) faults |= kSecondDateInFuture;
    if (second < created) faults |= kSecondDateBeforeCreation;
  }

  const int strokes = entry.StrokeCount();
  const std::size_t length = static_cast<std::size_t>(entry.TranslationLength());
  if (strokes == 0 || strokes > kMaxEntryStrokes) faults |= kBadStrokeCount;
  if (length == 0) faults |= kEmptyTranslation;

  if ((faults & (kBadStrokeCount | kEmptyTranslation)) == 0) {
    const std::uint8_t* padding = entry.Translation() + length;
    const std::uint8_t* end = record + entry.Size();
    if (std::any_of(padding, end, [](std::uint8_t b) { return b != 0; })) faults |= kPaddingNotZero;
  }

  if ((faults & kBadStrokeCount) == 0) {
    const std::uint32_t unused = UnusedKeyMask(layout);
    const std::uint8_t* keys = entry.Strokes();
    std::uint32_t used = 0;
    for (int s = 0; s < strokes; ++s, keys += 4) used |= LoadKeySet(keys);
    if ((used & unused) != 0) faults |= kUnknownKeyBits;
  }

  if ((faults & (kBadStrokeCount | kEmptyTranslation | kUnknownKeyBits)) == 0) {
    faults = ScanTranslation(entry.Translation(), length, faults);
  }
  return faults;
}

}  // namespace lexaport
