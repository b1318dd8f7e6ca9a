#include "rtf/StyleNames.h"

#include <string_view>

#include "support/CharClass.h"

namespace lexaport {

StyleClassification ClassifyStyleName(std::uint8_t* name, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) name[i] = ToLowerLetter(name[i]);
  const std::string_view text(reinterpret_cast<const char*>(name), length);
  const auto has = [text](std::string_view part) { return text.find(part) != std::string_view::npos; };

  // Order matters: "Colloquy Contin" is a colloquy style, "Q/A Question" a question style.
  static constexpr struct {
    std::string_view part;
    std::uint8_t letter;
  } kRules[] = {
      {"normal", styletype::kNormal},     {"question", styletype::kQuestion},
      {"answer", styletype::kAnswer},     {"colloquy", styletype::kColloquy},
      {"contin", styletype::kContinuation}, {"paren", styletype::kParenthetical},
      {"index", styletype::kIndex},       {"quoted", styletype::kQuoted},
  };
  for (const auto& rule : kRules) {
    if (has(rule.part)) return {true, rule.letter};
  }
  if (has("margin")) {
    if (has("margin1")) return {true, '1'};
    if (has("margin2")) return {true, '2'};
    if (has("margin3")) return {true, '3'};
    return {true, styletype::kNone};
  }
  if (has("by line")) return {true, styletype::kByLine};
  return {};
}

std::uint8_t ParagraphCode(std::uint8_t typeLetter) {
  switch (typeLetter) {
    case styletype::kQuestion: return 2;
    case styletype::kAnswer: return 3;
    case styletype::kColloquy: return 4;
    case styletype::kByLine: return 5;
    case styletype::kParenthetical: return 6;
    case styletype::kNormal: return 8;
    case styletype::kContinuation: return 255;
    default: return kDefaultParagraphCode;
  }
}

}  // namespace lexaport
