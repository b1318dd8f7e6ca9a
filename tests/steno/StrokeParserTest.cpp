#include "steno/StrokeParser.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "common/TestUtil.h"
#include "support/CharClass.h"

namespace lexaport {
namespace {

using test::Hex;

// The parser must say exactly what CStenoKeys::ParseStroke says for the same layout.
void ExpectSameAsParseStroke(const CStenoKeys& keys, const CStrokeParser& parser, std::string_view text) {
  KeySet expected{};
  KeySet got{};
  const bool valid = keys.ParseStroke(text, expected);
  ASSERT_EQ(parser.Parse(text, got), valid) << '"' << text << '"';
  if (valid) {
    ASSERT_EQ(Hex(got.data(), 4), Hex(expected.data(), 4)) << '"' << text << '"';
  }
}

// Random stroke texts made mostly of what the layout's strokes are made of: its letters in both
// cases, digits, '#', '-', '/', ' ', '!', and now and then any byte at all.
std::vector<std::string> RandomTexts(const StenoLayout& layout, unsigned seed, std::size_t count) {
  std::string alphabet = "0123456789#-/ !*";
  for (const auto* field : {&layout.keyLetters, &layout.numberLetters}) {
    for (char c : *field) {
      if (c == '\0') break;
      alphabet += c;
      alphabet += static_cast<char>(ToLowerLetter(static_cast<std::uint8_t>(c)));
    }
  }
  std::mt19937 random(seed);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t length = random() % 4 == 0 ? random() % 32 : random() % 9;
    std::string text;
    for (std::size_t j = 0; j < length; ++j) {
      text += random() % 50 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
    }
    texts.push_back(std::move(text));
  }
  return texts;
}

// Every stroke of the layout in key order is valid; fed in that order, the parser must see each.
std::vector<std::string> KeyOrderTexts(const StenoLayout& layout) {
  std::vector<std::string> texts;
  std::string all;
  for (char c : layout.keyLetters) {
    if (c == '\0') break;
    all += c;
    texts.emplace_back(1, c);
    texts.push_back("-" + std::string(1, c));
    texts.push_back(all);
  }
  return texts;
}

// The bytes an outline run may hold, as the reader takes them: the layout's letters and '-', but
// no stroke separator.
std::array<bool, 256> RunLetters(const StenoLayout& layout) {
  std::array<bool, 256> inRun{};
  inRun['-'] = true;
  for (const auto* field : {&layout.keyLetters, &layout.numberLetters}) {
    for (char c : *field) {
      if (c == '\0') break;
      inRun[static_cast<std::uint8_t>(c)] = true;
    }
  }
  inRun['/'] = inRun[','] = inRun[0] = false;
  return inRun;
}

// Reading a run where it stands must end where the run ends and, when it reads the run as a
// stroke, give what Parse gives for the run's text. Returns whether it read the run.
bool ExpectRunAsParse(const CStrokeParser& parser, const strokeparse::RunTable& table,
                      const std::array<bool, 256>& inRun, const std::string& text) {
  const auto* start = reinterpret_cast<const std::uint8_t*>(text.c_str());
  const std::uint8_t* end = start;
  while (inRun[*end]) ++end;
  const std::uint8_t* p = start;
  KeySet got{};
  const bool read = parser.ParseRun(p, table, got);
  EXPECT_EQ(p, end) << '"' << text << '"';
  if (!read) return false;
  KeySet expected{};
  const std::string_view run(text.data(), static_cast<std::size_t>(end - start));
  EXPECT_TRUE(parser.Parse(run, expected)) << '"' << text << '"';
  EXPECT_EQ(Hex(got.data(), 4), Hex(expected.data(), 4)) << '"' << text << '"';
  return true;
}

void CheckLayout(const CStenoKeys& keys, unsigned seed) {
  const CStrokeParser parser(keys);
  const std::array<bool, 256> inRun = RunLetters(keys.Layout());
  strokeparse::RunTable runTable{};
  parser.MakeRunTable(inRun, runTable);
  for (const std::string& text : KeyOrderTexts(keys.Layout())) {
    ExpectSameAsParseStroke(keys, parser, text);
    ExpectRunAsParse(parser, runTable, inRun, text + "/X");
  }
  for (const std::string& text : RandomTexts(keys.Layout(), seed, 20000)) {
    ExpectSameAsParseStroke(keys, parser, text);
    ExpectRunAsParse(parser, runTable, inRun, text);
  }
}

TEST(StrokeParser, EqualsParseStrokeForEveryNumberedLayout) {
  for (int number : {1, 2, 3, 4, 6, 7, 8, 9, 10}) {
    SCOPED_TRACE(number);
    CStenoKeys keys;
    ASSERT_TRUE(keys.SelectLayout(number));
    CheckLayout(keys, static_cast<unsigned>(number));
  }
}

TEST(StrokeParser, EqualsParseStrokeForFileDefinedLayouts) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    CStenoKeys keys;
    // The '!' position stays that of the numbered layout chosen last, whatever the file defines.
    ASSERT_TRUE(keys.SelectLayout(round % 2 == 0 ? 1 : 8));
    StenoLayout& layout = keys.Layout();
    layout.Clear();
    // Up to 32 letters: a field without a terminating zero is read to its end. Letters repeat,
    // and '#' may be missing from the number-bar letters.
    for (auto* field : {&layout.keyLetters, &layout.numberLetters}) {
      const std::size_t length = random() % 33;
      for (std::size_t i = 0; i < length; ++i) {
        const char* pool = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789#!*(ab\xC9\xE9\x9A";
        (*field)[i] = pool[random() % std::char_traits<char>::length(pool)];
      }
    }
    layout.leftBank = static_cast<std::uint8_t>(round < 20 ? random() % 12 : random() % 256);
    layout.middleBank = static_cast<std::uint8_t>(random() % 256);
    layout.rightBank = static_cast<std::uint8_t>(random() % 256);
    CheckLayout(keys, 100 + static_cast<unsigned>(round));
  }
}

