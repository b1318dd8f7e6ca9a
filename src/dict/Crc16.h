#pragma once
// The CRC-16 of writer dictionary files: polynomial 0x1021, most significant bit first, register
// preset to 0xFFFF, no final inversion, in the form that shifts each data byte into the low end
// of the register:
//     register = (register << 8) ^ T[register >> 8] ^ c
// where T[i] is the register after shifting i (in the high byte) eight times through an
// otherwise zero register. From 0xFFFF, "abc" leaves 0xD278.

#include <cstddef>
#include <cstdint>

namespace lexaport {

inline constexpr std::uint16_t kCrc16Preset = 0xFFFF;

// Feeds `size` bytes through the register and returns its new value. A long run is folded with
// carry-less multiplications where the processor has them (x86-64 with PCLMULQDQ), sixteen
// bytes at a time; the rest goes sixteen bytes per round through eighteen tables
// (slicing-by-16).
std::uint16_t Crc16Update(std::uint16_t reg, const std::uint8_t* data, std::size_t size);

// The same result with one table lookup per byte: the plain reference the fast routine is
// checked and measured against.
std::uint16_t Crc16UpdateBytewise(std::uint16_t reg, const std::uint8_t* data, std::size_t size);

// The register after `zeroBytes` zero bytes, in about 2 log2(zeroBytes) small steps. The register
// steps linearly, so two pieces A and B combine:
//     Crc16Update(r, A B) == Crc16Advance(Crc16Update(r, A), |B|) ^ Crc16Update(0, B)
// which lets a writer checksum bytes as it writes them even when a piece that comes first in the
// file is written last.
std::uint16_t Crc16Advance(std::uint16_t reg, std::uint64_t zeroBytes);

// The checksum a writer dictionary file carries in its info block, computed from the whole file
// in memory: the bytes from offset 640 to the end, followed by 256 more bytes of which the i-th
// is the file byte at (length + i - 65,536) when that offset is at least 640, and 0 otherwise.
// (That tail is what the builder's 64 KiB read-back buffer still holds from its previous fill.)
// A file shorter than 640 bytes gives the checksum of its 256-byte zero tail alone.
std::uint16_t WriterFileChecksum(const std::uint8_t* file, std::size_t length);

}  // namespace lexaport
