#include "Corpus.h"

#include <map>
#include <sstream>
#include <stdexcept>

#include "dict/ImportDictSort.h"
#include "dict/IntermediateFile.h"
#include "gen/DictionaryGenerator.h"
#include "platform/MemoryFileSystem.h"

namespace lexaport::bench {
namespace {

std::unique_ptr<Corpus> MakeCorpus(std::uint64_t entries) {
  auto corpus = std::make_unique<Corpus>();
  std::ostringstream out;
  GenerateDictionary(GeneratorOptions{.entries = entries, .seed = 1, .shortTranslations = false}, out);
  corpus->text = std::move(out).str();

  corpus->reader = std::make_unique<CRtfDictionaryReader>(kBenchDate);
  CRtfDictionaryReader& reader = *corpus->reader;
  if (!reader.PrepareBuffers(corpus->text.size()) ||
      reader.ReadDictionary(reinterpret_cast<const std::uint8_t*>(corpus->text.c_str())) != 0) {
    throw std::runtime_error("the generated dictionary cannot be read");
  }
  for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
    corpus->records.push_back(reader.EntryData() + reader.EntryOffsets()[i]);
  }

  platform::MemoryFileSystem files;
  files.SetFile("/tmp/bench.rtf", corpus->text);
  CRtfDictionaryReader writer(kBenchDate);
  if (writer.WriteIntermediateFile(files, "/tmp/bench.rtf", "/tmp/bench.zqdct") != 0) {
    throw std::runtime_error("the intermediate file cannot be written");
  }
  corpus->intermediate = *files.FindFile("/tmp/bench.zqdct");
  return corpus;
}

}  // namespace

const Corpus& CorpusOf(std::uint64_t entries) {
  static std::map<std::uint64_t, std::unique_ptr<Corpus>> corpora;
  std::unique_ptr<Corpus>& slot = corpora[entries];
  if (!slot) slot = MakeCorpus(entries);
  return *slot;
}

}  // namespace lexaport::bench
