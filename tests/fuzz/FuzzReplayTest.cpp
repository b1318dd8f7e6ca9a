// Every committed seed and every input of an earlier finding keeps its fuzz target's promises.
// A new finding goes into tests/fixtures/fuzz/<target>/ under a name that says what it broke.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "common/TestUtil.h"
#include "fuzz/FuzzTargets.h"

namespace lexaport::test {
namespace {

namespace fs = std::filesystem;

struct Target {
  const char* name;
  std::string (*entry)(const std::uint8_t*, std::size_t);
  const char* seedDirectory;  // under fuzz/corpus/
  bool samples;               // the bundled RTF/CRE samples are seeds too
};

const Target kTargets[] = {
    {"rtf_reader", fuzz::FuzzRtfReader, "rtf_reader", true},
    {"two_part_read", fuzz::FuzzTwoPartRead, "rtf_reader", true},
    {"write_intermediate", fuzz::FuzzWriteIntermediateFile, "rtf_reader", true},
    {"create_dictionary", fuzz::FuzzCreateDictionary, "create_dictionary", false},
    {"writer_file", fuzz::FuzzWriterFile, "writer_file", false},
    {"file_path", fuzz::FuzzFilePath, "file_path", false},
};

void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

std::vector<fs::path> FilesIn(const fs::path& directory) {
  std::vector<fs::path> files;
  if (!fs::is_directory(directory)) return files;
  for (const auto& item : fs::directory_iterator(directory)) {
    if (item.is_regular_file()) files.push_back(item.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, SeedsAndEarlierFindingsKeepThePromises) {
  const Target& target = GetParam();
  std::vector<fs::path> seeds = FilesIn(fs::path(LEXAPORT_FUZZ_DIR) / "corpus" / target.seedDirectory);
  ASSERT_FALSE(seeds.empty()) << "no seed corpus for " << target.name;
  if (target.samples) {
    for (const fs::path& sample : FilesIn(LEXAPORT_SAMPLES_DIR)) seeds.push_back(sample);
  }
  for (const fs::path& finding : FilesIn(fs::path(LEXAPORT_FIXTURES_DIR) / "fuzz" / target.name)) {
    seeds.push_back(finding);
  }
  for (const fs::path& input : seeds) {
    const Bytes bytes = ReadFileBytes(input);
    EXPECT_EQ(target.entry(bytes.data(), bytes.size()), "") << input;
  }
  // The empty input, which libFuzzer always tries first.
  static const std::uint8_t kNothing = 0;
  EXPECT_EQ(target.entry(&kNothing, 0), "");
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& target) { return std::string(target.param.name); });

TEST(FuzzDictionary, TheCommittedDictionaryHoldsTheReaderTablesAsTheyStand) {
  const Bytes committed = ReadFileBytes(fs::path(LEXAPORT_FUZZ_DIR) / "rtf.dict");
  const std::string expected = fuzz::RtfFuzzDictionary();
  EXPECT_EQ(std::string(committed.begin(), committed.end()), expected)
      << "fuzz/rtf.dict is out of date: rewrite it with build/fuzz/fuzz/lexaport-fuzz-dict > fuzz/rtf.dict";
}

}  // namespace
}  // namespace lexaport::test
