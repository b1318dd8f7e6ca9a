#include "dict/MergeTranslations.h"

#include <algorithm>
#include <cstring>

#include "steno/EntryRecord.h"
#include "support/ByteOrder.h"

namespace lexaport {
namespace {

constexpr std::uint8_t kBlockCode = 21;
constexpr std::uint8_t kMergeableBlockSubtype = 7;
constexpr std::size_t kBlockHeadSize = 6;  // 21, subtype, u32 length

// The number of bytes the item at `item` claims, counting its first byte. It may exceed
// `remaining` when the item is cut short; only bytes inside `remaining` are read.
std::uint64_t ItemLength(const std::uint8_t* item, std::size_t remaining) {
  switch (item[0]) {
    case 16:
    case 18:
    case 23:
      return 2;
    case 22:
      return 3;
    case 26:
      return 4;
    case 17:
      return 6;
    case kBlockCode:
      if (remaining < kBlockHeadSize) return kBlockHeadSize;
      return kBlockHeadSize + std::uint64_t{LoadU32(item + 2)};
    default:
      return 1;
  }
}

std::span<const std::uint8_t> TranslationOf(const std::uint8_t* record) {
  const EntryRecordView view(record);
  return {view.Translation(), static_cast<std::size_t>(view.TranslationLength())};
}

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

}  // namespace

std::size_t NextAlternativeLength(const std::uint8_t* cursor, std::size_t remaining) {
  std::size_t i = (remaining > 0 && cursor[0] == kAlternativeCode) ? 1 : 0;
  const std::size_t start = i;
  while (i < remaining) {
    const std::uint8_t code = cursor[i];
    if (code == kAlternativeCode || code == kGroupEndCode) break;
    const std::uint64_t length = ItemLength(cursor + i, remaining - i);
    i = length >= remaining - i ? remaining : i + static_cast<std::size_t>(length);
  }
  return i - start;
}

bool IsWellFormedTranslation(const std::uint8_t* translation, std::size_t length) {
  bool groupOpen = false;
  std::size_t i = 0;
  while (i < length) {
    const std::uint8_t code = translation[i];
    if (code == kAlternativeCode) {
      if (i == 0) {
        groupOpen = true;
      } else if (!groupOpen) {
        return false;
      }
    } else if (code == kGroupEndCode) {
      if (groupOpen) {
        if (i != length - 1) return false;
        groupOpen = false;
      }
    } else if (code == kBlockCode) {
      if (length - i < 2 || translation[i + 1] != kMergeableBlockSubtype) return false;
    }
    const std::uint64_t itemLength = ItemLength(translation + i, length - i);
    if (itemLength > length - i) return false;
    i += static_cast<std::size_t>(itemLength);
  }
  return !groupOpen;
}

std::vector<std::span<const std::uint8_t>> SplitAlternatives(std::span<const std::uint8_t> translation) {
  std::vector<std::span<const std::uint8_t>> alternatives;
  const std::uint8_t* t = translation.data();
  const std::size_t length = translation.size();
  std::size_t cursor = 0;
  while (cursor < length) {
    if (t[cursor] == kGroupEndCode) {
      if (cursor == length - 1) break;
      ++cursor;
      continue;
    }
    const std::size_t marker = t[cursor] == kAlternativeCode ? 1 : 0;
    const std::size_t run = NextAlternativeLength(t + cursor, length - cursor);
    if (run > 0) alternatives.push_back(translation.subspan(cursor + marker, run));
    cursor += marker + run;
  }
  return alternatives;
}

std::size_t MergeTranslations(std::span<const std::uint8_t> x, std::span<const std::uint8_t> y,
                              std::vector<std::uint8_t>& out) {
  out.clear();
  if (!IsWellFormedTranslation(x.data(), x.size()) || !IsWellFormedTranslation(y.data(), y.size())) return 0;
  const auto fromX = SplitAlternatives(x);
  auto fromY = SplitAlternatives(y);
  for (const auto& alternative : fromX) {
    auto same = std::find_if(fromY.begin(), fromY.end(),
                             [&](const std::span<const std::uint8_t>& other) { return SameBytes(alternative, other); });
    if (same != fromY.end()) fromY.erase(same);
  }
  if (fromX.size() + fromY.size() < 2) return 0;

  std::size_t length = 1;
  for (const auto& alternative : fromX) length += 1 + alternative.size();
  for (const auto& alternative : fromY) length += 1 + alternative.size();
  out.reserve(length);
  const auto append = [&out](const std::vector<std::span<const std::uint8_t>>& alternatives) {
    for (const auto& alternative : alternatives) {
      out.push_back(kAlternativeCode);
      out.insert(out.end(), alternative.begin(), alternative.end());
    }
  };
  append(fromX);
  append(fromY);
  out.push_back(kGroupEndCode);
  return out.size();
}

std::size_t MergeTranslations(const std::uint8_t* recordX, const std::uint8_t* recordY, std::vector<std::uint8_t>& out) {
  return MergeTranslations(TranslationOf(recordX), TranslationOf(recordY), out);
}

}  // namespace lexaport
