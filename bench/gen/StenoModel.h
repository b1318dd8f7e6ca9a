#pragma once
// Random steno outlines of layout 1 ("STKPWHRAO*EUFRPBLGTSDZ", with the number key), written as
// a steno dictionary writes them: keys in key order, a hyphen before the right bank when no
// vowel or star separates it from the left, number-bar strokes with digits ("#1-9", "2-", "150").

#include <array>
#include <cstdint>
#include <string>

#include "gen/Random.h"

namespace lexaport::bench {

// A stroke as a bit set: bit j is key position j of layout 1 (0 = left S ... 21 = Z), bit 22 the
// number key. Never 0.
using Stroke = std::uint32_t;

inline constexpr int kMaxOutlineStrokes = 4;

struct Outline {
  std::array<Stroke, kMaxOutlineStrokes> strokes{};
  int count = 0;

  friend bool operator==(const Outline&, const Outline&) = default;
};

// One outline of 1 to 4 strokes (most of 1 or 2): strokes drawn with the key frequencies of
// English steno, now and then a number-bar stroke, and later strokes often one of the common
// suffix strokes ("-G", "-S", "-D" ...).
Outline RandomOutline(CRandom& random);

// Appends the outline's text: its strokes joined by '/'. The text is a function of the keys
// alone, so an outline is always written the same way.
void AppendOutlineText(const Outline& outline, std::string& out);
void AppendStrokeText(Stroke stroke, std::string& out);

std::uint64_t HashOutline(const Outline& outline);

}  // namespace lexaport::bench
