#pragma once
// Which CAT system wrote a dictionary, recognised from the text of its \cxsystem group. A few
// systems write punctuation and index marks in short forms that the reader must expand, and one
// (Hastra) needs its entries cleaned up when they are finished.

#include <cstdint>
#include <string_view>

namespace lexaport {

// The reader keeps the code in bits 8-11 of a 32-bit word (code * 256).
inline constexpr std::uint32_t CatSystemWord(int code) { return static_cast<std::uint32_t>(code) << 8; }
inline constexpr int CatSystemCodeOf(std::uint32_t word) { return static_cast<int>((word >> 8) & 0xF); }

namespace catsystem {
inline constexpr int kNone = 0;
inline constexpr int kVantorSuite = 1;
inline constexpr int kPollux = 2;
inline constexpr int kDraftline = 4;
inline constexpr int kHastra = 5;
inline constexpr int kUmbra = 6;
inline constexpr int kNotara = 7;
inline constexpr int kVellum = 8;
inline constexpr int kVantorSuite4 = 9;
}  // namespace catsystem

// Systems 2, 4, 5, 6 and 7 write "{i}", "{n}", "{\cxp.}" ... in the body as short forms.
inline constexpr bool UsesShortForms(std::uint32_t word) { return (word & 0x600) != 0; }

// The code (0-9) named by a \cxsystem text: case-sensitive substring search, first match wins.
int RecognizeCatSystem(std::string_view text);

// "Hastra", "Umbra", ...; "none" for 0 and for codes no rule yields.
const char* CatSystemName(int code);

}  // namespace lexaport
