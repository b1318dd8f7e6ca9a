#pragma once
#include <CLI/CLI.hpp>

namespace lexaport::cli {

// `lexaport convert FILE.rtf [--out DIR] [--aligned] [--timings]`: one RTF/CRE dictionary to its
// intermediate and writer dictionary files.
void AddConvertCommand(CLI::App& app);

}  // namespace lexaport::cli
