#pragma once
// The conversion of one RTF/CRE dictionary into its writer dictionary file, as the conversion job
// does it for every selected dictionary: RTF/CRE file -> intermediate dictionary file -> writer
// dictionary file beside it, and, when that first build is larger than 16 MiB (where byte
// offsets end), a rebuild in aligned mode.

#include <cstdint>
#include <string>

#include "dict/DictionaryFileFormat.h"
#include "dict/IntermediateFile.h"
#include "dict/TranDictCreate.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace lexaport {

struct DictionaryConversion {
  enum class Outcome {
    kConverted,        // the writer dictionary file is written
    kUnreadable,       // the RTF/CRE file cannot be read (or memory cannot be had): skipped
    kBuildFailed,      // CreateDictionary did not return kWritten; see createResult
  };
  Outcome outcome = Outcome::kUnreadable;
  int createResult = 0;          // of the last CreateDictionary call
  std::string writerPath;
  bool rebuiltAligned = false;   // the first build was over 16 MiB and was rebuilt aligned
  bool aligned = false;          // the writer file that was kept uses aligned offsets
  std::uint64_t firstBuildSize = 0;
  std::uint64_t writerFileSize = 0;

  IntermediateFileStats intermediate;
  BuildTimings firstBuild;
  BuildTimings alignedRebuild;   // zero unless rebuiltAligned
  // The first build runs on the helper thread while the intermediate file is written: from the
  // start of that writing to the writer file's completion.
  double firstBuildSeconds = 0.0;
  double alignedRebuildSeconds = 0.0;
};

struct ConversionOptions {
  bool alignedFromStart = false;  // build aligned at once
  // A first build larger than this is rebuilt aligned (a file of exactly this size is kept).
  std::uint64_t alignedRebuildThreshold = dictfile::kAlignedRebuildThreshold;
};

// Converts `rtfPath` into `intermediatePath` and the writer file beside it (".ZQDCX"), with record
// numbers and without dates, as the writer expects. The writer file is built from the records
// as they go into the intermediate file (CTranDictCreate::CreateDictionaryAlongside), on a
// helper thread, and is the file the finished intermediate file gives. File errors once the
// files are open are thrown as platform::FileError, from whichever side they happen on (where
// both fail, the intermediate file's).
DictionaryConversion ConvertDictionary(platform::IFileSystem& files, platform::IClock& clock,
                                       const std::string& rtfPath, const std::string& intermediatePath,
                                       const ConversionOptions& options = {});

// The user's message for a conversion that did not succeed, naming the RTF/CRE file:
// "Unable to convert FILE. The dictionary is too large for the writer."
std::string ConversionFailureMessage(const std::string& rtfPath, const DictionaryConversion& conversion);

}  // namespace lexaport
