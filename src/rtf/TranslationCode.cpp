#include "rtf/TranslationCode.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lexaport {
namespace {

// Sorted byte-wise; the binary search relies on it (checked at compile time below).
constexpr std::array<std::string_view, 556> kSuffixWords = {
    "a", "ability", "able", "ably", "ac", "acal", "acea", "aceae", "acean", "aceous", "acious",
    "acitate", "acity", "acy", "ad", "ade", "adelphia", "adelphous", "ado", "ae", "aemia", "age",
    "agogue", "al", "ales", "algia", "ally", "amine", "an", "ana", "ance", "ancy", "and",
    "androus", "andry", "ane", "ant", "ar", "arch", "archy", "ard", "arian", "arious", "arium",
    "art", "ary", "ase", "asis", "ast", "aster", "ate", "ated", "atic", "atile", "ation", "ative",
    "ator", "atory", "bashing", "biosis", "biotic", "blast", "blastic", "ble", "bodied", "branch",
    "by", "cade", "caine", "cardia", "carp", "carpic", "carpous", "cele", "cene", "centric",
    "cephalic", "cephalus", "cercal", "chore", "chrome", "chroous", "cidal", "cide", "clase",
    "cle", "clinal", "cline", "clinic", "clinous", "coccus", "coele", "colous", "cotyl", "cracy",
    "crat", "cula", "cule", "culus", "cy", "cyst", "cyte", "dactylous", "decker", "derm", "derma",
    "dermatous", "dermis", "diene", "dom", "drome", "dromous", "ean", "ectomy", "ed", "ee", "een",
    "eer", "ein", "el", "els", "eme", "emia", "en", "ence", "enchyma", "ency", "end", "ene", "ent",
    "eous", "er", "ery", "es", "escence", "escent", "ese", "esque", "ess", "est", "et", "eth",
    "etic", "ette", "ey", "facient", "faction", "factive", "favoured", "featured", "fer", "ferous",
    "fest", "fic", "fication", "fid", "florous", "fold", "footed", "form", "free", "fuge", "ful",
    "fy", "gaea", "gaited", "gamic", "gamous", "gamy", "gea", "gen", "gene", "genesis", "genetic",
    "genic", "genous", "geny", "gerous", "gnathous", "gnosis", "gon", "gonium", "gony", "grade",
    "gram", "graph", "grapher", "graphic", "graphist", "graphy", "gyne", "gynous", "gyny",
    "haemia", "haired", "handed", "head", "hearted", "hedral", "hedron", "hemia", "hippus", "hood",
    "hydric", "i", "ia", "ial", "ian", "iana", "iasis", "iatric", "iatrics", "iatry", "ibility",
    "ible", "ic", "ical", "ically", "ice", "ician", "icity", "ics", "id", "idae", "idan", "ide",
    "idin", "idium", "ie", "ier", "iferous", "iform", "ify", "il", "ile", "ility", "in", "ina",
    "inae", "ine", "ing", "ion", "ior", "iour", "ious", "is", "isation", "ise", "ish", "ism",
    "ison", "ist", "ister", "istic", "ite", "ition", "itious", "itis", "itol", "itous", "ity",
    "ium", "ive", "ization", "ize", "izer", "ji", "kin", "kinesis", "kins", "lalia", "lashed",
    "later", "latry", "le", "lent", "lepsy", "less", "let", "lewe", "like", "ling", "lings",
    "lipped", "lite", "lith", "lithic", "lived", "lock", "log", "loger", "logian", "logic",
    "logist", "logue", "logy", "long", "ly", "lysis", "lyte", "lytic", "lyze", "m", "machy",
    "mancy", "mane", "mania", "maniac", "mantic", "mas", "masted", "mastix", "meal", "ment", "mer",
    "mere", "merism", "merous", "meter", "metric", "metry", "mo", "mony", "more", "morph",
    "morphic", "morphism", "morphosis", "morphous", "morphy", "most", "motored", "mycete", "n",
    "n't", "nasty", "naut", "ness", "nik", "nomy", "o", "ock", "ocracy", "ode", "odont", "odontia",
    "ography", "oic", "oid", "oidal", "oidea", "ol", "olater", "ole", "ology", "oma", "ome",
    "ometer", "on", "one", "onium", "ont", "onym", "oon", "opathy", "opia", "opolis", "opsis",
    "opsy", "or", "oria", "orial", "orious", "orium", "ory", "ose", "osis", "osity", "ostosis",
    "ot", "ote", "otic", "our", "ous", "para", "parous", "path", "pathy", "ped", "pede", "person",
    "petal", "petalous", "phage", "phagia", "phagous", "phagy", "phane", "phany", "phasia", "phil",
    "phile", "philia", "philic", "philous", "phobe", "phobia", "phobic", "phone", "phony", "phore",
    "phoresis", "phorous", "phrenia", "phyll", "phyllous", "phyre", "phyte", "phytic", "plasia",
    "plasm", "plast", "plastic", "plasty", "plegia", "ploid", "pnea", "pod", "poda", "podite",
    "podium", "podous", "poiesis", "poietic", "pole", "polis", "pounder", "prone", "proof",
    "pterous", "red", "rel", "rhine", "rhiza", "rhoea", "rigged", "right", "rights", "rrhagia",
    "rrhea", "rrhine", "rrhiza", "rrhoea", "ry", "s", "s'", "saur", "scape", "scope", "scopy",
    "sect", "sepalous", "shaped", "ship", "sided", "sider", "sis", "some", "somic", "sophy",
    "sperm", "spermy", "sphere", "sporous", "spory", "st", "stasis", "stat", "ster", "stichous",
    "stome", "stomous", "stomy", "stress", "stylar", "stylous", "sy", "tactic", "taxis", "taxy",
    "teen", "termer", "th", "thecium", "theism", "theist", "ther", "therium", "therm", "thermy",
    "thymia", "tion", "tious", "tome", "tomy", "tonia", "tress", "trice", "trices", "trichous",
    "trix", "tron", "trope", "trophic", "trophy", "tropic", "tropism", "tropous", "tropy", "tude",
    "ty", "type", "ular", "ule", "ulent", "ulose", "ulous", "uous", "ure", "uret", "urgy", "uria",
    "urient", "uronic", "urous", "valent", "ville", "visaged", "vorous", "ward", "wards", "way",
    "ways", "wick", "wise", "witted", "worthy", "y", "yer", "yl", "yne", "zoa", "zoic", "zoon",
    "zygous", "zyme",};

constexpr bool IsSorted() {
  for (std::size_t i = 1; i < kSuffixWords.size(); ++i) {
    if (!(kSuffixWords[i - 1] < kSuffixWords[i])) return false;
  }
  return true;
}
static_assert(IsSorted());

void Put(std::uint8_t*& out, std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) *out++ = b;
}

