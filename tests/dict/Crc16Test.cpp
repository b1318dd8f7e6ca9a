#include "dict/Crc16.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "common/TestUtil.h"

namespace lexaport {
namespace {

using test::B;
using test::Bytes;

TEST(Crc16, KnownValues) {
  const Bytes abc = B("abc");
  EXPECT_EQ(Crc16Update(kCrc16Preset, abc.data(), abc.size()), 0xD278);
  EXPECT_EQ(Crc16Update(kCrc16Preset, nullptr, 0), 0xFFFF);
  // Bytes enter at the low end: from a zero register a 1 needs two more bytes to reach the high
  // byte, and only then passes through the table (T[1] = 0x1021).
  const Bytes one = B({0x01, 0x00, 0x00});
  EXPECT_EQ(Crc16Update(0, one.data(), 1), 0x0001);
  EXPECT_EQ(Crc16Update(0, one.data(), 2), 0x0100);
  EXPECT_EQ(Crc16Update(0, one.data(), 3), 0x1021);
}

Bytes RandomFile(std::size_t length) {
  std::mt19937 random(static_cast<unsigned>(length));
  Bytes file(length);
  for (auto& b : file) b = static_cast<std::uint8_t>(random());
  return file;
}

std::uint16_t Crc(const Bytes& data) { return Crc16Update(kCrc16Preset, data.data(), data.size()); }

Bytes DataArea(const Bytes& file) { return Bytes(file.begin() + 640, file.end()); }

// The fast routine against the bytewise one: every length around the sixteen-byte rounds, and
// from where long runs are folded with carry-less multiplications (where the processor has
// them) every count of blocks left over by the four-way rounds, from several registers, on
// random bytes and on runs of 0x00 and 0xFF.
TEST(Crc16, SlicedEqualsBytewise) {
  const Bytes random = RandomFile(4096 + 7);
  const Bytes zeros(4096 + 7, 0x00);
  const Bytes ones(4096 + 7, 0xFF);
  std::vector<std::size_t> lengths;
  for (std::size_t length = 0; length <= 40; ++length) lengths.push_back(length);
  for (std::size_t length = 250; length <= 340; ++length) lengths.push_back(length);
  for (std::size_t length : {1000u, 1023u, 4096u}) lengths.push_back(length);
  for (const Bytes* data : {&random, &zeros, &ones}) {
    for (std::uint16_t reg : {std::uint16_t{0}, kCrc16Preset, std::uint16_t{0x1234}, std::uint16_t{0x8001}}) {
      for (std::size_t length : lengths) {
        for (std::size_t start : {std::size_t{0}, std::size_t{3}}) {
          ASSERT_EQ(Crc16Update(reg, data->data() + start, length), Crc16UpdateBytewise(reg, data->data() + start, length))
              << "length " << length << " start " << start << " register " << reg;
        }
      }
      ASSERT_EQ(Crc16Update(reg, data->data(), data->size()), Crc16UpdateBytewise(reg, data->data(), data->size()));
    }
  }
}

TEST(Crc16, AdvanceEqualsFeedingZerosAndCombinesPieces) {
  const Bytes zeros(70000, 0);
  for (std::uint16_t reg : {std::uint16_t{0}, kCrc16Preset, std::uint16_t{0x8001}}) {
    for (std::size_t count : {0u, 1u, 2u, 15u, 16u, 17u, 255u, 1000u, 65536u, 69999u}) {
      ASSERT_EQ(Crc16Advance(reg, count), Crc16UpdateBytewise(reg, zeros.data(), count)) << count;
    }
  }
  const Bytes data = RandomFile(5000);
  for (std::size_t cut : {0u, 1u, 640u, 4999u, 5000u}) {
    const std::uint16_t first = Crc16Update(kCrc16Preset, data.data(), cut);
    const std::uint16_t second = Crc16Update(0, data.data() + cut, data.size() - cut);
    EXPECT_EQ(Crc16Advance(first, data.size() - cut) ^ second, Crc(data)) << cut;
  }
}

// The data area is followed by 256 bytes that repeat the file from 64 KiB back, where that lies
// inside the data area, and are zero before it.
TEST(Crc16, WriterFileTailIsZeroUpTo65920Bytes) {
  for (std::size_t length : {std::size_t{1664}, std::size_t{40000}, std::size_t{65920}}) {
    const Bytes file = RandomFile(length);
    EXPECT_EQ(WriterFileChecksum(file.data(), file.size()), Crc(test::Cat({DataArea(file), Bytes(256, 0)})))
        << length;
  }
}

TEST(Crc16, WriterFileTailRepeatsTheFileBeyond65920Bytes) {
  {
    const Bytes file = RandomFile(65921);  // only the last tail byte reaches offset 640
    Bytes tail(256, 0);
    tail[255] = file[640];
    EXPECT_EQ(WriterFileChecksum(file.data(), file.size()), Crc(test::Cat({DataArea(file), tail})));
  }
  {
    const Bytes file = RandomFile(66176);  // the whole tail lies in the data area
    const Bytes tail(file.begin() + 640, file.begin() + 896);
    EXPECT_EQ(WriterFileChecksum(file.data(), file.size()), Crc(test::Cat({DataArea(file), tail})));
  }
  {
    const Bytes file = RandomFile(200000);
    const Bytes tail(file.begin() + (200000 - 65536), file.begin() + (200000 - 65536 + 256));
    EXPECT_EQ(WriterFileChecksum(file.data(), file.size()), Crc(test::Cat({DataArea(file), tail})));
  }
}

}  // namespace
}  // namespace lexaport
