#include "support/PathRules.h"

namespace lexaport::pathrules {

namespace {

constexpr bool IsWindows(PathSyntax syntax) { return syntax == PathSyntax::kWindows; }

bool EndsWithSeparator(std::string_view text, PathSyntax syntax) {
  return !text.empty() && IsSeparator(text.back(), syntax);
}

// A path that has a last component to rename or to take the title of. A lone root and a bare
// drive designation have none: taking their text for a file name would turn "/" into "//.ext".
bool NamesFile(std::string_view path, PathSyntax syntax) {
  return !path.empty() && !EndsWithSeparator(path, syntax) && !IsDriveDesignation(path, syntax);
}

// The length `text` keeps when ".." removes its last component: it is cut at the separator
// before that component (a trailing separator belongs to the component). Without such a
// separator a drive designation stays, and otherwise nothing does.
std::size_t LengthWithoutLastComponent(std::string_view text, PathSyntax syntax) {
  std::string_view head = text;
  if (EndsWithSeparator(head, syntax)) head.remove_suffix(1);
  const std::size_t separator = head.rfind(Separator(syntax));
  if (separator != std::string_view::npos) return separator;
  return HasDriveDesignation(text, syntax) ? 2 : 0;
}

}  // namespace

bool HasDriveDesignation(std::string_view text, PathSyntax syntax) {
  return IsWindows(syntax) && text.size() >= 2 && text[1] == ':' && !IsSeparator(text[0], syntax);
}

bool IsDriveDesignation(std::string_view text, PathSyntax syntax) {
  return text.size() == 2 && HasDriveDesignation(text, syntax);
}

bool IsAbsolutePath(std::string_view text, PathSyntax syntax) {
  return (!text.empty() && IsSeparator(text[0], syntax)) || HasDriveDesignation(text, syntax);
}

std::size_t FindExtension(std::string_view text, PathSyntax syntax) {
  std::size_t dot = text.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') {
      dot = i;
    } else if (c == ' ' || IsSeparator(c, syntax)) {
      dot = text.size();
    }
  }
  return dot;
}

bool AddBackslash(std::string& text, PathSyntax syntax) {
  if (text.size() >= kMaxPathLength) return false;
  if (!text.empty() && !EndsWithSeparator(text, syntax)) text.push_back(Separator(syntax));
  return true;
}

bool RemoveFileSpec(std::string& text, PathSyntax syntax) {
  if (text.empty()) return false;
  // `cut` is the length left when the text is cut at its last separator, `afterSeparator` the
  // position just behind that separator. The leading unit (drive designation, root) is kept.
  std::size_t start = 0;
  if (HasDriveDesignation(text, syntax)) {
    start = text.size() > 2 && IsSeparator(text[2], syntax) ? 3 : 2;
  } else if (IsSeparator(text[0], syntax)) {
    start = 1;
  }
  std::size_t cut = start;
  std::size_t afterSeparator = start;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (IsSeparator(text[i], syntax)) {
      cut = i;
      afterSeparator = i + 1;
    }
  }
  if (afterSeparator == text.size()) return false;
  text.resize(cut);
  return true;
}

bool IsRootPath(std::string_view text, PathSyntax syntax) {
  const char separator = Separator(syntax);
  if (text.size() == 1 && text[0] == separator) return true;
  if (!IsWindows(syntax)) return false;
  if (text.size() == 3 && HasDriveDesignation(text, syntax) && text[2] == separator) return true;
  if (IsUNCPath(text, syntax)) {
    std::size_t separators = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
      if (text[i] == separator) ++separators;
    }
    return separators <= 1;
  }
  return false;
}

bool IsUNCPath(std::string_view text, PathSyntax syntax) {
  return IsWindows(syntax) && text.size() >= 2 && text[0] == '\\' && text[1] == '\\';
}

bool CombinePath(std::string& destination, std::string_view relative, PathSyntax syntax) {
  if (relative.empty()) return true;
  if (IsAbsolutePath(relative, syntax)) return false;
  std::string joined = destination;
  // "C:" + "x" is "C:x" (relative to that drive's directory), not "C:\x".
  if (!IsDriveDesignation(joined, syntax) && !AddBackslash(joined, syntax)) return false;
  if (joined.size() + relative.size() >= kMaxPathChars) return false;
  joined.append(relative);
  return CanonicalizePath(destination, joined, syntax);
}

bool CanonicalizePath(std::string& destination, std::string_view source, PathSyntax syntax) {
  if (source.size() > kMaxPathLength) return false;
  const char separator = Separator(syntax);
  std::string result;
  result.reserve(source.size() + 1);
  std::size_t i = 0;
  while (i < source.size()) {
    if (source[i] == separator) {
      result.push_back(separator);
      ++i;
      continue;
    }
    std::size_t end = source.find(separator, i);
    if (end == std::string_view::npos) end = source.size();
    const std::string_view segment = source.substr(i, end - i);
    const bool separatorFollows = end < source.size();
    if (segment == ".") {
      if (!separatorFollows && EndsWithSeparator(result, syntax)) result.pop_back();
      i = separatorFollows ? end + 1 : end;
    } else if (segment == "..") {
      if (result.empty() || IsRootPath(result, syntax)) {
        // Nothing above a root: the ".." goes, with its separator.
        i = separatorFollows ? end + 1 : end;
      } else {
        result.resize(LengthWithoutLastComponent(result, syntax));
        i = end;
      }
    } else {
      result.append(segment);
      i = end;
    }
  }
  if (result.empty()) {
    result.push_back(separator);
  } else if (IsDriveDesignation(result, syntax)) {
    result.push_back(separator);
  }
  if (IsUNCPath(source, syntax) && result.size() == 1 && result[0] == separator) {
    result.push_back(separator);
  }
  destination = std::move(result);
  return true;
}

bool GetDirectory(std::string_view path, std::string& directory, PathSyntax syntax) {
  if (path.empty()) return false;
  std::string copy(path);
  if (!(copy.size() > 1 && EndsWithSeparator(copy, syntax))) RemoveFileSpec(copy, syntax);
  if (!copy.empty() && copy.size() < kMaxPathLength && !EndsWithSeparator(copy, syntax)) {
    copy.push_back(Separator(syntax));
  }
  directory = std::move(copy);
  return true;
}

bool GetFileTitle(std::string_view path, std::string& title, PathSyntax syntax) {
  if (!NamesFile(path, syntax)) return false;
  // The title starts after the last separator (or, on Windows, colon) that a name follows.
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    const bool splits = IsSeparator(path[i], syntax) || (IsWindows(syntax) && path[i] == ':');
    if (splits && !IsSeparator(path[i + 1], syntax)) start = i + 1;
  }
  std::string_view name = path.substr(start);
  title.assign(name.substr(0, FindExtension(name, syntax)));
  return true;
}

bool RenameExtension(std::string& path, std::string_view newExtension, PathSyntax syntax) {
  if (!NamesFile(path, syntax)) return false;
  if (FindExtension(newExtension, syntax) != 0) return false;
  // A zero byte would end the stored path early, silently naming another file.
  if (newExtension.find('\0') != std::string_view::npos) return false;
  std::string directory;
  std::string title;
  if (!GetDirectory(path, directory, syntax) || !GetFileTitle(path, title, syntax)) return false;
  // ".profile" without its extension would be the directory itself, not a file in it.
  if (title.empty() && newExtension.empty()) return false;
  if (directory.size() + title.size() + newExtension.size() > kMaxPathLength) return false;
  path = directory;
  path += title;
  path += newExtension;
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace lexaport::pathrules
