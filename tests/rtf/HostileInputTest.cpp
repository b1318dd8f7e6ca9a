// Whatever the bytes, the reader neither crashes nor leaves its buffers nor hangs, and yields what
// its rules yield. Run these under the asan preset as well.

#include <gtest/gtest.h>

#include <random>

#include "rtf/ControlWords.h"
#include "rtf/RtfDictionaryReader.h"
#include "rtf/RtfTestUtil.h"

namespace lexaport::test {
namespace {

// Every record the reader reports must lie inside the used part of its data area.
void ExpectRecordsWellFormed(const CRtfDictionaryReader& reader) {
  std::size_t offset = 0;
  for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
    ASSERT_EQ(reader.EntryOffsets()[i], offset);
    const EntryRecordView v = reader.Entry(i);
    ASSERT_EQ(v.Number(), i);
    ASSERT_GE(v.StrokeCount(), 1);
    ASSERT_GE(v.TranslationLength(), 1);
    offset += v.Size();
    ASSERT_LE(offset, reader.EntryDataUsed());
  }
  EXPECT_EQ(offset, reader.EntryDataUsed());
}

void Read(CRtfDictionaryReader& reader, const std::string& rtf) {
  EXPECT_EQ(reader.ReadDictionary(Text(rtf)), 0);
  ExpectRecordsWellFormed(reader);
}

TEST(HostileInputTest, BinaryJunk) {
  std::mt19937 random(12345);
  for (int round = 0; round < 20; ++round) {
    std::string junk(64 * 1024, '\0');
    for (char& c : junk) c = static_cast<char>(random() % 255 + 1);  // no zero byte: read it all
    // Sprinkle in what makes the reader do work.
    for (int i = 0; i < 400; ++i) {
      static const char* kPieces[] = {"{\\*\\cxs ", "}", "{", "\\cxconf", "\\cxc ", "\\'", "\\s", "\\cxzqheader",
                                      "{\\*\\cxcsi <", "\\cxzqstenotable ", "\\cxds ", "STKPW/", "\\ansi"};
      const std::string piece = kPieces[random() % std::size(kPieces)];
      junk.replace(random() % (junk.size() - piece.size()), piece.size(), piece);
    }
    CRtfDictionaryReader reader(kToday);
    Read(reader, junk);
  }
}

TEST(HostileInputTest, TruncatedFileKeepsTheEntriesBeforeTheCut) {
  std::string rtf = "{\\rtf1\\ansi{\\*\\cxsystem Umbra}{\\stylesheet{\\s1 Question;}}";
  for (int i = 0; i < 50; ++i) {
    rtf += "{\\*\\cxs STKPW/-T}\\s1 {\\cxconf {\\cxc a}{\\cxc b}}\\'e9{\\*\\cxcsi <S:1>}x\r\n";
  }
  rtf += "}";
  for (std::size_t cut = 0; cut <= rtf.size(); cut += 7) {
    CRtfDictionaryReader reader(kToday);
    Read(reader, rtf.substr(0, cut));
    EXPECT_LE(reader.EntryCount(), 50u);
  }
}

TEST(HostileInputTest, TextEndingInsideAShortFormIsReadNoFurther) {
  // The look-ahead of the short forms must stop at the terminating zero. Each text is copied into
  // a block of exactly its size, so the sanitizer sees a read past its end.
  const std::string umbra = "{\\*\\cxsystem Umbra}{\\*\\cxs S}x{";
  const std::string form = "{\\cxp,}a";
  for (std::size_t cut = 0; cut <= form.size(); ++cut) {
    const std::string rtf = umbra + form.substr(0, cut);
    std::vector<std::uint8_t> exact(rtf.begin(), rtf.end());
    exact.push_back(0);
    exact.shrink_to_fit();
    CRtfDictionaryReader reader(kToday);
    EXPECT_EQ(reader.ReadDictionary(exact.data()), 0) << rtf;
    ExpectRecordsWellFormed(reader);
  }
}

TEST(HostileInputTest, StormOfClosingBraces) {
  const std::string rtf = std::string(100000, '}') + "{\\*\\cxs S}ok" + std::string(100000, '}') + "x";
  CRtfDictionaryReader reader(kToday);
  Read(reader, rtf);
  ASSERT_EQ(reader.EntryCount(), 1u);
  EXPECT_EQ(Entries(reader)[0].translation, B("okx"));
}

TEST(HostileInputTest, TenThousandNestedGroups) {
  const std::string rtf = "{\\*\\cxs S}a" + std::string(10000, '{') + "b" + std::string(10000, '}') + "c";
  CRtfDictionaryReader reader(kToday);
  Read(reader, rtf);
  EXPECT_EQ(reader.Depth(), 0);
  EXPECT_EQ(reader.DepthOverflow(), 0);
  ASSERT_EQ(reader.EntryCount(), 1u);
  EXPECT_EQ(Entries(reader)[0].translation, B("abc"));

  // Left open: the parse ends with the groups open, and nothing beyond the 50 records is touched.
  CRtfDictionaryReader open(kToday);
  Read(open, "{\\*\\cxs S}" + std::string(10000, '{') + "\\b\\cxconf\\cxc x");
  EXPECT_EQ(open.Depth(), CRtfReader::kMaxDepth);
  EXPECT_EQ(open.DepthOverflow(), 10000 - CRtfReader::kMaxDepth);
}

TEST(HostileInputTest, StenoGroupBeyondTheDeepestRecord) {
  // The steno group's '}' closes nothing, so the outline swallows the text and is abandoned.
  const std::string rtf = std::string(60, '{') + "{\\*\\cxs S}text" + std::string(70, '}') + "{\\*\\cxs T}ok";
  CRtfDictionaryReader reader(kToday);
  Read(reader, rtf);
  ASSERT_EQ(reader.EntryCount(), 1u);
  EXPECT_EQ(Entries(reader)[0].translation, B("ok"));
}

TEST(HostileInputTest, HugeTranslationWithStrokesIsKeptWholeUpTo65535Bytes) {
  struct Case {
    std::string body;
    std::size_t expectedLength;  // 0: dropped
  } cases[] = {
      {std::string(65535, 'a'), 65535},
      {std::string(65536, 'a'), 0},
      {"\\cxds ing " + std::string(65530, 'a'), 0},  // 65,536 once the suffix code is in
      {"\\cxds ing " + std::string(65529, 'a'), 65535},
      {std::string(5000, 'a') + "\\b " + std::string(5000, 'b'), 10002},  // past the 4096 bytes of a flush
  };
  for (const Case& c : cases) {
    CRtfDictionaryReader reader(kToday);
    Read(reader, "{\\*\\cxs S}before{\\*\\cxs STKPW/-T}" + c.body + "{\\*\\cxs T}after");
    const std::vector<Entry> entries = Entries(reader);
    ASSERT_EQ(entries.size(), c.expectedLength != 0 ? 3u : 2u) << c.body.size();
    EXPECT_EQ(entries.back().translation, B("after"));
    EXPECT_EQ(entries.back().number, entries.size() - 1);  // numbering skips nothing
    if (c.expectedLength != 0) {
      EXPECT_EQ(entries[1].translation.size(), c.expectedLength);
      EXPECT_EQ(entries[1].strokes.size(), 8u);
      EXPECT_EQ(entries[1].translation.back(), c.body.back());
    }
  }
}

TEST(HostileInputTest, HastraTrimMakesATranslationFit) {
  const std::string rtf = "{\\*\\cxsystem Hastra}{\\*\\cxs S}" + std::string(65534, 'a') + ", ";
  CRtfDictionaryReader reader(kToday);
  Read(reader, rtf);
  ASSERT_EQ(reader.EntryCount(), 1u);
  EXPECT_EQ(reader.Entry(0).TranslationLength(), 65535);
}

TEST(HostileInputTest, FiftyMegabyteTranslation) {
  std::string rtf = "{\\rtf1\\ansi{\\*\\cxs S}";
  rtf.append(50u << 20, 'w');
  rtf += "{\\*\\cxs T}after}";
  CRtfDictionaryReader reader(kToday);
  ASSERT_TRUE(reader.PrepareBuffers(rtf.size()));
  Read(reader, rtf);
  ASSERT_EQ(reader.EntryCount(), 1u);  // the 50 MB entry is dropped, the next one read
  EXPECT_EQ(Entries(reader)[0].translation, B("after"));
  EXPECT_EQ(reader.Entry(0).Number(), 0u);
}

TEST(HostileInputTest, FiftyMegabytesOfTextWithoutStrokesStayInASmallBuffer) {
  std::string rtf = "{\\rtf1 ";
  rtf.append(50u << 20, 'w');
  CRtfDictionaryReader reader(kToday);
  Read(reader, rtf);
  EXPECT_EQ(reader.EntryCount(), 0u);
  EXPECT_LE(reader.WorkLength(), CRtfReader::kFlushThreshold);
}

TEST(HostileInputTest, StrokeLimits) {
  const auto outline = [](int strokes) {
    std::string text;
    for (int i = 0; i < strokes; ++i) text += i == 0 ? "S" : "/S";
    return "{\\*\\cxs " + text + "}x";
  };
  EXPECT_EQ(ReadEntries(outline(255)).size(), 1u);
  EXPECT_EQ(ReadEntries(outline(256)).size(), 0u);
  // A hundred thousand strokes: read, then dropped.
  EXPECT_EQ(ReadEntries(outline(100000) + "{\\*\\cxs T}y").size(), 1u);
}

TEST(HostileInputTest, InvalidStrokesAndOddStenoText) {
  struct Case {
    std::string rtf;
    std::size_t records;
  } cases[] = {
      {"{\\*\\cxs " + std::string(100, 'S') + "}x", 0},  // one stroke of 100 letters: not a stroke
      {"{\\*\\cxs ---S}x", 1},
      {"{\\*\\cxs ///}x", 0},
      {"{\\*\\cxs \\'0S}x", 0},                          // a zero byte (an escape cut short) is no key
      {"{\\*\\cxs #}x", 1},
      {"{\\*\\cxs S{\\b}T}x", 0},                        // a code byte in the outline
      {"{\\*\\cxs S{}T}x", 1},                           // the inner group ends the outline
      {"{\\cxs {{}x}S}y", 0},  // text came first: a key set behind it would not be a key set
      {"{\\*\\cxs S\\cxs T}x", 1},
      {"{\\*\\cxs S\\cxds T}x", 0},
  };
  for (const Case& c : cases) {
    CRtfDictionaryReader reader(kToday);
    Read(reader, c.rtf);
    EXPECT_EQ(reader.EntryCount(), c.records) << c.rtf;
  }
}

TEST(HostileInputTest, ZeroBytesAndEmptyText) {
  CRtfDictionaryReader empty(kToday);
  Read(empty, "");
  EXPECT_EQ(empty.EntryCount(), 0u);
  EXPECT_EQ(empty.EntryDataUsed(), 0u);

  CRtfDictionaryReader zeros(kToday);
  ASSERT_TRUE(zeros.PrepareBuffers(0));
  static const char kText[] = "{\\*\\cxs S}a\0{\\*\\cxs T}b";
  Read(zeros, std::string(kText, sizeof kText - 1));
  ASSERT_EQ(zeros.EntryCount(), 1u);
  EXPECT_EQ(Entries(zeros)[0].translation, B("a"));
}

TEST(HostileInputTest, StyleNumbersOutOfRange) {
  for (const char* word : {"\\s256", "\\s-1", "\\s99999999999", "\\s-2147483648", "\\sbasedon300", "\\sbasedon-5"}) {
    const std::string rtf = std::string("{\\stylesheet{") + word + " Question;}{\\s1 Answer;" + word + "}}" +
                            "{\\*\\cxs S}" + word + " x\\s1 ";
    CRtfDictionaryReader reader(kToday);
    Read(reader, rtf);
    ASSERT_EQ(reader.EntryCount(), 1u) << word;
    EXPECT_EQ(Entries(reader)[0].translation, Cat({B("x"), B({22, 3, 0})})) << word;
  }
}

TEST(HostileInputTest, LayoutDefinitionsTooLongOrWithAbsurdBanks) {
  const std::string letters(40, 'A');
  const std::string rtf = "{\\*\\cxzqstenotable\\cxzqstenoleft255\\cxzqstenomiddle-1\\cxzqstenoright999999 " +
                          letters + "BCD" + "\\cxzqstshifted " + std::string(50, '1') + "}" +
                          "{\\*\\cxs AAAA}x{\\*\\cxs A-A}dropped{\\*\\cxs " + std::string(24, 'A') + "}y";
  CRtfDictionaryReader reader(kToday);
  Read(reader, rtf);
  EXPECT_EQ(std::string(reader.StenoKeys().Layout().keyLetters.data()), std::string(31, 'A'));
  EXPECT_EQ(std::string(reader.StenoKeys().Layout().numberLetters.data()), std::string(31, '1'));
  EXPECT_EQ(reader.StenoKeys().Layout().leftBank, 255);
  EXPECT_EQ(reader.StenoKeys().Layout().middleBank, 255);
  EXPECT_EQ(reader.StenoKeys().Layout().rightBank, 999999 & 0xFF);
  ASSERT_EQ(reader.EntryCount(), 2u);
  std::string text;
  for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
    const EntryRecordView v = reader.Entry(i);
    reader.StenoKeys().OutlineToText(v.Strokes(), v.StrokeCount(), text);  // must stay inside the key set
    EXPECT_FALSE(text.empty());
  }
}

TEST(HostileInputTest, EveryWordWithExtremeParameters) {
  // Every word of both lists, in the body, the stylesheet and a conflict, with parameters at the
  // ends of the 32-bit range (the sanitizers catch any arithmetic that overflows).
  for (const char* parameter : {"", "0", "-2147483648", "2147483647", "4294967295", "-1"}) {
    std::string words;
    for (const auto& list : {std::vector<std::string_view>(rtfwords::kRtfWords.begin(), rtfwords::kRtfWords.end()),
                             std::vector<std::string_view>(rtfwords::kCreWords.begin(), rtfwords::kCreWords.end())}) {
      for (std::string_view word : list) {
        if (word == "cxs") continue;
        words += "\\";
        words += word;
        words += parameter;
        words += " x";
      }
    }
    const std::string rtf = "{\\stylesheet{\\s1 " + words + "}}{\\*\\cxs S}{" + words + "}{\\cxconf{\\cxc " + words +
                            "}}{\\*\\cxs T}{\\*\\cxcsi " + words + "}{\\cxzqheader" + parameter + " " + words + "}end";
    CRtfDictionaryReader reader(kToday);
    Read(reader, rtf);
  }
}

}  // namespace
}  // namespace lexaport::test
