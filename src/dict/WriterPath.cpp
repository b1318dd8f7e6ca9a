#include "dict/WriterPath.h"

namespace lexaport {

// Stand-in until the shared path rules are available: replaces whatever follows the last '.' of
// the last component, or appends the extension when there is none.
bool MakeWriterPath(std::string& path, platform::IFileSystem& files) {
  const char* separators = files.Syntax() == platform::PathSyntax::kWindows ? "\\:" : "/";
  const std::size_t lastSeparator = path.find_last_of(separators);
  const std::size_t nameStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
  if (nameStart >= path.size()) return false;
  const std::size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && dot >= nameStart) path.erase(dot);
  path += kWriterExtension;
  return path.size() <= 259;
}

}  // namespace lexaport
