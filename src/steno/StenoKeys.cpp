#include "steno/StenoKeys.h"

#include <algorithm>
#include <cstring>

#include "support/CharClass.h"

namespace lexaport {
namespace {

struct NumberedLayoutText {
  int number;
  const char* keyLetters;
  const char* numberLetters;
  std::uint8_t left, middle, right;
};

// There is no layout 5. Layout 1 (English Ardenta) is the default and the fallback. Layout 8 has a
// space among its keys (position 21, the last key of its right bank).
constexpr NumberedLayoutText kNumberedLayouts[] = {
    {1, "STKPWHRAO*EUFRPBLGTSDZ#(!", "12K3W4R50*EU6R7B8G9SDZ#(!", 7, 5, 10},
    {2, "SPCTHVRIA*EOCSTHPRIEAO#(!", "12C3H4R50*EO6S7H8R9EAO#(!", 12, 0, 10},
    {3, "STKPVHRAO*EUVRPBLJTSDZ#(!", "12K3V4R50*EU6R7B8J9SDZ#(!", 7, 5, 10},
    {4, "SBTGDRLAU*OIRLMBGDSTNE#(!", "12T3D4L5U*0I6L7B8D9TNE#(!", 7, 5, 10},
    {6, "STCPDJRAO*UETBPRLSIEAO#(!", "12C3D4R50*UE6B7R8S9EAO#(!", 12, 0, 10},
    {7, "STKPCHRAO*EUFRPBLGTSDZ#(!", "12K3C4R50*EU6R7B8G9SDZ#(!", 7, 5, 10},
    {8, "SKPMTF*RNLYOEAUILNSD[ #(!", "SKPMTF*RNLYOEAUILNSD[ #(!", 11, 5, 6},
    {9, "SKTFPLRAO*EURWBPGHTSDZ#(!", "12T3P4R50*EU6W7P8H9SDZ#(!", 7, 5, 10},
    {10, "STKPVHRAE*OIFPRKTSIOAE#(!", "12K3V4R50*OI6P7K8S9OAE#(!", 12, 0, 10},
};

const NumberedLayoutText* FindNumbered(int number) {
  for (const auto& layout : kNumberedLayouts) {
    if (layout.number == number) return &layout;
  }
  return nullptr;
}

void CopyLetters(std::array<char, kLayoutLettersSize>& field, const char* text) {
  field.fill('\0');
  std::strncpy(field.data(), text, kLayoutLettersSize - 1);
}

void Fill(StenoLayout& record, const NumberedLayoutText& layout) {
  record.Clear();
  CopyLetters(record.keyLetters, layout.keyLetters);
  CopyLetters(record.numberLetters, layout.numberLetters);
  record.leftBank = layout.left;
  record.middleBank = layout.middle;
  record.rightBank = layout.right;
}

// The letter fields are zero-terminated within their 32 bytes; a field without a zero is read up
// to its end and no further.
std::size_t LettersLength(const std::array<char, kLayoutLettersSize>& field) {
  const void* zero = std::memchr(field.data(), '\0', field.size());
  return zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - field.data()) : field.size();
}

std::string_view Letters(const std::array<char, kLayoutLettersSize>& field) {
  return std::string_view(field.data(), LettersLength(field));
}

bool Holds(const StenoLayout& record, const char* keyLetters, const char* numberLetters) {
  return Letters(record.keyLetters) == keyLetters && Letters(record.numberLetters) == numberLetters;
}

int Position(std::string_view letters, char c) {
  const std::size_t at = letters.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

bool KeyIsSet(const std::uint8_t* keys, int position) {
  return (keys[position / 8] & (0x80 >> (position % 8))) != 0;
}

void SetKey(KeySet& keys, int position) {
  keys[static_cast<std::size_t>(position / 8)] |= static_cast<std::uint8_t>(0x80 >> (position % 8));
}

}  // namespace

CStenoKeys::CStenoKeys() { SelectLayout(1); }

StenoLayout CStenoKeys::NumberedLayout(int number) {
  StenoLayout record;
  if (const NumberedLayoutText* layout = FindNumbered(number)) Fill(record, *layout);
  return record;
}

int CStenoKeys::IdentifyLayout(StenoLayout& record) {
  // The letter strings are all distinct, so the order of the tests only matters for the three
  // older forms, which are rewritten to their current layouts when found.
  for (int number : {1, 2, 3, 4, 6, 7, 8}) {
    const NumberedLayoutText& layout = *FindNumbered(number);
    if (Holds(record, layout.keyLetters, layout.numberLetters)) return number;
  }
  if (Holds(record, "SKPMTF*RNLYOEAUIln$D[ #(!", "SKPMTF*RNLYOEAUIln$D[ #(!")) {
    Fill(record, *FindNumbered(8));
    return 8;
  }
  if (Holds(record, "STKPWHRAO*EUFRPBLGTSDZ#!", "12K3W4R50*EU6R7B8G9SDZ#!") ||
      Holds(record, "STKPWHRAO*EUFRPBLGTSDZ#(", "12K3W4R50*EU6R7B8G9SDZ#(")) {
    Fill(record, *FindNumbered(1));
    return 1;
  }
  for (int number : {9, 10}) {
    const NumberedLayoutText& layout = *FindNumbered(number);
    if (Holds(record, layout.keyLetters, layout.numberLetters)) return number;
  }
  return 0;
}

bool CStenoKeys::SelectLayout(int number) {
  bool valid = true;
  for (;;) {
    if (number != 0) {
      if (const NumberedLayoutText* layout = FindNumbered(number)) {
        Fill(layout_, *layout);
      } else {
        layout_.Clear();
      }
    }
    if (IdentifyLayout(layout_) != 0) break;
    valid = false;
    number = 1;
  }
  numberKeyPosition_ = Position(Letters(layout_.keyLetters), '#');
  if (Position(Letters(layout_.keyLetters), '!') < 0) {
    const NumberedLayoutText& fallback = *FindNumbered(1);
    CopyLetters(layout_.keyLetters, fallback.keyLetters);
    CopyLetters(layout_.numberLetters, fallback.numberLetters);
  }
  exclamationKeyPosition_ = Position(Letters(layout_.keyLetters), '!');
  return valid;
}

bool CStenoKeys::ParseStroke(std::string_view text, KeySet& keys) const {
  if (text.empty()) return false;
  keys.fill(0);

  std::string_view letters = Letters(layout_.keyLetters);
  const bool hasNumberSign = text.find('#') != std::string_view::npos;
  const bool hasDigit = text.find_first_of("0123456789") != std::string_view::npos;
  if (hasNumberSign || hasDigit) {
    letters = Letters(layout_.numberLetters);
    const int numberKey = Position(letters, '#');
    if (numberKey < 0) return false;
    SetKey(keys, numberKey);
  }

  if (text.front() == '/') text.remove_prefix(1);

  const std::size_t rightOfLeftBank = layout_.leftBank;
  std::size_t cursor = 0;
  for (char raw : text) {
    if (raw == '/' || raw == ' ') return false;
    if (raw == '#') continue;
    if (raw == '-') {
      if (cursor < rightOfLeftBank) cursor = rightOfLeftBank;
      continue;
    }
    const char c = static_cast<char>(ToUpperLetter(static_cast<std::uint8_t>(raw)));
    const std::size_t found = cursor < letters.size() ? letters.find(c, cursor) : std::string_view::npos;
    if (found == std::string_view::npos) return false;
    SetKey(keys, static_cast<int>(found));
    cursor = found + 1;
  }

  // '!' is a key of its own: it never combines with other keys.
  if (exclamationKeyPosition_ >= 0 && KeyIsSet(keys.data(), exclamationKeyPosition_)) {
    KeySet others = keys;
    others[static_cast<std::size_t>(exclamationKeyPosition_ / 8)] &=
        static_cast<std::uint8_t>(~(0x80 >> (exclamationKeyPosition_ % 8)));
    if (others != KeySet{}) return false;
  }
  return true;
}

int CStenoKeys::StrokeToText(const std::uint8_t* keys, char* text, bool slash, bool numberSign,
                             bool numberLetters) const {
  const bool numberKeyHeld = numberKeyPosition_ >= 0 && KeyIsSet(keys, numberKeyPosition_);
  const bool useNumberLetters = numberKeyHeld || numberLetters;
  const std::string_view letters = Letters(useNumberLetters ? layout_.numberLetters : layout_.keyLetters);
  const int left = layout_.leftBank;
  const int middle = layout_.middleBank;
  const int right = layout_.rightBank;

  int length = 0;
  if (slash) text[length++] = '/';
  if (numberSign && useNumberLetters && !numberLetters) text[length++] = '#';

  // A key set has 32 bits, so however large a file-defined layout claims its banks to be, no key
  // beyond position 31 exists.
  const int lastPosition = std::min(left + middle + right + 2, 31);
  bool pastLeftBank = false;
  for (int j = 0; j <= lastPosition; ++j) {
    if (!KeyIsSet(keys, j)) continue;
    if (j >= left && !pastLeftBank) {
      pastLeftBank = true;
      if (j >= left + middle && j < left + middle + right) text[length++] = '-';
    }
    if (static_cast<std::size_t>(j) >= letters.size()) continue;
    const char letter = letters[static_cast<std::size_t>(j)];
    if (numberSign && letter == '#') continue;
    text[length++] = letter;
  }
  text[length] = '\0';
  return length;
}

int CStenoKeys::OutlineToText(const std::uint8_t* strokes, int count, std::string& out) const {
  out.clear();
  char text[kStrokeTextMax + 1];
  for (int i = 0; i < count; ++i) {
    const int length = StrokeToText(strokes + kKeySetSize * static_cast<std::size_t>(i), text, true, true, false);
    out.append(text, static_cast<std::size_t>(length));
  }
  return static_cast<int>(out.size());
}

}  // namespace lexaport
