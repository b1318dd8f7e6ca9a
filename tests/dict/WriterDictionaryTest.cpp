#include "dict/WriterDictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "dict/Crc16.h"
#include "dict/TranDictCreate.h"
#include "dict/WriterDictionaryVerify.h"
#include "dict/WriterTestSupport.h"
#include "platform/MemoryFileSystem.h"
#include "support/ByteOrder.h"

namespace lexaport {
namespace {

using test::B;
using test::Bytes;
using test::TestRecord;

constexpr const char* kInput = "/tmp/round.zqdct";
constexpr const char* kOutput = "/tmp/round.ZQDCX";

struct BuildMode {
  bool recordNumbers;
  bool dates;
  bool aligned;
};

Bytes BuildWriterFile(const std::vector<TestRecord>& records, BuildMode mode) {
  platform::MemoryFileSystem files;
  platform::FixedClock clock(20240601);
  CTranDictCreate builder(files, clock);
  files.SetFile(kInput, test::IntermediateFile(records));
  std::string writerPath;
  const int result = builder.CreateDictionary(kInput, writerPath, mode.recordNumbers, mode.dates, mode.aligned);
  EXPECT_EQ(result, createresult::kWritten);
  const Bytes* out = files.FindFile(kOutput);
  return out != nullptr ? *out : Bytes{};
}

std::string FirstProblem(const WriterVerifyReport& report) {
  return report.problems.empty() ? std::string() : report.problems.front();
}

bool HasProblem(const WriterVerifyReport& report, std::string_view part) {
  return std::any_of(report.problems.begin(), report.problems.end(),
                     [&](const std::string& p) { return p.find(part) != std::string::npos; });
}

Bytes Translation(const WriterEntry& entry) {
  return Bytes(entry.translation, entry.translation + entry.translationLength);
}

class RoundTrip : public ::testing::TestWithParam<std::tuple<bool, BuildMode>> {};

// Every record of a generated dictionary is found again with its translation and record number;
// the walk gives the records back in the intermediate file's order; verify finds nothing.
TEST_P(RoundTrip, EveryRecordIsFoundAndEnumeratedInOrder) {
  const auto [narrow, mode] = GetParam();
  const std::vector<TestRecord> records = test::GenerateRecords(3000, narrow, narrow ? 17 : 23);
  const Bytes file = BuildWriterFile(records, mode);
  const WriterDictionary dictionary(file.data(), file.size());
  ASSERT_TRUE(dictionary.HeaderSound());
  EXPECT_EQ(dictionary.Aligned(), mode.aligned);

  for (const TestRecord& record : records) {
    WriterEntry entry;
    ASSERT_TRUE(dictionary.Lookup(record.key.data(), record.key.size(), entry)) << test::Hex(record.key);
    EXPECT_EQ(Translation(entry), record.translation);
    EXPECT_EQ(entry.recordNumber, mode.recordNumbers ? record.number : 0u);
    if (mode.dates) {
      EXPECT_EQ(entry.creationDate, record.creationDate);
      EXPECT_EQ(entry.secondDate, record.secondDate);
    }
  }

  std::size_t index = 0;
  std::string problem;
  const bool sound = dictionary.ForEachEntry(
      [&](const WriterEntry& entry) {
        ASSERT_LT(index, records.size());
        EXPECT_EQ(Bytes(entry.key, entry.key + entry.keyLength), records[index].key) << index;
        EXPECT_EQ(Translation(entry), records[index].translation);
        if (mode.recordNumbers) {
          EXPECT_EQ(entry.recordNumber, records[index].number);
        }
        ++index;
      },
      &problem);
  EXPECT_TRUE(sound) << problem;
  EXPECT_EQ(index, records.size());

  const WriterVerifyReport report = VerifyWriterDictionary(file.data(), file.size());
  EXPECT_TRUE(report.Sound()) << FirstProblem(report);
  EXPECT_EQ(report.entryCount, records.size());
}

INSTANTIATE_TEST_SUITE_P(Modes, RoundTrip,
                         ::testing::Combine(::testing::Bool(),
                                            ::testing::Values(BuildMode{true, false, false}, BuildMode{true, false, true},
                                                              BuildMode{false, true, false},
                                                              BuildMode{true, true, true})));

TEST(WriterDictionary, KeysNotInTheDictionaryAreNotFound) {
  const std::vector<TestRecord> records = test::GenerateRecords(2000, true, 4);
  const Bytes file = BuildWriterFile(records, {true, false, false});
  const WriterDictionary dictionary(file.data(), file.size());
  std::set<Bytes> present;
  for (const TestRecord& r : records) present.insert(r.key);
  std::size_t absent = 0;
  for (const TestRecord& r : test::GenerateRecords(2000, true, 99)) {
    if (present.count(r.key) != 0) continue;
    ++absent;
    WriterEntry entry;
    EXPECT_FALSE(dictionary.Lookup(r.key.data(), r.key.size(), entry)) << test::Hex(r.key);
  }
  EXPECT_GT(absent, 100u);
  WriterEntry entry;
  const Bytes odd = B({0x80, 0x00, 0x01});  // not whole strokes
  EXPECT_FALSE(dictionary.Lookup(odd.data(), odd.size(), entry));
}

TEST(WriterDictionary, HeaderProblemsNameTheFault) {
  const Bytes good = BuildWriterFile(test::GenerateRecords(50, false, 1), {true, false, false});
  EXPECT_TRUE(WriterDictionary(good.data(), good.size()).HeaderProblems().empty());
  auto problems = [](Bytes file) {
    const WriterDictionary dictionary(file.data(), file.size());
    return dictionary.HeaderProblems();
  };
  auto patched = [&](std::size_t offset, std::uint8_t value) {
    Bytes file = good;
    file[offset] = value;
    return file;
  };
  auto mentions = [](const std::vector<std::string>& list, std::string_view part) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& p) { return p.find(part) != std::string::npos; });
  };
  EXPECT_TRUE(mentions(problems(patched(0, 'X')), "signature"));
  EXPECT_TRUE(mentions(problems(patched(288, 3)), "intermediate"));
  EXPECT_TRUE(mentions(problems(patched(512, 2)), "info block"));
  EXPECT_TRUE(mentions(problems(patched(544, 2)), "aligned flag"));
  EXPECT_TRUE(mentions(problems(patched(600, 1)), "reserved"));
  EXPECT_TRUE(mentions(problems(patched(524, good[524] ^ 1)), "length"));
  EXPECT_TRUE(mentions(problems(patched(528, good[528] ^ 1)), "checksum"));
  EXPECT_TRUE(mentions(problems(Bytes(good.begin(), good.begin() + 1000)), "shorter"));
}

