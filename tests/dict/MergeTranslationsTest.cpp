#include "dict/MergeTranslations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "dict/RecordFixtures.h"

namespace lexaport {
namespace {

using test::B;
using test::Bytes;
using test::Cat;
using test::Hex;

TEST(NextAlternativeLength, RunsToTheNextMarkerAndStepsOverOperands) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::size_t expected;
  } cases[] = {
      {"empty", {}, 0},
      {"plain text", B("abc"), 3},
      {"one byte", B("a"), 1},
      {"leading marker skipped, not counted", Cat({B({2}), B("ab"), B({2}), B("c"), B({3})}), 2},
      {"empty alternative", B({2, 2, 'a'}), 0},
      {"ends before a group close", Cat({B("ab"), B({3})}), 2},
      {"16 operand", B({16, 2, 'x', 2}), 3},
      {"18 operand", B({18, 3, 3}), 2},
      {"22 operands", B({22, 2, 3, 'a', 2}), 4},
      {"23 operand", B({23, 3, 'a', 3}), 3},
      {"26 operands", B({26, 2, 3, 2, 'a', 3}), 5},
      {"17 operands", B({17, 2, 2, 3, 2, 3, 'a', 3}), 7},
      {"code 21 block and its bytes", B({21, 7, 3, 0, 0, 0, 2, 3, 2, 'z', 2}), 10},
      {"17 cut short stays inside", B({'a', 17, 1}), 3},
      {"block longer than the rest stays inside", B({21, 7, 255, 255, 255, 255, 'a'}), 7},
      {"block head cut short stays inside", B({21, 7, 1}), 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextAlternativeLength(c.bytes.data(), c.bytes.size()), c.expected) << c.what;
  }
}

TEST(IsWellFormedTranslation, AcceptsPlainTextOrOneWholeGroup) {
  struct Case {
    const char* what;
    Bytes bytes;
    bool expected;
  } cases[] = {
      {"empty", {}, true},
      {"plain", B("word"), true},
      {"group", Cat({B({2}), B("a"), B({2}), B("b"), B({3})}), true},
      {"group of one", B({2, 'a', 3}), true},
      {"empty group", B({2, 3}), true},
      {"code 3 outside a group is ignored", B({'a', 3, 'b'}), true},
      {"code 3 first", B({3, 'a'}), true},
      {"marker as an operand", B({16, 2}), true},
      {"block of subtype 7", B({'a', 21, 7, 2, 0, 0, 0, 2, 3}), true},
      {"marker not at the start", B({'a', 2, 'b'}), false},
      {"group left open", B({2, 'a', 2, 'b'}), false},
      {"bytes after the group", B({2, 'a', 3, 'b'}), false},
      {"second close", B({2, 'a', 3, 3}), false},
      {"block of subtype 2", B({21, 2, 1, 0, 0, 0, 3}), false},
      {"block without subtype", B({'a', 21}), false},
      {"block longer than the translation", B({21, 7, 5, 0, 0, 0, 'x'}), false},
      {"block head cut short", B({21, 7, 0, 0}), false},
      {"operand cut short", B({'a', 18}), false},
      {"17 cut short", B({17, 1, 0, 0, 0}), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsWellFormedTranslation(c.bytes.data(), c.bytes.size()), c.expected) << c.what;
  }
}

TEST(SplitAlternatives, SplitsPlainTextsAndGroups) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::vector<Bytes> expected;
  } cases[] = {
      {"one byte", B("a"), {B("a")}},
      {"plain", B("their"), {B("their")}},
      {"group", Cat({B({2}), B("ab"), B({2}), B("c"), B({3})}), {B("ab"), B("c")}},
      {"empty alternatives dropped", B({2, 'a', 2, 2, 'b', 3}), {B("a"), B("b")}},
      {"code 3 inside is stepped over", B({'a', 3, 'b'}), {B("a"), B("b")}},
      {"code 3 last closes", B({'a', 'b', 3}), {B("ab")}},
      {"operands kept whole", B({2, 16, 3, 2, 22, 2, 3, 3}), {B({16, 3}), B({22, 2, 3})}},
      {"empty", {}, {}},
  };
  for (const Case& c : cases) {
    std::vector<Bytes> got;
    for (auto span : SplitAlternatives(c.bytes)) got.emplace_back(span.begin(), span.end());
    EXPECT_EQ(got, c.expected) << c.what;
  }
}

