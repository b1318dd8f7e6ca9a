#include "support/CopyFewBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace lexaport {
namespace {

// Every count up to past the largest piece size, each across the boundaries of its cases: the
// bytes arrive in order, nothing after them is written, and (under AddressSanitizer, which the
// exactly sized source makes tell) nothing after the source is read.
TEST(CopyFewBytes, CopiesExactlyCountBytes) {
  for (std::size_t count = 0; count <= 130; ++count) {
    std::unique_ptr<std::uint8_t[]> source(new std::uint8_t[count == 0 ? 1 : count]);
    for (std::size_t i = 0; i < count; ++i) source[i] = static_cast<std::uint8_t>(i * 7 + 1);
    std::vector<std::uint8_t> target(count + 16, 0xEE);
    CopyFewBytes(target.data(), source.get(), count);
    for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(target[i], source[i]) << "count " << count << ", byte " << i;
    for (std::size_t i = count; i < target.size(); ++i) ASSERT_EQ(target[i], 0xEE) << "count " << count << ", byte " << i;
  }
}

}  // namespace
}  // namespace lexaport
