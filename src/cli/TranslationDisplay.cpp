#include "cli/TranslationDisplay.h"

#include <cstdio>

#include "support/ByteOrder.h"

namespace lexaport::cli {
namespace {

void AppendByteHex(std::string& out, std::uint8_t b) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += kDigits[b >> 4];
  out += kDigits[b & 15];
}

const char* SimpleCodeName(std::uint8_t c) {
  switch (c) {
    case 1: return "{hardspace}";
    case 2: return "{alt}";
    case 3: return "{end}";
    case 4: return "{attach}";
    case 9: return "{tab}";
    case 10: return "{line}";
    case 12: return "{page}";
    case 15: return "{relright}";
    default: return nullptr;
  }
}

// Bytes after the code byte that belong to the item, or -1 when `c` takes no operands.
long OperandCount(const std::uint8_t* code, std::size_t at, std::size_t length) {
  switch (code[at]) {
    case 16: case 18: case 23: return 1;
    case 22: return 2;
    case 26: return 3;
    case 17: return 5;
    case 21:
      if (length - at < 6) return static_cast<long>(length - at - 1);
      return 5 + static_cast<long>(LoadU32(code + at + 2));
    default: return -1;
  }
}

}  // namespace

std::string ShowTranslation(const std::uint8_t* code, std::size_t length) {
  std::string out;
  char text[16];
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint8_t c = code[i];
    if (c >= 32 && c <= 126) {
      if (c == '\\' || c == '{' || c == '}') out += '\\';
      out += static_cast<char>(c);
      continue;
    }
    if (const char* name = SimpleCodeName(c)) {
      out += name;
      continue;
    }
    const long operands = OperandCount(code, i, length);
    if (operands >= 0 && static_cast<std::size_t>(operands) < length - i) {
      std::snprintf(text, sizeof text, "{cmd %u", c);
      out += text;
      for (long k = 1; k <= operands; ++k) {
        out += ' ';
        AppendByteHex(out, code[i + static_cast<std::size_t>(k)]);
      }
      out += '}';
      i += static_cast<std::size_t>(operands);
      continue;
    }
    out += "\\x";
    AppendByteHex(out, c);
  }
  return out;
}

std::string ShowHex(const std::uint8_t* bytes, std::size_t length) {
  std::string out;
  out.reserve(2 * length);
  for (std::size_t i = 0; i < length; ++i) AppendByteHex(out, bytes[i]);
  return out;
}

}  // namespace lexaport::cli
