// `lexaport lookup FILE.ZQDCX OUTLINE`: looks the outline ("STKPW/-T") up in a writer dictionary
// file the way the writer does and prints its translation, or "not found".

#include "cli/LookupCommand.h"

#include <iostream>
#include <memory>

#include "cli/CommandSupport.h"
#include "rtf/TranslationText.h"
#include "dict/WriterDictionary.h"

namespace lexaport::cli {
namespace {

struct LookupOptions {
  std::string path;
  std::string outline;
  bool hex = false;
};

int Lookup(const LookupOptions& options) {
  std::vector<std::uint8_t> key;
  if (!ParseOutline(options.outline, key)) {
    std::cerr << "lexaport: \"" << options.outline << "\" is not an outline of 1 to 16 strokes\n";
    return kExitError;
  }
  platform::WholeFile file;
  if (!ReadInputFile(options.path, file)) return kExitError;
  const WriterDictionary dictionary(file.bytes.get(), file.size);
  const std::vector<std::string> problems = dictionary.HeaderProblems();
  if (!problems.empty()) {
    std::cerr << "lexaport: " << options.path << " is not a sound writer dictionary file:\n";
    for (const std::string& problem : problems) std::cerr << "  " << problem << '\n';
    return kExitError;
  }
  WriterEntry entry;
  if (!dictionary.Lookup(key.data(), key.size(), entry)) {
    std::cout << "not found\n";
    return kExitNegative;
  }
  std::cout << (options.hex ? HexText(entry.translation, entry.translationLength)
                            : TranslationText(entry.translation, entry.translationLength))
            << '\n';
  return kExitOk;
}

}  // namespace

void AddLookupCommand(CLI::App& app) {
  auto options = std::make_shared<LookupOptions>();
  CLI::App* command = app.add_subcommand("lookup", "Print the translation of an outline in a writer dictionary file");
  command->add_option("FILE", options->path, "The writer dictionary file (.ZQDCX)")->required();
  command->add_option("OUTLINE", options->outline, "Strokes in steno notation separated by '/', e.g. STKPW/-T")
      ->required();
  command->add_flag("--hex", options->hex, "Show the translation as hex bytes");
  command->footer("Exit status: 0 when found, 1 when not found, 2 when the file or the outline cannot be used.");
  command->callback([options] { RunCommand([&] { return Lookup(*options); }); });
}

}  // namespace lexaport::cli