// --- verify on damaged files ---------------------------------------------------------------

class VerifyDamage : public ::testing::Test {
 protected:
  void SetUp() override {
    records = test::GenerateRecords(400, true, 8);
    file = BuildWriterFile(records, {true, false, false});
    ASSERT_TRUE(VerifyWriterDictionary(file.data(), file.size()).Sound());
  }
  // Fixes the checksum so that only the damage under test is reported.
  void Reseal(Bytes& damaged) const {
    StoreU32(&damaged[524], static_cast<std::uint32_t>(damaged.size()));
    StoreU16(&damaged[528], WriterFileChecksum(damaged.data(), damaged.size()));
  }
  // The offset of the first index node (in root table order, depth first) with at least
  // `children` child entries.
  std::size_t FindIndexNode(int children) const {
    for (int b = 255; b >= 0; --b) {
      const std::size_t found = FindBelow(LoadU24(&file[640 + 4 * b + 1]), children);
      if (found != 0) return found;
    }
    return 0;
  }
  std::size_t FindBelow(std::size_t offset, int children) const {
    if (offset == 0) return 0;
    const std::uint16_t head = LoadU16(&file[offset]);
    if ((head & 0x8000) != 0) return 0;
    const int count = (head & 0x3FFF) - ((head & 0x4000) != 0 ? 1 : 0);
    if (count >= children) return offset;
    for (int i = 0; i < count; ++i) {
      const std::size_t found = FindBelow(LoadU24(&file[offset + 2 + 4 * i + 1]), children);
      if (found != 0) return found;
    }
    return 0;
  }

