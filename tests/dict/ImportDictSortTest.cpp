#include "dict/ImportDictSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <tuple>

#include "dict/RecordFixtures.h"
#include "steno/EntryRecord.h"
#include "support/HelperThread.h"

namespace lexaport {
namespace {

using test::Bytes;
using test::Outline;
using test::Record;

TEST(CompareStrokes, OrdersOutlinesAsUnsignedByteStringsThenByLength) {
  struct Case {
    Bytes a, b;
    int expected;
  } cases[] = {
      {Outline({0x80000000}), Outline({0x80000000}), 0},
      {Outline({0x80000000}), Outline({0x40000000}), 1},
      {Outline({0x7F000000}), Outline({0x80000000}), -1},  // bytes are unsigned
      {Outline({0x80000001}), Outline({0x80000000}), 1},   // last byte of a stroke
      {Outline({0x80000000, 1}), Outline({0x80000000, 2}), -1},
      {Outline({0x80000000}), Outline({0x80000000, 0}), -1},  // a prefix is the smaller
      {Outline({0x80000000, 0}), Outline({0x80000000}), 1},
      {Outline({0x40000000, 0xFFFFFFFF}), Outline({0x80000000}), -1},  // the first bytes decide
      {Outline({}), Outline({}), 0},
      {Outline({}), Outline({1}), -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareStrokes(c.a.data(), static_cast<int>(c.a.size() / 4), c.b.data(), static_cast<int>(c.b.size() / 4)),
              c.expected)
        << test::Hex(c.a) << " vs " << test::Hex(c.b);
  }
}

TEST(CompareEntries, BreaksOutlineTiesByNumberThenByDate) {
  const Bytes s = Outline({0x80000000});
  EXPECT_EQ(CompareEntries(Record(s, test::B("a"), {.number = 5}).data(), Record(s, test::B("b"), {.number = 4}).data()), 1);
  EXPECT_EQ(CompareEntries(Record(s, test::B("a"), {.number = 0x80000000}).data(),
                           Record(s, test::B("a"), {.number = 1}).data()),
            1);  // unsigned
  EXPECT_EQ(CompareEntries(Record(s, test::B("a"), {.number = 1, .date = 20200101}).data(),
                           Record(s, test::B("a"), {.number = 1, .date = 20210101}).data()),
            -1);
  // The outline comes first, whatever the numbers.
  EXPECT_EQ(CompareEntries(Record(Outline({0x40000000}), test::B("a"), {.number = 9}).data(),
                           Record(s, test::B("a"), {.number = 0}).data()),
            -1);
}

// The order spelled out on decoded fields: outline bytes (a shorter outline that is a prefix
// compares smaller, as std::vector comparison has it), then number, then date, greatest first.
using ReferenceKey = std::tuple<Bytes, std::uint32_t, std::uint32_t>;

ReferenceKey KeyOf(const std::uint8_t* record) {
  const EntryRecordView v(record);
  return {Bytes(v.Strokes(), v.Strokes() + 4 * v.StrokeCount()), v.Number(), v.CreationDate()};
}

TEST(ImportDictSort, AgreesWithAReferenceOrderOnRandomDictionaries) {
  std::mt19937 random(20240615);
  // Few distinct key sets and short outlines, so that equal outlines and prefixes are common.
  const std::uint32_t keySets[] = {0, 0x80000000, 0x80000001, 0x00800000, 0x7F000000, 0xFF000000, 0x00000080};
  CHelperThread helper(true);
  for (std::size_t count : {0u, 1u, 2u, 3u, 63u, 64u, 65u, 129u, 1000u, 8200u, 40000u}) {
    std::vector<Bytes> records;
    std::vector<std::uint32_t> numbers(count);
    for (std::size_t i = 0; i < count; ++i) numbers[i] = static_cast<std::uint32_t>(i);
    std::shuffle(numbers.begin(), numbers.end(), random);
    for (std::size_t i = 0; i < count; ++i) {
      Bytes strokes;
      const int n = static_cast<int>(random() % 4);  // 0 to 3 strokes
      for (int s = 0; s < n; ++s) {
        const Bytes k = test::K(keySets[random() % std::size(keySets)]);
        strokes.insert(strokes.end(), k.begin(), k.end());
      }
      // Some numbers are far above the others, to catch a signed comparison.
      const std::uint32_t number = random() % 5 == 0 ? numbers[i] | 0x80000000u : numbers[i];
      records.push_back(Record(strokes, test::B("x"), {.number = number, .date = static_cast<std::uint32_t>(20000101 + random() % 3)}));
    }
    std::vector<const std::uint8_t*> reference = test::Pointers(records);
    std::stable_sort(reference.begin(), reference.end(),
                     [](const std::uint8_t* a, const std::uint8_t* b) { return KeyOf(a) > KeyOf(b); });
    for (CHelperThread* sharing : {static_cast<CHelperThread*>(nullptr), &helper}) {
      std::vector<const std::uint8_t*> sorted = test::Pointers(records);
      CImportDictSort::Sort(sorted.data(), sorted.size(), {}, sharing);
      ASSERT_EQ(sorted, reference) << "count " << count << (sharing != nullptr ? ", shared" : "");
    }
  }
}

// As the reader hands them over: numbers ascending in array order. Outlines of up to six strokes
// that often share their first two strokes, so that both the short and the long outlines of one
// key meet; key sets that use every bit, and key sets with the low bits of each stroke clear, as
// layout 1 leaves them (which lets the sort drop those bits). The largest sorts are also shared
// with a helper thread: the first key sets then split the records evenly, or, with only the
// middle bits used, crowd into one bucket of the split digit (no split).
TEST(ImportDictSort, AgreesWithAReferenceOrderInReadingOrder) {
  std::mt19937 random(7);
  CHelperThread helper(true);
  const std::uint32_t common[] = {0x80000000, 0x80000001, 0x00000000, 0xFFFFFFFF, 0x01000080};
  for (const std::uint32_t usedBits : {0xFFFFFFFFu, 0xFFFFFF80u, 0x00FF0000u}) {
    for (std::size_t count : {2u, 5u, 100u, 3000u, 20000u}) {
      std::vector<Bytes> records;
      std::uint32_t number = random() % 3;
      for (std::size_t i = 0; i < count; ++i) {
        Bytes strokes;
        const int n = random() % 8 == 0 ? static_cast<int>(random() % 7) : 1 + static_cast<int>(random() % 2);
        for (int s = 0; s < n; ++s) {
          const std::uint32_t keys =
              usedBits & (random() % 3 != 0 ? common[random() % std::size(common)] : static_cast<std::uint32_t>(random()));
          const Bytes k = test::K(keys);
          strokes.insert(strokes.end(), k.begin(), k.end());
        }
        records.push_back(Record(strokes, test::B("x"), {.number = number, .date = static_cast<std::uint32_t>(20000101 + random() % 3)}));
        number += 1 + (random() % 4 == 0 ? static_cast<std::uint32_t>(random() % 1000) : 0);
      }
      std::vector<const std::uint8_t*> reference = test::Pointers(records);
      std::stable_sort(reference.begin(), reference.end(),
                       [](const std::uint8_t* a, const std::uint8_t* b) { return KeyOf(a) > KeyOf(b); });
      // Without a work area, with one that holds one of the sort's arrays, and with one that
      // holds both (filled with garbage, and not aligned for them).
      for (std::size_t workBytes : {std::size_t{0}, 17 * count, 40 * count}) {
        for (CHelperThread* sharing : {static_cast<CHelperThread*>(nullptr), &helper}) {
          std::vector<std::uint8_t> work(workBytes + 1, 0xA5);
          std::vector<const std::uint8_t*> sorted = test::Pointers(records);
          CImportDictSort::Sort(sorted.data(), sorted.size(), std::span<std::uint8_t>(work.data() + 1, workBytes), sharing);
          ASSERT_EQ(sorted, reference) << "count " << count << ", work area " << workBytes << ", bits " << usedBits
                                       << (sharing != nullptr ? ", shared" : "");
        }
      }
    }
  }
}

// Records that do not lie within 1 GiB of each other (half of them on the stack) are sorted by
// their places in the array rather than by their addresses, on one thread and, for a large sort,
// shared with a helper.
TEST(ImportDictSort, SortsRecordsFarApart) {
  constexpr std::size_t kLargest = 20000;  // shared from 16,384 on
  std::array<std::uint8_t, kLargest / 2 * 32> onStack{};
  CHelperThread helper(true);
  for (const std::size_t count : {std::size_t{400}, kLargest}) {
    std::mt19937 random(3);
    std::vector<Bytes> records;
    for (std::uint32_t i = 0; i < count; ++i) {
      // Few key sets among few records, so that equal outlines are common; many among many, so
      // that the shared sort finds two ranges.
      const std::uint32_t keys = count < kLargest ? static_cast<std::uint32_t>(random() % 6) << 28
                                                  : static_cast<std::uint32_t>(random()) & 0xFFFF0000u;
      records.push_back(Record(test::K(keys), test::B("x"), {.number = i}));
    }
    std::vector<const std::uint8_t*> pointers = test::Pointers(records);
    for (std::size_t i = 0; i < pointers.size(); i += 2) {
      ASSERT_LE(records[i].size(), 32u);
      std::copy(records[i].begin(), records[i].end(), onStack.begin() + 32 * (i / 2));
      pointers[i] = onStack.data() + 32 * (i / 2);
    }
    const auto distance = [](const std::uint8_t* a, const std::uint8_t* b) {
      const auto x = reinterpret_cast<std::uintptr_t>(a);
      const auto y = reinterpret_cast<std::uintptr_t>(b);
      return x > y ? x - y : y - x;
    };
    if (distance(pointers[0], pointers[1]) < (std::uintptr_t{1} << 30)) GTEST_SKIP() << "stack and heap lie close";

    std::vector<const std::uint8_t*> reference = pointers;
    std::stable_sort(reference.begin(), reference.end(),
                     [](const std::uint8_t* a, const std::uint8_t* b) { return KeyOf(a) > KeyOf(b); });
    for (CHelperThread* sharing : {static_cast<CHelperThread*>(nullptr), &helper}) {
      std::vector<const std::uint8_t*> sorted = pointers;
      CImportDictSort::Sort(sorted.data(), sorted.size(), {}, sharing);
      EXPECT_EQ(sorted, reference) << count << " records" << (sharing != nullptr ? ", shared" : "");
    }
  }
}

TEST(ImportDictSort, KeepsTheOrderOfRecordsThatCompareEqual) {
  const Bytes s = Outline({0x80000000});
  const std::vector<Bytes> records = {Record(s, test::B("first")), Record(Outline({0xFF000000}), test::B("x")),
                                      Record(s, test::B("second")), Record(s, test::B("third"))};
  std::vector<const std::uint8_t*> sorted = test::Pointers(records);
  CImportDictSort::Sort(sorted.data(), sorted.size());
  EXPECT_EQ(sorted, (std::vector<const std::uint8_t*>{records[1].data(), records[0].data(), records[2].data(),
                                                      records[3].data()}));
}

}  // namespace
}  // namespace lexaport
