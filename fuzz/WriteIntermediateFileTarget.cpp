#include <string>
#include <vector>

#include "app/DictionaryConversion.h"
#include "dict/TranDictCreate.h"
#include "fuzz/BuiltFileChecks.h"
#include "fuzz/FuzzTargets.h"
#include "platform/MemoryFileSystem.h"
#include "rtf/RtfDictionaryReader.h"

namespace lexaport::fuzz {

std::string FuzzWriteIntermediateFile(const std::uint8_t* data, std::size_t size) {
  platform::MemoryFileSystem files;
  const std::string rtfPath = "/work/dictionary.rtf";
  const std::string intermediatePath = "/tmp/dictionary.zqdct";
  files.SetFile(rtfPath, std::vector<std::uint8_t>(data, data + size));

  CRtfDictionaryReader reader(kFuzzToday);
  if (reader.WriteIntermediateFile(files, rtfPath, intermediatePath) != 0) {
    return "WriteIntermediateFile failed on a small file";
  }
  const std::vector<std::uint8_t>* written = files.FindFile(intermediatePath);
  if (written == nullptr) return "WriteIntermediateFile returned 0 without writing the file";
  std::string problem = CheckWrittenIntermediateFile(written->data(), written->size());
  if (!problem.empty()) return problem;

  // What this system writes, its builder must take: a writer file (or, without records, the
  // result for an empty dictionary) that passes verification.
  int result = 0;
  problem = CheckCreateDictionary(files, intermediatePath, &result);
  if (!problem.empty()) return problem;
  if (result != createresult::kWritten && result != createresult::kNoRecords) {
    return "the builder refused an intermediate file this system wrote (result " + std::to_string(result) + ")";
  }

  // The conversion builds the writer file on a second thread while it writes the intermediate
  // file: the same intermediate file must come out, and the writer file its builder makes of it.
  const std::vector<std::uint8_t> intermediate = *written;
  const std::string convertedPath = "/tmp/converted.zqdct";
  platform::FixedClock clock(kFuzzToday);
  const DictionaryConversion conversion = ConvertDictionary(files, clock, rtfPath, convertedPath);
  const std::vector<std::uint8_t>* converted = files.FindFile(convertedPath);
  if (converted == nullptr || *converted != intermediate) return "the conversion wrote another intermediate file";
  if (result == createresult::kNoRecords) {
    if (conversion.createResult != createresult::kNoRecords) return "the conversion of no records built something";
    return {};
  }
  if (conversion.outcome != DictionaryConversion::Outcome::kConverted) {
    return "the conversion failed (result " + std::to_string(conversion.createResult) + ")";
  }
  const std::vector<std::uint8_t> builtAlongside = *files.FindFile(conversion.writerPath);
  CTranDictCreate builder(files, clock);
  std::string writerPath;
  if (builder.CreateDictionary(convertedPath, writerPath, true, false, false) != createresult::kWritten ||
      *files.FindFile(writerPath) != builtAlongside) {
    return "the writer file built alongside the writing is not the one its intermediate file gives";
  }
  return {};
}

}  // namespace lexaport::fuzz
