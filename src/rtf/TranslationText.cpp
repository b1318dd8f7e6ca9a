#include "rtf/TranslationText.h"

#include <vector>

#include "support/ByteOrder.h"

namespace lexaport {
namespace {

// Unicode code points of Windows-1252 bytes 0x80-0x9F; 0 where the code page defines nothing.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendHexByte(std::string& out, std::uint8_t b) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out.push_back(kDigits[b >> 4]);
  out.push_back(kDigits[b & 0xF]);
}

void AppendEscaped(std::string& out, std::uint8_t b) {
  out += "\\x";
  AppendHexByte(out, b);
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendText(std::string& out, std::uint8_t b) {
  if (b == '\\' || b == '{' || b == '}') {
    out.push_back('\\');
    out.push_back(static_cast<char>(b));
  } else if (b < 0x80) {
    out.push_back(static_cast<char>(b));
  } else if (b < 0xA0) {
    const char16_t cp = kHighControls[b - 0x80];
    if (cp == 0) {
      AppendEscaped(out, b);
    } else {
      AppendUtf8(out, cp);
    }
  } else if (b == 0xA0 || b == 0xAD) {
    AppendEscaped(out, b);  // invisible on a terminal
  } else {
    AppendUtf8(out, b);
  }
}

const char* AttributeName(std::uint8_t s) {
  switch (s) {
    case 1: return "bold";
    case 2: return "underline";
    case 3: return "italic";
    case 4: return "superscript";
    case 5: return "subscript";
    case 6: return "strike";
    case 7: return "bench";
    case 8: return "caps";
    case 9: return "single";
    case 10: return "linenum";
    case 11: return "redact";
    case 14: return "fc";
    case 137: return "double";
    case 142: return "fl";
    default: return nullptr;
  }
}

void AppendAttribute(std::string& out, std::uint8_t s) {
  out += "{attr ";
  const bool switchesOff = s > 128 && ((s - 128 >= 1 && s - 128 <= 8) || s - 128 == 10 || s - 128 == 11);
  if (switchesOff) {
    out += AttributeName(static_cast<std::uint8_t>(s - 128));
    out += " off";
  } else if (const char* name = AttributeName(s)) {
    out += name;
  } else {
    out += std::to_string(s);
  }
  out += '}';
}

void AppendParagraph(std::string& out, std::uint8_t s, std::uint8_t v) {
  out += "{para ";
  switch (s) {
    case 2: out += 'Q'; break;
    case 3: out += 'A'; break;
    case 4: out += 'C'; break;
    case 5: out += 'B'; break;
    case 6: out += 'P'; break;
    case 7: out += "centred"; break;
    case 8: out += 'N'; break;
    case 10: out += "default"; break;
    case 255: out += 'c'; break;
    default: out += std::to_string(s); break;
  }
  if (v != 0) {
    out += ' ';
    out += std::to_string(v);
  }
  out += '}';
}

// Length of the item that starts with `first`, given the bytes available; 0 for a block whose
// length field is not complete.
std::size_t ItemLength(const std::uint8_t* p, std::size_t available) {
  switch (p[0]) {
    case 16:
    case 18:
    case 23: return 2;
    case 17: return 6;
    case 22: return 3;
    case 26: return 4;
    case 21: return available >= 6 ? 6 + static_cast<std::size_t>(LoadU32(p + 2)) : 6;
    default: return 1;
  }
}

}  // namespace

void AppendTranslationText(std::string& out, const std::uint8_t* code, std::size_t length) {
  struct OpenBlock {
    std::size_t end;
    bool header;
  };
  std::vector<OpenBlock> blocks;  // a block's content is shown inline, closed where it ends
  std::size_t i = 0;
  for (;;) {
    while (!blocks.empty() && blocks.back().end == i) {
      out += blocks.back().header ? "{/header}" : "{/block}";
      blocks.pop_back();
    }
    if (i >= length) break;
    const std::size_t limit = blocks.empty() ? length : blocks.back().end;
    const std::uint8_t* p = code + i;
    const std::size_t available = limit - i;
    const std::uint8_t b = p[0];
    if (b >= 32) {
      AppendText(out, b);
      ++i;
      continue;
    }
    const std::size_t itemLength = ItemLength(p, available);
    if (itemLength > available) {
      // Cut short: show what is there byte by byte.
      for (std::size_t k = 0; k < available; ++k) AppendEscaped(out, p[k]);
      i = limit;
      continue;
    }
    switch (b) {
      case 1: out += "{hardspace}"; break;
      case 2: out += "{alt}"; break;
      case 3: out += "{end}"; break;
      case 4: out += "{attach}"; break;
      case 9: out += "{tab}"; break;
      case 10: out += "{line}"; break;
      case 12: out += "{page}"; break;
      case 15: out += "{relright}"; break;
      case 16: out += "{cmd 16 " + std::to_string(p[1]) + "}"; break;
      case 17: out += "{cmd 17 " + std::to_string(p[1]) + " " + std::to_string(LoadU32(p + 2)) + "}"; break;
      case 18: AppendAttribute(out, p[1]); break;
      case 21:
        if (p[1] == 2 && itemLength > 6) {
          out += "{header " + std::to_string(p[6]) + "}";
          blocks.push_back({i + itemLength, true});
          i += 7;
        } else {
          out += "{block " + std::to_string(p[1]) + "}";
          blocks.push_back({i + itemLength, false});
          i += 6;
        }
        continue;
      case 22: AppendParagraph(out, p[1], p[2]); break;
      case 23:
        if (p[1] == 9) {
          out += "{conflict}";
        } else if (p[1] == 137) {
          out += "{/conflict}";
        } else {
          out += "{cmd 23 " + std::to_string(p[1]) + "}";
        }
        break;
      case 26:
        out += "{caption " + std::to_string(p[1]) + " " + std::to_string(p[2]) + " " + std::to_string(p[3]) + "}";
        break;
      default: AppendEscaped(out, b); break;
    }
    i += itemLength;
  }
}

std::string TranslationText(const std::uint8_t* code, std::size_t length) {
  std::string out;
  out.reserve(length + 16);
  AppendTranslationText(out, code, length);
  return out;
}

void AppendHex(std::string& out, const std::uint8_t* bytes, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) AppendHexByte(out, bytes[i]);
}

std::string HexText(const std::uint8_t* bytes, std::size_t length) {
  std::string out;
  out.reserve(2 * length);
  AppendHex(out, bytes, length);
  return out;
}

}  // namespace lexaport
