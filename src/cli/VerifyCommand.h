#pragma once
#include <CLI/CLI.hpp>

namespace lexaport::cli {

// `lexaport verify FILE.ZQDCX`: the full check of a writer dictionary file.
void AddVerifyCommand(CLI::App& app);

}  // namespace lexaport::cli
