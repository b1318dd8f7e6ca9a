#include "dict/IntermediateRecordArea.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "dict/DictionaryFileFormat.h"
#include "steno/EntryRecord.h"
#include "support/ByteOrder.h"

namespace lexaport {

std::size_t WholeRecordSize(const std::uint8_t* record, std::size_t remaining) {
  if (remaining < entry::kHeaderSize) return 0;
  const EntryRecordView view(record);
  const std::size_t size = view.Size();
  return size <= remaining ? size : 0;
}

int CompareKeys(const std::uint8_t* a, std::size_t aLength, const std::uint8_t* b, std::size_t bLength) {
  const std::size_t common = std::min(aLength, bLength);
  // Keys are a few bytes long: compared eight bytes at a time in place rather than through a
  // library call. Loaded little-endian, the lowest differing bit lies in the first differing byte.
  std::size_t i = 0;
  for (; i + 8 <= common; i += 8) {
    const std::uint64_t difference = LoadU64(a + i) ^ LoadU64(b + i);
    if (difference != 0) {
      const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(difference)) / 8;
      return a[at] < b[at] ? -1 : 1;  // bytes compare unsigned
    }
  }
  for (; i < common; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  if (aLength == bLength) return 0;
  return aLength < bLength ? -1 : 1;
}

RecordAreaCheck CheckRecordArea(const std::uint8_t* area, std::size_t size) {
  RecordAreaCheck check;
  const std::uint8_t* previousKey = nullptr;
  std::size_t previousLength = 0;
  std::size_t offset = 0;
  while (offset < size) {
    check.offset = offset;
    const std::size_t recordSize = WholeRecordSize(area + offset, size - offset);
    if (recordSize == 0) {
      check.fault = RecordAreaFault::kIncompleteRecord;
      return check;
    }
    const EntryRecordView record(area + offset);
    const int strokes = record.StrokeCount();
    if (strokes < 1 || strokes > dictfile::kMaxStrokes) {
      check.fault = RecordAreaFault::kBadStrokeCount;
      return check;
    }
    const std::size_t keyLength = 4 * static_cast<std::size_t>(strokes);
    if (previousKey != nullptr && CompareKeys(record.Strokes(), keyLength, previousKey, previousLength) >= 0) {
      check.fault = RecordAreaFault::kOutOfOrder;
      return check;
    }
    previousKey = record.Strokes();
    previousLength = keyLength;
    offset += recordSize;
    ++check.recordCount;
  }
  check.offset = size;
  return check;
}

}  // namespace lexaport
