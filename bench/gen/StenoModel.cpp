#include "gen/StenoModel.h"

namespace lexaport::bench {
namespace {

constexpr char kKeyLetters[] = "STKPWHRAO*EUFRPBLGTSDZ";
constexpr char kNumberLetters[] = "12K3W4R50*EU6R7B8G9SDZ";
constexpr int kLetterKeys = 22;
constexpr int kFirstVowel = 7;      // A
constexpr int kFirstRightKey = 12;  // right-bank F
constexpr Stroke kNumberKey = Stroke{1} << 22;
constexpr Stroke kMiddleBank = ((Stroke{1} << kFirstRightKey) - 1) & ~((Stroke{1} << kFirstVowel) - 1);
constexpr Stroke kLeftBank = (Stroke{1} << kFirstVowel) - 1;

constexpr Stroke Key(int position) { return Stroke{1} << position; }

// Chance of each key in 1024ths, in key order: left S T K P W H R, vowels A O * E U, right F R P
// B L G T S D Z. Roughly the frequencies of a working English dictionary: the star and Z rare.
constexpr std::array<std::uint32_t, kLetterKeys> kKeyChance = {
    240, 300, 200, 300, 160, 300, 320,  // S T K P W H R
    330, 300, 60,  300, 260,            // A O * E U
    190, 240, 240, 200, 240, 240, 300, 220, 200, 40,  // F R P B L G T S D Z
};

// Key positions that show a digit while the number key is held: 1 2 3 4 5 0 6 7 8 9.
constexpr std::array<int, 10> kDigitKeys = {0, 1, 3, 5, 7, 8, 12, 14, 16, 18};
constexpr Stroke kDigitMask = Key(0) | Key(1) | Key(3) | Key(5) | Key(7) | Key(8) | Key(12) |
                              Key(14) | Key(16) | Key(18);

// Strokes that often end a multi-stroke outline: -G (ing), -S, -D (ed), -Z, -LT, -PBS (ness),
// -PLT (ment), -GS (tion), -BL (ble), -RBGS.
constexpr std::array<Stroke, 10> kSuffixStrokes = {
    Key(17), Key(19), Key(20), Key(21), Key(16) | Key(18), Key(14) | Key(15) | Key(19),
    Key(14) | Key(16) | Key(18), Key(17) | Key(19), Key(15) | Key(16),
    Key(13) | Key(15) | Key(17) | Key(19),
};

Stroke NumberStroke(CRandom& random) {
  Stroke keys = 0;
  while (keys == 0) {
    const std::uint64_t bits = random.Next();
    for (std::size_t i = 0; i < kDigitKeys.size(); ++i) {
      if (((bits >> (6 * i)) & 63) < 16) keys |= Key(kDigitKeys[i]);
    }
  }
  // Now and then a letter beside the digits, as in "1-D" or "2-Z".
  if (random.Below(8) == 0) keys |= Key(19 + static_cast<int>(random.Below(3)));
  return keys | kNumberKey;
}

Stroke LetterStroke(CRandom& random) {
  Stroke keys = 0;
  while (keys == 0) {
    // Six 10-bit draws per 64-bit number.
    std::uint64_t bits = 0;
    for (int j = 0; j < kLetterKeys; ++j) {
      if (j % 6 == 0) bits = random.Next();
      if ((bits & 1023) < kKeyChance[j]) keys |= Key(j);
      bits >>= 10;
    }
  }
  return keys;
}

Stroke RandomStroke(CRandom& random, bool later) {
  if (random.PerMille(12)) return NumberStroke(random);
  if (later && random.PerMille(180)) return kSuffixStrokes[random.Below(kSuffixStrokes.size())];
  return LetterStroke(random);
}

}  // namespace

Outline RandomOutline(CRandom& random) {
  Outline outline;
  const std::uint32_t draw = random.Below(1000);
  outline.count = draw < 300 ? 1 : draw < 750 ? 2 : draw < 930 ? 3 : 4;
  for (int i = 0; i < outline.count; ++i) outline.strokes[i] = RandomStroke(random, i > 0);
  return outline;
}

void AppendStrokeText(Stroke stroke, std::string& out) {
  const bool number = (stroke & kNumberKey) != 0;
  const char* letters = number ? kNumberLetters : kKeyLetters;
  // Choices of notation that do not change the keys ("#1-9" or "1-9", "2-" or "2") follow
  // from the keys, so equal strokes are written alike.
  const std::uint64_t style = Mix64(stroke);
  if (number && ((stroke & kDigitMask) == 0 || (style & 1) != 0)) out += '#';
  bool hyphenDue = (stroke & kMiddleBank) == 0;
  for (int j = 0; j < kLetterKeys; ++j) {
    if ((stroke & Key(j)) == 0) continue;
    if (j >= kFirstRightKey && hyphenDue) {
      out += '-';
      hyphenDue = false;
    }
    out += letters[j];
  }
  if (number && (stroke & ~kNumberKey & ~kLeftBank) == 0 && (style & 2) != 0) out += '-';
}

void AppendOutlineText(const Outline& outline, std::string& out) {
  for (int i = 0; i < outline.count; ++i) {
    if (i > 0) out += '/';
    AppendStrokeText(outline.strokes[i], out);
  }
}

std::uint64_t HashOutline(const Outline& outline) {
  std::uint64_t hash = static_cast<std::uint64_t>(outline.count);
  for (int i = 0; i < outline.count; ++i) hash = Mix64(hash ^ (static_cast<std::uint64_t>(outline.strokes[i]) << 8));
  return hash;
}

}  // namespace lexaport::bench
