#pragma once
// Checks shared by the fuzz targets that write dictionary files: what an intermediate file
// written by this system must look like, and what building a writer file from any intermediate
// file must give.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/MemoryFileSystem.h"

namespace lexaport::fuzz {

// The date the targets run on; the reader stamps it into every record.
inline constexpr std::uint32_t kFuzzToday = 20240601;

// An intermediate file as WriteIntermediateFile must leave it: its header and info block, whole
// records of 1 to 16 strokes in strictly descending key order, numbered 1, 2, 3 ..., each one
// accepted by CheckEntry. Empty when it is so, else the first thing that is not.
std::string CheckWrittenIntermediateFile(const std::uint8_t* file, std::size_t size);

// Builds the intermediate file at `intermediatePath` in `files` (any bytes) with CreateDictionary
// in byte mode (record numbers, no dates, as a transfer builds) and in aligned mode with dates.
// The result must be the one the file's header and records call for; a file that is written
// must pass verification, hold exactly the file's records, and give back each one by lookup. No
// writer file may be left behind by a failure. Empty when all that holds. `result` receives the
// result of the first build.
std::string CheckCreateDictionary(platform::MemoryFileSystem& files, const std::string& intermediatePath,
                                  int* result = nullptr);

}  // namespace lexaport::fuzz
