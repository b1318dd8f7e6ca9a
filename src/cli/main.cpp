// The `lexaport` command: the conversion core from a terminal.

#include <CLI/CLI.hpp>

#include "cli/EntriesCommand.h"

int main(int argc, char** argv) {
  CLI::App app{"Lexaport: converts RTF/CRE steno dictionaries for Quendrel steno writers"};
  lexaport::cli::RegisterEntriesCommand(app);
  app.require_subcommand(1);
  CLI11_PARSE(app, argc, argv);
  return 0;
}
