#include <algorithm>
#include <vector>

#include "dict/WriterDictionary.h"
#include "dict/WriterDictionaryVerify.h"
#include "fuzz/FuzzTargets.h"

namespace lexaport::fuzz {

namespace {

class Collector final : public WriterTreeVisitor {
 public:
  void OnEntry(const WriterEntry& entry) override { entries.push_back(entry); }
  void OnProblem(const std::string&) override { ++problems; }
  std::vector<WriterEntry> entries;
  std::size_t problems = 0;
};

// Lookups per input: every entry of a small file, the first ones of a large one.
constexpr std::size_t kMaxLookups = 4096;

}  // namespace

std::string FuzzWriterFile(const std::uint8_t* data, std::size_t size) {
  const WriterDictionary dictionary(data, size);
  const std::vector<std::string> headerProblems = dictionary.HeaderProblems();
  const WriterVerifyReport report = VerifyWriterDictionary(data, size);
  if (report.problems.size() > kMaxListedProblems + 1) return "verify listed more problems than it may";
  if (report.problemCount < report.problems.size() - (report.problems.size() > kMaxListedProblems ? 1 : 0)) {
    return "verify counted fewer problems than it listed";
  }
  if (!headerProblems.empty() && report.Sound()) return "verify passed a file whose header has problems";

  Collector walk;
  const bool walkSound = dictionary.Walk(walk);
  for (const WriterEntry& entry : walk.entries) {
    if (entry.translation < data || entry.translationLength > size ||
        entry.translation + entry.translationLength > data + size) {
      return "an entry's translation lies outside the file";
    }
  }

  // Lookups along paths the file makes up, and of a key taken from its last bytes.
  WriterEntry found;
  const std::size_t tailKey = std::min<std::size_t>(size, dictfile::kMaxKeyBytes);
  if (tailKey > 0) dictionary.Lookup(data + size - tailKey, tailKey, found);

  if (!report.Sound()) {
    for (std::size_t i = 0; i < walk.entries.size() && i < kMaxLookups; ++i) {
      const WriterEntry& entry = walk.entries[i];
      dictionary.Lookup(entry.key, static_cast<std::size_t>(entry.keyLength), found);
    }
    return {};
  }
  // A file that verify passes can be walked without fault, and lookup finds each of its entries.
  if (!walkSound || walk.problems != 0) return "verify passed a file whose walk finds faults";
  if (walk.entries.size() != report.entryCount) return "the walk and verify count different entries";
  for (std::size_t i = 0; i < walk.entries.size() && i < kMaxLookups; ++i) {
    const WriterEntry& entry = walk.entries[i];
    if (!dictionary.Lookup(entry.key, static_cast<std::size_t>(entry.keyLength), found)) {
      return "entry " + std::to_string(i) + " of a sound file is not found by lookup";
    }
    if (found.translation != entry.translation || found.translationLength != entry.translationLength) {
      return "lookup of entry " + std::to_string(i) + " gives another translation than the walk";
    }
  }
  return {};
}

}  // namespace lexaport::fuzz
