#include <array>
#include <cstdio>
#include <string_view>

#include "fuzz/FuzzTargets.h"
#include "rtf/ControlWords.h"

namespace lexaport::fuzz {

namespace {

// One dictionary line: the bytes in quotes, with '\', '"' and everything unprintable escaped.
void AddEntry(std::string& out, std::string_view bytes) {
  out += '"';
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\' || byte == '"') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte > 0x7E) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  out += "\"\n";
}

// The syntax the words stand in: groups, destinations, the steno group that starts an entry,
// hexadecimal characters, the bits of an outline and of the RTF/CRE markers.
constexpr std::array<std::string_view, 24> kSyntax = {
    "{",          "}",           "{\\*",          "{\\*\\cxs ",    "{\\rtf1\\ansi", "{\\*\\cxsystem ",
    "{\\stylesheet", "{\\s1 ",   "{\\*\\cxcsi <", ">}",            "\\'e9",         "\\'",
    "STKPW",      "HRAO*EU",     "FRPBLGTSDZ",    "/",             "-",             "#",
    "\\cxzq",     "\\cxds ",     "{\\cxconf ",    "{\\cxc ",       "\\u",           "\r\n",
};

}  // namespace

std::string RtfFuzzDictionary() {
  std::string out =
      "# The control words of the RTF/CRE reader's tables (src/rtf/ControlWords.h) and the syntax\n"
      "# around them, for libFuzzer's -dict. Written by the fuzz targets' RtfFuzzDictionary(); the\n"
      "# test suite checks that this file is what it writes.\n";
  for (const std::string_view bit : kSyntax) AddEntry(out, bit);
  for (const std::string_view word : rtfwords::kRtfWords) AddEntry(out, "\\" + std::string(word));
  for (const std::string_view word : rtfwords::kCreWords) AddEntry(out, "\\" + std::string(word));
  return out;
}

}  // namespace lexaport::fuzz
