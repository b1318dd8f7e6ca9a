#include <cstring>
#include <string_view>

#include "fuzz/FuzzTargets.h"
#include "support/FilePath.h"

namespace lexaport::fuzz {

namespace {

// Whether `text` is a C string of at most the path limit.
bool FitsAPath(const char* text) { return text == nullptr || std::strlen(text) <= kMaxPathLength; }

}  // namespace

// Input: one byte choosing the syntax and the current directory, then the path text, a zero
// byte, the new extension (up to the next zero byte or the end).
std::string FuzzFilePath(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return {};
  const bool windows = (data[0] & 1) != 0;
  const platform::PathSyntax syntax = windows ? platform::PathSyntax::kWindows : platform::PathSyntax::kPosix;
  static const char* const kDirectories[2][4] = {
      {"/work", "/", "/tmp/", ""},
      {"C:\\Users\\reporter", "C:\\", "\\\\server\\share", "D:"},
  };
  PathContext context{syntax, kDirectories[windows ? 1 : 0][(data[0] >> 1) & 3]};
  // A current directory of the full length, to press on the limits.
  if ((data[0] & 8) != 0) context.currentDirectory = windows ? "C:\\" + std::string(250, 'd') : "/" + std::string(254, 'd');

  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t split = rest.find('\0');
  const std::string text(rest.substr(0, split));
  const std::string extension(split == std::string_view::npos ? std::string_view() : rest.substr(split + 1));
  const std::string_view extensionText(extension.c_str());  // up to its first zero byte

  CFilePath path(context, (data[0] & 16) != 0 ? nullptr : text.c_str());
  if (!FitsAPath(path.GetPath())) return "SetPath stored more than 259 characters";
  const std::string before = path.GetPath() != nullptr ? path.GetPath() : "";

  char small[8];
  char full[kMaxPathChars];
  char title[kMaxPathChars];
  const bool hasDirectory = path.GetDirectory(full, sizeof full);
  path.GetDirectory(small, sizeof small);
  const bool hasTitle = path.GetFileTitle(title, sizeof title);
  path.GetFileTitle(small, sizeof small);
  if (hasDirectory && std::strlen(full) > kMaxPathLength) return "GetDirectory gave more than 259 characters";
  if (hasTitle && std::strlen(title) > kMaxPathLength) return "GetFileTitle gave more than 259 characters";

  const bool renamed = path.RenameExtension(extensionText);
  const std::string after = path.GetPath() != nullptr ? path.GetPath() : "";
  if (!FitsAPath(path.GetPath())) return "RenameExtension stored more than 259 characters";
  if (!renamed && after != before) return "a RenameExtension that failed changed the path";
  if (renamed) {
    if (after.size() < extensionText.size() || after.compare(after.size() - extensionText.size(), std::string::npos,
                                                             extensionText) != 0) {
      return "the renamed path does not end with the new extension";
    }
    // What was renamed still names a file. (Renaming it again need not give the same path: the
    // directory loses one of repeated separators before the title, and a Windows extension may
    // hold a colon, after which the title is taken to begin.)
    if (!extensionText.empty() && !path.GetFileTitle(title, sizeof title)) return "the renamed path names no file";
  }

  // The free function keeps to the limit as well.
  std::string copy = text;
  RenameExtension(copy, extensionText, context);
  if (copy.size() > kMaxPathLength) return "the free RenameExtension gave more than 259 characters";
  return {};
}

}  // namespace lexaport::fuzz
