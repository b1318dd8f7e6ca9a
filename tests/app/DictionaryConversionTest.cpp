#include "app/DictionaryConversion.h"

#include <gtest/gtest.h>

#include <set>

#include "common/TestUtil.h"
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
