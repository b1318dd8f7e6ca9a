#pragma once
// The record area of an intermediate dictionary file (the bytes from offset 640 to the end): entry
// records one after another, each padded to a multiple of 4, in strictly descending key order.
// The writer dictionary builder depends on that order, so it checks the whole area first.

#include <cstddef>
#include <cstdint>

namespace lexaport {

// The size of the record that starts at `record`, or 0 when fewer than `remaining` bytes do not
// hold the whole of it (its fixed fields, strokes, translation and padding).
std::size_t WholeRecordSize(const std::uint8_t* record, std::size_t remaining);

// Orders keys (stroke bytes) as the intermediate file does: bytes unsigned over the shorter
// length, and a key that is a prefix of the other is the smaller. Returns -1, 0 or 1.
int CompareKeys(const std::uint8_t* a, std::size_t aLength, const std::uint8_t* b, std::size_t bLength);

enum class RecordAreaFault {
  kNone,
  kIncompleteRecord,  // a record runs past the end of the area
  kBadStrokeCount,    // 0 strokes or more than 16
  kOutOfOrder,        // a key not strictly below the one before it
};

struct RecordAreaCheck {
  RecordAreaFault fault = RecordAreaFault::kNone;
  std::size_t offset = 0;       // within the area: of the faulty record
  std::size_t recordCount = 0;  // sound records before it (all of them when there is no fault)
};

// Checks that the area is tiled exactly by whole records with 1 to 16 strokes whose keys
// descend strictly.
RecordAreaCheck CheckRecordArea(const std::uint8_t* area, std::size_t size);

}  // namespace lexaport
