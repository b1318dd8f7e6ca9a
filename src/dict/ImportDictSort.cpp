#include "dict/ImportDictSort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

#include "steno/EntryRecord.h"
#include "support/HelperThread.h"

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
// from the lowest record when all records lie within 1 GiB, as the reader's mostly do (so the
// sorted records come straight from the items), and otherwise its place in the caller's array
// (record areas too small to be mapped on their own come from the heap, which can lie far from
// the mapped ones).
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

using Histogram = std::array<std::uint32_t, kBuckets>;

// What the items of a range of records tell about the whole.
struct GatherResult {
  bool ascendingNumbers = true;  // within the range
  std::uint32_t firstNumber = 0;
  std::uint32_t lastNumber = 0;
  std::uint32_t highBitsUsed = 0;
  std::uint32_t lowBitsUsed = 0;
};

// Makes the items of records [begin, end), at the same places.
GatherResult GatherItems(const std::uint8_t* const* records, std::size_t begin, std::size_t end, SortItem* items,
                         bool byDistance, std::uintptr_t lowest) {
  GatherResult result;
  for (std::size_t i = begin; i < end; ++i) {
    const std::uint8_t* record = records[i];
    const std::uint32_t number = EntryRecordView(record).Number();
    if (i == begin) result.firstNumber = number;
    if (i > begin && number <= result.lastNumber) result.ascendingNumbers = false;
    result.lastNumber = number;
    const std::uint64_t key = OutlineKey(record);
    const auto place = static_cast<std::uint32_t>(byDistance ? reinterpret_cast<std::uintptr_t>(record) - lowest : i);
    items[i] = SortItem{static_cast<std::uint32_t>(key >> 32), static_cast<std::uint32_t>(key),
                        (ShortCount(record) << (32 - kShortCountBits)) | place};
    result.highBitsUsed |= items[i].keyHigh;
    result.lowBitsUsed |= items[i].keyLow;
  }
  return result;
}

// How the items' keys are cut into digits once they are all made.
class DigitScheme {
 public:
  DigitScheme(std::uint32_t highBitsUsed, std::uint32_t lowBitsUsed)
      : compaction_(highBitsUsed, lowBitsUsed),
        compact_(compaction_.Fits()),
        digits_(compact_ ? compaction_.Digits() : kDigits) {}
  int Digits() const { return digits_; }
  std::uint32_t DigitOf(const SortItem& item, int d) const { return compact_ ? CompactDigit(item, d) : Digit(item, d); }
  // Puts an item's key in the form DigitOf reads.
  void Prepare(SortItem& item) const {
    if (compact_) compaction_.Apply(item);
  }

 private:
  Compaction compaction_;
  bool compact_;
  int digits_;
};

// Sorts `count` prepared items by (key, short count), greatest first, with a stable
// least-significant-digit radix sort, `scratch` (as large) taking turns with them. Returns the
// array that holds the result. `histograms` has a histogram for each digit.
SortItem* SortItems(SortItem* items, SortItem* scratch, std::size_t count, const DigitScheme& scheme,
                    Histogram* histograms) {
  const int digits = scheme.Digits();
  for (int d = 0; d < digits; ++d) histograms[d].fill(0);
  for (std::size_t i = 0; i < count; ++i) {
    for (int d = 0; d < digits; ++d) ++histograms[d][scheme.DigitOf(items[i], d)];
  }

  SortItem* from = items;
  SortItem* to = scratch;
  for (int d = 0; d < digits; ++d) {
    Histogram& histogram = histograms[d];
    // A digit all records share moves nothing.
    if (histogram[scheme.DigitOf(from[0], d)] == count) continue;
    // Greatest digit first: bucket b starts after all buckets above it.
    std::uint32_t start = 0;
    for (std::size_t b = kBuckets; b-- > 0;) {
      const std::uint32_t size = histogram[b];
      histogram[b] = start;
      start += size;
    }
    for (std::size_t i = 0; i < count; ++i) to[histogram[scheme.DigitOf(from[i], d)]++] = from[i];
    std::swap(from, to);
  }
  return from;
}

// Puts every run of equal keys among `count` sorted items, whose records `records` holds in the
// same order, in full CompareEntries order. Runs of one outline of at most two strokes need
// nothing when the records came with ascending numbers: they were taken in reverse, so such a
// run already stands by number, greatest first.
void OrderRunsOfEqualKeys(const SortItem* sorted, std::size_t count, const std::uint8_t** records,
                          bool ascendingNumbers) {
  for (std::size_t i = 0; i < count;) {
    std::size_t end = i + 1;
    while (end < count && SameKey(sorted[end], sorted[i])) ++end;
    if (end - i > 1 && (!ascendingNumbers || ShortCountOf(sorted[i]) == kLongOutline)) {
      std::stable_sort(records + i, records + end, ComesBefore);
    }
    i = end;
  }
}

