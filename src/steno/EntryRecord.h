#pragma once
// The dictionary entry record: an in-memory structure and a file record at once (the records of
// the intermediate dictionary file are these bytes). Little-endian, 4-byte aligned, size a
// multiple of 4.
//
//   offset      width  field
//        0        u32  number (reading order from the reader; 1, 2, 3 ... in the intermediate file)
//        4        u32  creation date, YYYYMMDD local
//        8        u32  second date, 0
//       12        u32  reserved, 0
//       16        u16  flags word (ComputeEntryFlags)
//       18         u8  stroke count n
//       19        u16  translation length L (not 2-byte aligned)
//       21     4 x n   key sets, one per stroke
//   21 + 4n        L   translation code
//   21+4n+L        P   zero padding, P = 3 - (L mod 4)
//
// Record size = 21 + 4n + L rounded up to a multiple of 4.

#include <cstddef>
#include <cstdint>

#include "support/ByteOrder.h"

namespace lexaport {

namespace entry {
inline constexpr std::size_t kNumber = 0;
inline constexpr std::size_t kCreationDate = 4;
inline constexpr std::size_t kSecondDate = 8;
inline constexpr std::size_t kReserved = 12;
inline constexpr std::size_t kFlags = 16;
inline constexpr std::size_t kStrokeCount = 18;
inline constexpr std::size_t kTranslationLength = 19;
inline constexpr std::size_t kStrokes = 21;
inline constexpr std::size_t kHeaderSize = 21;
inline constexpr int kMaxStrokes = 255;
inline constexpr int kMaxTranslationLength = 65535;
}  // namespace entry

// Flags word bits.
namespace entryflag {
inline constexpr std::uint16_t kHasUpper = 0x0001;
inline constexpr std::uint16_t kAllUpper = 0x0002;
inline constexpr std::uint16_t kSeveralWords = 0x0004;
inline constexpr std::uint16_t kAlternatives = 0x0008;
inline constexpr std::uint16_t kSingleChoiceConflict = 0x0010;
inline constexpr std::uint16_t kDigit = 0x0020;
inline constexpr std::uint16_t kPunctuation = 0x0040;
inline constexpr std::uint16_t kControlCode = 0x0080;
inline constexpr std::uint16_t kBlockType7 = 0x0100;
inline constexpr std::uint16_t kHeaderBlock = 0x0400;
}  // namespace entryflag

constexpr std::size_t EntryRecordSize(std::size_t strokeCount, std::size_t translationLength) {
  return (entry::kHeaderSize + 4 * strokeCount + translationLength + 3) & ~std::size_t{3};
}

// Writes a complete record at `record` (the caller guarantees EntryRecordSize bytes of room) and
// returns its size. `date` is the creation date to stamp (the caller's local date, YYYYMMDD).
int BuildEntryRecord(std::uint8_t* record, const std::uint8_t* strokes, int n, const std::uint8_t* translation,
                     int L, std::uint32_t number, std::uint32_t date);

// The flags word of a record whose stroke count, translation length and translation are in place.
std::uint16_t ComputeEntryFlags(const std::uint8_t* record);

// Read access to a record in place.
class EntryRecordView {
 public:
  explicit EntryRecordView(const std::uint8_t* record) : p_(record) {}
  const std::uint8_t* Data() const { return p_; }
  std::uint32_t Number() const { return LoadU32(p_ + entry::kNumber); }
  std::uint32_t CreationDate() const { return LoadU32(p_ + entry::kCreationDate); }
  std::uint32_t SecondDate() const { return LoadU32(p_ + entry::kSecondDate); }
  std::uint32_t Reserved() const { return LoadU32(p_ + entry::kReserved); }
  std::uint16_t Flags() const { return LoadU16(p_ + entry::kFlags); }
  int StrokeCount() const { return p_[entry::kStrokeCount]; }
  int TranslationLength() const { return LoadU16(p_ + entry::kTranslationLength); }
  const std::uint8_t* Strokes() const { return p_ + entry::kStrokes; }
  const std::uint8_t* Translation() const { return p_ + entry::kStrokes + 4 * StrokeCount(); }
  std::size_t Size() const { return EntryRecordSize(StrokeCount(), TranslationLength()); }

 private:
  const std::uint8_t* p_;
};

}  // namespace lexaport
