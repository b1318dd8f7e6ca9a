#include "export/Crc32.h"

#include "support/ByteOrder.h"

namespace lexaport {
namespace {

using Crc32Tables = std::array<std::array<std::uint32_t, 256>, 16>;

// Table 0 entry i is i shifted right eight times, XORed with the polynomial whenever a 1 is
// shifted out. Table k advances table k - 1 by one more zero byte, so one lookup in table k
// accounts for a byte that stands k bytes before the end of a 16-byte slice.
constexpr Crc32Tables MakeCrc32Tables() {
  Crc32Tables tables{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    tables[0][i] = c;
  }
  for (std::size_t k = 1; k < 16; ++k) {
    for (std::size_t i = 0; i < 256; ++i) {
      const std::uint32_t previous = tables[k - 1][i];
      tables[k][i] = (previous >> 8) ^ tables[0][previous & 0xFF];
    }
  }
  return tables;
}

constexpr Crc32Tables kTables = MakeCrc32Tables();

static_assert(kTables[0][1] == 0x77073096u && kTables[0][255] == 0x2D02EF8Du,
              "table 0 is the standard reflected CRC-32 table");

inline std::uint32_t Lookup(std::size_t table, std::uint32_t word, int byte) {
  return kTables[table][(word >> (8 * byte)) & 0xFF];
}

}  // namespace

constexpr std::array<std::uint32_t, 256> kCrc32Table0 = kTables[0];

std::uint32_t Crc32Update(const std::uint8_t* data, std::size_t length, std::uint32_t previous) {
  std::uint32_t c = ~previous;
  while (length >= 64) {
    for (int slice = 0; slice < 4; ++slice) {
      const std::uint32_t w0 = LoadU32(data) ^ c;
      const std::uint32_t w1 = LoadU32(data + 4);
      const std::uint32_t w2 = LoadU32(data + 8);
      const std::uint32_t w3 = LoadU32(data + 12);
      c = Lookup(15, w0, 0) ^ Lookup(14, w0, 1) ^ Lookup(13, w0, 2) ^ Lookup(12, w0, 3) ^
          Lookup(11, w1, 0) ^ Lookup(10, w1, 1) ^ Lookup(9, w1, 2) ^ Lookup(8, w1, 3) ^
          Lookup(7, w2, 0) ^ Lookup(6, w2, 1) ^ Lookup(5, w2, 2) ^ Lookup(4, w2, 3) ^
          Lookup(3, w3, 0) ^ Lookup(2, w3, 1) ^ Lookup(1, w3, 2) ^ Lookup(0, w3, 3);
      data += 16;
    }
    length -= 64;
  }
  while (length-- > 0) c = (c >> 8) ^ kTables[0][(c ^ *data++) & 0xFF];
  return ~c;
}

std::uint32_t Crc32UpdateBytewise(const std::uint8_t* data, std::size_t length, std::uint32_t previous) {
  std::uint32_t c = ~previous;
  for (std::size_t i = 0; i < length; ++i) c = (c >> 8) ^ kTables[0][(c ^ data[i]) & 0xFF];
  return ~c;
}

}  // namespace lexaport
