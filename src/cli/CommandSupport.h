#pragma once
// What the inspection commands share: reading a file whole, steno text of outlines, and how a
// command ends with an exit status.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace lexaport::cli {

// Exit statuses of the inspection commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNegative = 1;  // not found (lookup), problems found (verify), failed (dump)
inline constexpr int kExitError = 2;     // the command could not do its work (file, arguments)

// Runs a command body and ends the program's parse with its status: CLI11 passes a
// CLI::RuntimeError's status on silently. A file error on the way is reported on stderr.
void RunCommand(const std::function<int()>& body);

// Reads `path` whole (one copy of the file in memory). False, with a message on stderr, when it
// cannot be read.
bool ReadInputFile(const std::string& path, platform::WholeFile& file);

// "/STKPW/-T": the strokes of an outline as CStenoKeys::OutlineToText writes them (the form
// `entries` prints too, so the outputs of the commands can be compared).
std::string OutlineText(const std::uint8_t* strokes, std::size_t strokeCount);

// The key bytes (4 per stroke) of an outline written like that, with or without the leading
// slash ("STKPW/-T"). False when a stroke is not one of the steno layout.
bool ParseOutline(std::string_view text, std::vector<std::uint8_t>& key);

}  // namespace lexaport::cli
