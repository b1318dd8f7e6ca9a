#pragma once
// `lexaport entries FILE.rtf [--hex | --summary]`: the entry records read from one RTF/CRE
// dictionary, in reading order.

namespace CLI {
class App;
}

namespace lexaport::cli {

void AddEntriesCommand(CLI::App& app);

}  // namespace lexaport::cli
