#pragma once
// How the inspection commands show translation code. A small stand-in that keeps text readable
// and shows control items by their code; it gives way to the core's full formatter once that is
// available, behind these same two functions.
//
//   bytes 32-126    as they are, except  \  {  }  shown as  \\  \{  \}
//   1 2 3 4 9 10 12 15   {hardspace} {alt} {end} {attach} {tab} {line} {page} {relright}
//   16 17 18 21 22 23 26 with their operand bytes: {cmd N hh hh ...}
//   any other byte  \xNN
// Hex: two lower-case digits per byte, no separators.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lexaport::cli {

std::string ShowTranslation(const std::uint8_t* code, std::size_t length);
std::string ShowHex(const std::uint8_t* bytes, std::size_t length);

}  // namespace lexaport::cli
