// The bundled sample dictionaries: they must read completely, with the records they were written
// to exercise.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "rtf/CatSystem.h"
#include "rtf/RtfDictionaryReader.h"
#include "rtf/RtfTestUtil.h"

namespace lexaport::test {
namespace {

struct Sample {
  std::vector<Entry> entries;
  int catSystem = -1;
};

Sample ReadSample(const std::string& name) {
  Bytes text = ReadFileBytes(std::string(LEXAPORT_SAMPLES_DIR) + "/" + name);
  const std::size_t length = text.size();
  text.push_back(0);
  CRtfDictionaryReader reader(kToday);
  EXPECT_TRUE(reader.PrepareBuffers(length));
  EXPECT_EQ(reader.ReadDictionary(text.data()), 0);
  // Every sample begins like a real RTF/CRE dictionary: the signature is in its first 512 bytes.
  const std::string head(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(512, length)));
  EXPECT_NE(head.find("\\cxdict"), std::string::npos) << name;
  EXPECT_EQ(head.rfind("{\\rtf1\\ansi", 0), 0u) << name;
  return {Entries(reader), reader.CatSystemCode()};
}

// The first record whose translation is `translation`.
const Entry* Find(const Sample& sample, const Bytes& translation) {
  for (const Entry& e : sample.entries) {
    if (e.translation == translation) return &e;
  }
  return nullptr;
}

void ExpectNumberedInOrder(const Sample& sample) {
  for (std::size_t i = 0; i < sample.entries.size(); ++i) {
    ASSERT_EQ(sample.entries[i].number, i);
    ASSERT_EQ(sample.entries[i].date, kToday);
  }
}

TEST(SamplesTest, PersonalDictionary) {
  const Sample s = ReadSample("personal.rtf");
  ASSERT_EQ(s.entries.size(), 257u);  // every entry written has a valid outline and a translation
  ExpectNumberedInOrder(s);
  EXPECT_EQ(s.catSystem, catsystem::kUmbra);

  EXPECT_EQ(Hex(s.entries[0].strokes), Hex(B({0, 0, 0x20, 0})));  // -T
  EXPECT_EQ(s.entries[0].translation, B("the"));
  ASSERT_NE(Find(s, Cat({B({2}), B("their"), B({2}), B("there"), B({2}), B("they're"), B({3})})), nullptr);
  ASSERT_NE(Find(s, Cat({B({16, 129}), B("ing")})), nullptr);
  ASSERT_NE(Find(s, Cat({B({16, 129}), B("ville")})), nullptr);
  ASSERT_NE(Find(s, B({22, 2, 0, 'Q', '.', 9})), nullptr);
  ASSERT_NE(Find(s, B({22, 4, 0, 'M', 'R', '.', ' ', 16, 2, '1'})), nullptr);  // speaker from a CSI command
  ASSERT_NE(Find(s, B({'c', 'a', 'f', 0xE9})), nullptr);
  ASSERT_NE(Find(s, B({'d', 0xE9, 'j', 0xE0, ' ', 'v', 'u'})), nullptr);

  const Entry* shortForm = Find(s, B(". "));  // Umbra writes {\cxp.} for a full stop
  ASSERT_NE(shortForm, nullptr);

  const Entry* nineteen = Find(s, B("19"));  // number bar: the number key, S and right T
  ASSERT_NE(nineteen, nullptr);
  EXPECT_EQ(Hex(nineteen->strokes), Hex(B({0x80, 0, 0x22, 0})));

  // Equal outlines with different translations stay separate records here.
  const Entry* heard = Find(s, B("heard"));
  const Entry* herd = Find(s, B("herd"));
  ASSERT_NE(heard, nullptr);
  ASSERT_NE(herd, nullptr);
  EXPECT_EQ(heard->strokes, herd->strokes);
  EXPECT_EQ(herd->number, heard->number + 1);

  const std::size_t multiStroke = static_cast<std::size_t>(
      std::count_if(s.entries.begin(), s.entries.end(), [](const Entry& e) { return e.strokes.size() > 4; }));
  EXPECT_GE(multiStroke, 30u);
}

TEST(SamplesTest, JobDictionaryFromHastra) {
  const Sample s = ReadSample("job-kowalczyk-trial.rtf");
  ASSERT_EQ(s.entries.size(), 58u);
  ExpectNumberedInOrder(s);
  EXPECT_EQ(s.catSystem, catsystem::kHastra);

  // The cleanup of entries from this system.
  EXPECT_NE(Find(s, B("northbound,")), nullptr);
  EXPECT_NE(Find(s, B("westbound. ")), nullptr);
  EXPECT_NE(Find(s, B(".")), nullptr);
  EXPECT_NE(Find(s, B({4, '-', '-'})), nullptr);
  EXPECT_NE(Find(s, Cat({B({16, 129}), B("ing")})), nullptr);
  EXPECT_NE(Find(s, Cat({B({22, 4, 0}), B("MR. KOWALCZYK: ")})), nullptr);
  EXPECT_NE(Find(s, B({'G', 0xF3, 'm', 'e', 'z'})), nullptr);
  EXPECT_NE(Find(s, Cat({B({23, 9}), B("pint"), B({23, 137})})), nullptr);
  EXPECT_NE(Find(s, Cat({B({2}), B("mind"), B({2, 3})})), nullptr);  // the deleted choice keeps its marker
}

TEST(SamplesTest, JobDictionaryFromVantorSuite) {
  const Sample s = ReadSample("job-medical-depositions.rtf");
  ASSERT_EQ(s.entries.size(), 71u);
  ExpectNumberedInOrder(s);
  EXPECT_EQ(s.catSystem, catsystem::kVantorSuite);

  EXPECT_NE(Find(s, Cat({B({21, 2, 19, 0, 0, 0, 2}), B("DIRECT EXAMINATION")})), nullptr);
  EXPECT_NE(Find(s, B({26, 8, 0, 0})), nullptr);
  EXPECT_NE(Find(s, B({16, 5, '[', '$', ']'})), nullptr);
  EXPECT_NE(Find(s, B({189})), nullptr);
  EXPECT_NE(Find(s, B({17, 10, 8, 0, 0, 0, 17, 12, 4, 0, 0, 0})), nullptr);
  EXPECT_NE(Find(s, Cat({B({22, 4, 0}), B("DR. HALVORSEN:  ")})), nullptr);  // no cleanup here
  EXPECT_NE(Find(s, B({'F', 'r', 'a', 'n', 0xE7, 'o', 'i', 's'})), nullptr);
  const Entry* pain = Find(s, B("pain"));
  const Entry* pane = Find(s, B("pane"));
  ASSERT_NE(pain, nullptr);
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pain->strokes, pane->strokes);
}

}  // namespace
}  // namespace lexaport::test
