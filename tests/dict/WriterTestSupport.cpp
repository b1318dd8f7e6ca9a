#include "dict/WriterTestSupport.h"

#include <algorithm>
#include <set>

#include "steno/EntryRecord.h"
#include "support/ByteOrder.h"

namespace lexaport::test {

Bytes RecordBytes(const TestRecord& record) {
  const std::size_t n = record.key.size() / 4;
  Bytes out(EntryRecordSize(n, record.translation.size()), 0);
  const int size = BuildEntryRecord(out.data(), record.key.data(), static_cast<int>(n), record.translation.data(),
                                    static_cast<int>(record.translation.size()), record.number, record.creationDate);
  out.resize(static_cast<std::size_t>(size));
  StoreU32(&out[entry::kSecondDate], record.secondDate);
  StoreU32(&out[entry::kReserved], record.reserved);
  return out;
}

Bytes IntermediateHeader() {
  Bytes header(512, 0);
  const std::string signature = "ZQCAT32";
  std::copy(signature.begin(), signature.end(), header.begin());
  StoreU32(&header[8], 2);
  StoreU32(&header[16], 20240315);
  header[288] = 3;
  const std::string keys = "STKPWHRAO*EUFRPBLGTSDZ#(!";
  const std::string numbers = "12K3W4R50*EU6R7B8G9SDZ#(!";
  std::copy(keys.begin(), keys.end(), header.begin() + 290);
  std::copy(numbers.begin(), numbers.end(), header.begin() + 322);
  header[354] = 7;
  header[355] = 5;
  header[356] = 10;
  return header;
}

Bytes IntermediateFile(const std::vector<TestRecord>& records) {
  Bytes file = IntermediateHeader();
  file.resize(640, 0);
  std::size_t total = 0;
  for (const TestRecord& record : records) {
    const Bytes bytes = RecordBytes(record);
    file.insert(file.end(), bytes.begin(), bytes.end());
    total += bytes.size();
  }
  StoreU32(&file[512], static_cast<std::uint32_t>(records.size()));
  StoreU32(&file[516], static_cast<std::uint32_t>(records.size() + 1));
  StoreU32(&file[520], 640);
  StoreU32(&file[524], static_cast<std::uint32_t>(total));
  return file;
}

bool KeyLess(const Bytes& a, const Bytes& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

std::vector<TestRecord> GenerateRecords(std::size_t count, bool narrow, std::uint32_t seed) {
  std::mt19937 random(seed);
  // Few stroke values that differ late in the stroke, so paths run deep.
  const std::vector<Bytes> alphabet = {B({0x80, 0x00, 0x00, 0x00}), B({0x80, 0x00, 0x01, 0x00}),
                                       B({0x80, 0x00, 0x01, 0x80}), B({0x40, 0x20, 0x00, 0x00}),
                                       B({0x00, 0x00, 0x00, 0x80})};
  auto strokes = [&] {
    // Mostly short outlines, now and then up to 16 strokes.
    const int roll = static_cast<int>(random() % 100);
    return roll < 85 ? 1 + static_cast<int>(random() % 4) : 1 + static_cast<int>(random() % 16);
  };
  std::set<Bytes, bool (*)(const Bytes&, const Bytes&)> keys(KeyLess);
  while (keys.size() < count) {
    Bytes key;
    const int n = strokes();
    for (int s = 0; s < n; ++s) {
      if (narrow) {
        const Bytes& stroke = alphabet[random() % alphabet.size()];
        key.insert(key.end(), stroke.begin(), stroke.end());
      } else {
        for (int i = 0; i < 4; ++i) key.push_back(static_cast<std::uint8_t>(random()));
      }
    }
    keys.insert(key);
  }
  std::vector<TestRecord> records;
  records.reserve(count);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    TestRecord record;
    record.key = *it;
    const std::size_t length = random() % 10 == 0 ? random() % 300 : random() % 24;
    for (std::size_t i = 0; i < length; ++i) record.translation.push_back(static_cast<std::uint8_t>(random()));
    record.number = static_cast<std::uint32_t>(records.size() + 1);
    record.creationDate = 20000101 + static_cast<std::uint32_t>(random() % 240000);
    record.secondDate = random() % 2 == 0 ? 0 : 20240101;
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace lexaport::test
