// The RTF/CRE reader: the text of a generated dictionary, already in memory, to entry records.

#include <benchmark/benchmark.h>

#include "Corpus.h"

namespace {

using lexaport::CRtfDictionaryReader;
using lexaport::bench::CorpusOf;

void BM_ReadDictionary(benchmark::State& state) {
  const auto& corpus = CorpusOf(static_cast<std::uint64_t>(state.range(0)));
  const auto* text = reinterpret_cast<const std::uint8_t*>(corpus.text.c_str());
  for (auto _ : state) {
    CRtfDictionaryReader reader(lexaport::bench::kBenchDate);
    if (!reader.PrepareBuffers(corpus.text.size()) || reader.ReadDictionary(text) != 0) {
      state.SkipWithError("the reader ran out of memory");
      break;
    }
    benchmark::DoNotOptimize(reader.EntryCount());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.text.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(BM_ReadDictionary)->Arg(10'000)->Arg(150'000)->Unit(benchmark::kMillisecond);

}  // namespace
