// The dictionary reader: entries, outlines, styles, conflicts, CSI commands, header code blocks,
// the Hastra cleanup and the records it builds.

#include "rtf/RtfDictionaryReader.h"

#include <gtest/gtest.h>

#include "rtf/RtfTestUtil.h"
#include "steno/EntryRecord.h"

namespace lexaport::test {
namespace {

const Bytes kSKWRAO = B({0xAB, 0x80, 0x00, 0x00});  // S K W R A O
const Bytes kTPHO = B({0x54, 0x80, 0x00, 0x00});    // T P H O

TEST(DictionaryReaderTest, EachStenoGroupStartsAnEntry) {
  CRtfDictionaryReader reader(kToday);
  const std::string rtf = "{\\*\\cxs SKWRAO}yes{\\*\\cxs TPHO}no";
  ASSERT_EQ(reader.Parse(Text(rtf)), 0);
  ASSERT_EQ(reader.EntryCount(), 1u);  // the second only once the caller finishes it
  ASSERT_NE(reader.WorkLength(), 0u);
  reader.FinishEntry();
  const std::vector<Entry> entries = Entries(reader);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].number, 0u);
  EXPECT_EQ(entries[0].date, kToday);
  EXPECT_EQ(Hex(entries[0].strokes), Hex(kSKWRAO));
  EXPECT_EQ(entries[0].translation, B("yes"));
  EXPECT_EQ(entries[1].number, 1u);
  EXPECT_EQ(Hex(entries[1].strokes), Hex(kTPHO));
  EXPECT_EQ(entries[1].translation, B("no"));
  // Records lie one after another, 4-byte aligned.
  EXPECT_EQ(reader.EntryOffsets()[0], 0u);
  EXPECT_EQ(reader.EntryOffsets()[1], 28u);
  EXPECT_EQ(reader.EntryDataUsed(), 56u);
}

TEST(DictionaryReaderTest, Outlines) {
  // A stroke text keeps its first 31 letters: here the 'T' after the hyphens is cut off.
  const std::string longStroke = "S" + std::string(33, '-') + "T";
  // Groups beyond the deepest record: the '}' after the outline closes one of them, not the
  // steno group, so the letters after it belong to the same stroke.
  const std::string tooDeep(CRtfReader::kMaxDepth, '{');
  struct Case {
    std::string rtf;
    std::size_t records;
    Bytes strokes;  // of the first record
  } cases[] = {
      {"{\\*\\cxs " + longStroke + "}x", 1, B({0x80, 0, 0, 0})},
      {"{\\*\\cxs " + longStroke + "/" + longStroke + "}x", 1, B({0x80, 0, 0, 0, 0x80, 0, 0, 0})},
      {tooDeep + "{\\*\\cxs S}T}x", 1, B({0xC0, 0, 0, 0})},
      {tooDeep.substr(1) + "{\\*\\cxs S}T}x", 1, B({0x80, 0, 0, 0})},  // a real group: "T" is translation
      // The outer steno group's close parses the stroke text the inner one left once more.
      {"{\\*\\cxs {{\\*\\cxs ERS}}}t", 1, B({0x00, 0x24, 0x10, 0x00, 0x00, 0x24, 0x10, 0x00})},
      {"{\\*\\cxs STKPW/-T}word", 1, B({0xF8, 0, 0, 0, 0, 0, 0x20, 0})},
      {"{\\*\\cxs STKPW,-T}word", 1, B({0xF8, 0, 0, 0, 0, 0, 0x20, 0})},  // ',' separates strokes too
      {"{\\*\\cxs #1-9}nineteen", 1, B({0x80, 0, 0x22, 0})},
      {"{\\*\\cxs 1-9}nineteen", 1, B({0x80, 0, 0x22, 0})},
      {"{\\*\\cxs skwrao}yes", 0, {}},            // lower case: not keys of the layout
      {"{\\*\\cxs S T}yes", 0, {}},               // a space is no key
      {"{\\*\\cxs SKWRAO/TSKWR}yes", 1, B({0xAB, 0x80, 0, 0})},  // out of order: that stroke alone goes
      {"{\\*\\cxs S!}x{\\*\\cxs !}y", 1, B({0, 0, 0, 0x80})},   // '!' combines with nothing
      {"{\\*\\cxs SKWRAO}", 0, {}},               // no translation
      {"{\\*\\cxs SKWRAO}{\\*\\cxs TPHO}no", 1, B({0x54, 0x80, 0, 0})},
      {"{\\*\\cxs S/}x", 1, B({0x80, 0, 0, 0})},  // an empty last stroke is no stroke
      {"{\\*\\cxs /}x", 0, {}},
  };
  for (const Case& c : cases) {
    const std::vector<Entry> entries = ReadEntries(c.rtf);
    ASSERT_EQ(entries.size(), c.records) << c.rtf;
    if (c.records != 0) {
      EXPECT_EQ(Hex(entries[0].strokes), Hex(c.strokes)) << c.rtf;
    }
  }
}

