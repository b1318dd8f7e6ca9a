#pragma once
#include <CLI/CLI.hpp>

namespace lexaport::cli {

// `lexaport dump FILE [--hex]`: every entry of a writer or intermediate dictionary file.
void AddDumpCommand(CLI::App& app);

}  // namespace lexaport::cli
