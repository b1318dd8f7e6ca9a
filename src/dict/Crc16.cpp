#include "dict/Crc16.h"

#include <array>

#include "dict/DictionaryFileFormat.h"

namespace lexaport {
namespace {

// The register steps linearly over GF(2): a step with data byte c is a step with a zero byte,
// XOR c. So sixteen steps at once are the XOR of what each input part becomes after the steps
// that remain for it: the register's high byte after 17 zero steps (one to reach the table,
// sixteen through it), its low byte after 16, data byte j of the sixteen after 15 - j.
// kTables[m][v] is the register v (in the low byte) after m zero steps; kTables[2] is the table.
constexpr int kSliceBytes = 16;
using Crc16Tables = std::array<std::array<std::uint16_t, 256>, kSliceBytes + 2>;

constexpr unsigned ZeroStep(unsigned reg, const std::array<std::uint16_t, 256>& table) {
  return ((reg << 8) & 0xFFFF) ^ table[reg >> 8];
}

constexpr Crc16Tables MakeTables() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned reg = i << 8;
    for (int bit = 0; bit < 8; ++bit) reg = (reg & 0x8000) != 0 ? (reg << 1) ^ 0x1021 : reg << 1;
    table[i] = static_cast<std::uint16_t>(reg);
  }
  Crc16Tables tables{};
  for (unsigned v = 0; v < 256; ++v) {
    unsigned reg = v;
    for (int m = 0; m < kSliceBytes + 2; ++m) {
      tables[static_cast<std::size_t>(m)][v] = static_cast<std::uint16_t>(reg);
      reg = ZeroStep(reg, table);
    }
  }
  return tables;
}

constexpr Crc16Tables kTables = MakeTables();
constexpr const std::array<std::uint16_t, 256>& kTable = kTables[2];
static_assert(kTable[1] == 0x1021 && kTable[0x80] == 0x9188);

}  // namespace

std::uint16_t Crc16UpdateBytewise(std::uint16_t reg, const std::uint8_t* data, std::size_t size) {
  unsigned r = reg;
  for (std::size_t i = 0; i < size; ++i) r = ((r << 8) & 0xFFFF) ^ kTable[r >> 8] ^ data[i];
  return static_cast<std::uint16_t>(r);
}

std::uint16_t Crc16Update(std::uint16_t reg, const std::uint8_t* data, std::size_t size) {
  unsigned r = reg;
  while (size >= kSliceBytes) {
    // The data bytes do not depend on the register: only the first two lookups are on the
    // critical path from one round to the next.
    const unsigned d = kTables[15][data[0]] ^ kTables[14][data[1]] ^ kTables[13][data[2]] ^ kTables[12][data[3]] ^
                       kTables[11][data[4]] ^ kTables[10][data[5]] ^ kTables[9][data[6]] ^ kTables[8][data[7]] ^
                       kTables[7][data[8]] ^ kTables[6][data[9]] ^ kTables[5][data[10]] ^ kTables[4][data[11]] ^
                       kTables[3][data[12]] ^ kTables[2][data[13]] ^ (static_cast<unsigned>(data[14]) << 8) ^
                       data[15];
    r = kTables[17][r >> 8] ^ kTables[16][r & 0xFF] ^ d;
    data += kSliceBytes;
    size -= kSliceBytes;
  }
  return Crc16UpdateBytewise(static_cast<std::uint16_t>(r), data, size);
}

namespace {

// A linear map of the 16-bit register: column k is the image of bit k.
using RegisterMap = std::array<std::uint16_t, 16>;

std::uint16_t Apply(const RegisterMap& map, unsigned reg) {
  unsigned image = 0;
  for (int k = 0; k < 16; ++k) {
    if ((reg >> k) & 1) image ^= map[static_cast<std::size_t>(k)];
  }
  return static_cast<std::uint16_t>(image);
}

// The map `first`, then the map `second`.
RegisterMap Then(const RegisterMap& first, const RegisterMap& second) {
  RegisterMap result{};
  for (std::size_t k = 0; k < 16; ++k) result[k] = Apply(second, first[k]);
  return result;
}

}  // namespace

std::uint16_t Crc16Advance(std::uint16_t reg, std::uint64_t zeroBytes) {
  RegisterMap step{};  // one zero byte
  for (std::size_t k = 0; k < 16; ++k) step[k] = static_cast<std::uint16_t>(ZeroStep(1u << k, kTable));
  unsigned r = reg;
  for (; zeroBytes != 0; zeroBytes >>= 1) {
    if ((zeroBytes & 1) != 0) r = Apply(step, r);
    step = Then(step, step);
  }
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
