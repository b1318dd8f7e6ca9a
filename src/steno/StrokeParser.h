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
#include <cstdint>
#include <string_view>

#include "steno/StenoKeys.h"

namespace lexaport {

class CStrokeParser {
 public:
  // Prepared for layout 1, as a new CStenoKeys holds it.
  CStrokeParser();
  explicit CStrokeParser(const CStenoKeys& keys) { Prepare(keys); }

  // Takes the layout `keys` uses now (its letters, its left bank and its '!' position).
  void Prepare(const CStenoKeys& keys);

  // What keys.ParseStroke(text, out) returns for the layout last prepared; on success `out`
  // holds the same key set. On failure `out` is unspecified.
  bool Parse(std::string_view text, KeySet& out) const;

 private:
  // Per byte, for reading with the key letters and with the number-bar letters: bit 31 - p set
  // when letter p of the field is this byte (upper-cased as ParseStroke does), and above those
  // 32 bits what the byte does instead when it is no letter ('-', '#', a digit, a separator).
  std::array<std::uint64_t, 256> keyTable_{};
  std::array<std::uint64_t, 256> numberTable_{};
  int numberKey_ = -1;           // position of '#' among the number-bar letters
  int exclamationKey_ = -1;      // CStenoKeys::ExclamationKeyPosition()
  // The positions a '-' leaves open: those from the left bank on (none when it takes all 32).
  std::uint32_t pastLeftBank_ = 0;
};

}  // namespace lexaport
