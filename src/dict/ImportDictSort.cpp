#include "dict/ImportDictSort.h"

#include <algorithm>
#include <array>
#include <bit>
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

// The sort key of a record: its first eight outline bytes (two strokes), zero-filled, read so
// that comparing keys as numbers compares the byte strings, and its stroke count up to 3.
// Where (key, short count) of two records differ they order the records as CompareEntries does:
// bytes that differ inside the shorter outline differ in the key; beyond it the shorter outline
// has zeros there and is the smaller, as it is in full; with equal keys an outline of at most two
// strokes is the prefix of any longer one. Equal keys with a short count below 3 mean equal
// outlines; with 3, outlines that agree in their first two strokes and need the full comparison.
std::uint64_t OutlineKey(const std::uint8_t* record) {
  const EntryRecordView view(record);
  const std::size_t bytes = std::min<std::size_t>(8, 4 * static_cast<std::size_t>(view.StrokeCount()));
  std::uint8_t padded[8] = {};
  std::memcpy(padded, view.Strokes(), bytes);
  std::uint64_t key = 0;
  for (std::uint8_t b : padded) key = (key << 8) | b;
  return key;
}

constexpr std::uint32_t kShortCountBits = 2;
constexpr std::uint32_t kLongOutline = 3;  // short count of an outline of three strokes or more

std::uint32_t ShortCount(const std::uint8_t* record) {
  return std::min<std::uint32_t>(kLongOutline, record[entry::kStrokeCount]);
}

// One record in the radix sort: its key (in two halves, so that an item takes 12 bytes), and
// where the record is, with its short count in the top two bits. Where is the record's distance
// from the lowest record when all records lie within 1 GiB, as the reader's do (so the sorted
// records come straight from the items), and otherwise its place in the caller's array.
struct SortItem {
  std::uint32_t keyHigh;
  std::uint32_t keyLow;
  std::uint32_t tag;

  std::uint64_t Key() const { return (std::uint64_t{keyHigh} << 32) | keyLow; }
};

constexpr std::size_t kMaxRadixCount = std::size_t{1} << (32 - kShortCountBits);
constexpr std::uint32_t kPlaceMask = (std::uint32_t{1} << (32 - kShortCountBits)) - 1;

std::uint32_t PlaceOf(const SortItem& item) { return item.tag & kPlaceMask; }
std::uint32_t ShortCountOf(const SortItem& item) { return item.tag >> (32 - kShortCountBits); }

// The 66-bit value key * 4 + short count, in six digits of 11 bits from the least significant.
constexpr int kDigitBits = 11;
constexpr int kDigits = 6;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr std::uint32_t kDigitMask = kBuckets - 1;

std::uint32_t Digit(const SortItem& item, int d) {
  if (d == 0) return ((item.keyLow << kShortCountBits) | ShortCountOf(item)) & kDigitMask;
  const int shift = kDigitBits * d - static_cast<int>(kShortCountBits);
  return static_cast<std::uint32_t>(item.Key() >> shift) & kDigitMask;
}

// Key bits that no record sets carry no order: a stroke's key set leaves the positions the
// layout lacks clear (layout 1 uses 25 of 32). Without the low bits clear in every stroke half,
// key * 4 + short count can fit 64 bits, as the item's key, in fewer digits.
struct Compaction {
  int highShift = 0;  // clear low bits of the first stroke in every key
  int lowShift = 0;   // of the second
  int bits = 66;      // of key * 4 + short count once they are dropped

  Compaction(std::uint32_t highBitsUsed, std::uint32_t lowBitsUsed)
      : highShift(highBitsUsed == 0 ? 32 : std::countr_zero(highBitsUsed)),
        lowShift(lowBitsUsed == 0 ? 32 : std::countr_zero(lowBitsUsed)),
        bits(64 - highShift - lowShift + static_cast<int>(kShortCountBits)) {}
  bool Fits() const { return bits <= 64; }
  int Digits() const { return (bits + kDigitBits - 1) / kDigitBits; }
  // The item with key * 4 + short count, the unused bits dropped, as its key.
  void Apply(SortItem& item) const {
    const std::uint64_t key = ((std::uint64_t{item.keyHigh} >> highShift) << (32 - lowShift)) |
                              (std::uint64_t{item.keyLow} >> lowShift);
    const std::uint64_t value = (key << kShortCountBits) | ShortCountOf(item);
    item.keyHigh = static_cast<std::uint32_t>(value >> 32);
    item.keyLow = static_cast<std::uint32_t>(value);
  }
};

std::uint32_t CompactDigit(const SortItem& item, int d) {
  return static_cast<std::uint32_t>(item.Key() >> (kDigitBits * d)) & kDigitMask;
}

bool SameKey(const SortItem& a, const SortItem& b) {
  return a.keyHigh == b.keyHigh && a.keyLow == b.keyLow && ShortCountOf(a) == ShortCountOf(b);
}

// Sorts by (key, short count), greatest first, with a stable least-significant-digit radix sort;
// then puts every run of equal keys in full CompareEntries order. Runs of one outline of at most
// two strokes need nothing when the records came with ascending numbers: they were taken in
// reverse, so such a run already stands by number, greatest first. False when the working memory
// cannot be had (nothing has changed then).
// An array of `count` sort items: from the work area while it reaches, else newly allocated.
class ItemArray {
 public:
  ItemArray(std::size_t count, std::span<std::uint8_t>& workArea) {
    const std::size_t bytes = count * sizeof(SortItem);
    void* start = workArea.data();
    std::size_t space = workArea.size();
    if (std::align(alignof(SortItem), bytes, start, space) != nullptr) {
      items_ = static_cast<SortItem*>(start);
      for (std::size_t i = 0; i < count; ++i) new (items_ + i) SortItem;
      workArea = workArea.subspan(workArea.size() - space + bytes);
    } else {
      owned_.reset(new (std::nothrow) SortItem[count]);
      items_ = owned_.get();
    }
  }
  SortItem* Get() const { return items_; }