TEST(MergeTranslations, BuildsAGroupOfTheAlternativesOfBothInOrder) {
  const Bytes groupAB = B({2, 'A', 2, 'B', 3});
  struct Case {
    const char* what;
    Bytes x, y;
    Bytes expected;  // empty: no merge
  } cases[] = {
      {"one-byte translations", B("A"), B("B"), groupAB},
      {"words", B("their"), B("there"), Cat({B({2}), B("their"), B({2}), B("there"), B({3})})},
      {"group and a new alternative", groupAB, B("C"), B({2, 'A', 2, 'B', 2, 'C', 3})},
      {"new alternative and a group", B("C"), groupAB, B({2, 'C', 2, 'A', 2, 'B', 3})},
      {"alternative already present", groupAB, B("B"), groupAB},
      {"same group in another order", groupAB, B({2, 'B', 2, 'A', 3}), groupAB},
      {"identical plain translations", B("A"), B("A"), {}},
      {"identical groups of one", B({2, 'A', 3}), B("A"), {}},
      {"duplicates within one translation stay", B({2, 'A', 2, 'A', 3}), B("A"), B({2, 'A', 2, 'A', 3})},
      {"each alternative removes one duplicate", B("A"), B({2, 'A', 2, 'A', 3}), B({2, 'A', 2, 'A', 3})},
      {"codes with marker-like operands", B({18, 2, 'x'}), B({16, 3}), B({2, 18, 2, 'x', 2, 16, 3, 3})},
      {"code 3 inside a plain translation", B({'a', 3, 'b'}), B("c"), B({2, 'a', 2, 'b', 2, 'c', 3})},
      {"block of subtype 7", B({21, 7, 1, 0, 0, 0, 2}), B("c"), B({2, 21, 7, 1, 0, 0, 0, 2, 2, 'c', 3})},
      {"x not well formed", B({'a', 2, 'b'}), B("c"), {}},
      {"y not well formed", B("c"), B({2, 'a'}), {}},
      {"header code block cannot merge", B({21, 2, 2, 0, 0, 0, 3, 'Q'}), B("c"), {}},
      {"empty and plain: one alternative", {}, B("c"), {}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> out{0xEE};
    const std::size_t length = MergeTranslations(c.x, c.y, out);
    if (c.expected.empty()) {
      EXPECT_EQ(length, 0u) << c.what;
    } else {
      EXPECT_EQ(length, c.expected.size()) << c.what;
      EXPECT_EQ(Hex(out), Hex(c.expected)) << c.what;
    }
  }
}

TEST(MergeTranslations, TakesTheTranslationsOfTwoRecords) {
  const Bytes x = test::Record(test::Outline({0x80000000, 0x40000000}), B("yes"));
  const Bytes y = test::Record(test::Outline({0x80000000, 0x40000000}), B("no"));
  std::vector<std::uint8_t> out;
  ASSERT_EQ(MergeTranslations(x.data(), y.data(), out), 8u);
  EXPECT_EQ(Hex(out), Hex(Cat({B({2}), B("yes"), B({2}), B("no"), B({3})})));
}

// Arbitrary bytes, mostly codes: every function reads only inside the translation (checked under
// the address sanitizer, the buffers being exactly as long as the translation), and a merge of
// two translations is itself a well-formed group holding exactly the alternatives it took.
TEST(MergeTranslations, ArbitraryBytesStayInsideAndMergeIntoWellFormedGroups) {
  std::mt19937 random(3);
  const std::uint8_t alphabet[] = {2, 2, 3, 3, 'a', 'b', 16, 17, 18, 21, 21, 7, 22, 23, 26, 0, 255};
  const auto randomTranslation = [&] {
    Bytes t(random() % 12);
    for (auto& b : t) b = alphabet[random() % std::size(alphabet)];
    if (t.size() > 2 && random() % 3 == 0) {  // make some of them groups
      t.front() = 2;
      t.back() = 3;
    }
    return t;
  };
  int merges = 0;
  for (int round = 0; round < 20000; ++round) {
    const Bytes x = randomTranslation();
    const Bytes y = randomTranslation();
    auto heapX = std::make_unique<std::uint8_t[]>(x.size());
    std::copy(x.begin(), x.end(), heapX.get());
    const std::span<const std::uint8_t> spanX(heapX.get(), x.size());
    (void)NextAlternativeLength(spanX.data(), spanX.size());
    (void)SplitAlternatives(spanX);
    std::vector<std::uint8_t> out;
    const std::size_t length = MergeTranslations(spanX, y, out);
    if (length == 0) continue;
    ++merges;
    ASSERT_EQ(length, out.size());
    ASSERT_TRUE(IsWellFormedTranslation(out.data(), out.size())) << Hex(x) << " + " << Hex(y) << " = " << Hex(out);
    const auto fromX = SplitAlternatives(x);
    const auto merged = SplitAlternatives(out);
    ASSERT_GE(merged.size(), fromX.size());
    for (std::size_t i = 0; i < fromX.size(); ++i) {
      ASSERT_TRUE(std::equal(fromX[i].begin(), fromX[i].end(), merged[i].begin(), merged[i].end())) << Hex(out);
    }
  }
  EXPECT_GT(merges, 100);
}

}  // namespace
}  // namespace lexaport
