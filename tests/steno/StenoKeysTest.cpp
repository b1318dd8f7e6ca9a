#include "steno/StenoKeys.h"

#include <gtest/gtest.h>

#include <string>

#include "common/TestUtil.h"

namespace lexaport {
namespace {

using test::Hex;

std::string Parse(const CStenoKeys& keys, std::string_view text) {
  KeySet set{};
  if (!keys.ParseStroke(text, set)) return "invalid";
  return Hex(set.data(), set.size());
}

TEST(StenoKeys, ParsesLayoutOneStrokes) {
  CStenoKeys keys;
  struct Case {
    const char* text;
    const char* keySet;
  };
  const Case cases[] = {
      {"STKPW", "f8 00 00 00"},
      {"-T", "00 00 20 00"},
      {"T", "40 00 00 00"},
      {"1-9", "80 00 22 00"},
      {"#1-9", "80 00 22 00"},
      {"#S-T", "invalid"},  // with the number key, the left S is written 1
      {"SKWRAOEU", "ab b0 00 00"},
      {"KS", "20 00 10 00"},  // the second S can only be the right-bank one
      {"RA-R", "03 04 00 00"},
      {"!", "00 00 00 80"},
      {"S!", "invalid"},
      {"stkpw", "f8 00 00 00"},
      {"/S", "80 00 00 00"},
      {"S/T", "invalid"},
      {"S T", "invalid"},
      {"", "invalid"},
      {"TS", "40 00 10 00"},
      {"AOEU", "01 b0 00 00"},
      {"*T", "00 40 20 00"},
      {"-Z", "00 00 04 00"},
      {"-ZD", "invalid"},  // out of key order
      {"SKWRAO/TSKWR", "invalid"},
      {"#", "00 00 02 00"},
      {"2-", "40 00 02 00"},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(keys, c.text), c.keySet) << c.text;
}

TEST(StenoKeys, PrintsStrokesAndOutlines) {
  CStenoKeys keys;
  struct Case {
    const char* stroke;
    const char* text;
  };
  const Case cases[] = {
      {"-T", "/-T"}, {"AO", "/AO"}, {"S-T", "/S-T"}, {"*T", "/*T"}, {"#2-G", "/#2-G"},
      {"1-9", "/#1-9"}, {"STKPWHRAO*EUFRPBLGTSDZ", "/STKPWHRAO*EUFRPBLGTSDZ"}, {"-FRPBLG", "/-FRPBLG"},
  };
  for (const Case& c : cases) {
    KeySet set{};
    ASSERT_TRUE(keys.ParseStroke(c.stroke, set)) << c.stroke;
    char text[kStrokeTextMax + 1];
    keys.StrokeToText(set.data(), text, true, true, false);
    EXPECT_STREQ(text, c.text) << c.stroke;
    // Printing and parsing again gives the same keys.
    KeySet again{};
    ASSERT_TRUE(keys.ParseStroke(text, again)) << text;
    EXPECT_EQ(again, set) << text;
  }

  std::uint8_t outline[8] = {0x80, 0, 0, 0, 0, 0, 0x20, 0};
  std::string out;
  EXPECT_EQ(keys.OutlineToText(outline, 2, out), 5);
  EXPECT_EQ(out, "/S/-T");

  // Without the slash and the number sign, and with number letters forced.
  KeySet set{};
  ASSERT_TRUE(keys.ParseStroke("ST", set));
  char text[kStrokeTextMax + 1];
  keys.StrokeToText(set.data(), text, false, false, true);
  EXPECT_STREQ(text, "12");
}

TEST(StenoKeys, SelectsAndIdentifiesEveryNumberedLayout) {
  for (int number : {1, 2, 3, 4, 6, 7, 8, 9, 10}) {
    StenoLayout record = CStenoKeys::NumberedLayout(number);
    EXPECT_EQ(CStenoKeys::IdentifyLayout(record), number);
    CStenoKeys keys;
    EXPECT_TRUE(keys.SelectLayout(number));
    EXPECT_EQ(keys.Layout(), CStenoKeys::NumberedLayout(number));
    EXPECT_EQ(keys.Layout().leftBank + keys.Layout().middleBank + keys.Layout().rightBank + 3, 25);
    EXPECT_EQ(keys.NumberKeyPosition(), 22);
    EXPECT_EQ(keys.ExclamationKeyPosition(), 24);
  }
}

TEST(StenoKeys, FallsBackToLayoutOneOnAnInvalidChoice) {
  for (int number : {5, 11, -1}) {
    CStenoKeys keys;
    EXPECT_FALSE(keys.SelectLayout(number)) << number;
    EXPECT_EQ(keys.Layout(), CStenoKeys::NumberedLayout(1));
  }
  // Number 0 keeps the record; an unidentifiable record falls back too.
  CStenoKeys keys;
  ASSERT_TRUE(keys.SelectLayout(3));
  EXPECT_TRUE(keys.SelectLayout(0));
  EXPECT_EQ(keys.Layout(), CStenoKeys::NumberedLayout(3));
  keys.Layout().keyLetters[0] = 'X';
  EXPECT_FALSE(keys.SelectLayout(0));
  EXPECT_EQ(keys.Layout(), CStenoKeys::NumberedLayout(1));
}

TEST(StenoKeys, RewritesTheOlderLayoutForms) {
  auto record = [](const char* keys, const char* numbers) {
    StenoLayout r;
    std::snprintf(r.keyLetters.data(), r.keyLetters.size(), "%s", keys);
    std::snprintf(r.numberLetters.data(), r.numberLetters.size(), "%s", numbers);
    return r;
  };
  StenoLayout old8 = record("SKPMTF*RNLYOEAUIln$D[ #(!", "SKPMTF*RNLYOEAUIln$D[ #(!");
  EXPECT_EQ(CStenoKeys::IdentifyLayout(old8), 8);
  EXPECT_EQ(old8, CStenoKeys::NumberedLayout(8));
  StenoLayout noParen = record("STKPWHRAO*EUFRPBLGTSDZ#!", "12K3W4R50*EU6R7B8G9SDZ#!");
  EXPECT_EQ(CStenoKeys::IdentifyLayout(noParen), 1);
  EXPECT_EQ(noParen, CStenoKeys::NumberedLayout(1));
  StenoLayout noBang = record("STKPWHRAO*EUFRPBLGTSDZ#(", "12K3W4R50*EU6R7B8G9SDZ#(");
  EXPECT_EQ(CStenoKeys::IdentifyLayout(noBang), 1);
  StenoLayout unknown = record("ABC", "123");
  EXPECT_EQ(CStenoKeys::IdentifyLayout(unknown), 0);
}

TEST(StenoKeys, LayoutEightHasASpaceKey) {
  CStenoKeys keys;
  ASSERT_TRUE(keys.SelectLayout(8));
  KeySet set{};
  // A space in the stroke text is never a key, even in layout 8.
  EXPECT_FALSE(keys.ParseStroke("S D", set));
  ASSERT_TRUE(keys.ParseStroke("SK", set));
  EXPECT_EQ(Hex(set.data(), 4), "c0 00 00 00");
}

TEST(StenoKeys, StaysInsideTheKeySetWithAFileDefinedLayout) {
  CStenoKeys keys;
  StenoLayout& layout = keys.Layout();
  layout.Clear();
  std::snprintf(layout.keyLetters.data(), layout.keyLetters.size(), "%s", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
  std::snprintf(layout.numberLetters.data(), layout.numberLetters.size(), "%s", "0123456789");
  layout.leftBank = 250;
  layout.middleBank = 250;
  layout.rightBank = 250;

  KeySet set{};
  ASSERT_TRUE(keys.ParseStroke("AZ", set));
  EXPECT_FALSE(keys.ParseStroke("A-Z", set));  // "-" moves the cursor past every letter it has
  // Every key but the number key (position 22, kept from the last numbered layout).
  const std::uint8_t all[4] = {0xFF, 0xFF, 0xFD, 0xFF};
  char text[kStrokeTextMax + 1];
  const int length = keys.StrokeToText(all, text, true, true, false);
  EXPECT_LE(length, static_cast<int>(kStrokeTextMax));
  EXPECT_EQ(std::string(text), "/ABCDEFGHIJKLMNOPQRSTUVXYZabcde");
  const std::uint8_t withNumberKey[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  keys.StrokeToText(withNumberKey, text, true, true, false);
  EXPECT_EQ(std::string(text), "/#0123456789");
}

}  // namespace
}  // namespace lexaport
