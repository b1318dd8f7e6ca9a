#include "rtf/CatSystem.h"

namespace lexaport {

int RecognizeCatSystem(std::string_view text) {
  const auto has = [text](std::string_view name) { return text.find(name) != std::string_view::npos; };
  // Quendrel's own CAT software names itself and its product line; only there do the Vantor
  // names count.
  if (has("Quendrel")) {
    if (has("Vantor Suite")) return catsystem::kVantorSuite;
    if (has("Pollux")) return catsystem::kPollux;
    if (has("vantorSuite4")) return catsystem::kVantorSuite4;
    return catsystem::kNone;
  }
  if (has("Draftline")) return catsystem::kDraftline;
  if (has("Umbra")) return catsystem::kUmbra;
  if (has("Hastra")) return catsystem::kHastra;
  if (has("Vellum")) return catsystem::kVellum;
  if (has("Notara")) return catsystem::kNotara;
  return catsystem::kNone;
}

const char* CatSystemName(int code) {
  switch (code) {
    case catsystem::kVantorSuite: return "Quendrel Vantor Suite";
    case catsystem::kPollux: return "Quendrel Pollux";
    case catsystem::kDraftline: return "Draftline";
    case catsystem::kHastra: return "Hastra";
    case catsystem::kUmbra: return "Umbra";
    case catsystem::kNotara: return "Notara";
    case catsystem::kVellum: return "Vellum";
    case catsystem::kVantorSuite4: return "Quendrel vantorSuite4";
    default: return "none";
  }
}

}  // namespace lexaport