TEST(DictionaryReaderTest, KeySetsAreNeverTakenForTranslationCode) {
  // Words that look back at the last bytes delivered see only the translation, never the key sets
  // in front of it in the work buffer. URPD is 00 16 08 00: its last three bytes look like the
  // Normal paragraph code 22 8 0, and #UR7D (00 16 0a 00) like the default one, 22 10 0.
  const std::string styles = "{\\stylesheet{\\s1 Normal;}}";
  struct Case {
    std::string rtf;
    Bytes strokes;
    Bytes translation;
  } cases[] = {
      {"{\\*\\cxs URPD}\\qc x", B({0x00, 0x16, 0x08, 0x00}), Cat({B({22, 7, 0}), B("x")})},
      {"{\\*\\cxs #UR7D}\\cxzquserdef5 x", B({0x00, 0x16, 0x0A, 0x00}), B("x")},
      {styles + "{\\*\\cxs URPD}\\s1\\qc x", B({0x00, 0x16, 0x08, 0x00}), Cat({B({22, 7, 0}), B("x")})},
      {"{\\*\\cxs URPD}\\s9\\cxzquserdef5 x", B({0x00, 0x16, 0x08, 0x00}), Cat({B({22, 10, 4}), B("x")})},
      // In a 28-key layout the last key is byte 3's 0x10 (16): followed by a hard space (1) it
      // looks like the prefix command 16 1, after which \cxds would add no attach code.
      {"{\\*\\cxzqstenotable ABCDEFGHIJKLMNOPQRSTUVWXYZ#!}{\\*\\cxs !}\\~\\cxds x", B({0, 0, 0, 0x10}),
       Cat({B({1, 4}), B("x")})},
  };
  for (const Case& c : cases) {
    const std::vector<Entry> entries = ReadEntries(c.rtf);
    ASSERT_EQ(entries.size(), 1u) << c.rtf;
    EXPECT_EQ(Hex(entries[0].strokes), Hex(c.strokes)) << c.rtf;
    EXPECT_EQ(Hex(entries[0].translation), Hex(c.translation)) << c.rtf;
  }
}

TEST(DictionaryReaderTest, TranslationEndsAtTheNextEntry) {
  const std::vector<Entry> entries =
      ReadEntries("{\\rtf1\\ansi{\\*\\cxs S}{\\b bold} text\r\n{\\*\\cxs T}\\b next\r\n}");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].translation, Cat({B({18, 1}), B("bold text")}));
  EXPECT_EQ(entries[1].translation, Cat({B({18, 1}), B("next")}));
  EXPECT_EQ(entries[1].number, 1u);
}

TEST(DictionaryReaderTest, RecordFlagsAreComputedFromTheTranslation) {
  const std::vector<Entry> entries = ReadEntries("{\\*\\cxs S}USA{\\*\\cxs T}Mr. Smith");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].flags, 0x0003);
  EXPECT_EQ(entries[1].flags, 0x0045);
}

