// The dictionary checksum: sliced over whole blocks, bytewise, and one byte per call as the
// exporters feed it.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "export/Crc32.h"

namespace {

std::vector<std::uint8_t> Data(std::size_t size) {
  std::vector<std::uint8_t> data(size);
  std::uint32_t state = 12345;
  for (std::uint8_t& b : data) {
    state = state * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(state >> 16);
  }
  return data;
}

void BM_Crc32Slicing16(benchmark::State& state) {
  const std::vector<std::uint8_t> data = Data(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(lexaport::Crc32Update(data.data(), data.size(), 0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Crc32Bytewise(benchmark::State& state) {
  const std::vector<std::uint8_t> data = Data(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(lexaport::Crc32UpdateBytewise(data.data(), data.size(), 0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Crc32RegisterPerByte(benchmark::State& state) {
  const std::vector<std::uint8_t> data = Data(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    lexaport::CCrc32 crc(0xFFFFFFFFu);
    for (std::uint8_t b : data) crc.Update(b);
    benchmark::DoNotOptimize(crc.Value());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// 64 bytes (one round), 64 KiB (one transfer block) and 16 MiB (a large dictionary).
BENCHMARK(BM_Crc32Slicing16)->Arg(64)->Arg(64 << 10)->Arg(16 << 20);
BENCHMARK(BM_Crc32Bytewise)->Arg(64)->Arg(64 << 10)->Arg(16 << 20);
BENCHMARK(BM_Crc32RegisterPerByte)->Arg(64 << 10);

}  // namespace