bool IsCaseInsensitive(char c, char upper) { return c == upper || c == upper + ('a' - 'A'); }

// One CSI command (the text between '<' and '>').
void TranslateCommand(std::string_view command, bool& speakerMark, std::uint8_t*& out) {
  if (command == "L+") return Put(out, {26, 18, 0, 0});
  if (command == "L-") return Put(out, {26, 17, 0, 0});
  if (command == "L") return Put(out, {26, 16, 0, 0});
  if (command == "NOTE") return Put(out, {26, 8, 0, 0});
  if (command == "NOTE NOTE") return Put(out, {26, 8, 0, 0, 26, 8, 0, 0});
  if (command == "PASS") return Put(out, {26, 1, 0, 0});
  if (command == "BLOCK") return Put(out, {26, 2, 0, 0});
  if (command == "BV") return Put(out, {26, 0, 0, 0});
  if (command == "DOL") return Put(out, {16, 5, '[', '$', ']'});
  if (command == "1/2") return Put(out, {189});
  if (command == "$$") return Put(out, {10});
  if (command == "." || command == "?" || command == ",") return Put(out, {static_cast<std::uint8_t>(command[0])});
  if (command.size() == 3 && (command[0] == 'S' || command[0] == 's') && command[1] == ':') {
    if (!speakerMark) {
      Put(out, {code::kCommand, code::kSpeakerCommand});
      speakerMark = true;
    }
    return Put(out, {static_cast<std::uint8_t>(command[2])});
  }
  if (command.size() == 5 && IsCaseInsensitive(command[0], 'N') && IsCaseInsensitive(command[1], 'I') &&
      IsCaseInsensitive(command[2], 'K') && command[3] == ' ' && command[4] >= '0' && command[4] <= '9') {
    return Put(out, {26, 133, static_cast<std::uint8_t>(command[4] - '0'), 0});
  }
}

}  // namespace

bool IsSuffixWord(std::string_view word) {
  return std::binary_search(kSuffixWords.begin(), kSuffixWords.end(), word);
}

std::size_t ConvertSuffix(std::uint8_t* translation, std::size_t n) {
  if (n <= 1 || translation[0] != code::kAttach) return n;
  std::size_t end = 1;
  while (end < n && translation[end] != ' ') ++end;
  if (end == 1) return n;  // 4 then a space: no word
  const std::string_view word(reinterpret_cast<const char*>(translation + 1), end - 1);
  if (!IsSuffixWord(word)) return n;
  std::memmove(translation + 2, translation + 1, n - 1);
  translation[0] = code::kCommand;
  translation[1] = code::kSuffixCommand;
  return n + 1;
}

std::uint8_t IndexCharacter(std::int32_t parameter) {
  const auto c = static_cast<std::uint8_t>(static_cast<std::uint32_t>(parameter) & 0x7F);
  if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(c - 'A');
  if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(c - 'a');
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(26 + (c - '0'));
  if (c == ' ') return 36;
  return c;
}

std::size_t TranslateCsiText(std::string_view text, bool& speakerMark, std::uint8_t* out) {
  std::uint8_t* const start = out;
  if (text.size() > kCsiTextMax) text = text.substr(0, kCsiTextMax);
  std::size_t at = text.find('<');
  if (at == std::string_view::npos) return 0;  // text before the first '<' is not a command
  while (at < text.size()) {
    if (text[at] != '<') {
      *out++ = static_cast<std::uint8_t>(text[at++]);
      continue;
    }
    const std::size_t close = text.find('>', at + 1);
    if (close == std::string_view::npos) break;  // an unclosed command ends the reading
    TranslateCommand(text.substr(at + 1, close - at - 1), speakerMark, out);
    at = close + 1;
  }
  return static_cast<std::size_t>(out - start);
}

std::size_t ConflictOutput(const std::uint8_t* collected, std::size_t length, int choices, std::uint8_t* out) {
  if (choices >= 2) {
    if (length != 0) std::memcpy(out, collected, length);
    out[length] = code::kGroupEnd;
    return length + 1;
  }
  // A single choice is no alternative: its marker goes and the text is bracketed instead.
  std::size_t n = 0;
  out[n++] = code::kSingleChoice;
  out[n++] = code::kSingleChoiceOpen;
  if (length > 1) {
    std::memcpy(out + n, collected + 1, length - 1);
    n += length - 1;
  }
  out[n++] = code::kSingleChoice;
  out[n++] = code::kSingleChoiceClose;
  return n;
}

}  // namespace lexaport
