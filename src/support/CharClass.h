#pragma once
// Character classes of Windows-1252, the code page of every translation text. The reader, the
// steno notation and the entry flags all classify bytes through this one table, so an accented
// capital (0xC9, É) counts as an upper-case letter everywhere and a curly quote (0x93) as
// punctuation everywhere.

#include <array>
#include <cstdint>

namespace lexaport {

namespace charclass {
inline constexpr std::uint8_t kLetter = 0x01;
inline constexpr std::uint8_t kUpper = 0x02;
inline constexpr std::uint8_t kLower = 0x04;
inline constexpr std::uint8_t kPunctuation = 0x08;

namespace detail {
constexpr void Mark(std::array<std::uint8_t, 256>& t, int from, int to, std::uint8_t bits) {
  for (int c = from; c <= to; ++c) t[static_cast<std::size_t>(c)] |= bits;
}

constexpr std::array<std::uint8_t, 256> BuildTable() {
  std::array<std::uint8_t, 256> t{};
  constexpr std::uint8_t U = kLetter | kUpper;
  constexpr std::uint8_t L = kLetter | kLower;
  Mark(t, 65, 90, U);
  Mark(t, 97, 122, L);
  Mark(t, 138, 138, U);  // Š
  Mark(t, 140, 140, U);  // Œ
  Mark(t, 142, 142, U);  // Ž
  Mark(t, 154, 154, L);  // š
  Mark(t, 156, 156, L);  // œ
  Mark(t, 158, 158, L);  // ž
  Mark(t, 159, 159, U);  // Ÿ
  Mark(t, 192, 214, U);
  Mark(t, 216, 222, U);
  Mark(t, 223, 246, L);  // ß is lower case with no upper-case partner
  Mark(t, 248, 255, L);
  constexpr std::uint8_t P = kPunctuation;
  Mark(t, 33, 47, P);
  Mark(t, 58, 64, P);
  Mark(t, 91, 96, P);
  Mark(t, 123, 126, P);
  Mark(t, 128, 128, P);
  Mark(t, 130, 137, P);
  Mark(t, 139, 139, P);
  Mark(t, 145, 153, P);
  Mark(t, 155, 155, P);
  Mark(t, 161, 187, P);
  Mark(t, 191, 191, P);
  Mark(t, 215, 215, P);
  Mark(t, 247, 247, P);
  return t;
}
}  // namespace detail

inline constexpr std::array<std::uint8_t, 256> kTable = detail::BuildTable();
}  // namespace charclass

constexpr bool IsLetter(std::uint8_t c) { return (charclass::kTable[c] & charclass::kLetter) != 0; }
constexpr bool IsUpperLetter(std::uint8_t c) { return (charclass::kTable[c] & charclass::kUpper) != 0; }
constexpr bool IsLowerLetter(std::uint8_t c) { return (charclass::kTable[c] & charclass::kLower) != 0; }
constexpr bool IsPunctuation(std::uint8_t c) {
  return (charclass::kTable[c] & charclass::kPunctuation) != 0;
}
constexpr bool IsAsciiDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

// Case conversion of Windows-1252 letters. The pairs outside the Latin-1 block (Š/š, Œ/œ, Ž/ž,
// Ÿ/ÿ) are not 0x20 apart; ß has no upper-case form and stays.
constexpr std::uint8_t ToUpperLetter(std::uint8_t c) {
  if (!IsLowerLetter(c)) return c;
  switch (c) {
    case 154: return 138;
    case 156: return 140;
    case 158: return 142;
    case 255: return 159;
    case 223: return 223;
    default: return static_cast<std::uint8_t>(c & ~0x20);
  }
}

constexpr std::uint8_t ToLowerLetter(std::uint8_t c) {
  if (!IsUpperLetter(c)) return c;
  switch (c) {
    case 138: return 154;
    case 140: return 156;
    case 142: return 158;
    case 159: return 255;
    default: return static_cast<std::uint8_t>(c | 0x20);
  }
}

}  // namespace lexaport
