#include <vector>

#include "fuzz/BuiltFileChecks.h"
#include "fuzz/FuzzTargets.h"
#include "platform/MemoryFileSystem.h"

namespace lexaport::fuzz {

std::string FuzzCreateDictionary(const std::uint8_t* data, std::size_t size) {
  platform::MemoryFileSystem files;
  const std::string intermediatePath = "/tmp/dictionary.zqdct";
  files.SetFile(intermediatePath, std::vector<std::uint8_t>(data, data + size), 1700000000);
  return CheckCreateDictionary(files, intermediatePath);
}

}  // namespace lexaport::fuzz
