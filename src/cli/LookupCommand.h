#pragma once
#include <CLI/CLI.hpp>

namespace lexaport::cli {

// `lexaport lookup FILE.ZQDCX OUTLINE`: the translation of one outline.
void AddLookupCommand(CLI::App& app);

}  // namespace lexaport::cli