void PointersByDistance(const SortItem* sorted, std::size_t count, std::uintptr_t lowest, const std::uint8_t** records) {
  for (std::size_t i = 0; i < count; ++i) records[i] = reinterpret_cast<const std::uint8_t*>(lowest + PlaceOf(sorted[i]));
}

// Where places are places in the caller's array, the pointers cannot go back into it while they
// are still being read from it: they are kept in a free item array first, as keys.
void SavePointersByPlace(const SortItem* sorted, std::size_t count, const std::uint8_t* const* records,
                         SortItem* saved) {
  static_assert(sizeof(std::uint64_t) >= sizeof(std::uintptr_t));
  for (std::size_t i = 0; i < count; ++i) {
    const auto pointer = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(records[PlaceOf(sorted[i])]));
    saved[i].keyHigh = static_cast<std::uint32_t>(pointer >> 32);
    saved[i].keyLow = static_cast<std::uint32_t>(pointer);
  }
}

void PointersFromSaved(const SortItem* saved, std::size_t count, const std::uint8_t** records) {
  for (std::size_t i = 0; i < count; ++i) {
    records[i] = reinterpret_cast<const std::uint8_t*>(static_cast<std::uintptr_t>(saved[i].Key()));
  }
}

// From this many records on, a helper thread takes half of the sort: below, handing it over
// costs about what it saves.
constexpr std::size_t kParallelMinimum = 16384;

// The two-thread sort splits the items by their most significant digit into a greater and a
// lesser range, each of which is then sorted on its own; the split is taken only when neither
// range is smaller than this part of the whole.
constexpr std::size_t kSmallestRangeDivisor = 8;

// The bucket of the most significant digit from which on (upwards) the items go into the greater
// range, chosen so that the ranges are as even as they can be; 0 when no split leaves both
// ranges large enough.
std::uint32_t ChooseSplitBucket(const Histogram& top0, const Histogram& top1, std::size_t count) {
  std::size_t above = 0;  // items in buckets from b on
  std::size_t bestImbalance = count;
  std::uint32_t best = 0;
  for (std::size_t b = kBuckets; b-- > 1;) {
    above += top0[b] + top1[b];
    const std::size_t imbalance = above > count - above ? above - (count - above) : (count - above) - above;
    if (imbalance < bestImbalance) {
      bestImbalance = imbalance;
      best = static_cast<std::uint32_t>(b);
    }
  }
  const std::size_t smaller = (count - bestImbalance) / 2;
  if (best == 0 || smaller < count / kSmallestRangeDivisor) return 0;
  return best;
}