TEST(DictionaryReaderTest, StylesGiveParagraphCodes) {
  const std::string styles =
      "{\\stylesheet{\\s0 Normal;}{\\s1 Question;}{\\s2\\sbasedon1 Q2;}{\\s3 Answer;}{\\s4 Colloquy;}"
      "{\\s5 By Line;}{\\s6 Parenthetical;}{\\s7 Contin;}{\\s8 Heading;}{\\s300 Answer;}}";
  struct Case {
    const char* body;
    Bytes translation;
  } cases[] = {
      {"\\s1 ", B({22, 2, 0})},
      // \sbasedon copies the type the base style has while the stylesheet is read, and types
      // are given only when it closes: "Q2" matches no name rule and stays without a type.
      {"\\s2 ", B({22, 10, 0})},
      {"\\s3 \\s4 \\s5 \\s6 \\s7 \\s8 ", B({22, 3, 0, 22, 4, 0, 22, 5, 0, 22, 6, 0, 22, 255, 0, 22, 10, 0})},
      {"\\s0\\qc ", B({22, 7, 0})},  // a centred Normal paragraph
      {"\\s1\\qc ", B({22, 2, 0, 22, 7, 0})},
      {"\\s300 \\s-1 x", B("x")},    // no such style: nothing
      {"\\s9 ", B({22, 10, 0})},     // a style without a name
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(TranslationOf(c.body, styles)), Hex(c.translation)) << c.body;
}

TEST(DictionaryReaderTest, OutOfRangeStyleInTheStylesheetTakesNoName) {
  CRtfDictionaryReader reader(kToday);
  // "Answer" after \s256 belongs to no style, so style 0 does not become an answer style.
  const std::string rtf = "{\\stylesheet Normal{\\s256 Answer;}{\\s3 Answer;}}";
  reader.ReadDictionary(Text(rtf));
  EXPECT_EQ(reader.StyleTypeLetter(0), 'N');
  EXPECT_EQ(reader.StyleTypeLetter(3), 'A');
}

TEST(DictionaryReaderTest, Conflicts) {
  struct Case {
    const char* body;
    Bytes translation;
  } cases[] = {
      {"{\\cxconf {\\cxc their}{\\cxc there}}", Cat({B({2}), B("their"), B({2}), B("there"), B({3})})},
      {"{\\cxconf [{\\cxc a}]}", Cat({B({23, 9}), B("a"), B({23, 137})})},
      {"{\\cxconf {\\cxc\\deleted gone}{\\cxc kept}}", Cat({B({2, 2}), B("kept"), B({3})})},
      {"{\\cxconf {\\cxc \\b x}{\\cxc y}} z", Cat({B({2, 18, 1}), B("x"), B({2}), B("y"), B({3}), B(" z")})},
      {"{\\cxconf {\\cxc \\cxds ing}{\\cxc \\cxzqsuf\\cxds s}}", Cat({B({2, 4}), B("ing"), B({2, 16, 129}), B("s"), B({3})})},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(TranslationOf(c.body)), Hex(c.translation)) << c.body;
}

TEST(DictionaryReaderTest, CsiCommands) {
  struct Case {
    const char* body;
    Bytes translation;
  } cases[] = {
      {"{\\*\\cxcsi <NOTE>}", B({26, 8, 0, 0})},
      {"{\\*\\cxcsi x<PASS>y}", B({26, 1, 0, 0, 'y'})},
      {"{\\*\\cxcsi <S:1><S:2>}", B({16, 2, '1', '2'})},
      {"{\\*\\cxcsi <S:1>}{\\*\\cxcsi <S:2>}", B({16, 2, '1', '2'})},  // one speaker mark per entry
      {"{\\*\\cxcsi <NIK 3>}{\\*\\cxcsi <nik 3>}", B({26, 133, 3, 0, 26, 133, 3, 0})},
      {"{\\*\\cxcsi <NIK x>}{\\*\\cxcsi <unknown>}{\\*\\cxcsi <L}z", B("z")},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(TranslationOf(c.body)), Hex(c.translation)) << c.body;

  // The speaker mark starts again with each entry.
  const std::vector<Entry> entries = ReadEntries("{\\*\\cxs S}{\\*\\cxcsi <S:1>}{\\*\\cxs T}{\\*\\cxcsi <S:2>}");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].translation, B({16, 2, '2'}));
}

