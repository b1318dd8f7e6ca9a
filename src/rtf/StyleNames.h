#pragma once
// Paragraph styles of a dictionary's stylesheet: the type letter a style's name gives it, and the
// paragraph code (code 22 of the translation code) that \s emits for a style of that type.

#include <cstddef>
#include <cstdint>

namespace lexaport {

namespace styletype {
inline constexpr std::uint8_t kNone = 0;
inline constexpr std::uint8_t kNormal = 'N';
inline constexpr std::uint8_t kQuestion = 'Q';
inline constexpr std::uint8_t kAnswer = 'A';
inline constexpr std::uint8_t kColloquy = 'C';
inline constexpr std::uint8_t kContinuation = 'c';
inline constexpr std::uint8_t kParenthetical = 'P';
inline constexpr std::uint8_t kIndex = 'I';
inline constexpr std::uint8_t kQuoted = 'q';
inline constexpr std::uint8_t kByLine = 'B';
}  // namespace styletype

// The outcome of classifying one name: `matched` false means no rule applied and the style keeps
// the letter it had; otherwise `letter` is its new type letter (kNone for a margin style other
// than margin 1-3).
struct StyleClassification {
  bool matched = false;
  std::uint8_t letter = styletype::kNone;
};

// Lower-cases `name` in place (Windows-1252 case rules) and classifies it.
StyleClassification ClassifyStyleName(std::uint8_t* name, std::size_t length);

// The paragraph code of a type letter: Q 2, A 3, C 4, B 5, P 6, N 8, c 255, anything else 10.
std::uint8_t ParagraphCode(std::uint8_t typeLetter);

// Paragraph code of \qc (centred), and of \qc right after a Normal-style paragraph.
inline constexpr std::uint8_t kCentredParagraphCode = 7;
inline constexpr std::uint8_t kDefaultParagraphCode = 10;

}  // namespace lexaport
