#pragma once
// CStrokeParser: CStenoKeys::ParseStroke for one layout, with the layout's letters turned into
// tables once. The reader parses millions of strokes with one layout; searching the letter
// strings for every character of every stroke was its largest single cost.
//
// For each byte the tables hold the key positions it can stand for (a bit per position, among
// the key letters and among the number-bar letters), so finding "the first position at or after
// the cursor" is a mask and a count of trailing zeros. The results equal ParseStroke's for every
// text and every layout, file-defined ones included; a parser must be prepared again whenever
// the layout changes.

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

#include "steno/StenoKeys.h"

namespace lexaport {

// The pass over a stroke's letters, shared by the inline parse and the full one.
namespace strokeparse {
// What a byte does in a pass, in the bits above the 32 position bits of its table entry.
inline constexpr int kActionShift = 32;
enum Action : std::uint64_t {
  kLookUp = 0,              // a letter: the first of its positions at or after the cursor
  kSkip = 1,                // '#' while reading the number-bar letters: no key of its own
  kToLeftBank = 2,          // '-': the cursor moves past the left bank
  kInvalid = 3,             // a space or a second '/': no stroke
  kNumberBarCharacter = 4,  // '#' or a digit while reading the key letters: read again
  kEndOfRun = 5,            // only in a run table: the byte is no part of the run
};

// A table of the key letters for reading a stroke where it stands in a text: what the key
// letters' table holds for the bytes a run of stroke letters may contain, kEndOfRun for others.
using RunTable = std::array<std::uint64_t, 256>;

enum class Pass { kDone, kInvalid, kNumberBar };

// One pass over the stroke's letters with one field's table. The pass with the key letters stops
// at the first '#' or digit: the stroke is then read with the number-bar letters. The cursor is
// kept as the mask of the positions at or after it (bit 31 - p for position p), so the next
// letter's position is the highest of its candidates in the mask, and the mask then keeps the
// positions below that bit; '-' cuts the mask to the positions past the left bank.
//
// A key letter (action kLookUp) with the table entry `entry`: takes the highest of its positions
// at or after the cursor and moves the cursor past it. False when none is left.
inline bool TakeKeyLetter(std::uint64_t entry, std::uint32_t& open, std::uint32_t& keys) {
  const std::uint32_t candidates = static_cast<std::uint32_t>(entry) & open;
  if (candidates == 0) return false;
  const std::uint32_t key = 0x80000000u >> std::countl_zero(candidates);  // the highest
  keys |= key;
  open = key - 1;
  return true;
}

inline Pass ReadLetters(std::string_view text, const std::array<std::uint64_t, 256>& table, std::uint32_t pastLeftBank,
                        std::uint32_t& keys) {
  std::uint32_t open = 0xFFFFFFFF;
  for (char raw : text) {
    const std::uint64_t entry = table[static_cast<std::uint8_t>(raw)];
    const std::uint64_t action = entry >> kActionShift;
    if (action == kLookUp) {
      if (!TakeKeyLetter(entry, open, keys)) return Pass::kInvalid;
    } else if (action == kToLeftBank) {
      open &= pastLeftBank;
    } else if (action == kInvalid) {
      return Pass::kInvalid;
    } else if (action == kNumberBarCharacter) {
      return Pass::kNumberBar;
    }
  }
  return Pass::kDone;
}

// ReadLetters over the run of letters at `p`, taking the run's end from the table: leaves `p` at
// the first byte outside the run. True when the pass reads the whole run; otherwise the rest of
// the run is only passed over.
inline bool ReadRun(const std::uint8_t*& p, const RunTable& table, std::uint32_t pastLeftBank, std::uint32_t& keys) {
  std::uint32_t open = 0xFFFFFFFF;
  for (;; ++p) {
    const std::uint64_t entry = table[*p];
    const std::uint64_t action = entry >> kActionShift;
    if (action == kLookUp) {
      if (!TakeKeyLetter(entry, open, keys)) break;
    } else if (action == kToLeftBank) {
      open &= pastLeftBank;
    } else if (action == kEndOfRun) {
      return true;
    } else {
      break;
    }
  }
  while ((table[*p] >> kActionShift) != kEndOfRun) ++p;
  return false;
}
}  // namespace strokeparse

class CStrokeParser {
 public:
  // Prepared for layout 1, as a new CStenoKeys holds it.
  CStrokeParser();
  explicit CStrokeParser(const CStenoKeys& keys) { Prepare(keys); }

  // Takes the layout `keys` uses now (its letters, its left bank and its '!' position).
  void Prepare(const CStenoKeys& keys);

  // What keys.ParseStroke(text, out) returns for the layout last prepared; on success `out`
  // holds the same key set. On failure `out` is unspecified.
  // Inline for the common stroke, which one pass with the key letters reads whole (no '#', no
  // digit, each letter found after the one before): the full parse begins with that pass and
  // ends there for such a stroke. Any other stroke is parsed in full, from the start.
  bool Parse(std::string_view text, KeySet& out) const {
    std::uint32_t keys = 0;
    if (text.empty() || strokeparse::ReadLetters(text, keyTable_, pastLeftBank_, keys) != strokeparse::Pass::kDone ||
        !ExclamationAlone(keys)) {
      return ParseAny(text, out);
    }
    StoreKeys(keys, out);
    return true;
  }

  // The run table for the bytes `inRun` marks (which must leave out the zero byte, so that a
  // run ends before the end of a text).
  void MakeRunTable(const std::array<bool, 256>& inRun, strokeparse::RunTable& table) const;

  // Reads the run of letters at `p` with a table from MakeRunTable and leaves `p` after it. True
  // when the inline pass of Parse reads the run's text whole: `out` then holds what Parse gives
  // for it. False for any other run, whose text must be handed to Parse.
  bool ParseRun(const std::uint8_t*& p, const strokeparse::RunTable& table, KeySet& out) const {
    const std::uint8_t* const start = p;
    std::uint32_t keys = 0;
    if (!strokeparse::ReadRun(p, table, pastLeftBank_, keys) || p == start || !ExclamationAlone(keys)) return false;
    StoreKeys(keys, out);
    return true;
  }

 private:
  // The whole parse, for every text.
  bool ParseAny(std::string_view text, KeySet& out) const;
  // '!' is a key of its own: it never combines with other keys.
  bool ExclamationAlone(std::uint32_t keys) const { return (keys & exclamationBit_) == 0 || keys == exclamationBit_; }
  static void StoreKeys(std::uint32_t keys, KeySet& out) {
    out[0] = static_cast<std::uint8_t>(keys >> 24);
    out[1] = static_cast<std::uint8_t>(keys >> 16);
    out[2] = static_cast<std::uint8_t>(keys >> 8);
    out[3] = static_cast<std::uint8_t>(keys);
  }

  // Per byte, for reading with the key letters and with the number-bar letters: bit 31 - p set
  // when letter p of the field is this byte (upper-cased as ParseStroke does), and above those
  // 32 bits what the byte does instead when it is no letter ('-', '#', a digit, a separator).
  std::array<std::uint64_t, 256> keyTable_{};
  std::array<std::uint64_t, 256> numberTable_{};
  int numberKey_ = -1;           // position of '#' among the number-bar letters
  std::uint32_t exclamationBit_ = 0;  // the bit of CStenoKeys::ExclamationKeyPosition(), 0 without one
  // The positions a '-' leaves open: those from the left bank on (none when it takes all 32).
  std::uint32_t pastLeftBank_ = 0;
};

}  // namespace lexaport