TEST(DictionaryReaderTest, HeaderCodeBlocks) {
  EXPECT_EQ(Hex(TranslationOf("{\\*\\cxzqheader3 Q.}")), Hex(Cat({B({21, 2, 3, 0, 0, 0, 3}), B("Q.")})));
  EXPECT_EQ(Hex(TranslationOf("{\\cxzqheader19 {\\b x}}y")),
            Hex(Cat({B({21, 2, 4, 0, 0, 0, 3, 18, 1}), B("x"), B("y")})));
  // Unclosed at the end of the entry: the length field stays 0.
  const std::vector<Entry> entries = ReadEntries("{\\*\\cxs S}{\\cxzqheader1 ab{\\*\\cxs T}cd}");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(Hex(entries[0].translation), Hex(Cat({B({21, 2, 0, 0, 0, 0, 1}), B("ab")})));
  EXPECT_EQ(entries[1].translation, B("cd"));  // the closing brace writes nothing into it
}

TEST(DictionaryReaderTest, AttachAndSuffixes) {
  struct Case {
    const char* body;
    Bytes translation;
  } cases[] = {
      {"\\cxds ing", Cat({B({16, 129}), B("ing")})},
      {"\\cxds ville", Cat({B({16, 129}), B("ville")})},
      {"\\cxds ing more", Cat({B({16, 129}), B("ing more")})},
      {"\\cxds zork", Cat({B({4}), B("zork")})},   // not a suffix word
      {"\\cxds  x", B({4, ' ', 'x'})},            // no word before the space
      {"pre\\cxds ", Cat({B("pre"), B({4})})},
      {"\\cxzqsuf\\cxds x", B({16, 129, 'x'})},   // no attach after a suffix command
      {"\\cxzqpre\\cxds x", B({16, 1, 'x'})},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(TranslationOf(c.body)), Hex(c.translation)) << c.body;
}

TEST(DictionaryReaderTest, HastraEntriesAreCleanedUp) {
  const std::string hastra = "{\\*\\cxsystem Hastra 3}";
  struct Case {
    const char* body;
    Bytes translation;
  } cases[] = {
      {"\\cxds .", B(".")},
      {"\\cxds -x", B("-x")},
      {"\\cxds --", B({4, '-', '-'})},
      {"\\cxds x", B({4, 'x'})},
      {"+ing", Cat({B({16, 129}), B("ing")})},
      {"+zork", B({4, 'z', 'o', 'r', 'k'})},
      {"end. ", B("end. ")},
      {"end, ", B("end,")},
      {"end\" ", B("end\" ")},
      {"end,\" ", B("end,\"")},
      {"end.  ", B("end. ")},
      {"end.\"  ", B("end.\" ")},
      {"end  ", B("end  ")},
      {"word ", B("word ")},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(TranslationOf(c.body, hastra)), Hex(c.translation)) << c.body;
  // Other systems keep what they wrote.
  EXPECT_EQ(TranslationOf("end, "), B("end, "));
  EXPECT_EQ(TranslationOf("\\cxds ."), B({4, '.'}));
}

