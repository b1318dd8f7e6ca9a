#pragma once
// The dictionary checksum stored in every directory entry: the CRC-32 of IEEE 802.3 (the checksum
// of zip and PNG), reflected polynomial 0xEDB88320.

#include <array>
#include <cstddef>
#include <cstdint>

namespace lexaport {

// The CRC-32 of `length` bytes at `data`, continued from `previous` (0 for the first block).
// Long blocks go through sixteen tables, 64 bytes per round (slicing-by-16).
std::uint32_t Crc32Update(const std::uint8_t* data, std::size_t length, std::uint32_t previous);

// The same result with one table lookup per byte. Kept as the plain reference the fast routine
// is checked and measured against.
std::uint32_t Crc32UpdateBytewise(const std::uint8_t* data, std::size_t length, std::uint32_t previous);

// Table 0 of the sixteen: the standard reflected CRC-32 table.
extern const std::array<std::uint32_t, 256> kCrc32Table0;

// The raw CRC-32 register, fed one byte at a time as the exporters send a dictionary. Started
// at 0xFFFFFFFF, its value is the bitwise complement of the common CRC-32 of the bytes fed (the
// final inversion is not applied): that is the value a directory entry stores.
class CCrc32 {
 public:
  explicit CCrc32(std::uint32_t start) : register_(start) {}

  // Equal to NOT Crc32Update(&byte, 1, NOT register), without the two inversions.
  void Update(std::uint8_t byte) { register_ = (register_ >> 8) ^ kCrc32Table0[(register_ ^ byte) & 0xFF]; }

  std::uint32_t Value() const { return register_; }

 private:
  std::uint32_t register_;
};

}  // namespace lexaport
