#pragma once
// Inputs shared by the micro-benchmarks, made once per process from the dictionary generator:
// the RTF/CRE text of a synthetic dictionary, the entry records the reader makes of it, and its
// intermediate dictionary file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rtf/RtfDictionaryReader.h"

namespace lexaport::bench {

inline constexpr std::uint32_t kBenchDate = 20240115;

struct Corpus {
  std::string text;                         // the RTF/CRE file, without a terminating zero
  std::unique_ptr<CRtfDictionaryReader> reader;  // after reading `text`: the records
  std::vector<const std::uint8_t*> records;  // in reading order
  std::vector<std::uint8_t> intermediate;    // the intermediate dictionary file
};

// The corpus of `entries` generated entries (seed 1, translations of 1 to 40 characters).
const Corpus& CorpusOf(std::uint64_t entries);

}  // namespace lexaport::bench
