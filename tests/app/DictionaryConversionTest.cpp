#include "app/DictionaryConversion.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/TestUtil.h"
#include "dict/TranDictCreate.h"
#include "dict/WriterDictionary.h"
#include "dict/WriterDictionaryVerify.h"
#include "platform/MemoryFileSystem.h"
#include "support/ByteOrder.h"

namespace lexaport {
namespace {

constexpr const char* kRtf = "/in/d.rtf";
constexpr const char* kIntermediate = "/tmp/d.zqdct";
constexpr const char* kWriter = "/tmp/d.ZQDCX";

class DictionaryConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.SetFile(kRtf,
                  "{\\rtf1\\ansi{\\*\\cxrev100}\\cxdict{\\*\\cxs SKWRAO}yes{\\*\\cxs TPHO}no{\\*\\cxs TPHO}know"
                  "{\\*\\cxs PWEU}by{\\*\\cxs skwrao}dropped}");
  }

  DictionaryConversion Convert(ConversionOptions options = {}) {
    return ConvertDictionary(files, clock, kRtf, kIntermediate, options);
  }

  const std::vector<std::uint8_t>& Writer() { return *files.FindFile(kWriter); }

  platform::MemoryFileSystem files;
  platform::FixedClock clock{20261210};
};

TEST_F(DictionaryConversionTest, WritesBothFilesAndCountsWhatHappened) {
  const DictionaryConversion c = Convert();
  ASSERT_EQ(c.outcome, DictionaryConversion::Outcome::kConverted);
  EXPECT_EQ(c.createResult, createresult::kWritten);
  EXPECT_EQ(c.writerPath, kWriter);
  EXPECT_FALSE(c.rebuiltAligned);
  EXPECT_EQ(c.intermediate.entriesRead, 4u);  // the lower-case outline is never an entry
  EXPECT_EQ(c.intermediate.recordsWritten, 3u);
  EXPECT_EQ(c.intermediate.entriesMerged, 1u);
  EXPECT_EQ(c.writerFileSize, Writer().size());
  EXPECT_TRUE(VerifyWriterDictionary(Writer().data(), Writer().size()).Sound());
  const WriterDictionary dictionary(Writer().data(), Writer().size());
  EXPECT_TRUE(dictionary.RecordNumbers());
  EXPECT_FALSE(dictionary.Dates());
  EXPECT_FALSE(dictionary.Aligned());
}

// A first build larger than the threshold is deleted and rebuilt aligned; one of exactly the
// threshold's size is kept.
TEST_F(DictionaryConversionTest, RebuildsAlignedOnlyAboveTheThreshold) {
  const std::uint64_t byteModeSize = Convert().writerFileSize;

  DictionaryConversion kept = Convert(ConversionOptions{.alignedRebuildThreshold = byteModeSize});
  ASSERT_EQ(kept.outcome, DictionaryConversion::Outcome::kConverted);
  EXPECT_FALSE(kept.rebuiltAligned);
  EXPECT_FALSE(WriterDictionary(Writer().data(), Writer().size()).Aligned());

  DictionaryConversion rebuilt = Convert(ConversionOptions{.alignedRebuildThreshold = byteModeSize - 1});
  ASSERT_EQ(rebuilt.outcome, DictionaryConversion::Outcome::kConverted);
  EXPECT_TRUE(rebuilt.rebuiltAligned);
  EXPECT_TRUE(rebuilt.aligned);
  EXPECT_EQ(rebuilt.firstBuildSize, byteModeSize);
  EXPECT_EQ(rebuilt.writerFileSize, Writer().size());
  EXPECT_EQ(Writer().size() % 4, 0u);
  EXPECT_TRUE(WriterDictionary(Writer().data(), Writer().size()).Aligned());
  EXPECT_TRUE(VerifyWriterDictionary(Writer().data(), Writer().size()).Sound());

  DictionaryConversion direct = Convert(ConversionOptions{.alignedFromStart = true});
  EXPECT_TRUE(direct.aligned);
  EXPECT_FALSE(direct.rebuiltAligned);
}

// The writer file is built while the intermediate file is written: it is the one the finished
// intermediate file gives, also where entries are merged, over several batches of records, and
// when rebuilt aligned.
TEST_F(DictionaryConversionTest, TheWriterFileIsTheOneTheIntermediateFileGives) {
  const char* const strokes[] = {"S",  "T",  "K",  "P",  "W",  "H",  "R",  "A",  "O",  "E",  "U",  "ST", "SK", "TP",
                                 "KW", "PH", "HR", "SA", "TO", "KE", "PU", "WA", "HO", "RE", "AU", "EU", "AO"};
  constexpr int kStrokes = sizeof strokes / sizeof strokes[0];
  // 5,000 outlines of three strokes; the last 3,000 entries repeat outlines with other words.
  std::string many = "{\\rtf1\\ansi\\cxdict";
  for (int i = 0; i < 8000; ++i) {
    const int n = i % 5000;
    many += std::string("{\\*\\cxs ") + strokes[n % kStrokes] + "/" + strokes[n / kStrokes % kStrokes] + "/" +
            strokes[n / kStrokes / kStrokes] + "}w" + std::to_string(i);
  }
  many += "}";

  for (const bool large : {false, true}) {
    if (large) files.SetFile(kRtf, many);
    for (const bool rebuilt : {false, true}) {
      const DictionaryConversion c =
          Convert({.alignedRebuildThreshold = rebuilt ? 0 : dictfile::kAlignedRebuildThreshold});
      ASSERT_EQ(c.outcome, DictionaryConversion::Outcome::kConverted);
      ASSERT_EQ(c.rebuiltAligned, rebuilt);
      if (large) {
        EXPECT_EQ(c.intermediate.entriesMerged, 3000u);
      }
      const std::vector<std::uint8_t> converted = Writer();
      CTranDictCreate builder(files, clock);
      std::string writerPath;
      ASSERT_EQ(builder.CreateDictionary(kIntermediate, writerPath, true, false, rebuilt), createresult::kWritten);
      EXPECT_EQ(Writer(), converted) << "large " << large << ", rebuilt " << rebuilt;
    }
  }
}

