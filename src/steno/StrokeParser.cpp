#include "steno/StrokeParser.h"

#include <bit>
#include <cstring>

#include "support/CharClass.h"

namespace lexaport {

using namespace strokeparse;

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
  const int exclamationKey = keys.ExclamationKeyPosition();
  exclamationBit_ = exclamationKey >= 0 ? PositionBit(static_cast<unsigned>(exclamationKey)) : 0;
  pastLeftBank_ = layout.leftBank < 32 ? 0xFFFFFFFFu >> layout.leftBank : 0;
}

void CStrokeParser::MakeRunTable(const std::array<bool, 256>& inRun, RunTable& table) const {
  for (std::size_t c = 0; c < table.size(); ++c) {
    table[c] = inRun[c] ? keyTable_[c] : std::uint64_t{kEndOfRun} << kActionShift;
  }
}

namespace {

bool HasNumberBarCharacter(std::string_view text) {
  for (char c : text) {
    if ((kClasses[static_cast<std::uint8_t>(c)] & (kNumberSign | kDigit)) != 0) return true;
  }
  return false;
}

}  // namespace

bool CStrokeParser::ParseAny(std::string_view text, KeySet& out) const {
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
  if (pass != Pass::kDone || !ExclamationAlone(keys)) return false;
  StoreKeys(keys, out);
  return true;
}

}  // namespace lexaport
