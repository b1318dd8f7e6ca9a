#pragma once
// CFilePath: one absolute path of at most 259 characters, and the small set of path rules that
// deriving output file names rests on. The rules were made for the Windows syntax (backslash
// separators, "X:" drives, "\\server\share" network paths) and work the same way on the POSIX
// syntax ('/' separators, absolute when it begins with '/', no drives, no network paths); the
// platform's file system says which syntax is native.
//
// Texts are byte strings in a single-byte code page.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/PathSyntax.h"
#include "support/PathRules.h"

namespace lexaport {

// What the path rules need to know of the platform.
struct PathContext {
  platform::PathSyntax syntax = platform::PathSyntax::kPosix;
  std::string currentDirectory;  // absolute, in `syntax`
};

inline PathContext NativePathContext(platform::IFileSystem& files) {
  return PathContext{files.Syntax(), files.CurrentDirectory()};
}

class CFilePath {
 public:
  explicit CFilePath(PathContext context, const char* text = nullptr);
  virtual ~CFilePath() = default;

  // Stores the absolute form of `text` (relative texts are taken from the current directory,
  // null and "" give the current directory with a trailing separator), without surrounding
  // blanks. The path is left empty when that form would exceed 259 characters or the current
  // directory is not absolute: a shortened path would name another file.
  void SetPath(const char* text);
  // The path, or null when it is empty.
  const char* GetPath() const;

  // Replaces the extension of the last component. False (path unchanged) when the path names no
  // file (empty, ending with a separator, a bare drive), when `newExtension` is neither empty
  // nor a '.' followed by characters that are not '.', blank or separator, when the result would
  // name no file ("/d/.x" with "") or would exceed 259 characters.
  bool RenameExtension(std::string_view newExtension);

  // The directory with a trailing separator / the last component without its extension, as
  // zero-terminated text of at most size - 1 characters. False (buffer untouched) when there is
  // nothing to give (see pathrules::GetDirectory and GetFileTitle) or no room for even the zero.
  bool GetDirectory(char* buffer, std::size_t size) const;
  bool GetFileTitle(char* buffer, std::size_t size) const;

 private:
  // The text SetPath stores, or "" when it would not fit.
  std::string AbsoluteForm(const char* text) const;

  PathContext context_;
  char path_[kMaxPathChars] = {};
};

// Makes a CFilePath of `path`, renames its extension and writes the path back into `path`, also
// when the renaming failed (it then holds the absolute form of its old text). Returns the result
// of the renaming.
bool RenameExtension(std::string& path, std::string_view newExtension, const PathContext& context);

}  // namespace lexaport