// A file error on either side of the conversion reaches the caller, from the thread it happened
// on. Where the intermediate file fails, no writer file is left (here its own writes fail too);
// where the writer file fails, the intermediate file is whole.
TEST_F(DictionaryConversionTest, AFileErrorOnEitherSideReachesTheCaller) {
  const std::uint64_t intermediateSize = Convert().intermediate.fileSize;
  files.Remove(kWriter);
  // The intermediate file's 640 bytes before its records, and no more.
  files.FailWritesAfter(640);
  try {
    Convert();
    ADD_FAILURE() << "no error";
  } catch (const platform::FileError& error) {
    EXPECT_EQ(error.Path(), kIntermediate);
  }
  EXPECT_EQ(files.FindFile(kWriter), nullptr);

  // The whole intermediate file (its info block is written twice), then nothing.
  files.FailWritesAfter(intermediateSize + 128);
  try {
    Convert();
    ADD_FAILURE() << "no error";
  } catch (const platform::FileError& error) {
    EXPECT_EQ(error.Path(), kWriter);
  }
  EXPECT_EQ(files.FindFile(kIntermediate)->size(), intermediateSize);
}

TEST_F(DictionaryConversionTest, ReportsEachFailureWithItsOwnMessage) {
  files.SetFile(kRtf, "{\\rtf1\\ansi\\cxdict{\\*\\cxs skwrao}only dropped entries}");
  DictionaryConversion c = Convert();
  EXPECT_EQ(c.outcome, DictionaryConversion::Outcome::kBuildFailed);
  EXPECT_EQ(c.createResult, createresult::kNoRecords);
  EXPECT_EQ(ConversionFailureMessage("d.rtf", c), "Unable to convert d.rtf. No entries found in the RTF/CRE file.");
  EXPECT_EQ(files.FindFile(kIntermediate)->size(), 640u);

  files.Remove(kRtf);
  c = Convert();
  EXPECT_EQ(c.outcome, DictionaryConversion::Outcome::kUnreadable);

  // The writer file cannot be made; the intermediate file is whole all the same.
  files.SetFile(kRtf, "{\\rtf1\\ansi\\cxdict{\\*\\cxs S}is}");
  platform::MemoryFileSystem refusing;
  refusing.SetFile(kRtf, *files.FindFile(kRtf));
  refusing.RefuseCreate(kWriter);
  c = ConvertDictionary(refusing, clock, kRtf, kIntermediate);
  EXPECT_EQ(c.outcome, DictionaryConversion::Outcome::kBuildFailed);
  EXPECT_EQ(c.createResult, createresult::kCannotCreate);
  EXPECT_EQ(refusing.FindFile(kIntermediate)->size(), c.intermediate.fileSize);
  EXPECT_EQ(ConversionFailureMessage("d.rtf", c),
            "Unable to convert d.rtf. The writer dictionary file cannot be created.");

  // A writer file whose size cannot be had cannot be judged by the size rule.
  files.SetFile(kRtf, "{\\rtf1\\ansi\\cxdict{\\*\\cxs S}is}");
  files.RefuseStatus(kWriter);
  c = Convert();
  EXPECT_EQ(c.outcome, DictionaryConversion::Outcome::kBuildFailed);
  EXPECT_EQ(c.createResult, createresult::kStatusUnreadable);

  DictionaryConversion tooLarge;
  tooLarge.outcome = DictionaryConversion::Outcome::kBuildFailed;
  tooLarge.createResult = createresult::kTooLarge;
  EXPECT_EQ(ConversionFailureMessage("big.rtf", tooLarge),
            "Unable to convert big.rtf. The dictionary is too large for the writer.");
  // Every result code reads differently.
  std::set<std::string> messages;
  for (int code = 2; code <= 8; ++code) {
    DictionaryConversion failed;
    failed.outcome = DictionaryConversion::Outcome::kBuildFailed;
    failed.createResult = code;
    messages.insert(ConversionFailureMessage("x", failed));
  }
  EXPECT_EQ(messages.size(), 7u);
}

}  // namespace
}  // namespace lexaport
