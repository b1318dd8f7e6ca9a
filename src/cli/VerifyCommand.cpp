// `lexaport verify FILE.ZQDCX`: checks a writer dictionary file through and through and lists
// every problem found.

#include "cli/VerifyCommand.h"

#include <iostream>
#include <memory>

#include "cli/CommandSupport.h"
#include "dict/WriterDictionary.h"
#include "dict/WriterDictionaryVerify.h"

namespace lexaport::cli {
namespace {

struct VerifyOptions {
  std::string path;
};

int Verify(const VerifyOptions& options) {
  platform::WholeFile file;
  if (!ReadInputFile(options.path, file)) return kExitError;
  const WriterVerifyReport report = VerifyWriterDictionary(file.bytes.get(), file.size);
  if (report.Sound()) {
    const WriterDictionary dictionary(file.bytes.get(), file.size);
    std::cout << options.path << ": sound, " << report.entryCount << " entries, " << file.size << " bytes, "
              << (dictionary.Aligned() ? "aligned" : "byte") << " offsets\n";
    return kExitOk;
  }
  std::cout << options.path << ": " << report.problemCount << (report.problemCount == 1 ? " problem" : " problems")
            << '\n';
  for (const std::string& problem : report.problems) std::cout << "  " << problem << '\n';
  return kExitNegative;
}

}  // namespace

void AddVerifyCommand(CLI::App& app) {
  auto options = std::make_shared<VerifyOptions>();
  CLI::App* command = app.add_subcommand("verify", "Check a writer dictionary file and list every problem");
  command->add_option("FILE", options->path, "The writer dictionary file (.ZQDCX)")->required();
  command->footer(
      "Checks the header, the info block, the checksum, every block's head word, counts and limits,\n"
      "the order of child entries, post-order offsets, alignment, that the blocks cover the file, and\n"
      "that the keys come out in tree order without duplicates.\n"
      "Exit status: 0 when sound, 1 when problems were found, 2 when the file cannot be read.");
  command->callback([options] { RunCommand([&] { return Verify(*options); }); });
}

}  // namespace lexaport::cli
