#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace lexaport::platform {
namespace {

TEST(CodePage, ConvertsCodePage437ToWindows1252) {
  const int cases[][2] = {
      {'A', 'A'},   {0x7F, 0x7F}, {0x80, 0xC7},  // Ç
      {0x82, 0xE9},                            // é
      {0x9F, 0x83},                            // ƒ lives at 0x83 in Windows-1252
      {0xE1, 0xDF},                            // ß
      {0xB3, '?'},                             // box drawing has no Windows-1252 form
      {0xE0, '?'},                             // α
      {0xFF, 0xA0},                            // no-break space
  };
  for (const auto& c : cases) EXPECT_EQ(OemToAnsi(static_cast<std::uint8_t>(c[0])), c[1]) << c[0];
}

}  // namespace
}  // namespace lexaport::platform
