// The CRC-16 of writer dictionary files, the fast routine (folded, or sliced) and bytewise, over
// blocks of three sizes.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "dict/Crc16.h"

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

void BM_Crc16(benchmark::State& state) {
  const std::vector<std::uint8_t> data = Data(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(lexaport::Crc16Update(lexaport::kCrc16Preset, data.data(), data.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Crc16Bytewise(benchmark::State& state) {
  const std::vector<std::uint8_t> data = Data(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(lexaport::Crc16UpdateBytewise(lexaport::kCrc16Preset, data.data(), data.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// 64 bytes, 64 KiB (one read-back block of the builder) and 16 MiB (a large dictionary).
BENCHMARK(BM_Crc16)->Arg(64)->Arg(64 << 10)->Arg(16 << 20);
BENCHMARK(BM_Crc16Bytewise)->Arg(64)->Arg(64 << 10)->Arg(16 << 20);

}  // namespace
