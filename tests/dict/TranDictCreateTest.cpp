#include "dict/TranDictCreate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <set>
#include <thread>
#include <utility>

#include "common/ForwardingFileSystem.h"
#include "dict/Crc16.h"
#include "dict/DictionaryFileFormat.h"
#include "dict/WriterDictionary.h"
#include "dict/WriterDictionaryVerify.h"
#include "dict/WriterTestSupport.h"
#include "dict/WrittenRecords.h"
#include "platform/MemoryFileSystem.h"
#include "steno/EntryRecord.h"
#include "support/ByteOrder.h"

#if defined(__SANITIZE_ADDRESS__)
// The out-of-memory test asks for far more memory than there is; AddressSanitizer would stop the
// program there instead of letting the allocation fail as it does in a normal build.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif

// The builder takes its buffers with new (std::nothrow) T[n]. A test may have the next such
// request of exactly `refusedArraySize` bytes refused, once, to see what the builder does without
// that memory; everything else is handed on to the ordinary array allocation. (Not under
// AddressSanitizer, whose own operator new[] stops the program where it cannot allocate.)
namespace {
std::size_t refusedArraySize = 0;
}  // namespace

#if !defined(__SANITIZE_ADDRESS__)
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (refusedArraySize != 0 && size == refusedArraySize) {
    refusedArraySize = 0;
    return nullptr;
  }
  try {
    return ::operator new[](size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
#endif

namespace lexaport {
namespace {

using test::B;
using test::Bytes;
using test::TestRecord;

constexpr const char* kInput = "/tmp/lexaport.zqdct";
constexpr const char* kOutput = "/tmp/lexaport.ZQDCX";
constexpr std::uint32_t kToday = 20240601;
constexpr std::int64_t kModified = 1700000000;

struct Flags {
  bool recordNumbers = true;
  bool dates = false;
  bool aligned = false;
};

class TranDictCreateTest : public ::testing::Test {
 protected:
  int Build(const Bytes& intermediate, Flags flags = {}) {
    files.SetFile(kInput, intermediate, kModified);
    return builder.CreateDictionary(kInput, writerPath, flags.recordNumbers, flags.dates, flags.aligned);
  }
  int Build(const std::vector<TestRecord>& records, Flags flags = {}) {
    return Build(test::IntermediateFile(records), flags);
  }
  const Bytes& Output() {
    const Bytes* bytes = files.FindFile(kOutput);
    EXPECT_NE(bytes, nullptr);
    static const Bytes kNone;
    return bytes != nullptr ? *bytes : kNone;
  }

  platform::MemoryFileSystem files;
  platform::FixedClock clock{kToday};
  CTranDictCreate builder{files, clock};
  std::string writerPath;
};

TestRecord Rec(Bytes key, std::string_view translation, std::uint32_t number) {
  TestRecord record;
  record.key = std::move(key);
  record.translation = B(translation);
  record.number = number;
  return record;
}

// The tree part of a writer file (from offset 640) put together block by block, as the tests
// expect it to come out.
class ExpectedTree {
 public:
  explicit ExpectedTree(Flags flags) : flags_(flags), root_(1024, 0) {}

  std::uint32_t Bucket(int depth, std::initializer_list<const TestRecord*> entries) {
    const std::uint32_t offset = Start();
    Put16(static_cast<std::uint16_t>(0x8000 + entries.size()));
    for (const TestRecord* e : entries) {
      blocks_.push_back(static_cast<std::uint8_t>(e->key.size() - depth));
      blocks_.insert(blocks_.end(), e->key.begin() + depth, e->key.end());
      Payload(*e);
    }
    Pad();
    return offset;
  }

  std::uint32_t Node(std::initializer_list<std::pair<int, std::uint32_t>> children, const TestRecord* terminal = nullptr) {
    const std::uint32_t offset = Start();
    Put16(static_cast<std::uint16_t>(children.size() + (terminal != nullptr ? 0x4001 : 0)));
    for (const auto& [keyByte, target] : children) {
      blocks_.push_back(static_cast<std::uint8_t>(keyByte));
      Put24(Field(target));
    }
    if (terminal != nullptr) Payload(*terminal);
    Pad();
    return offset;
  }

  void Root(int keyByte, std::uint32_t target) { StoreU24(&root_[keyByte * 4 + 1], Field(target)); }

  Bytes Bytes640() const { return test::Cat({root_, blocks_}); }

 private:
  std::uint32_t Start() const { return static_cast<std::uint32_t>(1664 + blocks_.size()); }
  std::uint32_t Field(std::uint32_t offset) const { return flags_.aligned ? offset / 4 : offset; }
  void Put16(std::uint16_t v) {
    blocks_.push_back(static_cast<std::uint8_t>(v));
    blocks_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void Put24(std::uint32_t v) {
    for (int i = 0; i < 3; ++i) blocks_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void Put32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) blocks_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void Payload(const TestRecord& e) {
    Put16(static_cast<std::uint16_t>(e.translation.size()));
    if (flags_.recordNumbers) Put32(e.number);
    if (flags_.dates) {
      Put32(e.secondDate);
      Put32(e.creationDate);
      Put32(e.reserved);
    }
    blocks_.insert(blocks_.end(), e.translation.begin(), e.translation.end());
  }
  void Pad() {
    while (flags_.aligned && blocks_.size() % 4 != 0) blocks_.push_back(0);
  }

  Flags flags_;
  test::Bytes root_;
  test::Bytes blocks_;
};

Bytes Tail640(const Bytes& file) { return file.size() < 640 ? Bytes{} : Bytes(file.begin() + 640, file.end()); }

TEST_F(TranDictCreateTest, HeaderAndInfoBlock) {
  const std::vector<TestRecord> records = {Rec(B({0x12, 0x34, 0x56, 0x78}), "the", 1)};
  const Bytes intermediate = test::IntermediateFile(records);
  ASSERT_EQ(Build(intermediate, {true, true, false}), createresult::kWritten);
  EXPECT_EQ(writerPath, kOutput);
  const Bytes& out = Output();
  ASSERT_GE(out.size(), 1664u);

  // The header is the intermediate one with five fields replaced.
  Bytes header(intermediate.begin(), intermediate.begin() + 512);
  StoreU32(&header[16], kToday);
  StoreU32(&header[24], kToday);
  header[288] = 4;
  EXPECT_EQ(test::Hex(Bytes(out.begin(), out.begin() + 512)), test::Hex(header));

  EXPECT_EQ(LoadU32(&out[512]), 3u);
  EXPECT_EQ(LoadU32(&out[516]), intermediate.size());
  EXPECT_EQ(LoadU32(&out[520]), 1u);  // record numbers
  EXPECT_EQ(LoadU32(&out[524]), out.size());
  EXPECT_EQ(LoadU16(&out[528]), WriterFileChecksum(out.data(), out.size()));
  EXPECT_EQ(LoadU16(&out[530]), 0u);
  EXPECT_EQ(LoadS64(&out[532]), kModified);
  EXPECT_EQ(LoadU32(&out[540]), 1u);  // dates
  EXPECT_EQ(LoadU32(&out[544]), 0u);  // aligned
  EXPECT_EQ(Bytes(out.begin() + 548, out.begin() + 640), Bytes(92, 0));
}

TEST_F(TranDictCreateTest, SingleEntryInEveryMode) {
  TestRecord the = Rec(B({0x12, 0x34, 0x56, 0x78}), "the", 7);
  the.creationDate = 20230405;
  the.secondDate = 20230506;
  for (const Flags flags : {Flags{true, false, false}, Flags{false, false, false}, Flags{true, true, false},
                            Flags{true, false, true}, Flags{false, true, true}}) {
    SCOPED_TRACE(testing::Message() << flags.recordNumbers << flags.dates << flags.aligned);
    ASSERT_EQ(Build({the}, flags), createresult::kWritten);
    ExpectedTree tree(flags);
    tree.Root(0x12, tree.Bucket(1, {&the}));
    EXPECT_EQ(test::Hex(Tail640(Output())), test::Hex(tree.Bytes640()));
  }
  // Spelled out once: head word 0x8001, r = 3, the last three key bytes, length, number, text.
  ASSERT_EQ(Build({the}), createresult::kWritten);
  const Bytes& out = Output();
  EXPECT_EQ(test::Hex(&out[640 + 0x12 * 4], 4), "00 80 06 00");
  EXPECT_EQ(test::Hex(Bytes(out.begin() + 1664, out.end())), "01 80 03 34 56 78 03 00 07 00 00 00 74 68 65");
}

// Five entries that share their first byte, beside entries that do not, form one leaf bucket
// below that byte; six make an index node, each entry in a bucket of its own below it.
TEST_F(TranDictCreateTest, LookaheadCutsFiveIntoABucketAndSixIntoAnIndexNode) {
  const TestRecord high = Rec(B({0xF0, 0x11, 0x22, 0x33}), "hi", 1);
  std::vector<TestRecord> run;
  for (int i = 6; i >= 1; --i) run.push_back(Rec(B({0xA0, i, 0, 0}), std::string(1, static_cast<char>('a' + i)), 0));
  const TestRecord low = Rec(B({0x10, 0, 0, 0}), "lo", 0);

  for (const bool aligned : {false, true}) {
    SCOPED_TRACE(aligned);
    const Flags flags{true, false, aligned};
    {
      std::vector<TestRecord> records = {high, run[1], run[2], run[3], run[4], run[5], low};
      for (std::size_t i = 0; i < records.size(); ++i) records[i].number = static_cast<std::uint32_t>(i + 1);
      ASSERT_EQ(Build(records, flags), createresult::kWritten);
      ExpectedTree tree(flags);
      tree.Root(0xF0, tree.Bucket(1, {&records[0]}));
      tree.Root(0xA0, tree.Bucket(1, {&records[1], &records[2], &records[3], &records[4], &records[5]}));
      tree.Root(0x10, tree.Bucket(1, {&records[6]}));
      EXPECT_EQ(test::Hex(Tail640(Output())), test::Hex(tree.Bytes640()));
    }
    {
      std::vector<TestRecord> records = {run[0], run[1], run[2], run[3], run[4], run[5], low};
      for (std::size_t i = 0; i < records.size(); ++i) records[i].number = static_cast<std::uint32_t>(i + 1);
      ASSERT_EQ(Build(records, flags), createresult::kWritten);
      ExpectedTree tree(flags);
      std::uint32_t buckets[6];
      for (int i = 0; i < 6; ++i) buckets[i] = tree.Bucket(2, {&records[i]});
      tree.Root(0xA0, tree.Node({{6, buckets[0]}, {5, buckets[1]}, {4, buckets[2]}, {3, buckets[3]}, {2, buckets[4]},
                                 {1, buckets[5]}}));
      tree.Root(0x10, tree.Bucket(1, {&records[6]}));
      EXPECT_EQ(test::Hex(Tail640(Output())), test::Hex(tree.Bytes640()));
    }
  }
}

// S/T and S among fewer than six entries sharing S go into one bucket, S/T first; with six, S is
// the terminal entry of the index node at depth 4, stored after that node's child entries.
TEST_F(TranDictCreateTest, PrefixEntryIsBucketMateOrTerminalEntry) {
  const Bytes s = B({0x30, 0, 0, 0});
  {
    const std::vector<TestRecord> records = {Rec(test::Cat({s, B({0x10, 0, 0, 0})}), "st", 1), Rec(s, "s", 2),
                                             Rec(B({0x20, 0, 0, 0}), "x", 3)};
    ASSERT_EQ(Build(records), createresult::kWritten);
    ExpectedTree tree({});
    tree.Root(0x30, tree.Bucket(1, {&records[0], &records[1]}));
    tree.Root(0x20, tree.Bucket(1, {&records[2]}));
    EXPECT_EQ(test::Hex(Tail640(Output())), test::Hex(tree.Bytes640()));
  }
  for (const bool aligned : {false, true}) {
    SCOPED_TRACE(aligned);
    const Flags flags{true, false, aligned};
    std::vector<TestRecord> records;
    for (int t = 5; t >= 1; --t) records.push_back(Rec(test::Cat({s, B({0x10 * t, 0, 0, 0})}), "long", 0));
    records.push_back(Rec(s, "short", 0));
    for (std::size_t i = 0; i < records.size(); ++i) records[i].number = static_cast<std::uint32_t>(i + 1);
    ASSERT_EQ(Build(records, flags), createresult::kWritten);
    ExpectedTree tree(flags);
    std::uint32_t b[5];
    for (int i = 0; i < 5; ++i) b[i] = tree.Bucket(5, {&records[i]});
    const std::uint32_t depth4 =
        tree.Node({{0x50, b[0]}, {0x40, b[1]}, {0x30, b[2]}, {0x20, b[3]}, {0x10, b[4]}}, &records[5]);
    const std::uint32_t depth3 = tree.Node({{0, depth4}});
    const std::uint32_t depth2 = tree.Node({{0, depth3}});
    tree.Root(0x30, tree.Node({{0, depth2}}));
    EXPECT_EQ(test::Hex(Tail640(Output())), test::Hex(tree.Bytes640()));
  }
}

// The terminal entry is written when its node closes, after the lookahead has moved on: what is
// written must be the entry itself, not whatever its window slot holds by then.
TEST_F(TranDictCreateTest, TerminalEntrySurvivesTheRefillOfItsSlot) {
  const Bytes s = B({0x30, 0, 0, 0});
  std::vector<TestRecord> records;
  for (int t = 5; t >= 1; --t) records.push_back(Rec(test::Cat({s, B({0x10 * t, 0, 0, 0})}), "long", 0));
  records.push_back(Rec(s, "terminal", 0));
  for (int k = 0x2F; k > 0x20; --k) records.push_back(Rec(B({k, 1, 2, 3}), "later", 0));
  for (std::size_t i = 0; i < records.size(); ++i) records[i].number = static_cast<std::uint32_t>(i + 1);
  ASSERT_EQ(Build(records), createresult::kWritten);
  const Bytes& out = Output();
  const WriterDictionary dictionary(out.data(), out.size());
  WriterEntry entry;
  ASSERT_TRUE(dictionary.Lookup(s.data(), s.size(), entry));
  EXPECT_TRUE(entry.terminal);
  EXPECT_EQ(Bytes(entry.translation, entry.translation + entry.translationLength), B("terminal"));
  EXPECT_EQ(entry.recordNumber, 6u);
  EXPECT_TRUE(VerifyWriterDictionary(out.data(), out.size()).Sound());
}

TEST_F(TranDictCreateTest, AlignedFileHasLengthAndOffsetsInFourByteUnits) {
  const std::vector<TestRecord> records = test::GenerateRecords(500, true, 11);
  ASSERT_EQ(Build(records, {true, false, true}), createresult::kWritten);
  const Bytes& out = Output();
  EXPECT_EQ(out.size() % 4, 0u);
  EXPECT_EQ(LoadU32(&out[544]), 1u);
  const WriterVerifyReport report = VerifyWriterDictionary(out.data(), out.size());
  EXPECT_TRUE(report.Sound()) << (report.problems.empty() ? "" : report.problems.front());
  EXPECT_EQ(report.entryCount, records.size());
}

TEST_F(TranDictCreateTest, RebuildDiffersOnlyInTheBuildDates) {
  const std::vector<TestRecord> records = test::GenerateRecords(300, true, 5);
  ASSERT_EQ(Build(records), createresult::kWritten);
  const Bytes first = Output();
  platform::FixedClock later(20250101);
  CTranDictCreate other(files, later);
  ASSERT_EQ(other.CreateDictionary(kInput, writerPath, true, false, false), createresult::kWritten);
  Bytes second = Output();
  ASSERT_EQ(first.size(), second.size());
  EXPECT_EQ(LoadU32(&second[16]), 20250101u);
  EXPECT_EQ(LoadU32(&second[24]), 20250101u);
  std::copy(first.begin() + 16, first.begin() + 20, second.begin() + 16);
  std::copy(first.begin() + 24, first.begin() + 28, second.begin() + 24);
  EXPECT_EQ(first, second);
}

// The records of an intermediate file handed over one by one while it is written (every third
// as a copy of memory that is overwritten at once, as a merged entry is) give the writer file
// that is built from the finished file, in every mode, also when built again from records that
// are all there (the aligned rebuild).
TEST_F(TranDictCreateTest, BuiltAlongsideTheWritingItIsTheFileOfTheFinishedFile) {
  const std::vector<TestRecord> records = test::GenerateRecords(10000, true, 11);
  const Bytes intermediate = test::IntermediateFile(records);
  for (const Flags flags : {Flags{}, Flags{true, true, false}, Flags{false, false, true}}) {
    ASSERT_EQ(Build(intermediate, flags), createresult::kWritten);
    const Bytes expected = Output();
    files.Remove(kOutput);

    std::vector<const std::uint8_t*> slots(records.size());
    CWrittenRecords written(slots.data());
    std::thread writing([&] {
      Bytes scratch;
      std::size_t i = 0;
      for (std::size_t at = dictfile::kFirstRecordOffset; at < intermediate.size(); ++i) {
        const std::uint8_t* record = &intermediate[at];
        const std::size_t size = EntryRecordView(record).Size();
        at += size;
        if (i % 3 != 0) {
          written.Add(record);
          continue;
        }
        scratch.assign(record, record + size);
        written.AddCopy(scratch.data());
        std::fill(scratch.begin(), scratch.end(), std::uint8_t{0xEE});
      }
      written.End(true);
    });
    CTranDictCreate alongside(files, clock);
    const int result =
        alongside.CreateDictionaryAlongside(written, kInput, writerPath, flags.recordNumbers, flags.dates, flags.aligned);
    writing.join();
    ASSERT_EQ(result, createresult::kWritten);
    EXPECT_EQ(writerPath, kOutput);
    EXPECT_EQ(Output(), expected);
    ASSERT_EQ(alongside.CreateDictionaryAlongside(written, kInput, writerPath, flags.recordNumbers, flags.dates,
                                                  flags.aligned),
              createresult::kWritten);
    EXPECT_EQ(Output(), expected);
  }
}

// A writing that ends without its file leaves no writer file, however far the tree got; a file
// without records gives none either.
TEST_F(TranDictCreateTest, BuiltAlongsideAnUnfinishedWritingItLeavesNoFile) {
  const std::vector<TestRecord> records = test::GenerateRecords(6000, true, 12);
  const Bytes intermediate = test::IntermediateFile(records);
  files.SetFile(kInput, intermediate, kModified);
  std::vector<const std::uint8_t*> slots(records.size());
  CWrittenRecords abandoned(slots.data());
  std::thread writing([&] {
    std::size_t at = dictfile::kFirstRecordOffset;
    for (std::size_t i = 0; i < 5000; ++i) {  // more than the first batch: the builder has begun
      abandoned.Add(&intermediate[at]);
      at += EntryRecordView(&intermediate[at]).Size();
    }
    abandoned.End(false);
  });
  const int result = builder.CreateDictionaryAlongside(abandoned, kInput, writerPath, true, false, false);
  writing.join();
  EXPECT_EQ(result, createresult::kCannotOpen);
  EXPECT_EQ(files.FindFile(kOutput), nullptr);

  for (const bool written : {true, false}) {
    CWrittenRecords none(slots.data());
    none.End(written);
    EXPECT_EQ(builder.CreateDictionaryAlongside(none, kInput, writerPath, true, false, false),
              written ? createresult::kNoRecords : createresult::kCannotOpen);
    EXPECT_EQ(files.FindFile(kOutput), nullptr);
  }
}

// The stored checksum matches the definition (the data area as read back in 64 KiB pieces) for
// files below, at and above the 65,920-byte edge and over several pieces, also
// where the last piece is read whole (131,456 bytes) and where its read finds nothing left in
// the file (131,712 bytes).
TEST_F(TranDictCreateTest, StoredChecksumMatchesTheDefinitionAtEverySize) {
  // One or two entries of one stroke, each in a bucket of its own: every entry adds 12 bytes
  // and its translation to the 1664 before the first block.
  struct Size {
    std::size_t length;
    int entries;
  };
  for (const Size size : {Size{65920, 1}, Size{65921, 1}, Size{66176, 1}, Size{131456, 2}, Size{131712, 2}}) {
    std::vector<TestRecord> records;
    std::size_t left = size.length - 1664;
    for (int e = 0; e < size.entries; ++e) {
      TestRecord record = Rec(B({0x20 - e, 2, 3, 4}), "", static_cast<std::uint32_t>(e + 1));
      const std::size_t bytes = left / static_cast<std::size_t>(size.entries - e);
      left -= bytes;
      record.translation.assign(bytes - 12, 0);
      for (std::size_t i = 0; i < record.translation.size(); ++i) {
        record.translation[i] = static_cast<std::uint8_t>(i * 7 + e);
      }
      records.push_back(std::move(record));
    }
    ASSERT_EQ(Build(records), createresult::kWritten);
    const Bytes& out = Output();
    ASSERT_EQ(out.size(), size.length);
    EXPECT_EQ(LoadU16(&out[528]), WriterFileChecksum(out.data(), out.size())) << size.length;
  }
  std::vector<TestRecord> records = test::GenerateRecords(4000, false, 3);
  ASSERT_EQ(Build(records), createresult::kWritten);
  const Bytes& out = Output();
  ASSERT_GT(out.size(), 2 * 65536u + 640);  // read back in three pieces
  EXPECT_EQ(LoadU16(&out[528]), WriterFileChecksum(out.data(), out.size()));
}

// --- Result codes -------------------------------------------------------------------------

TEST_F(TranDictCreateTest, EmptyIntermediateFileHasNoRecords) {
  EXPECT_EQ(Build(test::IntermediateFile({})), createresult::kNoRecords);
  EXPECT_EQ(writerPath, kOutput);
  EXPECT_EQ(files.FindFile(kOutput), nullptr);
}

TEST_F(TranDictCreateTest, MissingFileGivesStatusUnreadableAndNoPath) {
  writerPath = "unchanged";
  EXPECT_EQ(builder.CreateDictionary("/tmp/none.zqdct", writerPath, true, false, false),
            createresult::kStatusUnreadable);
  EXPECT_EQ(writerPath, "unchanged");
}

TEST_F(TranDictCreateTest, UnopenableAndUncreatableFiles) {
  const std::vector<TestRecord> records = {Rec(B({1, 2, 3, 4}), "a", 1)};
  files.RefuseOpen(kInput);
  EXPECT_EQ(Build(records), createresult::kCannotOpen);
  EXPECT_EQ(writerPath, kOutput);

  platform::MemoryFileSystem other;
  CTranDictCreate otherBuilder(other, clock);
  other.SetFile(kInput, test::IntermediateFile(records));
  other.RefuseCreate(kOutput);
  EXPECT_EQ(otherBuilder.CreateDictionary(kInput, writerPath, true, false, false), createresult::kCannotCreate);
}

TEST_F(TranDictCreateTest, WriterPathIsTheAbsoluteIntermediatePathWithItsExtensionReplaced) {
  const Bytes intermediate = test::IntermediateFile({Rec(B({1, 2, 3, 4}), "a", 1)});
  files.SetFile("dict.zqdct", intermediate);  // relative: taken from the current directory "/work"
  files.SetFile("/work/dict.zqdct", intermediate);
  EXPECT_EQ(builder.CreateDictionary("dict.zqdct", writerPath, true, false, false), createresult::kWritten);
  EXPECT_EQ(writerPath, "/work/dict.ZQDCX");
  EXPECT_NE(files.FindFile("/work/dict.ZQDCX"), nullptr);

  // No writer path can be formed: too long, or it would be the input itself.
  const std::string longPath = "/" + std::string(256, 'd') + ".z";  // 259 characters, 263 renamed
  files.SetFile(longPath, intermediate);
  EXPECT_EQ(builder.CreateDictionary(longPath, writerPath, true, false, false), createresult::kCannotCreate);
  EXPECT_EQ(writerPath, "");
  files.SetFile("/tmp/odd.ZQDCX", intermediate);
  EXPECT_EQ(builder.CreateDictionary("/tmp/odd.ZQDCX", writerPath, true, false, false), createresult::kCannotCreate);
  EXPECT_EQ(writerPath, "");
  EXPECT_EQ(*files.FindFile("/tmp/odd.ZQDCX"), intermediate);
}

TEST_F(TranDictCreateTest, FilesThisSystemDidNotWriteAreRejected) {
  const Bytes good = test::IntermediateFile({Rec(B({1, 2, 3, 4}), "a", 1)});
  auto with = [&](std::size_t offset, std::uint8_t value) {
    Bytes file = good;
    file[offset] = value;
    return file;
  };
  auto record = [](Bytes key, std::size_t translation) {
    TestRecord r;
    r.key = std::move(key);
    r.translation.assign(translation, 'x');
    return r;
  };
  const Bytes a = B({0x20, 0, 0, 0});
  const Bytes b = B({0x10, 0, 0, 0});
  const Bytes header = Bytes(good.begin(), good.begin() + 640);

  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"shorter than 640 bytes", Bytes(good.begin(), good.begin() + 600)},
      {"wrong signature", with(3, 'X')},
      {"signature without its zero", with(7, 'Y')},
      {"a writer file (type 4)", with(288, 4)},
      {"format number 3", with(8, 3)},
      {"format number 0x102", with(9, 1)},
      {"record area of 1 byte", test::Cat({header, Bytes(1, 0)})},
      {"record area of 21 bytes", test::Cat({header, Bytes(21, 0)})},
      {"first record longer than the area", Bytes(good.begin(), good.end() - 4)},
      {"trailing bytes after the last record", test::Cat({good, Bytes(24, 0)})},
      {"keys ascending", test::IntermediateFile({record(b, 1), record(a, 1)})},
      {"a key repeated", test::IntermediateFile({record(a, 1), record(a, 2)})},
      {"a key below its extension", test::IntermediateFile({record(a, 1), record(test::Cat({a, b}), 1)})},
      {"a record without strokes", test::IntermediateFile({record({}, 3)})},
      {"a record of 17 strokes", test::IntermediateFile({record(Bytes(68, 1), 3)})},
      {"a record of 200 strokes", test::IntermediateFile({record(Bytes(800, 1), 3)})},
  };
  for (const auto& [what, file] : cases) {
    EXPECT_EQ(Build(file), createresult::kNotIntermediate) << what;
    EXPECT_EQ(files.FindFile(kOutput), nullptr) << what;
  }
  // A record area of 22 bytes or more that does not hold the first record whole: here the
  // record claims a translation far beyond the end of the file.
  Bytes claims = test::Cat({header, Bytes(24, 0)});
  claims[640 + 18] = 1;
  StoreU16(&claims[640 + 19], 60000);
  EXPECT_EQ(Build(claims), createresult::kNotIntermediate);
  // 16 strokes are still fine, as is a record with an empty translation.
  EXPECT_EQ(Build(test::IntermediateFile({record(Bytes(64, 1), 0)})), createresult::kWritten);
}

// An intermediate file cut anywhere -- in the header, the info block, a record -- is not taken,
// except where the cut falls between records: then the records before it make a sound file.
TEST_F(TranDictCreateTest, CutAnywhereIsRejectedOrBuildsTheRecordsBeforeTheCut) {
  const std::vector<TestRecord> records = {Rec(B({0x30, 1, 0, 0}), "three", 3), Rec(B({0x20, 0, 0, 0}), "two", 2),
                                           Rec(B({0x10, 0, 0, 0}), "one-that-is-longer", 1)};
  const Bytes whole = test::IntermediateFile(records);
  std::set<std::size_t> boundaries = {640};
  std::size_t end = 640;
  for (const TestRecord& r : records) boundaries.insert(end += test::RecordBytes(r).size());
  ASSERT_EQ(end, whole.size());
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    const int result = Build(Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
    if (cut == 640) {
      EXPECT_EQ(result, createresult::kNoRecords);
    } else if (boundaries.count(cut) != 0) {
      ASSERT_EQ(result, createresult::kWritten) << cut;
      EXPECT_TRUE(VerifyWriterDictionary(Output().data(), Output().size()).Sound()) << cut;
    } else {
      EXPECT_EQ(result, createresult::kNotIntermediate) << cut;
    }
    if (result != createresult::kWritten) {
      EXPECT_EQ(files.FindFile(kOutput), nullptr) << cut;
    }
    files.Remove(kOutput);
  }
}

// The builder finds the records by the file's length alone: counts and sizes in the info block
// that point past the end change nothing.
TEST_F(TranDictCreateTest, InfoBlockCountsThatPointPastTheEndAreNotUsed) {
  const Bytes good = test::IntermediateFile({Rec(B({0x20, 0, 0, 0}), "two", 2), Rec(B({0x10, 0, 0, 0}), "one", 1)});
  ASSERT_EQ(Build(good), createresult::kWritten);
  const Bytes expected = Output();
  Bytes lying = good;
  StoreU32(&lying[512], 0xFFFFFFFF);  // records
  StoreU32(&lying[516], 7);           // records + 1
  StoreU32(&lying[520], 0x7FFFFFFF);  // offset of the first record
  StoreU32(&lying[524], 0xFFFFFFF0);  // size of the records
  ASSERT_EQ(Build(lying), createresult::kWritten);
  EXPECT_EQ(Output(), expected);
}

// A file system that hands out files lying about their length, or that stores nothing written,
// for the cases that would otherwise need huge amounts of memory.
class BigFileSystem final : public test::ForwardingFileSystem {
 public:
  explicit BigFileSystem(platform::MemoryFileSystem& inner) : ForwardingFileSystem(inner) {}
  std::uint64_t claimedLength = 0;  // 0: the truth
  std::uint64_t written = 0;

  std::unique_ptr<platform::IFile> OpenForReading(const std::string& path, platform::Sharing sharing) override {
    auto file = Inner().OpenForReading(path, sharing);
    if (!file || claimedLength == 0) return file;
    return std::make_unique<Liar>(std::move(file), claimedLength);
  }
  std::unique_ptr<platform::IFile> CreateForWriting(const std::string& path) override {
    Inner().SetFile(path, Bytes{});
    return std::make_unique<Sink>(written);
  }

 private:
  class Liar final : public platform::IFile {
   public:
    Liar(std::unique_ptr<platform::IFile> file, std::uint64_t length) : file_(std::move(file)), length_(length) {}
    std::size_t Read(void* buffer, std::size_t count) override { return file_->Read(buffer, count); }
    void Write(const void* data, std::size_t count) override { file_->Write(data, count); }
    void Seek(std::uint64_t offset) override { file_->Seek(offset); }
    std::uint64_t Length() override { return length_; }

   private:
    std::unique_ptr<platform::IFile> file_;
    std::uint64_t length_;
  };
  class Sink final : public platform::IFile {
   public:
    explicit Sink(std::uint64_t& written) : written_(written) {}
    std::size_t Read(void*, std::size_t) override { return 0; }
    void Write(const void*, std::size_t count) override {
      position_ += count;
      if (position_ > length_) length_ = position_;
      written_ = length_;
    }
    void Seek(std::uint64_t offset) override { position_ = offset; }
    std::uint64_t Length() override { return length_; }

   private:
    std::uint64_t& written_;
    std::uint64_t position_ = 0;
    std::uint64_t length_ = 0;
  };
};

TEST_F(TranDictCreateTest, RecordAreaThatCannotBeHadIsOutOfMemory) {
  files.SetFile(kInput, test::IntermediateFile({Rec(B({1, 2, 3, 4}), "a", 1)}));
  BigFileSystem big(files);
  big.claimedLength = std::uint64_t{1} << 46;  // 64 TiB
  CTranDictCreate bigBuilder(big, clock);
  EXPECT_EQ(bigBuilder.CreateDictionary(kInput, writerPath, true, false, false), createresult::kOutOfMemory);
  EXPECT_FALSE(files.Exists(kOutput));
}

// A file whose checksum could not be computed would carry a wrong one into the writer. The
// checksum is taken as the blocks are written and needs no read-back buffer of its own: where
// that 64 KiB could not be had, the file is still written, with the checksum of its data.
TEST_F(TranDictCreateTest, ChecksumNeedsNoBufferOfItsOwn) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "allocations cannot be refused one by one under AddressSanitizer";
#endif
  const std::vector<TestRecord> records = {Rec(B({1, 2, 3, 4}), "a", 1)};
  refusedArraySize = dictfile::kChecksumBufferSize;
  ASSERT_EQ(Build(records), createresult::kWritten);
  EXPECT_EQ(refusedArraySize, dictfile::kChecksumBufferSize) << "a read-back buffer was asked for";
  refusedArraySize = 0;
  const Bytes& out = Output();
  EXPECT_EQ(LoadU16(&out[528]), WriterFileChecksum(out.data(), out.size()));
}

// Translations of 65,535 bytes: about 1,030 of them take the blocks past 64 MiB.
std::vector<TestRecord> HugeRecords(std::size_t count) {
  std::vector<TestRecord> records;
  for (std::size_t i = 0; i < count; ++i) {
    TestRecord record;
    const auto n = static_cast<std::uint32_t>(count - i);  // descending keys
    record.key = B({static_cast<int>(n >> 8), static_cast<int>(n & 0xFF), 0, 0});
    record.translation.assign(65535, static_cast<std::uint8_t>('a' + i % 26));
    record.number = static_cast<std::uint32_t>(i + 1);
    records.push_back(std::move(record));
  }
  return records;
}

TEST_F(TranDictCreateTest, AlignedBuildBeyond64MiBIsTooLargeAndLeavesNoFile) {
  files.SetFile(kInput, test::IntermediateFile(HugeRecords(1030)));
  BigFileSystem big(files);
  CTranDictCreate bigBuilder(big, clock);
  EXPECT_EQ(bigBuilder.CreateDictionary(kInput, writerPath, true, false, true), createresult::kTooLarge);
  EXPECT_GE(big.written, dictfile::kAlignedReach);
  EXPECT_FALSE(files.Exists(kOutput));
  EXPECT_STREQ(CreateDictionaryResultText(createresult::kTooLarge), "The dictionary is too large for the writer.");
}

// Byte offsets end at 16 MiB. The byte-mode build still comes out whole, at its full length, so
// that the size rule rebuilds it in aligned mode, but it is marked so that nothing uses it.
TEST_F(TranDictCreateTest, ByteModeBeyond16MiBIsMarkedAndRebuildsAligned) {
  const std::vector<TestRecord> records = HugeRecords(260);
  ASSERT_EQ(Build(records), createresult::kWritten);
  EXPECT_TRUE(builder.OffsetsOutOfReach());
  {
    const Bytes& out = Output();
    EXPECT_GT(out.size(), dictfile::kAlignedRebuildThreshold);
    EXPECT_EQ(LoadU32(&out[524]), out.size());
    EXPECT_EQ(out[288], dictfile::kUnusableWriterFileType);
    EXPECT_FALSE(VerifyWriterDictionary(out.data(), out.size()).Sound());
  }
  files.Remove(kOutput);
  ASSERT_EQ(builder.CreateDictionary(kInput, writerPath, true, false, true), createresult::kWritten);
  EXPECT_FALSE(builder.OffsetsOutOfReach());
  const Bytes& out = Output();
  EXPECT_EQ(out[288], 4);
  const WriterVerifyReport report = VerifyWriterDictionary(out.data(), out.size());
  EXPECT_TRUE(report.Sound()) << (report.problems.empty() ? "" : report.problems.front());
  EXPECT_EQ(report.entryCount, records.size());
}

TEST_F(TranDictCreateTest, WriteErrorPropagatesAndTheNextBuildStartsClean) {
  const std::vector<TestRecord> records = test::GenerateRecords(2000, false, 9);
  files.FailWritesAfter(40000);
  EXPECT_THROW(Build(records), platform::FileError);
  files.FailWritesAfter(SIZE_MAX);
  ASSERT_EQ(builder.CreateDictionary(kInput, writerPath, true, false, false), createresult::kWritten);
  const Bytes& out = Output();
  EXPECT_TRUE(VerifyWriterDictionary(out.data(), out.size()).Sound());
}

TEST(CreateDictionaryResultText, EveryResultHasItsOwnText) {
  std::set<std::string> texts;
  for (int result = 1; result <= 8; ++result) texts.insert(CreateDictionaryResultText(result));
  EXPECT_EQ(texts.size(), 8u);
}

}  // namespace
}  // namespace lexaport
