#include "dict/Crc16.h"

#include <array>

#include "dict/DictionaryFileFormat.h"

namespace lexaport {
namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned reg = i << 8;
    for (int bit = 0; bit < 8; ++bit) reg = (reg & 0x8000) != 0 ? (reg << 1) ^ 0x1021 : reg << 1;
    table[i] = static_cast<std::uint16_t>(reg);
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();
static_assert(kTable[1] == 0x1021 && kTable[0x80] == 0x9188);

}  // namespace

std::uint16_t Crc16Update(std::uint16_t reg, const std::uint8_t* data, std::size_t size) {
  unsigned r = reg;
  for (std::size_t i = 0; i < size; ++i) r = ((r << 8) & 0xFFFF) ^ kTable[r >> 8] ^ data[i];
  return static_cast<std::uint16_t>(r);
}

std::uint16_t WriterFileChecksum(const std::uint8_t* file, std::size_t length) {
  constexpr std::size_t kStart = dictfile::kFirstRecordOffset;
  constexpr std::size_t kReadBack = dictfile::kChecksumBufferSize;
  std::uint16_t reg = kCrc16Preset;
  if (length > kStart) reg = Crc16Update(reg, file + kStart, length - kStart);
  std::uint8_t tail[dictfile::kChecksumTailSize] = {};
  for (std::size_t i = 0; i < sizeof tail; ++i) {
    // Offset length + i - 65,536, taken only when it is at least 640.
    if (length + i >= kReadBack + kStart) tail[i] = file[length + i - kReadBack];
  }
  return Crc16Update(reg, tail, sizeof tail);
}

}  // namespace lexaport
