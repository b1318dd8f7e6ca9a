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

// The letter fields are zero-terminated within their 32 bytes; a field without a zero is read to
// its end. So positions run from 0 to 31 and fit one 32-bit mask.
void FillPositions(const std::array<char, kLayoutLettersSize>& field, std::array<std::uint32_t, 256>& positions) {
  std::array<std::uint32_t, 256> byLetter{};
  for (unsigned p = 0; p < field.size() && field[p] != '\0'; ++p) {
    byLetter[static_cast<std::uint8_t>(field[p])] |= PositionBit(p);
  }
  for (unsigned c = 0; c < 256; ++c) positions[c] = byLetter[ToUpperLetter(static_cast<std::uint8_t>(c))];
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
  FillPositions(layout.keyLetters, keyPositions_);
  FillPositions(layout.numberLetters, numberPositions_);
  numberKey_ = FirstPosition(layout.numberLetters, '#');
  exclamationKey_ = keys.ExclamationKeyPosition();
  leftBank_ = layout.leftBank;
}

bool CStrokeParser::Parse(std::string_view text, KeySet& out) const {
  if (text.empty()) return false;

  std::uint8_t seen = 0;
  for (char c : text) seen |= kClasses[static_cast<std::uint8_t>(c)];
  std::uint32_t keys = 0;
  const std::array<std::uint32_t, 256>* positions = &keyPositions_;
  if ((seen & (kNumberSign | kDigit)) != 0) {
    positions = &numberPositions_;
    if (numberKey_ < 0) return false;
    keys = PositionBit(static_cast<unsigned>(numberKey_));
  }

  if (text.front() == '/') text.remove_prefix(1);

  unsigned cursor = 0;
  for (char raw : text) {
    const auto c = static_cast<std::uint8_t>(raw);
    const std::uint8_t kind = kClasses[c];
    if (kind != kPlain && kind != kDigit) {
      if (kind == kSeparator) return false;
      if (kind == kHyphen && cursor < leftBank_) cursor = leftBank_;
      continue;  // '#' and '-' name no key of their own
    }
    if (cursor >= 32) return false;
    const std::uint32_t candidates = (*positions)[c] & (0xFFFFFFFFu >> cursor);
    if (candidates == 0) return false;
    const auto found = static_cast<unsigned>(std::countl_zero(candidates));
    keys |= PositionBit(found);
    cursor = found + 1;
  }

  // '!' is a key of its own: it never combines with other keys.
  if (exclamationKey_ >= 0) {
    const std::uint32_t bang = PositionBit(static_cast<unsigned>(exclamationKey_));
    if ((keys & bang) != 0 && keys != bang) return false;
  }
  out = {static_cast<std::uint8_t>(keys >> 24), static_cast<std::uint8_t>(keys >> 16),
         static_cast<std::uint8_t>(keys >> 8), static_cast<std::uint8_t>(keys)};
  return true;
}

}  // namespace lexaport