TEST(DictionaryReaderTest, LayoutDefinedInTheFile) {
  // A four-key layout: left bank A B, middle none, right bank C D.
  const std::string rtf =
      "{\\*\\cxzqstenotable\\cxzqstenoleft2\\cxzqstenomiddle0\\cxzqstenoright2 ABCD#(!"
      "\\cxzqstshifted 12CD#(!\\cxzqstnormal}"
      "{\\*\\cxs AC}one{\\*\\cxs 1D}two{\\*\\cxs S}three";
  CRtfDictionaryReader reader(kToday);
  reader.ReadDictionary(Text(rtf));
  const std::vector<Entry> entries = Entries(reader);
  ASSERT_EQ(entries.size(), 2u);  // S is no key of this layout
  EXPECT_EQ(Hex(entries[0].strokes), Hex(B({0xA0, 0, 0, 0})));
  EXPECT_EQ(Hex(entries[1].strokes), Hex(B({0x98, 0, 0, 0})));  // 1 (= A), D and the number key
  EXPECT_STREQ(reader.StenoKeys().Layout().keyLetters.data(), "ABCD#(!");
  EXPECT_STREQ(reader.StenoKeys().Layout().numberLetters.data(), "12CD#(!");
}

TEST(DictionaryReaderTest, SlashAndCommaSeparateStrokesEvenAsLettersOfTheLayout) {
  // A layout may name '/' and ',' as keys; in an outline they still end a stroke.
  const std::string layout =
      "{\\*\\cxzqstenotable\\cxzqstenoleft2\\cxzqstenomiddle0\\cxzqstenoright2 AB/,#(!}";
  for (const char* outline : {"A/B", "A,B"}) {
    const std::vector<Entry> entries = ReadEntries(layout + "{\\*\\cxs " + outline + "}one");
    ASSERT_EQ(entries.size(), 1u) << outline;
    EXPECT_EQ(Hex(entries[0].strokes), Hex(B({0x80, 0, 0, 0, 0x40, 0, 0, 0}))) << outline;
  }
}

// Strokes read before a layout change are parsed with the old layout, those after it with the
// new one, the bank sizes included.
TEST(DictionaryReaderTest, LayoutChangedBetweenEntries) {
  const std::string rtf =
      "{\\*\\cxs A-T}one"
      "{\\*\\cxzqstenotable\\cxzqstenoleft2\\cxzqstenomiddle0\\cxzqstenoright2 ABCD#(!}"
      "{\\*\\cxs A-D}two"
      "{\\*\\cxzqstenoleft1}"
      "{\\*\\cxs -B}three";
  CRtfDictionaryReader reader(kToday);
  reader.ReadDictionary(Text(rtf));
  const std::vector<Entry> entries = Entries(reader);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(Hex(entries[0].strokes), Hex(B({0x01, 0, 0x20, 0})));  // layout 1: A, -T
  EXPECT_EQ(Hex(entries[1].strokes), Hex(B({0x90, 0, 0, 0})));     // A, then D after the left bank
  EXPECT_EQ(Hex(entries[2].strokes), Hex(B({0x40, 0, 0, 0})));     // "-" now passes only A
}

TEST(DictionaryReaderTest, BuffersCanBePreparedOrGrowOnDemand) {
  std::string rtf = "{\\rtf1\\ansi";
  for (int i = 0; i < 3000; ++i) rtf += "{\\*\\cxs STKPW}word number " + std::to_string(i) + "\r\n";
  rtf += "}";
  for (bool prepare : {true, false}) {
    CRtfDictionaryReader reader(kToday);
    if (prepare) {
      ASSERT_TRUE(reader.PrepareBuffers(rtf.size()));
    }
    ASSERT_EQ(reader.ReadDictionary(Text(rtf)), 0);
    ASSERT_EQ(reader.EntryCount(), 3000u);
    std::size_t offset = 0;
    for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
      ASSERT_EQ(reader.EntryOffsets()[i], offset);
      const EntryRecordView v = reader.Entry(i);
      ASSERT_EQ(v.Number(), i);
      offset += v.Size();
    }
    EXPECT_EQ(offset, reader.EntryDataUsed());
    const EntryRecordView last = reader.Entry(2999);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(last.Translation()), last.TranslationLength()),
              "word number 2999");
  }
}

}  // namespace
}  // namespace lexaport::test