  std::vector<TestRecord> records;
  Bytes file;
};

TEST_F(VerifyDamage, FlippedDataByteIsACheckumMismatch) {
  const WriterDictionary dictionary(file.data(), file.size());
  WriterEntry entry;
  const TestRecord* withText = nullptr;
  for (const TestRecord& r : records) {
    if (!r.translation.empty()) {
      withText = &r;
      break;
    }
  }
  ASSERT_NE(withText, nullptr);
  ASSERT_TRUE(dictionary.Lookup(withText->key.data(), withText->key.size(), entry));
  Bytes damaged = file;
  damaged[static_cast<std::size_t>(entry.translation - file.data())] ^= 0x40;
  const WriterVerifyReport report = VerifyWriterDictionary(damaged.data(), damaged.size());
  EXPECT_EQ(report.problemCount, 1u);
  EXPECT_TRUE(HasProblem(report, "checksum")) << FirstProblem(report);
}

TEST_F(VerifyDamage, ChildOffsetPointingForward) {
  const std::size_t node = FindIndexNode(1);
  ASSERT_NE(node, 0u);
  Bytes damaged = file;
  StoreU24(&damaged[node + 2 + 1], static_cast<std::uint32_t>(node + 8));  // first child entry
  Reseal(damaged);
  const WriterVerifyReport report = VerifyWriterDictionary(damaged.data(), damaged.size());
  EXPECT_FALSE(report.Sound());
  EXPECT_TRUE(HasProblem(report, "not before the block that refers to it")) << FirstProblem(report);
  EXPECT_EQ(report.problemCount, 1u);
}

// Offsets that would send a reader in circles or out of the file: each is a problem verify
// names, and the walk and every lookup still come to an end inside the bytes.
TEST_F(VerifyDamage, ChildOffsetsThatLoopOrLeaveTheFile) {
  const std::size_t node = FindIndexNode(1);
  ASSERT_NE(node, 0u);
  const std::size_t firstChild = node + 2;  // the first child entry of that index node
  const std::size_t rootEntry = 640 + 4 * file[node + 2];
  const std::vector<std::tuple<const char*, std::size_t, std::uint32_t>> cases = {
      {"a child leading to its own node", firstChild, static_cast<std::uint32_t>(node)},
      {"a child leading into its own child entries", firstChild, static_cast<std::uint32_t>(node + 2)},
      {"a child leading past the end", firstChild, static_cast<std::uint32_t>(file.size() + 64)},
      {"a child with the largest offset", firstChild, 0xFFFFFF},
      {"a child leading into the header", firstChild, 16},
      {"a child leading into the root table", firstChild, 700},
      {"a root entry leading past the end", rootEntry, static_cast<std::uint32_t>(file.size())},
      {"a root entry leading into the root table", rootEntry, 640},
  };
  for (const auto& [what, at, offset] : cases) {
    Bytes damaged = file;
    StoreU24(&damaged[at + 1], offset);
    Reseal(damaged);
    const WriterVerifyReport report = VerifyWriterDictionary(damaged.data(), damaged.size());
    EXPECT_FALSE(report.Sound()) << what;
    const WriterDictionary dictionary(damaged.data(), damaged.size());
    EXPECT_FALSE(dictionary.ForEachEntry([](const WriterEntry&) {})) << what;
    for (const TestRecord& r : records) {
      WriterEntry entry;
      if (dictionary.Lookup(r.key.data(), r.key.size(), entry)) {
        ASSERT_GE(entry.translation, damaged.data()) << what;
        ASSERT_LE(entry.translation + entry.translationLength, damaged.data() + damaged.size()) << what;
      }
    }
  }
}

