#pragma once
// Inputs for the writer dictionary tests: intermediate dictionary files made byte by byte, and
// generated dictionaries in the intermediate file's order.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/TestUtil.h"

namespace lexaport::test {

struct TestRecord {
  Bytes key;  // 4 bytes per stroke
  Bytes translation;
  std::uint32_t number = 0;
  std::uint32_t creationDate = 20240102;
  std::uint32_t secondDate = 0;
  std::uint32_t reserved = 0;
};

// One entry record as the intermediate file holds it.
Bytes RecordBytes(const TestRecord& record);

// A 512-byte intermediate header (signature, format 2, date, type 3, a layout record at 290).
Bytes IntermediateHeader();
// Header, info block and the records in the order given.
Bytes IntermediateFile(const std::vector<TestRecord>& records);

// `count` records with unique keys of 1 to 16 strokes in strictly descending key order, numbered
// 1, 2, 3 ... With `narrow` the strokes come from a handful of values, so that keys share long
// prefixes and many are prefixes of others; otherwise the bytes are random.
std::vector<TestRecord> GenerateRecords(std::size_t count, bool narrow, std::uint32_t seed);

// Whether a < b in the intermediate file's key order.
bool KeyLess(const Bytes& a, const Bytes& b);

}  // namespace lexaport::test
