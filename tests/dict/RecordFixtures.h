#pragma once
// Entry records for the dict/ tests, built byte by byte (independently of BuildEntryRecord), so
// that a test states exactly the bytes it feeds in and expects out.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "common/TestUtil.h"
#include "support/ByteOrder.h"

namespace lexaport::test {

inline constexpr std::uint32_t kToday = 20240615;
inline constexpr std::uint32_t kEarlier = 20230301;

// A key set written so that numeric order is byte-string order: K(0x80000000) is the first key.
inline Bytes K(std::uint32_t keys) {
  return B({static_cast<int>(keys >> 24), static_cast<int>((keys >> 16) & 0xFF), static_cast<int>((keys >> 8) & 0xFF),
            static_cast<int>(keys & 0xFF)});
}

inline Bytes Outline(std::initializer_list<std::uint32_t> strokes) {
  Bytes out;
  for (std::uint32_t s : strokes) {
    const Bytes k = K(s);
    out.insert(out.end(), k.begin(), k.end());
  }
  return out;
}

struct RecordFields {
  std::uint32_t number = 0;
  std::uint32_t date = kEarlier;
  std::uint32_t secondDate = 0;
  std::uint16_t flags = 0;
};

// number, dates, reserved, flags, n, L, strokes, translation, zero padding to a multiple of 4.
inline Bytes Record(const Bytes& strokes, const Bytes& translation, RecordFields fields = {}) {
  Bytes r(21, 0);
  StoreU32(r.data(), fields.number);
  StoreU32(r.data() + 4, fields.date);
  StoreU32(r.data() + 8, fields.secondDate);
  StoreU16(r.data() + 16, fields.flags);
  r[18] = static_cast<std::uint8_t>(strokes.size() / 4);
  StoreU16(r.data() + 19, static_cast<std::uint16_t>(translation.size()));
  r.insert(r.end(), strokes.begin(), strokes.end());
  r.insert(r.end(), translation.begin(), translation.end());
  while (r.size() % 4 != 0) r.push_back(0);
  return r;
}

inline Bytes WithNumber(Bytes record, std::uint32_t number) {
  StoreU32(record.data(), number);
  return record;
}

// Pointers to a set of records, for the functions that take record arrays.
inline std::vector<const std::uint8_t*> Pointers(const std::vector<Bytes>& records) {
  std::vector<const std::uint8_t*> out;
  for (const Bytes& r : records) out.push_back(r.data());
  return out;
}

}  // namespace lexaport::test
