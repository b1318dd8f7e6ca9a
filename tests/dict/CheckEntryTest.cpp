#include "dict/CheckEntry.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "dict/RecordFixtures.h"
#include "steno/StenoKeys.h"

namespace lexaport {
namespace {

using test::B;
using test::Bytes;
using test::Outline;
using test::Record;
using namespace entryfault;

constexpr std::uint32_t kToday = test::kToday;

std::uint32_t Check(const Bytes& record) { return CheckEntry(record.data(), CStenoKeys::NumberedLayout(1), kToday); }

std::uint32_t CheckTranslation(const Bytes& translation) { return Check(Record(Outline({0x80000000}), translation)); }

TEST(CheckEntry, DatesOutlineAndPadding) {
  const Bytes s = Outline({0x80000000});
  const Bytes the = B("the");
  Bytes badPadding = Record(s, B("ab"));
  badPadding.back() = 1;
  Bytes sixteen, seventeen, seventeenWithBadKey;
  for (int i = 0; i < 17; ++i) {
    const Bytes k = test::K(0x40000000);
    if (i < 16) sixteen.insert(sixteen.end(), k.begin(), k.end());
    seventeen.insert(seventeen.end(), k.begin(), k.end());
    const Bytes bad = test::K(i == 3 ? 0x40000040 : 0x40000000);
    seventeenWithBadKey.insert(seventeenWithBadKey.end(), bad.begin(), bad.end());
  }
  struct Case {
    const char* what;
    Bytes record;
    std::uint32_t expected;
  } cases[] = {
      {"sound entry", Record(s, the), 0},
      {"created on 2000-01-01", Record(s, the, {.date = 20000101}), 0},
      {"created today", Record(s, the, {.date = kToday}), 0},
      {"created in 1999", Record(s, the, {.date = 19991231}), kCreationDateTooEarly},
      {"no creation date", Record(s, the, {.date = 0}), kCreationDateTooEarly},
      {"created tomorrow", Record(s, the, {.date = kToday + 1}), kCreationDateInFuture},
      {"second date after the first", Record(s, the, {.secondDate = 20240101}), 0},
      {"second date equal to the first", Record(s, the, {.secondDate = test::kEarlier}), 0},
      {"second date in 1999", Record(s, the, {.secondDate = 19990101}), kSecondDateTooEarly | kSecondDateBeforeCreation},
      {"second date in the future", Record(s, the, {.secondDate = kToday + 1}), kSecondDateInFuture},
      {"second date before the first", Record(s, the, {.secondDate = 20230228}), kSecondDateBeforeCreation},
      {"no strokes", Record({}, the), kBadStrokeCount},
      {"16 strokes", Record(sixteen, the), 0},
      {"17 strokes", Record(seventeen, the), kBadStrokeCount},
      {"17 strokes, key bits not looked at", Record(seventeenWithBadKey, the), kBadStrokeCount},
      {"empty translation", Record(s, {}), kEmptyTranslation},
      {"padding not zero", badPadding, kPaddingNotZero},
      {"the '!' key (position 24)", Record(Outline({0x00000080}), the), 0},
      {"position 25", Record(Outline({0x00000040}), the), kUnknownKeyBits},
      {"position 31 in a later stroke", Record(Outline({0x80000000, 0x00000001}), the), kUnknownKeyBits},
      {"empty translation and a bad key", Record(Outline({0x00000040}), {}), kEmptyTranslation | kUnknownKeyBits},
      {"bad key: translation not scanned", Record(Outline({0x00000040}), B({0})), kUnknownKeyBits},
      {"bad padding: translation not scanned", [] {
         Bytes r = Record(Outline({0x80000000}), B({11, 'a'}));
         r.back() = 9;
         return r;
       }(),
       kPaddingNotZero},
  };
  for (const Case& c : cases) EXPECT_EQ(Check(c.record), c.expected) << c.what;
}

TEST(CheckEntry, LooksAtEveryKeyPositionTheLayoutLacks) {
  // A layout with one key more than layout 1 allows position 25.
  StenoLayout wider = CStenoKeys::NumberedLayout(1);
  wider.rightBank = static_cast<std::uint8_t>(wider.rightBank + 1);
  const Bytes record = Record(Outline({0x00000040}), B("x"));
  EXPECT_EQ(CheckEntry(record.data(), wider, kToday), 0u);
  EXPECT_EQ(CheckEntry(record.data(), CStenoKeys::NumberedLayout(1), kToday), kUnknownKeyBits);
}

TEST(CheckEntry, TranslationCodes) {
  struct Case {
    const char* what;
    Bytes translation;
    std::uint32_t expected;
  } cases[] = {
      {"text and simple codes", B({'a', 0xFF, 32, 1, 4, 8, 9, 10, 12, 15, 20, 24, 25, 27, 28, 29, 30, 31}), 0},
      {"code 0", B({'a', 0}), kInvalidCode},
      {"code 5", B({5}), kInvalidCode},
      {"code 6", B({6}), kInvalidCode},
      {"code 7", B({7}), kInvalidCode},
      {"code 19", B({19, 1}), kInvalidCode},
      {"codes 11, 13, 14", B({11, 'a', 13, 14}), kWarningCode},
      {"scan stops at an invalid code", B({0, 11}), kInvalidCode},
      {"faults before it stay", B({11, 0, 18, 200}), kWarningCode | kInvalidCode},
      {"16 with any operand", B({16, 0}), 0},
      {"16 cut short", B({'a', 16}), kInvalidCode},
      {"17 valid subcode", B({17, 29, 9, 9, 9, 9}), 0},
      {"17 index value 36", B({17, 10, 36, 0, 0, 0}), 0},
      {"17 index value 37", B({17, 140, 37, 0, 0, 0}), kInvalidCode},
      {"17 index value in the high byte", B({17, 138, 0, 0, 0, 1}), kInvalidCode},
      {"17 subcode 22 value 20", B({17, 22, 20, 0, 0, 0}), 0},
      {"17 subcode 22 value 21", B({17, 22, 21, 0, 0, 0}), kInvalidCode},
      {"17 position code value 0", B({17, 13, 0, 0, 0, 0}), 0},
      {"17 position code value 1", B({17, 26, 0, 1, 0, 0}), kWarningCode},
      {"17 unknown subcode", B({17, 9, 0, 0, 0, 0}), kUnknownSubcode},
      {"17 cut short", B({'a', 17, 1, 0, 0, 0}), kInvalidCode},
      {"17 operands are not scanned", B({17, 1, 0, 5, 19, 2}), 0},
      {"18 valid", B({18, 1, 18, 12, 18, 14, 18, 129, 18, 139, 18, 142}), 0},
      {"18 subcode 13", B({18, 13}), kUnknownSubcode},
      {"18 subcode 140", B({18, 140}), kUnknownSubcode},
      {"18 cut short", B({18}), kInvalidCode},
      {"22 valid", B({22, 1, 0, 22, 10, 0, 22, 255, 7}), 0},
      {"22 subcode 11", B({22, 11, 0}), kUnknownSubcode},
      {"22 cut short", B({22, 1}), kInvalidCode},
      {"23 valid", B({23, 9, 23, 10, 23, 137, 23, 138}), 0},
      {"23 warned", B({23, 1, 23, 140}), kWarningCode},
      {"23 unknown", B({23, 11}), kUnknownSubcode},
      {"26 font size 8", B({26, 128, 8, 0}), 0},
      {"26 font size 33", B({26, 128, 33, 0}), kInvalidCode},
      {"26 font size -8", B({26, 128, 0xF8, 0xFF}), kInvalidCode},
      {"26 subcode 129 upper bound", B({26, 129, 28, 0, 26, 130, 15, 0, 26, 131, 4, 0}), 0},
      {"26 subcode 131 value 5", B({26, 131, 5, 0}), kInvalidCode},
      {"26 subcode 133 value 0", B({26, 133, 0, 0}), 0},
      {"26 subcode 133 value 10", B({26, 133, 10, 0}), kInvalidCode},
      {"26 subcode 132 any value", B({26, 132, 0xFF, 0x7F}), 0},
      {"26 subcodes 0 and 145", B({26, 0, 0, 0, 26, 145, 1, 2}), 0},
      {"26 subcode 12", B({26, 12, 0, 0}), kUnknownSubcode},
      {"26 subcode 127", B({26, 127, 0, 0}), kUnknownSubcode},
      {"26 subcode 143", B({26, 143, 0, 0}), kUnknownSubcode},
      {"26 subcode 146", B({26, 146, 0, 0}), kUnknownSubcode},
      {"26 cut short", B({26, 128, 8}), kInvalidCode},
      {"header block: the rest is not scanned", B({'Q', 21, 2, 3, 0, 0, 0, 0, 5, 6}), 0},
      {"block of subtype 7", B({21, 7, 9, 9, 9, 9, 0}), 0},
      {"block of another subtype", B({21, 3, 0, 0, 0, 0}), kInvalidCode},
      {"block without subtype", B({'a', 21}), kInvalidCode},
      {"group", B({2, 'a', 2, 'b', 3}), 0},
      {"group left open", B({2, 'a', 2, 'b'}), kGroupLeftOpen},
      {"group open where the scan stops at a block", B({2, 'a', 21, 7, 0, 0, 0, 0, 3}), kGroupLeftOpen},
      {"group open at an invalid code", B({2, 'a', 0, 3}), kInvalidCode | kGroupLeftOpen},
      {"close without a group", B({'a', 3}), 0},
      {"several faults add up", B({11, 18, 13, 22, 0, 0}), kWarningCode | kUnknownSubcode},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckTranslation(c.translation), c.expected) << c.what;
}

// Text is passed over several bytes at a time: a code is found in every place of a long text,
// and no text byte, however high or low, is taken for one.
TEST(CheckEntry, CodesAreFoundAnywhereInALongText) {
  for (std::size_t length = 1; length <= 24; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const std::uint8_t text : {std::uint8_t{32}, std::uint8_t{'a'}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
        Bytes translation(length, text);
        EXPECT_EQ(CheckTranslation(translation), 0u) << length << " bytes of " << int{text};
        translation[at] = 5;
        EXPECT_EQ(CheckTranslation(translation), kInvalidCode) << length << " " << at << " " << int{text};
        translation[at] = 11;
        EXPECT_EQ(CheckTranslation(translation), kWarningCode) << length << " " << at << " " << int{text};
        translation[at] = 31;
        EXPECT_EQ(CheckTranslation(translation), 0u) << length << " " << at << " " << int{text};
      }
    }
  }
}

TEST(CheckEntry, OnlyAFaultFreeResultIsAccepted) {
  EXPECT_TRUE(IsAcceptedEntry(0));
  EXPECT_TRUE(IsAcceptedEntry(0x4000));
  EXPECT_TRUE(IsAcceptedEntry(0x8000));
  EXPECT_FALSE(IsAcceptedEntry(0xC000));
  EXPECT_FALSE(IsAcceptedEntry(kWarningCode));
  EXPECT_FALSE(IsAcceptedEntry(kGroupLeftOpen));
}

// Records of arbitrary content, each in a heap block of exactly its size: under the address
// sanitizer this shows that the check reads nothing outside the record.
TEST(CheckEntry, ArbitraryRecordsAreReadOnlyInsideThemselves) {
  std::mt19937 random(11);
  const std::uint8_t alphabet[] = {2, 3, 'a', 16, 17, 18, 19, 21, 2, 7, 22, 23, 26, 128, 133, 0, 11, 255};
  const StenoLayout layout = CStenoKeys::NumberedLayout(1);
  for (int round = 0; round < 20000; ++round) {
    Bytes strokes(4 * (random() % 3));
    for (auto& b : strokes) b = static_cast<std::uint8_t>(random());
    Bytes translation(random() % 10);
    for (auto& b : translation) b = alphabet[random() % std::size(alphabet)];
    Bytes record = Record(strokes, translation, {.date = 20000101 + static_cast<std::uint32_t>(random() % 300000)});
    if (random() % 4 == 0) record.back() = static_cast<std::uint8_t>(random());
    auto heap = std::make_unique<std::uint8_t[]>(record.size());
    std::copy(record.begin(), record.end(), heap.get());
    const std::uint32_t faults = CheckEntry(heap.get(), layout, kToday);
    EXPECT_EQ(faults & 0xFFFE0000u, 0u);
  }
}

}  // namespace
}  // namespace lexaport
