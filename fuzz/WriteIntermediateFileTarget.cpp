#include <vector>

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
  return {};
}

}  // namespace lexaport::fuzz
