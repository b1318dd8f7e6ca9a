#pragma once
// The entry functions of the fuzz targets. Each takes one input of any bytes, runs it through one
// stage of the conversion path in memory (no disk), and checks what that stage promises of any
// input. It returns an empty text when the promise holds, else a sentence naming the broken
// promise. A crash, a hang or a leak is reported by the sanitizers and libFuzzer themselves.
//
// The same functions run under libFuzzer (LibFuzzerMain.cpp turns a broken promise into an
// abort, so libFuzzer keeps the input) and in the test suite, which replays the seed corpora and
// the inputs of earlier findings through them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lexaport::fuzz {

// The RTF/CRE reader: the bytes as file text (up to its first zero byte) to entry records.
std::string FuzzRtfReader(const std::uint8_t* data, std::size_t size);

// The reader on two threads: the bytes read in two parts, split at entry openings throughout
// them, and in many parts, must give the result and the records of a single pass.
std::string FuzzTwoPartRead(const std::uint8_t* data, std::size_t size);

// WriteIntermediateFile with the bytes as the RTF/CRE file; the intermediate file it writes is
// then built into a writer file, which must pass verification.
std::string FuzzWriteIntermediateFile(const std::uint8_t* data, std::size_t size);

// CreateDictionary with the bytes as the intermediate file, in byte mode and in aligned mode.
std::string FuzzCreateDictionary(const std::uint8_t* data, std::size_t size);

// The writer dictionary file reader (header, lookup, walk) and verification on the bytes.
std::string FuzzWriterFile(const std::uint8_t* data, std::size_t size);

// CFilePath: the bytes as a path syntax, a path text and a new extension.
std::string FuzzFilePath(const std::uint8_t* data, std::size_t size);

// The fuzzing dictionary of the RTF/CRE reader targets (libFuzzer's -dict format): the control
// words of the reader's own tables, and the bits of syntax around them.
std::string RtfFuzzDictionary();

}  // namespace lexaport::fuzz
