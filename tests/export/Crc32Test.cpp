#include "export/Crc32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <vector>

namespace lexaport {
namespace {

const std::uint8_t* Bytes(std::string_view text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }

TEST(Crc32, CheckValues) {
  const std::string_view digits = "123456789";
  EXPECT_EQ(Crc32Update(Bytes(digits), digits.size(), 0), 0xCBF43926u);
  EXPECT_EQ(Crc32UpdateBytewise(Bytes(digits), digits.size(), 0), 0xCBF43926u);
  EXPECT_EQ(Crc32Update(nullptr, 0, 0), 0u);
  EXPECT_EQ(Crc32Update(nullptr, 0, 0x12345678u), 0x12345678u);  // nothing fed, nothing changes

  struct Case {
    std::string_view text;
    std::uint32_t value;
  };
  const Case cases[] = {{"123456789", 0x340BC6D9u}, {"abc", 0xCADBBE3Du}, {"", 0xFFFFFFFFu}};
  for (const Case& c : cases) {
    CCrc32 crc(0xFFFFFFFFu);
    for (char ch : c.text) crc.Update(static_cast<std::uint8_t>(ch));
    EXPECT_EQ(crc.Value(), c.value) << c.text;
  }
}

// A block of 64 bytes and more goes through the sixteen tables; the check value of a long,
// well-known input catches a table or a lookup that is off.
TEST(Crc32, LongBlocksMatchKnownValues) {
  const std::vector<std::uint8_t> zeros(4096, 0);
  EXPECT_EQ(Crc32Update(zeros.data(), zeros.size(), 0), 0xC71C0011u);
  std::vector<std::uint8_t> ramp(256);
  for (int i = 0; i < 256; ++i) ramp[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(Crc32Update(ramp.data(), ramp.size(), 0), 0x29058C73u);
}

// The sliced routine must equal the bytewise one for every length around the 64-byte rounds,
// at every alignment of the start, and when a long input is fed in arbitrary pieces.
TEST(Crc32, SlicingAgreesWithBytewise) {
  std::vector<std::uint8_t> data(300 + 16);
  std::uint32_t state = 0x9E3779B9u;
  for (std::uint8_t& b : data) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(state >> 24);
  }
  for (std::size_t offset = 0; offset < 16; ++offset) {
    for (std::size_t length = 0; length <= 300; ++length) {
      const std::uint8_t* p = data.data() + offset;
      ASSERT_EQ(Crc32Update(p, length, 0), Crc32UpdateBytewise(p, length, 0))
          << "offset " << offset << " length " << length;
      ASSERT_EQ(Crc32Update(p, length, 0xDEADBEEFu), Crc32UpdateBytewise(p, length, 0xDEADBEEFu))
          << "offset " << offset << " length " << length;
    }
  }

  const std::uint32_t whole = Crc32UpdateBytewise(data.data(), data.size(), 0);
  std::uint32_t pieces = 0;
  std::size_t at = 0;
  for (std::size_t piece : {1u, 63u, 64u, 65u, 7u, 100u}) {
    pieces = Crc32Update(data.data() + at, piece, pieces);
    at += piece;
  }
  pieces = Crc32Update(data.data() + at, data.size() - at, pieces);
  EXPECT_EQ(pieces, whole);

  CCrc32 crc(0xFFFFFFFFu);
  for (std::uint8_t b : data) crc.Update(b);
  EXPECT_EQ(crc.Value(), ~whole);
}

}  // namespace
}  // namespace lexaport
