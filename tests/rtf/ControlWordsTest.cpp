#include "rtf/ControlWords.h"

#include <gtest/gtest.h>

#include <string>

#include "rtf/CatSystem.h"
#include "rtf/StyleNames.h"

namespace lexaport {
namespace {

using namespace rtfwords;

TEST(ControlWordsTest, EveryListedWordIsFoundAtItsOwnPosition) {
  for (std::size_t i = 0; i < kRtfWords.size(); ++i) {
    if (kRtfWords[i].size() > kMaxWordLength) continue;
    EXPECT_EQ(FindRtfWord(kRtfWords[i]), static_cast<int>(i)) << kRtfWords[i];
  }
  for (std::size_t i = 0; i < kCreWords.size(); ++i) {
    EXPECT_EQ(FindCreWord(kCreWords[i]), static_cast<int>(i)) << kCreWords[i];
  }
}

TEST(ControlWordsTest, ListsHoldTheirFixedEntries) {
  EXPECT_EQ(kRtfWords.front(), "\n");
  EXPECT_EQ(kRtfWords[7], "absh");
  EXPECT_EQ(kRtfWords.back(), "~");
  EXPECT_EQ(kRtfWords[kRtfWordCount - 4], "{nextpage\\}");
  EXPECT_EQ(kCreWords.front(), "asterpar");
  EXPECT_EQ(kCreWords.back(), "tagused");
  // The out-of-order entries a plain binary search would miss.
  EXPECT_GE(FindRtfWord("_"), 0);
  EXPECT_GE(FindRtfWord("\\"), 0);
  EXPECT_EQ(FindRtfWord("pichGoal"), FindRtfWord("pichgoal") + 1);
  EXPECT_EQ(FindRtfWord("picwGoal"), FindRtfWord("picwgoal") + 1);
}

TEST(ControlWordsTest, LookupIsExactAndCaseSensitive) {
  EXPECT_EQ(FindRtfWord("B"), -1);
  EXPECT_EQ(FindRtfWord("bo"), -1);
  EXPECT_EQ(FindRtfWord(""), -1);
  EXPECT_EQ(FindCreWord("cxS"), -1);
  EXPECT_EQ(FindCreWord("cx"), -1);
  EXPECT_EQ(FindRtfWord("cxs"), -1);  // each list holds only its own words
  EXPECT_GE(FindCreWord("numbar"), 0);
  EXPECT_EQ(FindCreWord(std::string("cxzqindexsubsortalphainsensitive").substr(0, kMaxWordLength)), -1);
}

TEST(CatSystemTest, RecognisesTheSystemFromItsText) {
  struct Case {
    const char* text;
    int code;
  } cases[] = {
      {"Quendrel Vantor Suite 12", 1},
      {"Quendrel Pollux 3.1", 2},
      {"Quendrel vantorSuite4", 9},
      {"Quendrel Hastra", 0},  // with "Quendrel" only its own products count
      {"vantorSuite4", 0},
      {"Draftline Pro", 4},
      {"Umbra and Hastra", 6},
      {"Hastra 2.0", 5},
      {"Vellum", 8},
      {"Notara Studio", 7},
      {"hastra", 0},  // case-sensitive
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(RecognizeCatSystem(c.text), c.code) << c.text;
}

TEST(StyleNamesTest, ClassifiesNamesInRuleOrder) {
  struct Case {
    const char* name;
    bool matched;
    char letter;
  } cases[] = {
      {"Question;", true, 'Q'},   {"Q/A Question", true, 'Q'}, {"Colloquy Contin", true, 'C'},
      {"Margin 2", true, 0},      {"margin2", true, '2'},      {"By Line", true, 'B'},
      {"Normal;", true, 'N'},     {"ANSWER", true, 'A'},       {"Contin Q", true, 'c'},
      {"Parenthetical", true, 'P'}, {"Index Entry", true, 'I'}, {"Quoted Material", true, 'q'},
      {"By Line Margin1", true, '1'}, {"Heading 1", false, 0},
      {"\xC9" "tiquette", false, 0},
  };
  for (const Case& c : cases) {
    std::string name = c.name;
    const StyleClassification result =
        ClassifyStyleName(reinterpret_cast<std::uint8_t*>(name.data()), name.size());
    EXPECT_EQ(result.matched, c.matched) << c.name;
    EXPECT_EQ(result.letter, static_cast<std::uint8_t>(c.letter)) << c.name;
  }
}

TEST(StyleNamesTest, ParagraphCodesOfTypeLetters) {
  EXPECT_EQ(ParagraphCode('Q'), 2);
  EXPECT_EQ(ParagraphCode('A'), 3);
  EXPECT_EQ(ParagraphCode('C'), 4);
  EXPECT_EQ(ParagraphCode('B'), 5);
  EXPECT_EQ(ParagraphCode('P'), 6);
  EXPECT_EQ(ParagraphCode('N'), 8);
  EXPECT_EQ(ParagraphCode('c'), 255);
  EXPECT_EQ(ParagraphCode('I'), 10);
  EXPECT_EQ(ParagraphCode(0), 10);
}

}  // namespace
}  // namespace lexaport
