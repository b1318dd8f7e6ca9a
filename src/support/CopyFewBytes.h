#pragma once
// Copying a count of bytes that is usually small (a translation, the rest of a key) but not known
// to the compiler. For such counts the library's memcpy pays its call, and the compiler's inline
// expansion (a string instruction) its start-up, on every copy; a few overlapping fixed-size
// moves cost neither. The source is never read beyond `count` bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lexaport {

inline void CopyFewBytes(std::uint8_t* to, const std::uint8_t* from, std::size_t count) {
  // Each case moves a piece from the start and a piece that ends at the end, which overlap as
  // far as the count falls short of twice the piece.
  const auto pieces = [&](auto piece) {
    constexpr std::size_t kSize = sizeof(piece);
    std::memcpy(&piece, from, kSize);
    decltype(piece) last;
    std::memcpy(&last, from + count - kSize, kSize);
    std::memcpy(to, &piece, kSize);
    std::memcpy(to + count - kSize, &last, kSize);
  };
  struct Block16 {
    std::uint64_t low, high;
  };
  if (count > 32) {
    if (count > 64) {
      std::memcpy(to, from, count);
      return;
    }
    // 33 to 64 bytes: the first 32, then the last 32.
    CopyFewBytes(to, from, 32);
    CopyFewBytes(to + count - 32, from + count - 32, 32);
  } else if (count >= 16) {
    pieces(Block16{});
  } else if (count >= 8) {
    pieces(std::uint64_t{});
  } else if (count >= 4) {
    pieces(std::uint32_t{});
  } else if (count >= 2) {
    pieces(std::uint16_t{});
  } else if (count == 1) {
    *to = *from;
  }
}

}  // namespace lexaport
