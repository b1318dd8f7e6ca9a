#include "support/FilePath.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lexaport {

namespace {

void CopyOut(const std::string& text, char* buffer, std::size_t size) {
  const std::size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

}  // namespace

CFilePath::CFilePath(PathContext context, const char* text) : context_(std::move(context)) {
  SetPath(text);
}

void CFilePath::SetPath(const char* text) {
  // `text` may be this path's own text: it is read in full before the path is written.
  const std::string absolute = AbsoluteForm(text);
  std::memcpy(path_, absolute.c_str(), absolute.size() + 1);
}

std::string CFilePath::AbsoluteForm(const char* text) const {
  const platform::PathSyntax syntax = context_.syntax;
  const std::string_view given = text != nullptr ? std::string_view(text) : std::string_view();
  std::string absolute;
  if (pathrules::IsAbsolutePath(given, syntax)) {
    // Absolute texts are kept as given: no "." or ".." resolution.
    absolute.assign(given);
  } else {
    absolute = context_.currentDirectory;
    if (!pathrules::IsAbsolutePath(absolute, syntax) || !pathrules::AddBackslash(absolute, syntax) ||
        !pathrules::CombinePath(absolute, given, syntax)) {
      return {};
    }
  }
  const std::string_view trimmed = pathrules::TrimBlanks(absolute);
  // A blank before a colon (" :x") makes a Windows text absolute that is not so once the blanks
  // are gone; such a path would name a file relative to wherever it is used.
  if (trimmed.size() > kMaxPathLength || !pathrules::IsAbsolutePath(trimmed, syntax)) return {};
  return std::string(trimmed);
}

const char* CFilePath::GetPath() const { return path_[0] != '\0' ? path_ : nullptr; }

bool CFilePath::RenameExtension(std::string_view newExtension) {
  std::string path(path_);
  if (!pathrules::RenameExtension(path, newExtension, context_.syntax)) return false;
  std::memcpy(path_, path.c_str(), path.size() + 1);  // the rule keeps it within 259 characters
  return true;
}

bool CFilePath::GetDirectory(char* buffer, std::size_t size) const {
  std::string directory;
  if (buffer == nullptr || size == 0) return false;
  if (!pathrules::GetDirectory(path_, directory, context_.syntax)) return false;
  CopyOut(directory, buffer, size);
  return true;
}

bool CFilePath::GetFileTitle(char* buffer, std::size_t size) const {
  std::string title;
  if (buffer == nullptr || size == 0) return false;
  if (!pathrules::GetFileTitle(path_, title, context_.syntax)) return false;
  CopyOut(title, buffer, size);
  return true;
}

bool RenameExtension(std::string& path, std::string_view newExtension, const PathContext& context) {
  CFilePath filePath(context, path.c_str());
  const bool renamed = filePath.RenameExtension(newExtension);
  const char* result = filePath.GetPath();
  path.assign(result != nullptr ? result : "");
  return renamed;
}

}  // namespace lexaport
