#include "support/CharClass.h"

#include <gtest/gtest.h>

namespace lexaport {
namespace {

TEST(CharClass, ClassifiesWindows1252Bytes) {
  struct Case {
    int byte;
    bool letter, upper, lower, punctuation;
  };
  const Case cases[] = {
      {'A', true, true, false, false},  {'z', true, false, true, false},  {'5', false, false, false, false},
      {' ', false, false, false, false}, {'.', false, false, false, true},  {'~', false, false, false, true},
      {0x80, false, false, false, true}, {0x81, false, false, false, false}, {0x8A, true, true, false, false},
      {0x9A, true, false, true, false},  {0x9F, true, true, false, false},  {0xA0, false, false, false, false},
      {0xBF, false, false, false, true}, {0xC9, true, true, false, false},  {0xD7, false, false, false, true},
      {0xDF, true, false, true, false},  {0xE9, true, false, true, false},  {0xF7, false, false, false, true},
      {0xFF, true, false, true, false},  {0x93, false, false, false, true},
  };
  for (const Case& c : cases) {
    const auto b = static_cast<std::uint8_t>(c.byte);
    EXPECT_EQ(IsLetter(b), c.letter) << c.byte;
    EXPECT_EQ(IsUpperLetter(b), c.upper) << c.byte;
    EXPECT_EQ(IsLowerLetter(b), c.lower) << c.byte;
    EXPECT_EQ(IsPunctuation(b), c.punctuation) << c.byte;
  }
}

TEST(CharClass, ConvertsCaseIncludingThePairsOutsideLatin1) {
  const int pairs[][2] = {{'a', 'A'}, {154, 138}, {156, 140}, {158, 142}, {255, 159}, {0xE9, 0xC9}};
  for (const auto& p : pairs) {
    EXPECT_EQ(ToUpperLetter(static_cast<std::uint8_t>(p[0])), p[1]);
    EXPECT_EQ(ToLowerLetter(static_cast<std::uint8_t>(p[1])), p[0]);
  }
  EXPECT_EQ(ToUpperLetter(223), 223);  // ß has no capital
  EXPECT_EQ(ToUpperLetter('1'), '1');
  EXPECT_EQ(ToLowerLetter('.'), '.');
}

}  // namespace
}  // namespace lexaport