TEST(StrokeParser, ReachesTheLastPositionOfAFullField) {
  CStenoKeys keys;
  StenoLayout& layout = keys.Layout();
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!#*(12";  // 32 letters, no zero
  std::copy(letters.begin(), letters.end(), layout.keyLetters.begin());
  std::copy(letters.begin(), letters.end(), layout.numberLetters.begin());
  CheckLayout(keys, 3);
  const CStrokeParser parser(keys);
  KeySet set{};
  ASSERT_TRUE(parser.Parse("A2", set));
  EXPECT_EQ(Hex(set.data(), 4), "80 00 00 11");  // A, the number key (27) for the digit, 2 (31)
}

TEST(StrokeParser, ReadsTheCommonStrokeWhereItStands) {
  const CStenoKeys keys;
  const CStrokeParser parser(keys);
  const std::array<bool, 256> inRun = RunLetters(keys.Layout());
  strokeparse::RunTable runTable{};
  parser.MakeRunTable(inRun, runTable);
  // Read in place: letters in key order, with and without '-'. Left to Parse: the empty run, the
  // number bar, letters out of order, and '!' with another key.
  for (const char* text : {"STKPW/-T", "-T}", "TKPWHRAO*EUFRPBLGTSDZ/", "PH-PBLG "}) {
    EXPECT_TRUE(ExpectRunAsParse(parser, runTable, inRun, text)) << text;
  }
  for (const char* text : {"/S", "}", "#T", "1-9", "TS-S", "ST!"}) {
    EXPECT_FALSE(ExpectRunAsParse(parser, runTable, inRun, text)) << text;
  }
}

TEST(StrokeParser, PreparedAgainFollowsTheLayout) {
  CStenoKeys keys;
  CStrokeParser parser(keys);
  KeySet set{};
  ASSERT_TRUE(parser.Parse("STKPW", set));
  EXPECT_EQ(Hex(set.data(), 4), "f8 00 00 00");
  ASSERT_TRUE(keys.SelectLayout(4));  // "SBTGDRLAU*OIRLMBGDSTNE#(!"
  parser.Prepare(keys);
  EXPECT_FALSE(parser.Parse("STKPW", set));
  ASSERT_TRUE(parser.Parse("SB", set));
  EXPECT_EQ(Hex(set.data(), 4), "c0 00 00 00");
}

}  // namespace
}  // namespace lexaport
