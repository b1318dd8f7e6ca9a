#pragma once
// Translation code shown for people: text as it is, control items by name. Used by the `entries`
// and `dump` commands; the notation is unambiguous, so two translations look alike only when
// their bytes are equal.
//
// Text
//   bytes 32-126         as they are, except  \  {  }  which are shown as  \\  \{  \}
//   bytes 128-255        the Windows-1252 character, written as UTF-8; the no-break space (A0),
//                        the soft hyphen (AD) and the five bytes Windows-1252 leaves undefined
//                        (81 8D 8F 90 9D) as \xNN
// Control items
//   1                    {hardspace}
//   2 / 3                {alt} (an alternative or conflict choice begins) / {end} (the group ends)
//   4                    {attach}
//   9  10  12  15        {tab}  {line}  {page}  {relright}
//   16 s                 {cmd 16 s}
//   17 s v0 v1 v2 v3     {cmd 17 s V}         V = v0 + 256 v1 + 65536 v2 + 16777216 v3
//   18 s                 {attr NAME} and {attr NAME off}, {attr s} when s has no name
//                        (bold underline italic superscript subscript strike bench caps single
//                        double linenum redact fc fl)
//   21 2 N p ...         {header p} ... {/header}   a header code block of N bytes
//   21 t N ...           {block t} ... {/block}     any other block
//   22 s v               {para X} or {para X v}; X is Q A C B P N c (the style types), centred,
//                        default, or the number s
//   23 9 / 23 137        {conflict} / {/conflict}  (a single-choice conflict); other 23 s: {cmd 23 s}
//   26 s a b             {caption s a b}
//   0, 5-8, 11, 13, 14, 19, 20, 24, 25, 27-31, and the bytes of an item cut short by the end of
//   the translation (or of its block)                    \xNN
//
// Hex: two lower-case digits per byte, no separators ("120162").

#include <cstddef>
#include <cstdint>
#include <string>

namespace lexaport {

void AppendTranslationText(std::string& out, const std::uint8_t* code, std::size_t length);
std::string TranslationText(const std::uint8_t* code, std::size_t length);

void AppendHex(std::string& out, const std::uint8_t* bytes, std::size_t length);
std::string HexText(const std::uint8_t* bytes, std::size_t length);

}  // namespace lexaport
