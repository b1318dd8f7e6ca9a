#pragma once
// The validity check an entry must pass to be written to the intermediate dictionary file: its
// dates, its outline, its padding and the codes of its translation.

#include <cstdint>

#include "steno/StenoLayout.h"

namespace lexaport {

namespace entryfault {
inline constexpr std::uint32_t kCreationDateTooEarly = 0x1;      // before 2000-01-01
inline constexpr std::uint32_t kCreationDateInFuture = 0x2;      // after today
inline constexpr std::uint32_t kBadStrokeCount = 0x8;            // 0 or more than 16 strokes
inline constexpr std::uint32_t kEmptyTranslation = 0x10;
inline constexpr std::uint32_t kUnknownKeyBits = 0x20;           // a stroke holds a key the layout lacks
inline constexpr std::uint32_t kPaddingNotZero = 0x80;
inline constexpr std::uint32_t kSecondDateTooEarly = 0x100;      // tested only when the second date is set
inline constexpr std::uint32_t kSecondDateInFuture = 0x200;
inline constexpr std::uint32_t kSecondDateBeforeCreation = 0x400;
inline constexpr std::uint32_t kWarningCode = 0x800;             // a code the writer only warns about
inline constexpr std::uint32_t kInvalidCode = 0x1000;            // invalid code or operand value
inline constexpr std::uint32_t kUnknownSubcode = 0x2000;
inline constexpr std::uint32_t kGroupLeftOpen = 0x10000;         // code 2 without its closing code 3
// Never set by CheckEntry, but an entry whose result is exactly one of them is still written.
inline constexpr std::uint32_t kToleratedA = 0x4000;
inline constexpr std::uint32_t kToleratedB = 0x8000;
}  // namespace entryfault

inline constexpr std::uint32_t kEarliestEntryDate = 20000101;
inline constexpr int kMaxEntryStrokes = 16;

// The fault bits of one complete entry record (entryfault::...). `layout` says which key
// positions a stroke may use (its three banks and the three keys after them); `today` is the
// local date, YYYYMMDD. Reads nothing outside the record, whatever it holds.
std::uint32_t CheckEntry(const std::uint8_t* record, const StenoLayout& layout, std::uint32_t today);

// Whether an entry with these fault bits is written.
constexpr bool IsAcceptedEntry(std::uint32_t faults) {
  return faults == 0 || faults == entryfault::kToleratedA || faults == entryfault::kToleratedB;
}

}  // namespace lexaport
