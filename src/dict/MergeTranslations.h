#pragma once
// Entries that share an outline are merged into one entry whose translation is a group of
// alternatives: code 2 before each alternative and code 3 at the end ("2 their 2 there 3").
//
// Nothing here reads outside the translation it is given, whatever its bytes: an item whose
// operands would reach past the end is cut off at the end (splitting) or makes the translation
// not well formed.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lexaport {

inline constexpr std::uint8_t kAlternativeCode = 2;  // begins an alternative or a conflict choice
inline constexpr std::uint8_t kGroupEndCode = 3;     // ends a group of alternatives

// The length of the alternative at `cursor`, of which `remaining` bytes belong to the
// translation: one leading code 2 is skipped (it is not counted), and the alternative runs up to
// the next code 2 or 3 or the end. Operand bytes of multi-byte codes never end it. So the
// alternative's bytes begin at cursor + (cursor[0] == 2 ? 1 : 0).
std::size_t NextAlternativeLength(const std::uint8_t* cursor, std::size_t remaining);

// A translation is well formed when it is plain (no code 2 except at its first byte), or one
// group that begins with code 2 at its first byte and ends with code 3 at its last; a code 3
// outside a group is ignored. A code 21 block must be of subtype 7, and no item may reach past
// the end. The empty translation is well formed.
bool IsWellFormedTranslation(const std::uint8_t* translation, std::size_t length);

// The alternatives of a translation in order (empty runs left out). A code 3 at the last byte
// closes the group; a code 3 anywhere else is stepped over. A plain translation, even of one
// byte, is one alternative.
std::vector<std::span<const std::uint8_t>> SplitAlternatives(std::span<const std::uint8_t> translation);

// Merges translation `y` into translation `x`: the alternatives of x, then those of y that x
// does not already hold, each behind a code 2, then code 3. Each alternative of x takes away at
// most one equal alternative of y; duplicates within one translation stay. Returns the merged
// length (the bytes are in `out`), or 0 when there is no merge: a translation is not well
// formed, or fewer than two alternatives remain. The result may exceed what an entry record can
// hold (65,535 bytes); the caller decides.
std::size_t MergeTranslations(std::span<const std::uint8_t> x, std::span<const std::uint8_t> y,
                              std::vector<std::uint8_t>& out);

// The same for the translations of two entry records.
std::size_t MergeTranslations(const std::uint8_t* recordX, const std::uint8_t* recordY, std::vector<std::uint8_t>& out);

}  // namespace lexaport
