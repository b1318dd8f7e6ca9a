#pragma once
// Conversions of the translation code that are more than a fixed byte sequence: the suffix
// conversion, the index character, the CSI commands and the output of a conflict.
//
// Translation code in brief (first byte fixes the item's length): 32-255 text (Windows-1252);
// 1 hard space; 2 begins an alternative or conflict choice; 3 ends the group; 4 attach; 9 tab;
// 10 line; 12 page; 15 relative right; 16 s; 17 s v0 v1 v2 v3; 18 s (attribute, s + 128 switches
// off); 21 t N(u32) N bytes (block); 22 s v (paragraph); 23 s (single-choice conflict bracket,
// 9 opens, 137 closes); 26 s a b (caption command).

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lexaport {

namespace code {
inline constexpr std::uint8_t kHardSpace = 1;
inline constexpr std::uint8_t kAlternative = 2;
inline constexpr std::uint8_t kGroupEnd = 3;
inline constexpr std::uint8_t kAttach = 4;
inline constexpr std::uint8_t kTab = 9;
inline constexpr std::uint8_t kLine = 10;
inline constexpr std::uint8_t kPage = 12;
inline constexpr std::uint8_t kRelativeRight = 15;
inline constexpr std::uint8_t kCommand = 16;
inline constexpr std::uint8_t kValueCommand = 17;
inline constexpr std::uint8_t kAttribute = 18;
inline constexpr std::uint8_t kBlock = 21;
inline constexpr std::uint8_t kParagraph = 22;
inline constexpr std::uint8_t kSingleChoice = 23;
inline constexpr std::uint8_t kCaption = 26;

inline constexpr std::uint8_t kSuffixCommand = 129;     // 16 129: what follows is a suffix
inline constexpr std::uint8_t kPrefixCommand = 1;       // 16 1: \cxzqpre
inline constexpr std::uint8_t kSpeakerCommand = 2;      // 16 2: a speaker mark
inline constexpr std::uint8_t kHeaderBlock = 2;         // 21 2: header code block
inline constexpr std::uint8_t kSingleChoiceOpen = 9;    // 23 9
inline constexpr std::uint8_t kSingleChoiceClose = 137; // 23 137
}  // namespace code

// True when `word` is one of the 556 suffix words (exact, byte-wise).
bool IsSuffixWord(std::string_view word);

// The suffix conversion, in place: a translation that begins with the attach code 4 followed by a
// suffix word (up to the first space) becomes 16 129, the word, the rest. Returns the new length
// (n + 1 when converted). `translation` must have room for n + 1 bytes.
std::size_t ConvertSuffix(std::uint8_t* translation, std::size_t n);

// The index character of \cxzqindex / \cxzqindexhead: p mod 128, ASCII letters to 0-25, digits to
// 26-35, space to 36, anything else unchanged.
std::uint8_t IndexCharacter(std::int32_t parameter);

// Most bytes RunCsiCommands can produce from a CSI text of at most kCsiTextMax characters.
inline constexpr std::size_t kCsiTextMax = 32;
inline constexpr std::size_t kCsiOutputMax = 64;

// Turns the text of a \cxcsi group into codes written to `out` (room for kCsiOutputMax bytes);
// returns their number. `speakerMark` is the entry's speaker-mark flag: the first speaker
// command of an entry carries 16 2 and sets it.
std::size_t TranslateCsiText(std::string_view text, bool& speakerMark, std::uint8_t* out);

// The bytes a closed conflict delivers, from the `collected` bytes of its choices: with two or
// more choices the bytes and 3; with fewer, 23 9, the bytes without their first, 23 137. `out`
// needs room for length + 4 bytes; returns the number written.
std::size_t ConflictOutput(const std::uint8_t* collected, std::size_t length, int choices, std::uint8_t* out);

}  // namespace lexaport
