#include "dict/WrittenRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include "steno/EntryRecord.h"

namespace lexaport {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes MakeRecord(std::uint32_t number, std::size_t translationLength) {
  const std::uint8_t strokes[8] = {0x01, 0x02, 0x03, static_cast<std::uint8_t>(number), 0x05, 0x06, 0x07, 0x08};
  const Bytes translation(translationLength, static_cast<std::uint8_t>('a' + number % 26));
  Bytes record(EntryRecordSize(2, translationLength));
  BuildEntryRecord(record.data(), strokes, 2, translation.data(), static_cast<int>(translationLength), number,
                   20261211);
  return record;
}

Bytes RecordAt(const CWrittenRecords& written, std::size_t index) {
  const std::uint8_t* record = written.Records()[index];
  return Bytes(record, record + EntryRecordView(record).Size());
}

// Records handed over on one thread arrive whole and in order on the other, over several batches:
// those handed over as copies (a merged entry, whose memory is reused at once) as they were then,
// also copies larger than the blocks the copies go into, and the copies that follow those.
TEST(WrittenRecordsTest, TheReadingThreadGetsEveryRecordAsItWasHandedOver) {
  constexpr std::size_t kCount = 10000;
  std::vector<Bytes> records;
  for (std::uint32_t i = 0; i < kCount; ++i) {
    const bool largest = i == 5001 || i == 5003 || i == 5004;
    records.push_back(MakeRecord(i, largest ? 65535 : 1 + i % 40));
  }
  std::vector<const std::uint8_t*> slots(kCount);
  CWrittenRecords written(slots.data());
  std::thread writing([&] {
    Bytes scratch;
    for (std::size_t i = 0; i < kCount; ++i) {
      if (i % 2 == 0) {
        written.Add(records[i].data());
        continue;
      }
      scratch = records[i];
      written.AddCopy(scratch.data());
      std::fill(scratch.begin(), scratch.end(), std::uint8_t{0xEE});
    }
    written.End(true);
  });
  std::size_t read = 0;
  for (std::size_t available = 0;; ++read) {
    if (read >= available) available = written.WaitBeyond(read);
    if (read >= available) break;
    ASSERT_EQ(RecordAt(written, read), records[read]) << read;
  }
  writing.join();
  EXPECT_EQ(read, kCount);
  EXPECT_TRUE(written.WaitForEnd());
}

// What the reading side learns at the end: how many records came, and whether the file was
// written; with no record at all as with some.
TEST(WrittenRecordsTest, TheEndTellsAWrittenFileFromAnAbandonedOne) {
  const Bytes record = MakeRecord(1, 3);
  for (const bool written : {true, false}) {
    for (const std::size_t count : {std::size_t{0}, std::size_t{3}}) {
      std::vector<const std::uint8_t*> slots(3);
      CWrittenRecords records(slots.data());
      for (std::size_t i = 0; i < count; ++i) records.Add(record.data());
      records.End(written);
      EXPECT_EQ(records.WaitBeyond(0), count);
      EXPECT_EQ(records.WaitBeyond(count), count);
      EXPECT_EQ(records.WaitForEnd(), written);
    }
  }
}

}  // namespace
}  // namespace lexaport
