#include "dict/IntermediateFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "dict/CheckEntry.h"
#include "dict/ImportDictSort.h"
#include "dict/RecordFixtures.h"
#include "platform/MemoryFileSystem.h"
#include "steno/EntryRecord.h"
#include "steno/StenoKeys.h"

namespace lexaport {
namespace {

using test::B;
using test::Bytes;
using test::Cat;
using test::Hex;
using test::kToday;
using test::Outline;
using test::Record;
using test::WithNumber;

constexpr const char* kPath = "/tmp/out.zqdct";

struct Written {
  Bytes file;
  IntermediateFileStats stats;
};

// Sorts the records as the conversion does and writes them.
Written Write(const std::vector<Bytes>& records) {
  platform::MemoryFileSystem files;
  std::vector<const std::uint8_t*> pointers = test::Pointers(records);
  CImportDictSort::Sort(pointers.data(), pointers.size());
  Written result;
  {
    auto out = files.CreateForWriting(kPath);
    WriteIntermediateRecords(*out, pointers.data(), pointers.size(), kToday, &result.stats);
  }
  result.file = *files.FindFile(kPath);
  return result;
}

Bytes RecordsOf(const Bytes& file) { return Bytes(file.begin() + 640, file.end()); }

std::uint32_t U32At(const Bytes& file, std::size_t offset) { return LoadU32(file.data() + offset); }

void ExpectStatsAddUp(const IntermediateFileStats& s) {
  EXPECT_EQ(s.entriesRead, s.recordsWritten + s.entriesMerged + s.entriesDropped);
}

TEST(IntermediateFile, WithoutEntriesIsAHeaderAndAnInfoBlock) {
  const Written w = Write({});
  ASSERT_EQ(w.file.size(), 640u);

  Bytes header(512, 0);
  std::memcpy(header.data(), "ZQCAT32", 8);
  header[8] = 2;
  StoreU32(header.data() + 16, kToday);
  header[288] = 3;
  const char keys[] = "STKPWHRAO*EUFRPBLGTSDZ#(!";
  const char numbers[] = "12K3W4R50*EU6R7B8G9SDZ#(!";
  std::memcpy(header.data() + 290, keys, sizeof keys - 1);
  std::memcpy(header.data() + 322, numbers, sizeof numbers - 1);
  header[354] = 7;
  header[355] = 5;
  header[356] = 10;
  EXPECT_EQ(Hex(Bytes(w.file.begin(), w.file.begin() + 512)), Hex(header));

  Bytes info(128, 0);
  StoreU32(info.data() + 4, 1);
  StoreU32(info.data() + 8, 640);
  EXPECT_EQ(Hex(Bytes(w.file.begin() + 512, w.file.end())), Hex(info));
  EXPECT_EQ(w.stats.entriesRead, 0u);
  EXPECT_EQ(w.stats.recordsWritten, 0u);
  EXPECT_EQ(w.stats.fileSize, 640u);
}

TEST(IntermediateFile, WritesRecordsByteForByteNumberedFromOne) {
  const Bytes record = Record(Outline({0x80000000, 0x00004000}), B("hello"), {.number = 7, .flags = 0x1234});
  ASSERT_EQ(record.size(), 36u);  // two padding bytes
  const Written w = Write({record});
  ASSERT_EQ(w.file.size(), 640u + 36u);
  EXPECT_EQ(U32At(w.file, 512), 1u);
  EXPECT_EQ(U32At(w.file, 516), 2u);
  EXPECT_EQ(U32At(w.file, 520), 640u);
  EXPECT_EQ(U32At(w.file, 524), 36u);
  EXPECT_EQ(Hex(RecordsOf(w.file)), Hex(WithNumber(record, 1)));
}

TEST(IntermediateFile, OrdersOutlinesDescendingWithPrefixesAfterLongerOutlines) {
  const Bytes s1 = Outline({0x40000000});
  const Bytes s1s2 = Outline({0x40000000, 0x20000000});
  const std::vector<Bytes> read = {
      Record(s1, B("s"), {.number = 0}),
      Record(Outline({0x80000000}), B("t"), {.number = 1}),
      Record(s1s2, B("st"), {.number = 2}),
      Record(Outline({0x00800000}), B("a"), {.number = 3}),
  };
  const Written w = Write(read);
  EXPECT_EQ(Hex(RecordsOf(w.file)), Hex(Cat({WithNumber(read[1], 1), WithNumber(read[2], 2), WithNumber(read[0], 3),
                                             WithNumber(read[3], 4)})));
  EXPECT_EQ(U32At(w.file, 524), w.file.size() - 640);
}

// The record a merge builds: number 0 until written, today's date, the flags of its group.
Bytes Merged(const Bytes& strokes, const Bytes& translation, std::uint32_t number,
             std::uint16_t flags = entryflag::kAlternatives) {
  return Record(strokes, translation, {.number = number, .date = kToday, .flags = flags});
}

// "A" and "B": capitals only.
constexpr std::uint16_t kCapitalGroup = entryflag::kAlternatives | entryflag::kHasUpper | entryflag::kAllUpper;

TEST(IntermediateFile, MergesTwoEntriesOfOneOutlineReadFirstFirst) {
  const Bytes s = Outline({0x80000000});
  // One-byte translations merge too.
  const Written w = Write({Record(s, B("A"), {.number = 0}), Record(s, B("B"), {.number = 1})});
  EXPECT_EQ(Hex(RecordsOf(w.file)), Hex(Merged(s, B({2, 'A', 2, 'B', 3}), 1, kCapitalGroup)));
  EXPECT_EQ(U32At(w.file, 512), 1u);
  EXPECT_EQ(w.stats.entriesRead, 2u);
  EXPECT_EQ(w.stats.recordsWritten, 1u);
  EXPECT_EQ(w.stats.entriesMerged, 1u);
  EXPECT_EQ(w.stats.entriesDropped, 0u);
}

TEST(IntermediateFile, MergesThreeEntriesSecondThirdFirst) {
  const Bytes s = Outline({0x80000000, 0x00100000});
  const Written w = Write({Record(s, B("one"), {.number = 0}), Record(Outline({0x40000000}), B("x"), {.number = 1}),
                           Record(s, B("two"), {.number = 2}), Record(s, B("three"), {.number = 3})});
  const Bytes merged = Cat({B({2}), B("two"), B({2}), B("three"), B({2}), B("one"), B({3})});
  EXPECT_EQ(Hex(RecordsOf(w.file)),
            Hex(Cat({Merged(s, merged, 1), WithNumber(Record(Outline({0x40000000}), B("x"), {.number = 1}), 2)})));
  EXPECT_EQ(w.stats.recordsWritten, 2u);
  EXPECT_EQ(w.stats.entriesMerged, 2u);
  ExpectStatsAddUp(w.stats);
}

TEST(IntermediateFile, IdenticalTranslationsKeepTheEntryReadFirst) {
  const Bytes s = Outline({0x80000000});
  const Bytes first = Record(s, B("same"), {.number = 0, .date = 20200101});
  const Written w = Write({first, Record(s, B("same"), {.number = 1, .date = 20210101})});
  EXPECT_EQ(Hex(RecordsOf(w.file)), Hex(WithNumber(first, 1)));
  EXPECT_EQ(w.stats.entriesDropped, 1u);
  ExpectStatsAddUp(w.stats);
}

TEST(IntermediateFile, AnAlternativeAlreadyPresentStillRebuildsTheGroup) {
  const Bytes s = Outline({0x80000000});
  // Read order A, B, A: the first merge gives B's group with the last A, the read-first A is
  // already in it.
  const Written w = Write({Record(s, B("A"), {.number = 0}), Record(s, B("B"), {.number = 1}),
                           Record(s, B("A"), {.number = 2})});
  EXPECT_EQ(Hex(RecordsOf(w.file)), Hex(Merged(s, B({2, 'B', 2, 'A', 3}), 1, kCapitalGroup)));
}

TEST(IntermediateFile, AMergedEntryThatFailsTheCheckGivesWayToTheEntryReadFirst) {
  const Bytes s = Outline({0x80000000});
  const Bytes first = Record(s, B("x"), {.number = 0});
  // Code 11 is only warned about, which is enough to leave an entry out.
  const Written w = Write({first, Record(s, B({'y', 11}), {.number = 1})});
  EXPECT_EQ(Hex(RecordsOf(w.file)), Hex(WithNumber(first, 1)));
  EXPECT_EQ(w.stats.entriesMerged, 0u);
  EXPECT_EQ(w.stats.entriesDropped, 1u);
}

TEST(IntermediateFile, AnEntryThatCannotMergeLeavesThePendingMergeAsItIs) {
  const Bytes s = Outline({0x80000000});
  // Read first, but not well formed: it cannot take part.
  const Written w = Write({Record(s, B({'a', 2, 'b'}), {.number = 0}), Record(s, B("B"), {.number = 1}),
                           Record(s, B("C"), {.number = 2})});
  EXPECT_EQ(Hex(RecordsOf(w.file)), Hex(Merged(s, B({2, 'B', 2, 'C', 3}), 1, kCapitalGroup)));
  EXPECT_EQ(w.stats.entriesMerged, 1u);
  EXPECT_EQ(w.stats.entriesDropped, 1u);
}

TEST(IntermediateFile, LeavesOutFaultyEntriesAndNumbersTheRestConsecutively) {
  Bytes seventeen;
  for (int i = 0; i < 17; ++i) seventeen = Cat({seventeen, Outline({0x01000000})});
  const std::vector<Bytes> read = {
      Record(Outline({0x80000000}), B("kept"), {.number = 0}),
      Record(seventeen, B("long"), {.number = 1}),
      Record(Outline({0x40000000}), {}, {.number = 2}),
      Record(Outline({0x20000000}), B("kept"), {.number = 3}),
      Record(Outline({0x10000000}), B("future"), {.number = 4, .date = kToday + 1}),
      Record(Outline({0x08000000, 0x00000040}), B("bit 25"), {.number = 5}),
      Record(Outline({0x04000000}), B("kept"), {.number = 6}),
  };
  const Written w = Write(read);
  EXPECT_EQ(Hex(RecordsOf(w.file)),
            Hex(Cat({WithNumber(read[0], 1), WithNumber(read[3], 2), WithNumber(read[6], 3)})));
  EXPECT_EQ(U32At(w.file, 512), 3u);
  EXPECT_EQ(U32At(w.file, 516), 4u);
  EXPECT_EQ(U32At(w.file, 524), w.file.size() - 640);
  EXPECT_EQ(w.stats.entriesRead, 7u);
  EXPECT_EQ(w.stats.recordsWritten, 3u);
  EXPECT_EQ(w.stats.entriesDropped, 4u);
  EXPECT_EQ(w.stats.entriesMerged, 0u);
}

TEST(IntermediateFile, NoMergeIsBuiltLongerThanARecordCanHold) {
  const Bytes s = Outline({0x80000000});
  // Two plain translations merge into 3 + their lengths: 65,535 is the most a record holds.
  struct Case {
    std::size_t a, b;
    bool merges;
  } cases[] = {{32766, 32766, true}, {32766, 32767, false}};
  for (const Case& c : cases) {
    const Bytes first = Record(s, Bytes(c.a, 'a'), {.number = 0});
    const Written w = Write({first, Record(s, Bytes(c.b, 'b'), {.number = 1})});
    ASSERT_EQ(w.stats.recordsWritten, 1u);
    const EntryRecordView view(w.file.data() + 640);
    if (c.merges) {
      EXPECT_EQ(view.TranslationLength(), 65535);
      EXPECT_EQ(view.Number(), 1u);
      EXPECT_EQ(view.CreationDate(), kToday);
    } else {
      EXPECT_EQ(Hex(RecordsOf(w.file)), Hex(WithNumber(first, 1)));
    }
  }
}

TEST(IntermediateFile, ATooLongMergeKeepsTheMergeBuiltSoFar) {
  const Bytes s = Outline({0x80000000});
  const Written w = Write({Record(s, Bytes(50000, 'a'), {.number = 0}), Record(s, Bytes(20000, 'b'), {.number = 1}),
                           Record(s, B("c"), {.number = 2})});
  ASSERT_EQ(w.stats.recordsWritten, 1u);
  const Bytes expected = Cat({B({2}), Bytes(20000, 'b'), B({2, 'c', 3})});
  const EntryRecordView view(w.file.data() + 640);
  EXPECT_EQ(Bytes(view.Translation(), view.Translation() + view.TranslationLength()), expected);
  EXPECT_EQ(w.stats.entriesMerged, 1u);
  EXPECT_EQ(w.stats.entriesDropped, 1u);
}

TEST(IntermediateFile, WriteErrorsReachTheCaller) {
  platform::MemoryFileSystem files;
  const std::vector<Bytes> records = {Record(Outline({0x80000000}), B("x"))};
  const std::vector<const std::uint8_t*> pointers = test::Pointers(records);
  auto out = files.CreateForWriting(kPath);
  files.FailWritesAfter(600);
  EXPECT_THROW(WriteIntermediateRecords(*out, pointers.data(), pointers.size(), kToday), platform::FileError);
}

// A dictionary of many entries (several output chunks) with duplicates, merges and faults: the
// file is consistent, and every record in it is sound and in order.
TEST(IntermediateFile, LargeGeneratedDictionaryIsConsistent) {
  std::mt19937 random(7);
  std::vector<Bytes> records;
  for (std::uint32_t i = 0; i < 30000; ++i) {
    Bytes strokes;
    const int n = 1 + static_cast<int>(random() % 3);
    for (int s = 0; s < n; ++s) strokes = Cat({strokes, Outline({static_cast<std::uint32_t>((random() % 40) << 24 | (random() % 2) << 8)})});
    Bytes translation(random() % 12, 0);
    for (auto& b : translation) b = static_cast<std::uint8_t>('a' + random() % 3);
    if (random() % 50 == 0) translation.push_back(11);  // a warning code: left out
    records.push_back(Record(strokes, translation, {.number = i}));
  }
  const Written w = Write(records);
  ExpectStatsAddUp(w.stats);
  EXPECT_GT(w.stats.entriesMerged, 0u);
  EXPECT_GT(w.stats.entriesDropped, 0u);
  ASSERT_GT(w.file.size() - 640, 256u * 1024);

  const StenoLayout layout = CStenoKeys::NumberedLayout(1);
  std::size_t at = 640;
  std::uint32_t expectedNumber = 1;
  const std::uint8_t* previous = nullptr;
  while (at < w.file.size()) {
    const std::uint8_t* record = w.file.data() + at;
    const EntryRecordView view(record);
    ASSERT_LE(at + view.Size(), w.file.size());
    EXPECT_EQ(view.Number(), expectedNumber++);
    EXPECT_EQ(CheckEntry(record, layout, kToday), 0u);
    if (previous != nullptr) {
      const EntryRecordView p(previous);
      ASSERT_GT(CompareStrokes(p.Strokes(), p.StrokeCount(), view.Strokes(), view.StrokeCount()), 0);
    }
    previous = record;
    at += view.Size();
  }
  EXPECT_EQ(expectedNumber - 1, w.stats.recordsWritten);
  EXPECT_EQ(U32At(w.file, 512), w.stats.recordsWritten);
  EXPECT_EQ(U32At(w.file, 524), w.file.size() - 640);
  EXPECT_EQ(w.stats.fileSize, w.file.size());
}

}  // namespace
}  // namespace lexaport
