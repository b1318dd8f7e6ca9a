// From RTF/CRE text to the bytes of the intermediate dictionary file, through the reader.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <vector>

#include "dict/IntermediateFile.h"
#include "dict/IntermediateRecordArea.h"
#include "dict/RecordFixtures.h"
#include "dict/TranDictCreate.h"
#include "platform/MemoryFileSystem.h"
#include "rtf/RtfDictionaryReader.h"
#include "steno/EntryRecord.h"

namespace lexaport {
namespace {

using test::B;
using test::Bytes;
using test::Cat;
using test::Hex;
using test::kToday;
using test::Record;

constexpr const char* kRtf = "/in/dict.rtf";
constexpr const char* kOut = "/tmp/dict.zqdct";

const Bytes kSKWRAO = B({0xAB, 0x80, 0, 0});  // S K W R A O
const Bytes kTPHO = B({0x54, 0x80, 0, 0});    // T P H O

struct Conversion {
  int result = 0;
  Bytes file;
  IntermediateFileStats stats;
};

Conversion Convert(const std::string& rtf) {
  platform::MemoryFileSystem files;
  files.SetFile(kRtf, "{\\rtf1\\ansi\\cxdict" + rtf + "}");
  Conversion c;
  CRtfDictionaryReader reader(kToday);
  c.result = reader.WriteIntermediateFile(files, kRtf, kOut, &c.stats);
  if (const auto* bytes = files.FindFile(kOut)) c.file = *bytes;
  return c;
}

Bytes RecordsOf(const Bytes& file) { return Bytes(file.begin() + 640, file.end()); }

Bytes Written(const Bytes& strokes, const Bytes& translation, std::uint32_t number, std::uint16_t flags = 0) {
  return Record(strokes, translation, {.number = number, .date = kToday, .flags = flags});
}

TEST(WriteIntermediateFile, TwoEntriesInSortOrder) {
  const Conversion c = Convert("{\\*\\cxs TPHO}no{\\*\\cxs SKWRAO}yes");
  ASSERT_EQ(c.result, 0);
  ASSERT_EQ(c.file.size(), 640u + 56u);
  EXPECT_EQ(Hex(Bytes(c.file.begin(), c.file.begin() + 8)), Hex(B({'Z', 'Q', 'C', 'A', 'T', '3', '2', 0})));
  EXPECT_EQ(LoadU32(c.file.data() + 16), kToday);
  EXPECT_EQ(c.file[288], 3);
  EXPECT_EQ(Hex(Bytes(c.file.begin() + 512, c.file.begin() + 528)), "02 00 00 00 03 00 00 00 80 02 00 00 38 00 00 00");
  EXPECT_EQ(Hex(RecordsOf(c.file)), Hex(Cat({Written(kSKWRAO, B("yes"), 1), Written(kTPHO, B("no"), 2)})));
  EXPECT_EQ(c.stats.entriesRead, 2u);
  EXPECT_EQ(c.stats.recordsWritten, 2u);
  EXPECT_EQ(c.stats.fileSize, c.file.size());
  EXPECT_GE(c.stats.readSeconds, 0.0);
  EXPECT_GE(c.stats.writeSeconds, 0.0);
}

TEST(WriteIntermediateFile, EntriesOfOneOutlineMergeSecondThirdFirst) {
  const Conversion c = Convert("{\\*\\cxs SKWRAO}yes{\\*\\cxs TPHO}no{\\*\\cxs SKWRAO}yeah{\\*\\cxs SKWRAO}yep");
  ASSERT_EQ(c.result, 0);
  const Bytes merged = Cat({B({2}), B("yeah"), B({2}), B("yep"), B({2}), B("yes"), B({3})});
  EXPECT_EQ(Hex(RecordsOf(c.file)),
            Hex(Cat({Written(kSKWRAO, merged, 1, entryflag::kAlternatives), Written(kTPHO, B("no"), 2)})));
  EXPECT_EQ(c.stats.entriesRead, 4u);
  EXPECT_EQ(c.stats.recordsWritten, 2u);
  EXPECT_EQ(c.stats.entriesMerged, 2u);
  EXPECT_EQ(c.stats.entriesDropped, 0u);
}

TEST(WriteIntermediateFile, OneLetterTranslationsMerge) {
  const Conversion c = Convert("{\\*\\cxs TPHO}I{\\*\\cxs TPHO}a");
  ASSERT_EQ(c.result, 0);
  EXPECT_EQ(Hex(RecordsOf(c.file)),
            Hex(Written(kTPHO, B({2, 'I', 2, 'a', 3}), 1, entryflag::kAlternatives | entryflag::kHasUpper)));
}

TEST(WriteIntermediateFile, WithoutEntriesTheFileIs640Bytes) {
  for (const char* body : {"", "{\\*\\cxs skwrao}lower case steno", "{\\*\\cxs SKWRAO}"}) {
    const Conversion c = Convert(body);
    ASSERT_EQ(c.result, 0) << body;
    ASSERT_EQ(c.file.size(), 640u) << body;
    EXPECT_EQ(Hex(Bytes(c.file.begin() + 512, c.file.begin() + 528)), "00 00 00 00 01 00 00 00 80 02 00 00 00 00 00 00");
    EXPECT_EQ(c.stats.entriesRead, 0u);
  }
}

// Files that hold no entry, as they come (not wrapped in a dictionary's header): the file is
// written without records, and the builder answers with its result for a dictionary without
// entries.
TEST(WriteIntermediateFile, FilesWithoutAnEntryGiveNoRecordsAndTheBuilderSaysSo) {
  std::mt19937 random(2024);
  Bytes noise(4096);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"an empty file", Bytes{}},
      {"a plain RTF document",
       B("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times;}}{\\info{\\title Letter}}\\f0 Dear Sir,\\par "
         "\\b no\\b0  entries here.\\par}")},
      {"random bytes", noise},
      {"cut inside the first steno group", B("{\\rtf1\\ansi\\cxdict{\\*\\cxs STKPW")},
      {"a steno group and nothing after it", B("{\\rtf1\\ansi\\cxdict{\\*\\cxs STKPW}}")},
  };
  for (const auto& [what, content] : cases) {
    platform::MemoryFileSystem files;
    files.SetFile(kRtf, content);
    CRtfDictionaryReader reader(kToday);
    ASSERT_EQ(reader.WriteIntermediateFile(files, kRtf, kOut), 0) << what;
    ASSERT_EQ(files.FindFile(kOut)->size(), 640u) << what;
    platform::FixedClock clock(kToday);
    CTranDictCreate builder(files, clock);
    std::string writerPath;
    EXPECT_EQ(builder.CreateDictionary(kOut, writerPath, true, false, false), createresult::kNoRecords) << what;
    EXPECT_EQ(files.FindFile(writerPath), nullptr) << what;
  }
}

