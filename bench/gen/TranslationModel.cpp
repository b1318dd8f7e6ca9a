#include "gen/TranslationModel.h"

#include <array>

namespace lexaport::bench {
namespace {

constexpr std::string_view kWords[] = {
    "a", "I", "an", "as", "at", "be", "by", "do", "go", "he", "if", "in", "is", "it", "me", "my",
    "no", "of", "on", "or", "so", "to", "up", "us", "we", "all", "and", "any", "are", "ask", "bad",
    "big", "but", "can", "car", "day", "did", "end", "far", "few", "for", "get", "got", "had",
    "has", "her", "him", "his", "how", "job", "law", "let", "man", "may", "new", "not", "now",
    "off", "old", "one", "our", "out", "own", "put", "said", "saw", "say", "see", "she", "sir",
    "the", "too", "two", "was", "way", "who", "why", "yes", "yet", "you", "also", "back", "been",
    "call", "came", "case", "come", "could", "down", "each", "even", "fact", "find", "first",
    "from", "give", "good", "have", "here", "home", "into", "just", "know", "last", "left",
    "life", "like", "long", "look", "made", "make", "many", "more", "most", "much", "must",
    "name", "need", "never", "next", "only", "over", "part", "place", "point", "right", "same",
    "should", "some", "state", "still", "such", "take", "tell", "than", "that", "them", "then",
    "there", "these", "they", "thing", "think", "this", "time", "under", "very", "want", "well",
    "went", "were", "what", "when", "where", "which", "while", "will", "with", "work", "would",
    "year", "your", "about", "after", "again", "against", "always", "another", "answer",
    "attorney", "because", "before", "believe", "between", "business", "certain", "client",
    "company", "contract", "correct", "counsel", "county", "court", "damages", "defendant",
    "deposition", "different", "district", "document", "evidence", "exhibit", "father",
    "happened", "hospital", "important", "information", "injury", "interest", "judge", "jury",
    "knowledge", "minutes", "morning", "mother", "number", "objection", "office", "people",
    "percent", "person", "plaintiff", "police", "possible", "practice", "present", "probably",
    "problem", "question", "record", "remember", "report", "respect", "sentence", "something",
    "statement", "street", "sustained", "testimony", "therefore", "through", "together",
    "transcript", "understand", "vehicle", "whether", "witness", "without", "yesterday",
    "accident", "afternoon", "appropriate", "approximately", "circumstances", "communication",
    "conversation", "cross-examination", "immediately", "independent", "interrogatories",
    "investigation", "particularly", "professional", "relationship", "responsibility",
    "subsequently", "unfortunately",
};

constexpr std::string_view kCapitalWords[] = {
    "Smith", "Johnson", "Williams", "Brown", "Jones", "Garcia", "Miller", "Davis", "Rodriguez",
    "Martinez", "Wilson", "Anderson", "Taylor", "Thomas", "Moore", "Jackson", "Martin", "Lee",
    "Thompson", "White", "Harris", "Clark", "Lewis", "Robinson", "Walker", "Young", "Allen",
    "King", "Wright", "Scott", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "January",
    "February", "March", "April", "August", "September", "October", "November", "December",
    "Honor", "Court", "State", "County", "Exhibit", "Counsel", "God", "English", "American",
};

constexpr std::string_view kFirstNames[] = {
    "John", "Mary", "James", "Linda", "Robert", "Susan", "Michael", "Karen", "David", "Nancy",
    "Paul", "Lisa", "Mark", "Betty", "Anne", "Joe",
};

constexpr std::string_view kTitles[] = {"Mr.", "Mrs.", "Ms.", "Dr.", "Judge", "Officer", "Detective"};

constexpr std::string_view kPlaces[] = {
    "New York", "Los Angeles", "San Francisco", "New Jersey", "Las Vegas", "St. Louis",
    "Salt Lake City", "North Carolina", "United States", "Supreme Court", "Main Street",
};

constexpr std::string_view kAcronyms[] = {
    "FBI", "USA", "CIA", "DNA", "LLC", "CEO", "ATM", "DUI", "EMT", "ER", "ICU", "IRS", "MRI",
    "OK", "PhD", "TV", "UCLA", "NASA", "CPA", "HIV",
};

constexpr std::string_view kAccented[] = {
    "caf\\'e9", "r\\'e9sum\\'e9", "na\\'efve", "fa\\'e7ade", "pi\\'f1ata", "se\\'f1or",
    "fianc\\'e9", "fianc\\'e9e", "clich\\'e9", "soup\\'e7on", "cr\\'e8me", "d\\'e9cor",
    "entr\\'e9e", "prot\\'e9g\\'e9", "ma\\'f1ana", "jalape\\'f1o", "\\'e9lan", "Z\\'fcrich",
    "S\\'e3o Paulo", "d\\'e9j\\'e0 vu", "M\\'fcller", "Fran\\'e7ois", "Jos\\'e9", "Pe\\'f1a",
    "na\\'efvet\\'e9", "coup\\'e9", "d\\'e9tente", "expos\\'e9", "\\'fcber", "\\'a7",
};

// Punctuation and symbols, with the RTF escapes of the three special characters.
constexpr std::string_view kPunctuation[] = {
    ".", ",", "?", "!", ":", ";", "-", "--", "(", ")", "\"", "'", "$", "%", "&", "#", "@", "*",
    "/", "+", "=", "\\{", "\\}", "\\\\", "...", "Q.", "A.", "p.m.", "a.m.", "e.g.", "i.e.",
    "etc.", "vs.", "No.", "(sic)", "\\{sic\\}", "and/or", "'s", "s'", "n't", "c:\\\\",
};

constexpr std::string_view kInflections[] = {"s", "ed", "ing", "er", "ly", "es", "'s"};

constexpr std::string_view kSuffixes[] = {
    "ing", "ed", "s", "er", "est", "ly", "tion", "ment", "ness", "able", "ful", "less", "ize",
    "ity", "ish", "ism", "ist", "ous", "ive", "al", "ville", "ings", "'s",
};

constexpr std::string_view kPrefixes[] = {
    "re", "un", "pre", "anti", "over", "under", "non", "dis", "mis", "sub", "inter", "super",
    "self-", "co", "mid", "post", "semi",
};

constexpr std::string_view kHomophones[][3] = {
    {"their", "there", "they're"}, {"to", "too", "two"},     {"its", "it's", ""},
    {"your", "you're", ""},        {"hear", "here", ""},     {"know", "no", ""},
    {"right", "write", "rite"},    {"which", "witch", ""},   {"whether", "weather", ""},
    {"principal", "principle", ""}, {"affect", "effect", ""}, {"accept", "except", ""},
    {"then", "than", ""},          {"new", "knew", ""},      {"see", "sea", ""},
    {"one", "won", ""},            {"for", "four", "fore"},  {"by", "buy", "bye"},
    {"counsel", "council", ""},    {"sight", "site", "cite"},
};

constexpr std::string_view kSpeakers[] = {
    "THE COURT:", "THE WITNESS:", "MR. SMITH:", "MS. JONES:", "BY MR. LEE:", "THE CLERK:",
};

template <std::size_t N>
std::string_view Pick(CRandom& random, const std::string_view (&list)[N]) {
  return list[random.Below(N)];
}

// A word of the list that shows at most `room` characters, or an empty view when a few draws
// found none.
template <std::size_t N>
std::string_view PickFitting(CRandom& random, const std::string_view (&list)[N], std::size_t room) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::string_view word = Pick(random, list);
    if (VisibleLength(word) <= room) return word;
  }
  return {};
}

