#pragma once
// The generator's random numbers. The same seed must give the same dictionary on every machine
// and with every standard library, so the generator uses its own generator and its own range
// reduction instead of the std:: distributions (whose output is not specified).

#include <cstdint>

namespace lexaport::bench {

// One step of splitmix64; also a good 64-bit mixing function.
inline std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

inline std::uint64_t Mix64(std::uint64_t value) { return SplitMix64(value); }

// xoshiro256**, seeded through splitmix64.
class CRandom {
 public:
  explicit CRandom(std::uint64_t seed) {
    for (std::uint64_t& word : state_) word = SplitMix64(seed);
  }

  std::uint64_t Next() {
    const std::uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return result;
  }

  // A number in [0, bound), bound > 0 (multiply-shift reduction of the high 32 bits).
  std::uint32_t Below(std::uint32_t bound) {
    return static_cast<std::uint32_t>(((Next() >> 32) * bound) >> 32);
  }

  // True with probability perMille / 1000.
  bool PerMille(std::uint32_t perMille) { return Below(1000) < perMille; }

 private:
  static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  std::uint64_t state_[4];
};

}  // namespace lexaport::bench