// Lengths and counts inside the blocks that point past the end of the file.
TEST_F(VerifyDamage, LengthsAndCountsThatPointPastTheEnd) {
  // The first block is a leaf bucket (blocks come in post-order); the file is far shorter than
  // 64 KiB, so the largest translation length leads out of it.
  const std::size_t first = 1664;
  ASSERT_NE(LoadU16(&file[first]) & 0x8000, 0);
  ASSERT_LT(file.size(), 65536u);
  const std::size_t firstEntry = first + 2;
  const std::size_t firstLength = firstEntry + 1 + file[firstEntry];
  const std::vector<std::tuple<const char*, std::size_t, int, std::uint16_t>> cases = {
      {"a bucket that claims 6 entries", first, 2, static_cast<std::uint16_t>(0x8006)},
      {"a bucket that claims 0x3FFF entries", first, 2, 0xBFFF},
      {"a node that claims 256 children", first, 2, 0x0100},
      {"a translation length past the end", firstLength, 2, 0xFFFF},
      {"255 remaining key bytes", firstEntry, 1, 0xFF},
  };
  for (const auto& [what, at, width, value] : cases) {
    Bytes damaged = file;
    if (width == 2) {
      StoreU16(&damaged[at], value);
    } else {
      damaged[at] = static_cast<std::uint8_t>(value);
    }
    Reseal(damaged);
    EXPECT_FALSE(VerifyWriterDictionary(damaged.data(), damaged.size()).Sound()) << what;
    const WriterDictionary dictionary(damaged.data(), damaged.size());
    for (const TestRecord& r : records) {
      WriterEntry entry;
      if (dictionary.Lookup(r.key.data(), r.key.size(), entry)) {
        ASSERT_LE(entry.translation + entry.translationLength, damaged.data() + damaged.size()) << what;
      }
    }
  }
}

TEST_F(VerifyDamage, ChildrenOutOfOrderAndSharedBlocks) {
  const std::size_t node = FindIndexNode(2);
  ASSERT_NE(node, 0u);
  {
    Bytes damaged = file;  // two child entries with the same key byte
    damaged[node + 2 + 4] = damaged[node + 2];
    Reseal(damaged);
    const WriterVerifyReport report = VerifyWriterDictionary(damaged.data(), damaged.size());
    EXPECT_TRUE(HasProblem(report, "does not follow a higher key byte")) << FirstProblem(report);
  }
  {
    Bytes damaged = file;  // the second child leads to the first child's block again
    std::copy(&file[node + 2 + 1], &file[node + 2 + 4], &damaged[node + 2 + 5]);
    Reseal(damaged);
    const WriterVerifyReport report = VerifyWriterDictionary(damaged.data(), damaged.size());
    EXPECT_TRUE(HasProblem(report, "inside blocks already walked")) << FirstProblem(report);
  }
}

TEST_F(VerifyDamage, BadHeadWordsAndKeysOutOfOrder) {
  // The first block of the tree is a leaf bucket; claim seven entries in it.
  ASSERT_NE(LoadU16(&file[1664]) & 0x8000, 0);
  Bytes damaged = file;
  StoreU16(&damaged[1664], 0x8007);
  Reseal(damaged);
  EXPECT_FALSE(VerifyWriterDictionary(damaged.data(), damaged.size()).Sound());

  // In a bucket of two or more entries, lower the first entry's remaining key bytes and raise
  // the second's: the blocks stay intact, only the key order is broken.
  std::size_t at = 1664;
  bool done = false;
  while (!done && at < file.size()) {
    const std::uint16_t head = LoadU16(&file[at]);
    std::size_t pos = at + 2;
    if ((head & 0x8000) == 0) {
      const int children = (head & 0x3FFF) - ((head & 0x4000) != 0 ? 1 : 0);
      pos += 4 * static_cast<std::size_t>(children);
      if ((head & 0x4000) != 0) pos += 6 + LoadU16(&file[pos]);
      at = pos;
      continue;
    }
    std::vector<std::size_t> entries;
    for (int i = 0; i < (head & 0x3FFF); ++i) {
      entries.push_back(pos);
      pos += 1 + file[pos];
      pos += 6 + LoadU16(&file[pos]);
    }
    if (entries.size() >= 2 && file[entries[0]] >= 1 && file[entries[1]] >= 1) {
      Bytes reordered = file;
      std::fill_n(&reordered[entries[0] + 1], file[entries[0]], 0);
      reordered[entries[1] + 1] = 0xFF;
      Reseal(reordered);
      const WriterVerifyReport report = VerifyWriterDictionary(reordered.data(), reordered.size());
      EXPECT_EQ(report.problemCount, 1u) << FirstProblem(report);
      EXPECT_TRUE(HasProblem(report, "out of order")) << FirstProblem(report);
      done = true;
    }
    at = pos;
  }
  EXPECT_TRUE(done);
}