void CapitalizeAt(std::string& text, std::size_t position) {
  if (text[position] >= 'a' && text[position] <= 'z') text[position] = static_cast<char>(text[position] - 'a' + 'A');
}

void AppendCapitalized(std::string_view word, std::string& out) {
  const std::size_t start = out.size();
  out += word;
  CapitalizeAt(out, start);
}

void AppendUpperCase(std::string_view word, std::string& out) {
  for (char c : word) out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// A number of 1 to 7 characters in one of the shapes of spoken testimony.
void AppendNumber(CRandom& random, std::string& out) {
  switch (random.Below(6)) {
    case 0:
      out += std::to_string(random.Below(100));
      break;
    case 1:
      out += std::to_string(1 + random.Below(9999));
      break;
    case 2: {
      const std::uint32_t n = 1 + random.Below(31);
      out += std::to_string(n);
      const bool teen = n >= 11 && n <= 13;
      out += (n % 10 == 1 && !teen) ? "st" : (n % 10 == 2 && !teen) ? "nd" : (n % 10 == 3 && !teen) ? "rd" : "th";
      break;
    }
    case 3:
      out += '$';
      out += std::to_string(1 + random.Below(999));
      break;
    case 4: {
      const std::uint32_t minutes = random.Below(60);
      out += std::to_string(1 + random.Below(12));
      out += minutes < 10 ? ":0" : ":";
      out += std::to_string(minutes);
      break;
    }
    default:
      out += std::to_string(1950 + random.Below(80));
      break;
  }
}

// Words joined by spaces while they fit into `room` characters; at least one word.
void AppendPhrase(CRandom& random, std::size_t room, std::size_t words, std::string& out) {
  std::string_view word = PickFitting(random, kWords, room);
  if (word.empty()) word = "a";
  out += word;
  std::size_t used = VisibleLength(word);
  for (std::size_t i = 1; i < words && used + 2 <= room; ++i) {
    const std::string_view next = PickFitting(random, kWords, room - used - 1);
    if (next.empty()) break;
    out += ' ';
    out += next;
    used += 1 + VisibleLength(next);
  }
}

}  // namespace

