#include "support/ByteOrder.h"

#include <gtest/gtest.h>

namespace lexaport {
namespace {

TEST(ByteOrder, StoresLeastSignificantByteFirstAndReadsItBack) {
  std::uint8_t buffer[9] = {};
  StoreU32(buffer + 1, 0x12345678u);  // deliberately unaligned
  EXPECT_EQ(buffer[1], 0x78);
  EXPECT_EQ(buffer[4], 0x12);
  EXPECT_EQ(LoadU32(buffer + 1), 0x12345678u);

  StoreU16(buffer, 0xBEEF);
  EXPECT_EQ(buffer[0], 0xEF);
  EXPECT_EQ(LoadU16(buffer), 0xBEEF);

  StoreU24(buffer, 0xABCDEF);
  EXPECT_EQ(LoadU24(buffer), 0xABCDEFu);

  StoreS64(buffer, -2);
  EXPECT_EQ(buffer[0], 0xFE);
  EXPECT_EQ(buffer[7], 0xFF);
  EXPECT_EQ(LoadS64(buffer), -2);
}

}  // namespace
}  // namespace lexaport
