#include "gen/DictionaryGenerator.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "gen/Random.h"
#include "gen/StenoModel.h"
#include "gen/TranslationModel.h"

namespace lexaport::bench {
namespace {

constexpr std::string_view kHeader =
    "{\\rtf1\\ansi{\\*\\cxrev100}\\cxdict{\\*\\cxsystem Quendrel Vantor Suite 12}"
    "{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}{\\f1\\froman\\fcharset0 Times New Roman;}}"
    "{\\colortbl;\\red0\\green0\\blue0;}\r\n"
    "{\\stylesheet{\\s0 Normal;}{\\s1 Question;}{\\s2 Answer;}{\\s3 Colloquy;}"
    "{\\s4 Contin Answer;}{\\s5 Parenthetical;}{\\s6 By Line;}}\r\n";
constexpr std::string_view kTrailer = "}\r\n";

constexpr std::uint32_t kRepeatedOutlinePerMille = 20;
constexpr std::size_t kFlushBytes = 1 << 20;

// The outlines written so far, with a hash set over them (indices into the list) so that new
// outlines can be told from repeated ones.
class COutlineRegistry {
 public:
  explicit COutlineRegistry(std::uint64_t expected) {
    std::size_t capacity = 16;
    while (capacity < 2 * expected + 16) capacity *= 2;
    slots_.assign(capacity, 0);
    outlines_.reserve(expected);
    translationHashes_.reserve(expected);
  }

  // Adds the outline unless it is already known; true when it was added.
  bool Add(const Outline& outline, std::uint64_t translationHash) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = HashOutline(outline) & mask;; slot = (slot + 1) & mask) {
      const std::uint32_t index = slots_[slot];
      if (index == 0) {
        outlines_.push_back(outline);
        translationHashes_.push_back(translationHash);
        slots_[slot] = static_cast<std::uint32_t>(outlines_.size());
        return true;
      }
      if (outlines_[index - 1] == outline) return false;
    }
  }

  std::size_t Count() const { return outlines_.size(); }
  const Outline& At(std::size_t index) const { return outlines_[index]; }
  std::uint64_t TranslationHashAt(std::size_t index) const { return translationHashes_[index]; }

 private:
  std::vector<std::uint32_t> slots_;
  std::vector<Outline> outlines_;
  std::vector<std::uint64_t> translationHashes_;
};

std::uint64_t HashText(std::string_view text) {
  std::uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
  for (char c : text) hash = (hash ^ static_cast<std::uint8_t>(c)) * 0x100000001B3ull;
  return hash;
}

}  // namespace

GeneratorStats GenerateDictionary(const GeneratorOptions& options, std::ostream& out) {
  if (options.entries >= 0xFFFFFFFFull / 2) throw std::invalid_argument("too many entries");
  CRandom random(options.seed);
  const CTranslationModel translations(options.shortTranslations ? 12 : 40);
  COutlineRegistry registry(options.entries);
  GeneratorStats stats;

  std::string buffer;
  buffer.reserve(kFlushBytes + 4096);
  buffer += kHeader;
  std::string translation;
  for (std::uint64_t i = 0; i < options.entries; ++i) {
    Outline outline;
    translation.clear();
    if (registry.Count() > 0 && random.PerMille(kRepeatedOutlinePerMille)) {
      const std::size_t earlier = random.Below(static_cast<std::uint32_t>(registry.Count()));
      outline = registry.At(earlier);
      // A different translation for the same outline, so that the entries really merge.
      for (int attempt = 0; attempt < 16; ++attempt) {
        translation.clear();
        translations.Append(random, translation);
        if (HashText(translation) != registry.TranslationHashAt(earlier)) break;
      }
      if (HashText(translation) == registry.TranslationHashAt(earlier)) translation += 's';
    } else {
      translations.Append(random, translation);
      const std::uint64_t hash = HashText(translation);
      // A big dictionary runs out of short outlines; new draws then land on longer ones.
      int attempts = 0;
      do {
        if (++attempts > 10000) throw std::runtime_error("cannot find enough distinct outlines");
        outline = RandomOutline(random);
      } while (!registry.Add(outline, hash));
      ++stats.distinctOutlines;
    }
    buffer += "{\\*\\cxs ";
    AppendOutlineText(outline, buffer);
    buffer += '}';
    buffer += translation;
    buffer += "\r\n";
    if (buffer.size() >= kFlushBytes) {
      out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      stats.bytes += buffer.size();
      buffer.clear();
    }
  }
  buffer += kTrailer;
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  stats.bytes += buffer.size();
  stats.entries = options.entries;
  return stats;
}

}  // namespace lexaport::bench