std::size_t VisibleLength(std::string_view rtfText) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < rtfText.size(); ++i, ++count) {
    if (rtfText[i] != '\\' || i + 1 >= rtfText.size()) continue;
    i += rtfText[i + 1] == '\'' ? 3 : 1;
  }
  return count;
}

void CTranslationModel::Append(CRandom& random, std::string& out) const {
  if (random.PerMille(100)) {
    AppendWithControlWords(random, out);
  } else {
    AppendPlain(random, maxCharacters_, out);
  }
}

void CTranslationModel::AppendPlain(CRandom& random, std::size_t room, std::string& out) const {
  const std::size_t start = out.size();
  const std::uint32_t shape = random.Below(1000);
  if (shape < 450) {
    // A single word, now and then inflected.
    std::string_view word = PickFitting(random, kWords, room);
    if (word.empty()) word = "I";
    out += word;
    const std::string_view ending = Pick(random, kInflections);
    if (random.PerMille(200) && VisibleLength(word) + ending.size() <= room) out += ending;
  } else if (shape < 700) {
    AppendPhrase(random, room, 2 + random.Below(4), out);
    if (random.PerMille(150)) CapitalizeAt(out, start);
  } else if (shape < 790) {
    // A name or a place.
    const std::string_view last = Pick(random, kCapitalWords);
    const std::uint32_t form = random.Below(4);
    const std::string_view first = form == 0 ? Pick(random, kTitles) : form == 1 ? Pick(random, kFirstNames) : "";
    const std::string_view place = Pick(random, kPlaces);
    if (!first.empty() && first.size() + 1 + last.size() <= room) {
      out += first;
      out += ' ';
      out += last;
    } else if (form == 2 && place.size() <= room) {
      out += place;
    } else {
      out += last.substr(0, room);
    }
  } else if (shape < 830) {
    std::string_view word = PickFitting(random, kWords, room);
    if (word.empty()) word = "a";
    AppendCapitalized(word, out);
  } else if (shape < 870) {
    out += Pick(random, kAcronyms);
  } else if (shape < 910) {
    const std::string_view accented = PickFitting(random, kAccented, room);
    const std::string_view before = Pick(random, kWords);
    if (accented.empty()) {
      out += "caf\\'e9";
    } else if (random.PerMille(300) && before.size() + 1 + VisibleLength(accented) <= room) {
      out += before;
      out += ' ';
      out += accented;
    } else {
      out += accented;
    }
  } else if (shape < 960) {
    const std::string_view mark = PickFitting(random, kPunctuation, room);
    out += mark.empty() ? "." : mark;
  } else {
    AppendNumber(random, out);
  }
  if (out.size() == start) out += 'a';
}

void CTranslationModel::AppendWithControlWords(CRandom& random, std::string& out) const {
  const std::size_t room = maxCharacters_;
  const std::uint32_t shape = random.Below(1000);
  if (shape < 220) {
    // A suffix stroke: attached to the word before, converted on reading when it is a known
    // suffix.
    const std::string_view suffix = PickFitting(random, kSuffixes, room);
    out += "\\cxds ";
    out += suffix.empty() ? "s" : suffix;
  } else if (shape < 350) {
    // A prefix, attached to the word that follows.
    out += Pick(random, kPrefixes).substr(0, room);
    out += "{\\cxds}";
  } else if (shape < 400) {
    out += random.PerMille(500) ? "{\\cxds}-{\\cxds}" : "{\\cxds}'s";
  } else if (shape < 500) {
    // A new paragraph in a question, answer or colloquy style.
    const std::uint32_t style = 1 + random.Below(3);
    out += "\\par\\s";
    out += static_cast<char>('0' + style);
    out += ' ';
    if (style == 1 && random.PerMille(700)) out += "Q.\\tab ";
    if (style == 2 && random.PerMille(700)) out += "A.\\tab ";
    const std::string_view speaker = Pick(random, kSpeakers);
    if (style == 3 && speaker.size() <= room) out += speaker;
  } else if (shape < 600) {
    // A conflict: the reporter chooses one of two or three translations later.
    const auto& choices = kHomophones[random.Below(std::size(kHomophones))];
    std::size_t shown = 0;
    out += "{\\cxconf [";
    for (const std::string_view& choice : choices) {
      if (choice.empty() || (shown > 0 && shown + choice.size() > room)) break;
      if (shown > 0) out += '|';
      out += "{\\cxc ";
      out += choice;
      out += '}';
      shown += choice.size();
    }
    out += "]}";
  } else if (shape < 680) {
    // A speaker mark, before a name or alone.
    out += "{\\cxfing}";
    if (random.PerMille(600)) AppendUpperCase(Pick(random, kCapitalWords).substr(0, room), out);
  } else if (shape < 840) {
    out += "{\\b ";
    AppendPlain(random, room, out);
    out += '}';
  } else {
    out += "\\i ";
    AppendPlain(random, room, out);
    out += "\\i0";
  }
}

}  // namespace lexaport::bench
