#pragma once
// Steno notation: one stroke's text ("STKPW", "-T", "#1-9") to its 4-byte key set and back.
//
// Key set: key position j (0-based, in the layout's key order) is bit 0x80 >> (j % 8) of byte
// j / 8. Key sets compare as byte strings, which orders strokes by key order.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "steno/StenoLayout.h"

namespace lexaport {

inline constexpr std::size_t kKeySetSize = 4;
using KeySet = std::array<std::uint8_t, kKeySetSize>;

// StrokeToText writes at most this many characters plus a terminating zero. A numbered layout
// needs at most 28 ('/', '#', '-' and 25 keys); a layout defined in a dictionary file may have up
// to 31 letters.
inline constexpr std::size_t kStrokeTextMax = 34;

// Shown (by the front end) when SelectLayout had to fall back to layout 1.
inline constexpr const char* kInvalidLayoutMessage =
    "An invalid value was found for Steno Table to use.  Please check your User Preferences.  "
    "The Steno Table will use the English Ardenta keyboard steno layout.";

class CStenoKeys {
 public:
  // Starts with layout 1 installed.
  CStenoKeys();

  // Fills the layout in use with numbered layout `number` (0 keeps what it holds) and makes it
  // current. Returns false when the choice was invalid and layout 1 was installed instead; the
  // caller then shows kInvalidLayoutMessage.
  bool SelectLayout(int number);

  // The number of the layout `record` holds (1-4, 6-10), or 0. Rewrites the three older forms
  // it recognises into their current layouts.
  static int IdentifyLayout(StenoLayout& record);

  // The numbered layout record itself (numbers 1-4 and 6-10), for callers that need the bytes
  // (the file headers carry layout 1).
  static StenoLayout NumberedLayout(int number);

  // One stroke's text to its key set. False when the text is not a valid stroke of the layout
  // in use; `keys` may then hold a partial key set.
  bool ParseStroke(std::string_view text, KeySet& keys) const;

  // Writes one stroke's text (at most kStrokeTextMax characters and a zero) into `text`;
  // returns its length. Keys beyond the layout's letters are not shown.
  int StrokeToText(const std::uint8_t* keys, char* text, bool slash, bool numberSign, bool numberLetters) const;

  // The whole outline ("/S/-T"), every stroke with a slash and a number sign. Returns the length.
  int OutlineToText(const std::uint8_t* strokes, int count, std::string& out) const;

  // The layout in use. Mutable because a dictionary file may define its own layout
  // (\cxzqstenotable), which is then used as it stands, without SelectLayout.
  StenoLayout& Layout() { return layout_; }
  const StenoLayout& Layout() const { return layout_; }

  int NumberKeyPosition() const { return numberKeyPosition_; }
  int ExclamationKeyPosition() const { return exclamationKeyPosition_; }

  friend bool operator==(const CStenoKeys&, const CStenoKeys&) = default;

 private:
  int numberKeyPosition_ = -1;
  int exclamationKeyPosition_ = -1;
  StenoLayout layout_;
};

}  // namespace lexaport
