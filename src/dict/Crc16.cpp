#include "dict/Crc16.h"

#include <array>

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#include <immintrin.h>
#define LEXAPORT_CRC16_CLMUL 1
#else
#define LEXAPORT_CRC16_CLMUL 0
#endif

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

#if LEXAPORT_CRC16_CLMUL
namespace {

// x^t mod P, P = x^16 + x^12 + x^5 + 1, as the 16 bits of its coefficients.
constexpr std::uint64_t PowerOfX(unsigned t) {
  unsigned r = 1;
  for (unsigned i = 0; i < t; ++i) {
    r <<= 1;
    if ((r & 0x10000) != 0) r ^= 0x11021;
  }
  return r;
}

// The register steps as r = (r x^8 + c) mod P for each byte c, so after a message M of n bytes
// from a register r0 it holds (r0 x^(8n) + M(x)) mod P, M read with its first byte highest. Up
// to the last reduction that sum is folded with carry-less multiplications, sixteen bytes at a
// time: a 128-bit value A = Ahi x^64 + Alo becomes, times x^t, Ahi (x^(t+64) mod P) + Alo
// (x^t mod P), at most 79 bits, to which the next block is added. Four values take turns (each
// jumps four blocks), which keeps the multiplier busy; they are then folded into one, and that
// one, fed through the register from zero, is reduced. `blocks` is at least 4.
#define LEXAPORT_FOLD_TARGET __attribute__((target("pclmul,ssse3")))

// Sixteen bytes as a 128-bit number, the first byte highest.
LEXAPORT_FOLD_TARGET inline __m128i BigEndianBlock(const std::uint8_t* bytes) {
  const __m128i reversed = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), reversed);
}

// x^t mod P low and x^(t+64) mod P high: what Times multiplies by x^t with.
LEXAPORT_FOLD_TARGET inline __m128i Powers(unsigned t) {
  return _mm_set_epi64x(static_cast<long long>(PowerOfX(t + 64)), static_cast<long long>(PowerOfX(t)));
}

// A value congruent to `value` times x^t, in at most 79 bits.
LEXAPORT_FOLD_TARGET inline __m128i Times(__m128i value, __m128i powers) {
  return _mm_xor_si128(_mm_clmulepi64_si128(value, powers, 0x00), _mm_clmulepi64_si128(value, powers, 0x11));
}

LEXAPORT_FOLD_TARGET std::uint16_t FoldBlocks(std::uint16_t reg, const std::uint8_t* data, std::size_t blocks) {
  // The register counts as a term of the first block's weight times x^128.
  static constexpr std::uint8_t kZeros[16] = {};
  const std::uint16_t shifted = Crc16UpdateBytewise(reg, kZeros, sizeof kZeros);
  __m128i a0 = _mm_xor_si128(BigEndianBlock(data), _mm_cvtsi32_si128(shifted));
  __m128i a1 = BigEndianBlock(data + 16);
  __m128i a2 = BigEndianBlock(data + 32);
  __m128i a3 = BigEndianBlock(data + 48);
  std::size_t j = 4;
  const __m128i by512 = Powers(512);
  for (; j + 4 <= blocks; j += 4) {
    const std::uint8_t* next = data + 16 * j;
    a0 = _mm_xor_si128(Times(a0, by512), BigEndianBlock(next));
    a1 = _mm_xor_si128(Times(a1, by512), BigEndianBlock(next + 16));
    a2 = _mm_xor_si128(Times(a2, by512), BigEndianBlock(next + 32));
    a3 = _mm_xor_si128(Times(a3, by512), BigEndianBlock(next + 48));
  }
  __m128i value = _mm_xor_si128(_mm_xor_si128(Times(a0, Powers(384)), Times(a1, Powers(256))),
                                _mm_xor_si128(Times(a2, Powers(128)), a3));
  const __m128i by128 = Powers(128);
  for (; j < blocks; ++j) value = _mm_xor_si128(Times(value, by128), BigEndianBlock(data + 16 * j));

  // Its bytes, highest first, fed through the register from zero: the value mod P.
  alignas(16) std::uint8_t bytes[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(bytes), value);
  std::uint8_t highFirst[16];
  for (int i = 0; i < 16; ++i) highFirst[i] = bytes[15 - i];
  return Crc16UpdateBytewise(0, highFirst, sizeof highFirst);
}

bool CanFold() {
  static const bool kCan = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3");
  return kCan;
}

// From this many bytes on, folding pays for its set-up and final reduction.
constexpr std::size_t kFoldFrom = 256;

}  // namespace
#endif

std::uint16_t Crc16Update(std::uint16_t reg, const std::uint8_t* data, std::size_t size) {
#if LEXAPORT_CRC16_CLMUL
  if (size >= kFoldFrom && CanFold()) {
    const std::size_t blocks = size / 16;
    reg = FoldBlocks(reg, data, blocks);
    data += 16 * blocks;
    size -= 16 * blocks;
  }
#endif
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
