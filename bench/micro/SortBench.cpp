// The sort of the entry records for the intermediate file, on the records of a generated
// dictionary in reading order (as the reader leaves them).

#include <benchmark/benchmark.h>

#include <vector>

#include "Corpus.h"
#include "dict/ImportDictSort.h"

namespace {

void BM_SortEntries(benchmark::State& state) {
  const auto& corpus = lexaport::bench::CorpusOf(static_cast<std::uint64_t>(state.range(0)));
  std::vector<const std::uint8_t*> records;
  for (auto _ : state) {
    state.PauseTiming();
    records = corpus.records;
    state.ResumeTiming();
    lexaport::CImportDictSort::Sort(records.data(), records.size());
    benchmark::DoNotOptimize(records.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * corpus.records.size()));
}

BENCHMARK(BM_SortEntries)->Arg(10'000)->Arg(150'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
