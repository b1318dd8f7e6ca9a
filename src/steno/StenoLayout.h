#pragma once
// The steno key layout record: 68 bytes, stored as they are in the header of the intermediate and
// writer dictionary files.
//
//   offset  width  field
//        0     32  key letters, zero-terminated, one character per key in key order
//       32     32  number-bar letters, zero-terminated: what each key shows with the number key held
//       64      1  left bank size (first keys of the order)
//       65      1  middle (vowel) bank size
//       66      1  right bank size
//       67      1  spare, 0
//
// After the three banks every layout has three more keys: '#', '(' and '!'.

#include <array>
#include <cstdint>
#include <cstring>

namespace lexaport {

inline constexpr std::size_t kStenoLayoutSize = 68;
inline constexpr std::size_t kLayoutLettersSize = 32;  // field width; at most 31 letters

struct StenoLayout {
  std::array<char, kLayoutLettersSize> keyLetters{};
  std::array<char, kLayoutLettersSize> numberLetters{};
  std::uint8_t leftBank = 0;
  std::uint8_t middleBank = 0;
  std::uint8_t rightBank = 0;
  std::uint8_t spare = 0;

  void Clear() { *this = StenoLayout{}; }

  void Serialize(std::uint8_t* out) const {
    std::memcpy(out, keyLetters.data(), kLayoutLettersSize);
    std::memcpy(out + 32, numberLetters.data(), kLayoutLettersSize);
    out[64] = leftBank;
    out[65] = middleBank;
    out[66] = rightBank;
    out[67] = spare;
  }

  static StenoLayout Deserialize(const std::uint8_t* in) {
    StenoLayout layout;
    std::memcpy(layout.keyLetters.data(), in, kLayoutLettersSize);
    std::memcpy(layout.numberLetters.data(), in + 32, kLayoutLettersSize);
    layout.keyLetters.back() = '\0';
    layout.numberLetters.back() = '\0';
    layout.leftBank = in[64];
    layout.middleBank = in[65];
    layout.rightBank = in[66];
    layout.spare = in[67];
    return layout;
  }

  friend bool operator==(const StenoLayout&, const StenoLayout&) = default;
};

}  // namespace lexaport
