// The writer dictionary builder: the intermediate file of a generated dictionary to its writer
// dictionary file, in a file system held in memory (reading the records, the tree, the
// checksum), in byte mode and in aligned mode.

#include <benchmark/benchmark.h>

#include <string>

#include "Corpus.h"
#include "dict/TranDictCreate.h"
#include "platform/Clock.h"
#include "platform/MemoryFileSystem.h"

namespace {

void BuildWriterDictionary(benchmark::State& state, bool aligned) {
  const auto& corpus = lexaport::bench::CorpusOf(static_cast<std::uint64_t>(state.range(0)));
  lexaport::platform::MemoryFileSystem files;
  files.SetFile("/tmp/bench.zqdct", corpus.intermediate);
  lexaport::platform::FixedClock clock(lexaport::bench::kBenchDate);
  lexaport::CTranDictCreate builder(files, clock);
  std::string writerPath;
  for (auto _ : state) {
    const int result = builder.CreateDictionary("/tmp/bench.zqdct", writerPath, true, false, aligned);
    if (result != lexaport::createresult::kWritten) {
      state.SkipWithError("the writer dictionary was not built");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.intermediate.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * corpus.records.size()));
}

void BM_BuildWriterDictionary(benchmark::State& state) { BuildWriterDictionary(state, false); }
void BM_BuildWriterDictionaryAligned(benchmark::State& state) { BuildWriterDictionary(state, true); }

BENCHMARK(BM_BuildWriterDictionary)->Arg(10'000)->Arg(150'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildWriterDictionaryAligned)->Arg(150'000)->Unit(benchmark::kMillisecond);

}  // namespace
