#pragma once
// Conversion of text bytes from the OEM code page to the ANSI code page. Dictionary files that do
// not declare \ansi carry OEM text; we take it as code page 437 and convert to Windows-1252. A
// character Windows-1252 lacks (box drawing, most Greek letters, ...) becomes '?'.

#include <cstdint>

namespace lexaport::platform {

// Never fails; bytes below 128 are returned unchanged.
std::uint8_t OemToAnsi(std::uint8_t c);

}  // namespace lexaport::platform
