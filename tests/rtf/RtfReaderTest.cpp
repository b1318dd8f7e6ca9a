// The core reader: tokens, groups, destinations, character conversion, the RTF words.

#include "rtf/RtfReader.h"

#include <gtest/gtest.h>

#include "rtf/CatSystem.h"
#include "rtf/RtfTestUtil.h"

namespace lexaport::test {
namespace {

struct DeliverCase {
  std::string rtf;
  Bytes expected;
};

void ExpectDelivers(const std::vector<DeliverCase>& cases) {
  for (const DeliverCase& c : cases) {
    EXPECT_EQ(Hex(Deliver(c.rtf)), Hex(c.expected)) << "RTF: " << c.rtf;
  }
}

TEST(RtfReaderTest, ControlSymbolsAndWordEnds) {
  ExpectDelivers({
      {"\\b bold\\b0 ", Cat({B({18, 1}), B("bold"), B({18, 129})})},
      {"\\\\", B("\\")},
      {"\\{\\}", B("{}")},
      {"\\.", B(".")},
      {"\\-x", B("x")},
      {"\\:\\|", B(":|")},
      {"\\par.", B(".")},
      {"\\par x", B("x")},
      {"\\b0x", Cat({B({18, 129}), B("x")})},
      {"\\~\\_", B({1, '-'})},
      {"\\tab\\line\\page\\pagebb\\sbkpage ", B({9, 10, 12, 12, 12})},
      {"\\lquote\\rquote\\ldblquote\\rdblquote ", B("''\"\"")},
      {"\\u8220?", B("?")},
      {"\\b*x", B({})},                 // \* discards the letters and skips the group's text
      {"\\b\n0", Cat({B({18, 1}), B("0")})},  // a line break ends the word
      {"ab\r\ncd\t", B("abcd")},         // line breaks and control bytes produce nothing
      {"\\pard\\plain\\b ", B({18, 1})},
      {"\\unknownword5 x", B("x")},
      {"\\li-360 x", B("x")},
      {"\\li- x", B(" x")},              // '-' without digits: the space is text
      {"\\b\\'41", Cat({B({18, 1}), B("A")})},
      {"\\bx'", Cat({B("'")})},          // \bx is no word; the apostrophe after letters is text
  });
}

TEST(RtfReaderTest, HexEscapesAndCodePages) {
  ExpectDelivers({
      {"\\ansi\\'e9", B({0xE9})},
      {"\\'82", B({0xE9})},            // OEM 437 é becomes Windows-1252 é
      {"\\'e9", B({'?'})},             // OEM Θ has no Windows-1252 form
      {"\x82", B({0xE9})},             // text bytes are converted too
      {"\\ansi\x82", B({0x82})},
      {"\\'0d\\'1f", B({})},           // escaped control characters are dropped
      {"\\'4z", B({4})},               // cut short: the value so far, the 'z' swallowed
      {"\\'z", B({0})},
      {"\\ansi\\'e\n9", B({0xE9})},    // a line break inside the escape is skipped
      {"\\ansi\\'E9\\'c9", B({0xE9, 0xC9})},
  });
}

TEST(RtfReaderTest, GroupsAndAttributes) {
  ExpectDelivers({
      {"{\\b bold} rest", Cat({B({18, 1}), B("bold rest")})},
      // Leaving the group cleared the flag, so \plain has nothing to switch off.
      {"{\\b bold}\\plain x", Cat({B({18, 1}), B("bold"), B("x")})},
      {"\\b\\i\\ul\\super\\sub\\strike\\plain ",
       B({18, 1, 18, 3, 18, 2, 18, 4, 18, 5, 18, 6, 18, 129, 18, 131, 18, 130, 18, 132, 18, 133, 18, 134})},
      {"\\super\\sub\\nosupersub\\nosupersub ", B({18, 4, 18, 5, 18, 132, 18, 133})},
      {"\\i0\\strike0\\caps\\caps0 ", B({18, 131, 18, 134, 18, 8, 18, 136})},
      {"\\uldb\\ulwave0\\ulnone ", B({18, 2, 18, 130, 18, 130})},
      {"\\qc ", B({22, 7, 0})},
      // v / 256 is a division, truncated like v = N / 2: -10 gives 0xF6 (its low byte) and 0.
      {"\\fs24 \\fs-20 \\fs-1000 \\fs4294967298 ",
       B({17, 7, 12, 0, 0, 0, 17, 7, 0xF6, 0, 0, 0, 17, 7, 0x0C, 0xFF, 0, 0, 17, 7, 1, 0, 0, 0})},
      {"}}}x", B("x")},                // a '}' at depth 0 is ignored
      {"{\\*\\unknownword text}", B({})},
      {"{\\unknownword text}", B("text")},
      {"{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}{\\info{\\title T}}{\\footer f}x", B("x")},
      {"{\\*\\cxt12:30:05:10}", B({})},
  });
}

TEST(RtfReaderTest, ParametersWrapAroundWithoutUndefinedBehaviour) {
  // 2^31 + 2 wraps to -2^31 + 2: \fs then gives -2^30 + 1, whose quotient by 256 is -4194303.
  EXPECT_EQ(Hex(Deliver("\\fs2147483650 ")), Hex(B({17, 7, 0x01, 0x01, 0, 0})));
  EXPECT_EQ(Hex(Deliver("\\fs-2147483650 ")), Hex(B({17, 7, 0xFF, 0xFF, 0, 0})));
  EXPECT_EQ(Deliver("\\fs99999999999999999999 x").size(), 7u);
}

TEST(RtfReaderTest, LongControlWordsAreLookedUpByTheirFirst31Letters) {
  EXPECT_EQ(Deliver("\\" + std::string(40, 'b') + " x"), B("x"));
  EXPECT_EQ(Deliver("\\cxzqindexsubsortalphainsensitive x"), B("x"));
}

TEST(RtfReaderTest, AZeroByteEndsTheText) {
  EXPECT_EQ(Deliver(std::string("ab\0cd", 5)), B("ab"));
}

TEST(RtfReaderTest, TimeCodeGroupsKeepTheirTime) {
  CoreReader reader;
  const std::string rtf = "{\\*\\cxt12:30:05:10}x";
  reader.Parse(Text(rtf));
  EXPECT_EQ(reader.Output(), B("x"));
  const auto& t = reader.LastTimeCode().fields;
  EXPECT_EQ(t[0], 12u);
  EXPECT_EQ(t[1], 30u);
  EXPECT_EQ(t[2], 5u);
  EXPECT_EQ(t[3], 10u);
}

TEST(RtfReaderTest, ShortFormsOnlyForSystemsThatWriteThem) {
  const std::string umbra = "{\\rtf1{\\*\\cxsystem Umbra 4}";
  ExpectDelivers({
      {umbra + "{\\cxp.}{\\cxp?}}", B(". ? ")},
      {umbra + "{i}{n}}", B({26, 18, 0, 0, 26, 17, 0, 0})},
      {umbra + "{\\cxp,}and}", B(", and")},
      {umbra + "{\\cxp,}1}", B(",1")},  // not before a letter: an ordinary group
      {"{\\rtf1{\\cxp.}{i}}", B(".i")},
      {"{\\rtf1{\\*\\cxsystem Vellum}{\\cxp.}}", B(".")},
  });
  // Outside every group the short forms are not looked for.
  EXPECT_EQ(Deliver("{\\*\\cxsystem Umbra}{i}"), B("i"));
}

TEST(RtfReaderTest, CatSystemIsRecognisedWhenItsGroupCloses) {
  CoreReader reader;
  const std::string rtf = "{\\rtf1{\\*\\cxsystem Hastra 9.1}";
  reader.Parse(Text(rtf));
  EXPECT_EQ(reader.CatSystemCode(), catsystem::kHastra);
  EXPECT_EQ(reader.CatSystemWord(), 0x500u);
  EXPECT_EQ(reader.CatSystemText(), "Hastra 9.1");

  CoreReader open;
  const std::string unclosed = "{\\rtf1{\\*\\cxsystem Hastra";
  open.Parse(Text(unclosed));
  EXPECT_EQ(open.CatSystemCode(), 0);

  CoreReader longText;
  const std::string tooLong = "{\\*\\cxsystem " + std::string(200, 'x') + "Umbra}";
  longText.Parse(Text(tooLong));
  EXPECT_EQ(longText.CatSystemText().size(), 127u);
  EXPECT_EQ(longText.CatSystemCode(), 0);  // the name stood beyond the 127 characters kept
}

TEST(RtfReaderTest, NestingBeyondTheLastRecordIsCountedNotStored) {
  CoreReader reader;
  // 60 groups deep: the last 11 share the deepest record; their '}' close nothing.
  const std::string rtf = std::string(60, '{') + "\\b x" + std::string(11, '}') + "\\b0 y" + std::string(49, '}') + "z";
  reader.Parse(Text(rtf));
  EXPECT_EQ(reader.Depth(), 0);
  EXPECT_EQ(reader.DepthOverflow(), 0);
  EXPECT_EQ(reader.Output(), Cat({B({18, 1}), B("x"), B({18, 129}), B("yz")}));
}

TEST(RtfReaderTest, ProcessStrokeIsCalledWhenAStenoGroupCloses) {
  // The core has no \cxs: a steno group is only made by the dictionary reader.
  CoreReader reader;
  const std::string rtf = "{\\*\\cxs S}";
  reader.Parse(Text(rtf));
  EXPECT_EQ(reader.strokes, 0);
}

TEST(RtfReaderTest, ResetStateReturnsToTheInitialParseState) {
  CoreReader reader;
  const std::string rtf = "{{\\ansi\\b text";
  reader.Parse(Text(rtf));
  EXPECT_EQ(reader.Depth(), 2);
  reader.ResetState();
  EXPECT_EQ(reader.Depth(), 0);
  EXPECT_EQ(reader.WorkLength(), 0u);
  EXPECT_FALSE(reader.Ansi());
  EXPECT_EQ(reader.CurrentGroup().attributes, 0u);
}

TEST(RtfReaderTest, FlushIsAskedForOnceTheWorkBufferPasses4096Bytes) {
  CoreReader reader;
  const std::string rtf(5000, 'a');
  reader.Parse(Text(rtf));
  EXPECT_EQ(reader.flushes, 5000 - 4096);  // the core reader hands text over byte by byte
}

}  // namespace
}  // namespace lexaport::test
