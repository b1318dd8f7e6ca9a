#include "dict/ImportDictSort.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "steno/EntryRecord.h"

namespace lexaport {
namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

template <typename T>
int CompareUnsigned(T a, T b) {
  return (a > b) - (a < b);
}

// Greater entries first.
bool ComesBefore(const std::uint8_t* a, const std::uint8_t* b) { return CompareEntries(a, b) > 0; }

// The first eight bytes of the outline (two strokes), zero-filled, read so that comparing two
// keys as numbers compares the byte strings. Keys order outlines consistently with
// CompareStrokes: where two keys differ inside the shorter outline, the bytes differ there; where
// they differ beyond it, the shorter outline has zeros and is the smaller, as it is in full.
// Equal keys say nothing, and the full comparison decides.
std::uint64_t OutlineKey(const std::uint8_t* record) {
  const EntryRecordView view(record);
  const std::size_t bytes = std::min<std::size_t>(8, 4 * static_cast<std::size_t>(view.StrokeCount()));
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i) key = (key << 8) | (i < bytes ? view.Strokes()[i] : 0u);
  return key;
}

struct KeyedRecord {
  std::uint64_t key;
  const std::uint8_t* record;
};

}  // namespace

int CompareStrokes(const std::uint8_t* strokesA, int countA, const std::uint8_t* strokesB, int countB) {
  const int common = std::min(countA, countB);
  if (common > 0) {
    const int bytes = std::memcmp(strokesA, strokesB, 4 * static_cast<std::size_t>(common));
    if (bytes != 0) return Sign(bytes);
  }
  return CompareUnsigned(countA, countB);
}

int CompareEntries(const std::uint8_t* recordA, const std::uint8_t* recordB) {
  const EntryRecordView a(recordA);
  const EntryRecordView b(recordB);
  if (int c = CompareStrokes(a.Strokes(), a.StrokeCount(), b.Strokes(), b.StrokeCount()); c != 0) return c;
  if (int c = CompareUnsigned(a.Number(), b.Number()); c != 0) return c;
  return CompareUnsigned(a.CreationDate(), b.CreationDate());
}

void CImportDictSort::Sort(const std::uint8_t** records, std::size_t count) {
  if (count < 2) return;
  std::unique_ptr<KeyedRecord[]> keyed(new (std::nothrow) KeyedRecord[count]);
  if (!keyed) {
    std::stable_sort(records, records + count, ComesBefore);
    return;
  }
  for (std::size_t i = 0; i < count; ++i) keyed[i] = KeyedRecord{OutlineKey(records[i]), records[i]};
  std::stable_sort(keyed.get(), keyed.get() + count, [](const KeyedRecord& a, const KeyedRecord& b) {
    if (a.key != b.key) return a.key > b.key;
    return ComesBefore(a.record, b.record);
  });
  for (std::size_t i = 0; i < count; ++i) records[i] = keyed[i].record;
}

}  // namespace lexaport
