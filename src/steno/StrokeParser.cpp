#include "steno/StrokeParser.h"

#include <bit>
#include <cstring>

#include "support/CharClass.h"

namespace lexaport {
namespace {

constexpr std::uint32_t PositionBit(unsigned position) { return 0x80000000u >> position; }

// Bytes the stroke loop treats before any table lookup.
enum : std::uint8_t { kPlain = 0, kNumberSign = 1, kDigit = 2, kSeparator = 4, kHyphen = 8 };

constexpr std::array<std::uint8_t, 256> MakeClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (int c = '0'; c <= '9'; ++c) classes[static_cast<std::size_t>(c)] = kDigit;
  classes['#'] = kNumberSign;
  classes['/'] = kSeparator;
  classes[' '] = kSeparator;
  classes['-'] = kHyphen;
  return classes;
}
constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

// What a byte does in a pass, in the bits above the 32 position bits of its table entry.
constexpr int kActionShift = 32;
enum Action : std::uint64_t {
  kLookUp = 0,    // a letter: the first of its positions at or after the cursor
  kSkip = 1,      // '#' while reading the number-bar letters: no key of its own
  kToLeftBank = 2,  // '-': the cursor moves past the left bank
  kInvalid = 3,   // a space or a second '/': no stroke
  kNumberBarCharacter = 4,  // '#' or a digit while reading the key letters: read again
};

// The letter fields are zero-terminated within their 32 bytes; a field without a zero is read to
// its end. So positions run from 0 to 31 and fit one 32-bit mask.
void FillTable(const std::array<char, kLayoutLettersSize>& field, bool numberBar,
               std::array<std::uint64_t, 256>& table) {
  std::array<std::uint32_t, 256> byLetter{};
  for (unsigned p = 0; p < field.size() && field[p] != '\0'; ++p) {
    byLetter[static_cast<std::uint8_t>(field[p])] |= PositionBit(p);
  }
  for (unsigned c = 0; c < 256; ++c) {
    std::uint64_t action = kLookUp;
    switch (kClasses[c]) {
      case kNumberSign: action = numberBar ? kSkip : kNumberBarCharacter; break;
      case kDigit: action = numberBar ? kLookUp : kNumberBarCharacter; break;
      case kSeparator: action = kInvalid; break;
      case kHyphen: action = kToLeftBank; break;
      default: break;
    }
    table[c] = byLetter[ToUpperLetter(static_cast<std::uint8_t>(c))] | (action << kActionShift);
  }
}

int FirstPosition(const std::array<char, kLayoutLettersSize>& field, char c) {
  const void* end = std::memchr(field.data(), '\0', field.size());
  const std::size_t length =
      end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - field.data()) : field.size();
  const void* at = std::memchr(field.data(), c, length);
  return at != nullptr ? static_cast<int>(static_cast<const char*>(at) - field.data()) : -1;
}

}  // namespace

CStrokeParser::CStrokeParser() : CStrokeParser(CStenoKeys()) {}

void CStrokeParser::Prepare(const CStenoKeys& keys) {
  const StenoLayout& layout = keys.Layout();
  FillTable(layout.keyLetters, false, keyTable_);
  FillTable(layout.numberLetters, true, numberTable_);
  numberKey_ = FirstPosition(layout.numberLetters, '#');
  exclamationKey_ = keys.ExclamationKeyPosition();
  pastLeftBank_ = layout.leftBank < 32 ? 0xFFFFFFFFu >> layout.leftBank : 0;
}

namespace {

enum class Pass { kDone, kInvalid, kNumberBar };

// One pass over the stroke's letters with one field's table. The pass with the key letters stops
// at the first '#' or digit: the stroke is then read with the number-bar letters. The cursor is
// kept as the mask of the positions at or after it (bit 31 - p for position p), so the next
// letter's position is the highest of its candidates in the mask, and the mask then keeps the
// positions below that bit; '-' cuts the mask to the positions past the left bank.
Pass ReadLetters(std::string_view text, const std::array<std::uint64_t, 256>& table, std::uint32_t pastLeftBank,
                 std::uint32_t& keys) {
  std::uint32_t open = 0xFFFFFFFF;
  for (char raw : text) {
    const std::uint64_t entry = table[static_cast<std::uint8_t>(raw)];
    const std::uint64_t action = entry >> kActionShift;
    if (action == kLookUp) {
      const std::uint32_t candidates = static_cast<std::uint32_t>(entry) & open;
      if (candidates == 0) return Pass::kInvalid;
      const std::uint32_t key = 0x80000000u >> std::countl_zero(candidates);  // the highest
      keys |= key;
      open = key - 1;
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

bool HasNumberBarCharacter(std::string_view text) {
  for (char c : text) {
    if ((kClasses[static_cast<std::uint8_t>(c)] & (kNumberSign | kDigit)) != 0) return true;
  }
  return false;
}

}  // namespace

bool CStrokeParser::Parse(std::string_view text, KeySet& out) const {
  if (text.empty()) return false;
  // A leading '/' is no part of the stroke; it cannot be '#' or a digit either.
  const std::string_view letters = text.front() == '/' ? text.substr(1) : text;

  // Most strokes have no '#' and no digit: read them with the key letters in one pass, and only
  // when one turns up (or the pass fails before the rest could show one), decide anew.
  std::uint32_t keys = 0;
  Pass pass = ReadLetters(letters, keyTable_, pastLeftBank_, keys);
  if (pass == Pass::kInvalid && HasNumberBarCharacter(letters)) pass = Pass::kNumberBar;
  if (pass == Pass::kNumberBar) {
    if (numberKey_ < 0) return false;
    keys = PositionBit(static_cast<unsigned>(numberKey_));
    pass = ReadLetters(letters, numberTable_, pastLeftBank_, keys);
  }
  if (pass != Pass::kDone) return false;

  // '!' is a key of its own: it never combines with other keys.
  if (exclamationKey_ >= 0) {
    const std::uint32_t bang = PositionBit(static_cast<unsigned>(exclamationKey_));
    if ((keys & bang) != 0 && keys != bang) return false;
  }
  out[0] = static_cast<std::uint8_t>(keys >> 24);
  out[1] = static_cast<std::uint8_t>(keys >> 16);
  out[2] = static_cast<std::uint8_t>(keys >> 8);
  out[3] = static_cast<std::uint8_t>(keys);
  return true;
}

}  // namespace lexaport