// Sorts by (key, short count), then puts every run of equal keys in full CompareEntries order.
// With a helper thread, each step but the smallest is shared: making the items, preparing their
// keys, splitting them into two ranges by their most significant digit, and sorting and turning
// back into pointers one range each. False when the working memory cannot be had (nothing has
// changed then).
bool RadixSort(const std::uint8_t** records, std::size_t count, std::span<std::uint8_t> workArea,
               CHelperThread* helper) {
  const ItemArray itemArray(count, workArea);
  const ItemArray scratchArray(count, workArea);
  SortItem* const items = itemArray.Get();
  SortItem* const scratch = scratchArray.Get();
  // A set of digit histograms for each range, and a histogram of the most significant digit for
  // each half of the items.
  std::unique_ptr<Histogram[]> histograms(new (std::nothrow) Histogram[2 * kDigits + 2]);
  if (items == nullptr || scratch == nullptr || !histograms) return false;

  std::uintptr_t lowest = UINTPTR_MAX;
  std::uintptr_t highest = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const auto address = reinterpret_cast<std::uintptr_t>(records[i]);
    lowest = std::min(lowest, address);
    highest = std::max(highest, address);
  }
  const bool byDistance = highest - lowest <= kPlaceMask;
  const bool shared = helper != nullptr && helper->Available() && count >= kParallelMinimum;
  const std::size_t half = shared ? count / 2 : count;

  // Runs `work(0)` here and `work(1)` on the helper, at once; without it, `work(0)` alone.
  const auto onBoth = [&](const auto& work) {
    if (!shared) {
      work(0);
      return;
    }
    helper->Run([&work] { work(1); });
    work(0);
    helper->Wait();
  };

  GatherResult gathered[2];
  onBoth([&](int part) {
    gathered[part] = part == 0 ? GatherItems(records, 0, half, items, byDistance, lowest)
                               : GatherItems(records, half, count, items, byDistance, lowest);
  });
  bool ascendingNumbers = gathered[0].ascendingNumbers;
  std::uint32_t highBitsUsed = gathered[0].highBitsUsed;
  std::uint32_t lowBitsUsed = gathered[0].lowBitsUsed;
  if (shared) {
    ascendingNumbers = ascendingNumbers && gathered[1].ascendingNumbers && gathered[0].lastNumber < gathered[1].firstNumber;
    highBitsUsed |= gathered[1].highBitsUsed;
    lowBitsUsed |= gathered[1].lowBitsUsed;
  }
  if (ascendingNumbers) std::reverse(items, items + count);
  const DigitScheme scheme(highBitsUsed, lowBitsUsed);

  // Sorts the prepared items as one range, on this thread, and puts the records in their order.
  const auto sortAsOneRange = [&] {
    const SortItem* sorted = SortItems(items, scratch, count, scheme, histograms.get());
    if (byDistance) {
      PointersByDistance(sorted, count, lowest, records);
    } else {
      // The other array is free now.
      SortItem* const saved = sorted == items ? scratch : items;
      SavePointersByPlace(sorted, count, records, saved);
      PointersFromSaved(saved, count, records);
    }
    OrderRunsOfEqualKeys(sorted, count, records, ascendingNumbers);
    return true;
  };
  if (!shared) {
    for (std::size_t i = 0; i < count; ++i) scheme.Prepare(items[i]);
    return sortAsOneRange();
  }

  const int top = scheme.Digits() - 1;
  Histogram* const topOfHalf = histograms.get() + 2 * kDigits;
  onBoth([&](int part) {
    Histogram& counts = topOfHalf[part];
    counts.fill(0);
    const std::size_t end = part == 0 ? half : count;
    for (std::size_t i = part == 0 ? 0 : half; i < end; ++i) {
      scheme.Prepare(items[i]);
      ++counts[scheme.DigitOf(items[i], top)];
    }
  });

  const std::uint32_t split = ChooseSplitBucket(topOfHalf[0], topOfHalf[1], count);
  // Keys that crowd into too few buckets to be shared evenly are sorted as one range.
  if (split == 0) return sortAsOneRange();

  // A stable split into scratch: the greater range first, each range with the first half's
  // items before the second's.
  std::size_t greaterOfHalf[2] = {0, 0};
  for (int part = 0; part < 2; ++part) {
    for (std::size_t b = split; b < kBuckets; ++b) greaterOfHalf[part] += topOfHalf[part][b];
  }
  const std::size_t greater = greaterOfHalf[0] + greaterOfHalf[1];
  onBoth([&](int part) {
    std::size_t toGreater = part == 0 ? 0 : greaterOfHalf[0];
    std::size_t toLesser = greater + (part == 0 ? 0 : half - greaterOfHalf[0]);
    const std::size_t end = part == 0 ? half : count;
    for (std::size_t i = part == 0 ? 0 : half; i < end; ++i) {
      if (scheme.DigitOf(items[i], top) >= split) {
        scratch[toGreater++] = items[i];
      } else {
        scratch[toLesser++] = items[i];
      }
    }
  });

  const SortItem* sortedOf[2] = {nullptr, nullptr};
  SortItem* savedOf[2] = {nullptr, nullptr};
  const auto rangeBegin = [&](int range) { return range == 0 ? std::size_t{0} : greater; };
  const auto rangeSize = [&](int range) { return range == 0 ? greater : count - greater; };
  onBoth([&](int range) {
    const std::size_t begin = rangeBegin(range);
    const std::size_t size = rangeSize(range);
    const SortItem* sorted = SortItems(scratch + begin, items + begin, size, scheme, histograms.get() + range * kDigits);
    sortedOf[range] = sorted;
    if (byDistance) {
      PointersByDistance(sorted, size, lowest, records + begin);
      OrderRunsOfEqualKeys(sorted, size, records + begin, ascendingNumbers);
      return;
    }
    // Either range reads places anywhere in the caller's array, so the pointers go back into it
    // only once both ranges have theirs (in this range's other array, which is free now).
    savedOf[range] = (sorted == items + begin ? scratch : items) + begin;
    SavePointersByPlace(sorted, size, records, savedOf[range]);
  });
  if (!byDistance) {
    onBoth([&](int range) {
      const std::size_t begin = rangeBegin(range);
      PointersFromSaved(savedOf[range], rangeSize(range), records + begin);
      OrderRunsOfEqualKeys(sortedOf[range], rangeSize(range), records + begin, ascendingNumbers);
    });
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

void CImportDictSort::Sort(const std::uint8_t** records, std::size_t count, std::span<std::uint8_t> workArea,
                           CHelperThread* helper) {
  if (count < 2) return;
  if (count <= kMaxRadixCount && RadixSort(records, count, workArea, helper)) return;
  std::stable_sort(records, records + count, ComesBefore);
}

}  // namespace lexaport