TEST(WriteIntermediateFile, FailsWhenTheInputCannotBeOpenedOrTheOutputCreated) {
  platform::MemoryFileSystem files;
  CRtfDictionaryReader missing(kToday);
  EXPECT_EQ(missing.WriteIntermediateFile(files, kRtf, kOut), -1);
  EXPECT_EQ(files.FindFile(kOut), nullptr);

  files.SetFile(kRtf, std::string("{\\rtf1\\ansi\\cxdict{\\*\\cxs TPHO}no}"));
  files.RefuseOpen(kRtf);
  CRtfDictionaryReader refused(kToday);
  EXPECT_EQ(refused.WriteIntermediateFile(files, kRtf, kOut), -1);

  platform::MemoryFileSystem other;
  other.SetFile(kRtf, std::string("{\\rtf1\\ansi\\cxdict{\\*\\cxs TPHO}no}"));
  other.RefuseCreate(kOut);
  CRtfDictionaryReader uncreatable(kToday);
  EXPECT_EQ(uncreatable.WriteIntermediateFile(other, kRtf, kOut), -1);
}

TEST(WriteIntermediateFile, WriteErrorsAreThrown) {
  platform::MemoryFileSystem files;
  files.SetFile(kRtf, std::string("{\\rtf1\\ansi\\cxdict{\\*\\cxs TPHO}no}"));
  files.FailWritesAfter(100);
  CRtfDictionaryReader reader(kToday);
  EXPECT_THROW(reader.WriteIntermediateFile(files, kRtf, kOut), platform::FileError);
}

// The bundled samples convert into files whose records the writer dictionary builder accepts.
TEST(WriteIntermediateFile, SamplesGiveFilesTheBuilderAccepts) {
  for (const char* name : {"personal.rtf", "job-kowalczyk-trial.rtf", "job-medical-depositions.rtf"}) {
    platform::MemoryFileSystem files;
    files.SetFile(kRtf, test::ReadFileBytes(std::filesystem::path(LEXAPORT_SAMPLES_DIR) / name));
    CRtfDictionaryReader reader(kToday);
    IntermediateFileStats stats;
    ASSERT_EQ(reader.WriteIntermediateFile(files, kRtf, kOut, &stats), 0) << name;
    const Bytes file = *files.FindFile(kOut);
    EXPECT_GT(stats.recordsWritten, 10u) << name;
    EXPECT_EQ(stats.entriesRead, stats.recordsWritten + stats.entriesMerged + stats.entriesDropped) << name;
    EXPECT_EQ(LoadU32(file.data() + 512), stats.recordsWritten) << name;
    EXPECT_EQ(LoadU32(file.data() + 524), file.size() - 640) << name;

    const RecordAreaCheck check = CheckRecordArea(file.data() + 640, file.size() - 640);
    EXPECT_EQ(check.fault, RecordAreaFault::kNone) << name << " at " << check.offset;
    EXPECT_EQ(check.recordCount, stats.recordsWritten) << name;

    platform::FixedClock clock(kToday);
    CTranDictCreate builder(files, clock);
    std::string writerPath;
    EXPECT_EQ(builder.CreateDictionary(kOut, writerPath, true, false, false), createresult::kWritten) << name;
  }
}

// The key order the builder checks: bytes unsigned over the shorter key, then the shorter key
// first, against the byte-string order of std::vector, on keys of every length up to 20 bytes
// that often share a long prefix.
TEST(CompareKeys, OrdersAsUnsignedByteStrings) {
  std::mt19937 random(9);
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::uint8_t> a(random() % 21);
    for (auto& byte : a) byte = static_cast<std::uint8_t>(random() % 4 == 0 ? random() : 0x80);
    std::vector<std::uint8_t> b = a;
    b.resize(random() % 21, 0x80);
    if (!b.empty() && random() % 2 == 0) b[random() % b.size()] = static_cast<std::uint8_t>(random());
    const int expected = a < b ? -1 : (b < a ? 1 : 0);
    ASSERT_EQ(CompareKeys(a.data(), a.size(), b.data(), b.size()), expected) << test::Hex(a) << " / " << test::Hex(b);
  }
}

}  // namespace
}  // namespace lexaport
