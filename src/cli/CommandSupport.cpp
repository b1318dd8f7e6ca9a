#include "cli/CommandSupport.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "platform/Native.h"
#include "steno/StenoKeys.h"

namespace lexaport::cli {

void RunCommand(const std::function<int()>& body) {
  int status = kExitError;
  try {
    status = body();
  } catch (const platform::FileError& error) {
    std::cerr << "lexaport: " << error.what() << '\n';
  }
  if (status != kExitOk) throw CLI::RuntimeError(status);
}

bool ReadInputFile(const std::string& path, platform::WholeFile& file) {
  if (platform::ReadWholeFile(platform::NativeFileSystem(), path, platform::Sharing::kDenyWrite, file)) return true;
  std::cerr << "lexaport: cannot read \"" << path << "\"\n";
  return false;
}

std::string OutlineText(const std::uint8_t* strokes, std::size_t strokeCount) {
  static const CStenoKeys keys;
  std::string text;
  keys.OutlineToText(strokes, static_cast<int>(strokeCount), text);
  return text;
}

bool ParseOutline(std::string_view text, std::vector<std::uint8_t>& key) {
  static const CStenoKeys keys;
  key.clear();
  if (!text.empty() && text.front() == '/') text.remove_prefix(1);  // "/S/-T", as OutlineToText writes it
  if (text.empty()) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = text.find('/', start);
    const std::string_view stroke = text.substr(start, slash == std::string_view::npos ? slash : slash - start);
    KeySet set;
    if (!keys.ParseStroke(stroke, set)) return false;
    key.insert(key.end(), set.begin(), set.end());
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return key.size() / kKeySetSize <= 16;
}

}  // namespace lexaport::cli