TEST_F(VerifyDamage, TruncatedFile) {
  for (const std::size_t cut : {std::size_t{1}, std::size_t{100}, file.size() - 1700, file.size() - 1000}) {
    const Bytes damaged(file.begin(), file.end() - static_cast<long>(cut));
    const WriterVerifyReport report = VerifyWriterDictionary(damaged.data(), damaged.size());
    EXPECT_FALSE(report.Sound()) << cut;
    EXPECT_TRUE(HasProblem(report, "length") || HasProblem(report, "shorter")) << cut;
  }
  Bytes grown = file;
  grown.resize(file.size() + 8, 0);
  Reseal(grown);
  EXPECT_TRUE(HasProblem(VerifyWriterDictionary(grown.data(), grown.size()), "the blocks end at offset"));
}

// A file cut at each boundary of its sections: inside the header, at the info block, in the
// root table, at the first tree block and inside it.
TEST_F(VerifyDamage, CutAtEverySectionBoundary) {
  for (const std::size_t length : {std::size_t{0}, std::size_t{7}, std::size_t{288}, std::size_t{511},
                                   std::size_t{512}, std::size_t{639}, std::size_t{640}, std::size_t{1000},
                                   std::size_t{1663}, std::size_t{1664}, std::size_t{1666}}) {
    Bytes damaged(file.begin(), file.begin() + static_cast<long>(length));
    if (length >= 640) Reseal(damaged);  // only the cut itself is wrong
    const WriterVerifyReport report = VerifyWriterDictionary(damaged.data(), damaged.size());
    EXPECT_FALSE(report.Sound()) << length;
    EXPECT_FALSE(report.problems.empty()) << length;
    const WriterDictionary dictionary(damaged.data(), damaged.size());
    EXPECT_FALSE(dictionary.ForEachEntry([](const WriterEntry&) {})) << length;
    WriterEntry entry;
    EXPECT_FALSE(dictionary.Lookup(records[0].key.data(), records[0].key.size(), entry)) << length;
  }
}

// Random damage anywhere (header, root table, blocks) and random lengths: verify, the lookup and
// the walk must stay inside the bytes and come to an end.
TEST_F(VerifyDamage, ArbitraryDamageIsHandledSafely) {
  std::mt19937 random(12345);
  for (int round = 0; round < 400; ++round) {
    Bytes damaged = file;
    const int flips = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < flips; ++i) {
      const std::size_t at = random() % 3 == 0 ? 640 + random() % 1024 : random() % damaged.size();
      damaged[at] = static_cast<std::uint8_t>(random());
    }
    if (random() % 4 == 0) damaged.resize(random() % damaged.size());
    if (random() % 2 == 0 && damaged.size() >= 640) Reseal(damaged);
    (void)VerifyWriterDictionary(damaged.data(), damaged.size());
    const WriterDictionary dictionary(damaged.data(), damaged.size());
    dictionary.ForEachEntry([](const WriterEntry&) {});
    for (int i = 0; i < 20; ++i) {
      const TestRecord& r = records[random() % records.size()];
      WriterEntry entry;
      if (dictionary.Lookup(r.key.data(), r.key.size(), entry)) {
        ASSERT_GE(entry.translation, damaged.data());
        ASSERT_LE(entry.translation + entry.translationLength, damaged.data() + damaged.size());
      }
    }
  }
  // Pure noise behind a plausible header.
  for (int round = 0; round < 200; ++round) {
    Bytes noise(1664 + random() % 6000);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random() % 3 == 0 ? random() : 0);
    std::copy(file.begin(), file.begin() + 640, noise.begin());
    Reseal(noise);
    (void)VerifyWriterDictionary(noise.data(), noise.size());
  }
}

}  // namespace
}  // namespace lexaport
