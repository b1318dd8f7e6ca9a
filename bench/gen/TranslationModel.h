#pragma once
// Random translations in RTF/CRE text: words, phrases, names, numbers, punctuation, a few
// Windows-1252 accents (\'e9), escaped braces and backslashes, and about one in ten carrying
// control words (\cxds, paragraph styles, conflicts, \cxfing, bold and italic).

#include <cstddef>
#include <string>
#include <string_view>

#include "gen/Random.h"

namespace lexaport::bench {

class CTranslationModel {
 public:
  // Translations show 1 to `maxCharacters` characters of text (an escape counts as the one
  // character it stands for; control words do not count).
  explicit CTranslationModel(std::size_t maxCharacters) : maxCharacters_(maxCharacters) {}

  // Appends one translation's RTF text to `out`.
  void Append(CRandom& random, std::string& out) const;

 private:
  void AppendPlain(CRandom& random, std::size_t room, std::string& out) const;
  void AppendWithControlWords(CRandom& random, std::string& out) const;

  std::size_t maxCharacters_;
};

// The number of characters the text shows: "\'e9" and "\{" count one each.
std::size_t VisibleLength(std::string_view rtfText);

}  // namespace lexaport::bench
