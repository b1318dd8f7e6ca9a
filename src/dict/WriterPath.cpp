#include "dict/WriterPath.h"

#include <algorithm>
#include <cctype>

#include "support/FilePath.h"

namespace lexaport {

bool MakeWriterPath(std::string& path, platform::IFileSystem& files) {
  const PathContext context = NativePathContext(files);
  const CFilePath input(context, path.c_str());
  const std::string original = input.GetPath() != nullptr ? input.GetPath() : "";
  if (!RenameExtension(path, kWriterExtension, context)) return false;
  // Windows names are case-blind: "x.zqdcx" and "x.ZQDCX" are one file.
  const bool caseBlind = context.syntax == platform::PathSyntax::kWindows;
  const bool same = std::equal(path.begin(), path.end(), original.begin(), original.end(), [&](char a, char b) {
    return caseBlind ? std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b))
                     : a == b;
  });
  return !same;
}

}  // namespace lexaport
