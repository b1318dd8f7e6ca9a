// The `lexaport` command: the conversion core from a terminal.

#include <CLI/CLI.hpp>

#include "cli/ConvertCommand.h"
#include "cli/DumpCommand.h"
#include "cli/EntriesCommand.h"
#include "cli/LookupCommand.h"
#include "cli/VerifyCommand.h"

int main(int argc, char** argv) {
  CLI::App app{"Lexaport: converts RTF/CRE steno dictionaries for Quendrel steno writers"};
  app.require_subcommand(1);
  lexaport::cli::AddEntriesCommand(app);
  lexaport::cli::AddConvertCommand(app);
  lexaport::cli::AddDumpCommand(app);
  lexaport::cli::AddLookupCommand(app);
  lexaport::cli::AddVerifyCommand(app);
  CLI11_PARSE(app, argc, argv);
  return 0;
}
