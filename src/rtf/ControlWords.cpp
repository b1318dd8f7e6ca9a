#include "rtf/ControlWords.h"

#include <cstdint>

namespace lexaport::rtfwords {
namespace {

constexpr std::uint32_t Hash(std::string_view word) {
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (char c : word) {
    h ^= static_cast<std::uint8_t>(c);
    h *= 16777619u;
  }
  return h;
}

// Open addressing with linear probing; a slot holds position + 1, 0 when empty. Tables are at
// least twice the size of their list, so probes stay short and an absent word meets an empty slot.
template <std::size_t TableSize, std::size_t N>
struct WordTable {
  std::array<std::uint16_t, TableSize> slots{};

  constexpr explicit WordTable(const std::array<std::string_view, N>& list) {
    static_assert((TableSize & (TableSize - 1)) == 0 && TableSize >= 2 * N);
    for (std::size_t i = 0; i < N; ++i) {
      std::size_t s = Hash(list[i]) & (TableSize - 1);
      while (slots[s] != 0) s = (s + 1) & (TableSize - 1);
      slots[s] = static_cast<std::uint16_t>(i + 1);
    }
  }

  int Find(const std::array<std::string_view, N>& list, std::string_view word) const {
    std::size_t s = Hash(word) & (TableSize - 1);
    while (slots[s] != 0) {
      const int index = slots[s] - 1;
      if (list[static_cast<std::size_t>(index)] == word) return index;
      s = (s + 1) & (TableSize - 1);
    }
    return -1;
  }
};

constexpr WordTable<2048, kRtfWordCount> kRtfTable{kRtfWords};
constexpr WordTable<512, kCreWordCount> kCreTable{kCreWords};

}  // namespace

int FindRtfWord(std::string_view word) { return kRtfTable.Find(kRtfWords, word); }
int FindCreWord(std::string_view word) { return kCreTable.Find(kCreWords, word); }

}  // namespace lexaport::rtfwords