 private:
  std::unique_ptr<SortItem[]> owned_;
  SortItem* items_ = nullptr;
};

bool RadixSort(const std::uint8_t** records, std::size_t count, std::span<std::uint8_t> workArea) {
  const ItemArray itemArray(count, workArea);
  const ItemArray scratchArray(count, workArea);
  SortItem* const items = itemArray.Get();
  SortItem* const scratch = scratchArray.Get();
  std::unique_ptr<std::array<std::uint32_t, kBuckets>[]> histograms(
      new (std::nothrow) std::array<std::uint32_t, kBuckets>[kDigits]());
  if (items == nullptr || scratch == nullptr || !histograms) return false;

  std::uintptr_t lowest = UINTPTR_MAX;
  std::uintptr_t highest = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const auto address = reinterpret_cast<std::uintptr_t>(records[i]);
    lowest = std::min(lowest, address);
    highest = std::max(highest, address);
  }
  const bool byDistance = highest - lowest <= kPlaceMask;

  bool ascendingNumbers = true;
  std::uint32_t previousNumber = 0;
  std::uint32_t highBitsUsed = 0;
  std::uint32_t lowBitsUsed = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* record = records[i];
    const std::uint32_t number = EntryRecordView(record).Number();
    if (i > 0 && number <= previousNumber) ascendingNumbers = false;
    previousNumber = number;
    const std::uint64_t key = OutlineKey(record);
    const auto place = static_cast<std::uint32_t>(byDistance ? reinterpret_cast<std::uintptr_t>(record) - lowest : i);
    items[i] = SortItem{static_cast<std::uint32_t>(key >> 32), static_cast<std::uint32_t>(key),
                        (ShortCount(record) << (32 - kShortCountBits)) | place};
    highBitsUsed |= items[i].keyHigh;
    lowBitsUsed |= items[i].keyLow;
  }
  if (ascendingNumbers) std::reverse(items, items + count);

  const Compaction compaction(highBitsUsed, lowBitsUsed);
  const bool compact = compaction.Fits();
  const int digits = compact ? compaction.Digits() : kDigits;
  if (compact) {
    for (std::size_t i = 0; i < count; ++i) compaction.Apply(items[i]);
  }
  const auto digit = [compact](const SortItem& item, int d) { return compact ? CompactDigit(item, d) : Digit(item, d); };

  for (std::size_t i = 0; i < count; ++i) {
    for (int d = 0; d < digits; ++d) ++histograms[d][digit(items[i], d)];
  }

  SortItem* from = items;
  SortItem* to = scratch;
  for (int d = 0; d < digits; ++d) {
    std::array<std::uint32_t, kBuckets>& histogram = histograms[d];
    // A digit all records share moves nothing.
    if (histogram[digit(from[0], d)] == count) continue;
    // Greatest digit first: bucket b starts after all buckets above it.
    std::uint32_t start = 0;
    for (std::size_t b = kBuckets; b-- > 0;) {
      const std::uint32_t size = histogram[b];
      histogram[b] = start;
      start += size;
    }
    for (std::size_t i = 0; i < count; ++i) to[histogram[digit(from[i], d)]++] = from[i];
    std::swap(from, to);
  }

  if (byDistance) {
    for (std::size_t i = 0; i < count; ++i) records[i] = reinterpret_cast<const std::uint8_t*>(lowest + PlaceOf(from[i]));
  } else {
    // `to` is free now: it keeps the caller's pointers while they are put in their new order.
    static_assert(sizeof(std::uint64_t) >= sizeof(std::uintptr_t));
    for (std::size_t i = 0; i < count; ++i) {
      const auto pointer = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(records[i]));
      to[i].keyHigh = static_cast<std::uint32_t>(pointer >> 32);
      to[i].keyLow = static_cast<std::uint32_t>(pointer);
    }
    for (std::size_t i = 0; i < count; ++i) {
      const SortItem& saved = to[PlaceOf(from[i])];
      records[i] = reinterpret_cast<const std::uint8_t*>(static_cast<std::uintptr_t>(saved.Key()));
    }
  }

  for (std::size_t i = 0; i < count;) {
    std::size_t end = i + 1;
    while (end < count && SameKey(from[end], from[i])) ++end;
    if (end - i > 1 && (!ascendingNumbers || ShortCountOf(from[i]) == kLongOutline)) {
      std::stable_sort(records + i, records + end, ComesBefore);
    }
    i = end;
  }
  return true;
}

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

std::size_t CImportDictSort::WorkAreaBytes(std::size_t count) { return 2 * (count * sizeof(SortItem) + alignof(SortItem)); }

void CImportDictSort::Sort(const std::uint8_t** records, std::size_t count, std::span<std::uint8_t> workArea) {
  if (count < 2) return;
  if (count <= kMaxRadixCount && RadixSort(records, count, workArea)) return;
  std::stable_sort(records, records + count, ComesBefore);
}

}  // namespace lexaport
