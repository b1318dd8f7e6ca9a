// `lexaport convert`: converts one RTF/CRE dictionary the way the conversion job does (record
// numbers on, dates off, a first build over 16 MiB rebuilt in aligned mode) and reports what it
// did. The files are named after the dictionary: DIR/NAME.zqdct and DIR/NAME.ZQDCX.

#include "cli/ConvertCommand.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/DictionaryConversion.h"
#include "cli/CommandSupport.h"
#include "dict/WriterPath.h"
#include "platform/Native.h"
#include "support/FilePath.h"
#include "support/PathRules.h"

namespace lexaport::cli {
namespace {

struct ConvertOptions {
  std::string path;
  std::string outDirectory = ".";
  bool aligned = false;
  bool timings = false;
};

// DIR + the dictionary's file title + ".zqdct", absolute. Empty when the result would not fit a
// path.
std::string IntermediatePathFor(const ConvertOptions& options, const PathContext& context) {
  const CFilePath input(context, options.path.c_str());
  char title[kMaxPathChars];
  if (!input.GetFileTitle(title, sizeof title)) return std::string();
  const CFilePath directory(context, options.outDirectory.c_str());
  if (directory.GetPath() == nullptr) return std::string();
  std::string path = directory.GetPath();
  if (!pathrules::AddBackslash(path, context.syntax)) return std::string();
  path += title;
  path += kIntermediateExtension;
  return path.size() <= kMaxPathLength ? path : std::string();
}

void PrintTiming(const char* stage, double seconds) { std::printf("timing %s %.3f ms\n", stage, seconds * 1000.0); }

void PrintReport(const ConvertOptions& options, const std::string& intermediatePath,
                 const DictionaryConversion& conversion, double totalSeconds) {
  const IntermediateFileStats& s = conversion.intermediate;
  std::printf("%s\n", options.path.c_str());
  std::printf("  entries read       %u\n", s.entriesRead);
  std::printf("  records written    %u\n", s.recordsWritten);
  std::printf("  entries merged     %u\n", s.entriesMerged);
  std::printf("  entries dropped    %u\n", s.entriesDropped);
  std::printf("  intermediate file  %s (%llu bytes)\n", intermediatePath.c_str(),
              static_cast<unsigned long long>(s.fileSize));
  std::printf("  writer file        %s (%llu bytes, %s offsets)\n", conversion.writerPath.c_str(),
              static_cast<unsigned long long>(conversion.writerFileSize), conversion.aligned ? "aligned" : "byte");
  if (conversion.rebuiltAligned) {
    std::printf("  rebuilt aligned    the first build was %llu bytes, over the 16 MiB of byte offsets\n",
                static_cast<unsigned long long>(conversion.firstBuildSize));
  }
  std::printf("  time               %.1f ms\n", totalSeconds * 1000.0);

  if (!options.timings) return;
  PrintTiming("read", s.readSeconds);
  PrintTiming("parse", s.parseSeconds);
  PrintTiming("sort", s.sortSeconds);
  PrintTiming("write-intermediate", s.writeSeconds);
  // The first build runs on the other thread alongside write-intermediate, so these overlap it.
  PrintTiming("tree-build", conversion.firstBuild.treeSeconds);
  PrintTiming("checksum", conversion.firstBuild.checksumSeconds);
  PrintTiming("first-build", conversion.firstBuildSeconds);
  if (conversion.rebuiltAligned) PrintTiming("aligned-rebuild", conversion.alignedRebuildSeconds);
  PrintTiming("total", totalSeconds);
  std::printf("peak-rss %llu KiB\n", static_cast<unsigned long long>(platform::PeakResidentSetKiB()));
}

int Convert(const ConvertOptions& options) {
  const auto start = std::chrono::steady_clock::now();
  platform::IFileSystem& files = platform::NativeFileSystem();
  const PathContext context = NativePathContext(files);

  if (!files.OpenForReading(options.path, platform::Sharing::kDenyWrite)) {
    std::fprintf(stderr, "lexaport: cannot read \"%s\"\n", options.path.c_str());
    return 1;
  }
  if (!files.Exists(options.outDirectory)) {
    std::fprintf(stderr, "lexaport: the output directory \"%s\" does not exist\n", options.outDirectory.c_str());
    return 1;
  }
  const std::string intermediatePath = IntermediatePathFor(options, context);
  if (intermediatePath.empty()) {
    std::fprintf(stderr, "lexaport: cannot form an output file name for \"%s\" in \"%s\"\n", options.path.c_str(),
                 options.outDirectory.c_str());
    return 1;
  }

  const DictionaryConversion conversion =
      ConvertDictionary(files, platform::SystemClock(), options.path, intermediatePath,
                        ConversionOptions{.alignedFromStart = options.aligned});
  const double totalSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (conversion.outcome == DictionaryConversion::Outcome::kUnreadable) {
    std::fprintf(stderr, "Unable to convert %s. The intermediate file \"%s\" cannot be written, or there is not "
                 "enough memory.\n", options.path.c_str(), intermediatePath.c_str());
    return 1;
  }
  if (conversion.outcome != DictionaryConversion::Outcome::kConverted) {
    std::fprintf(stderr, "%s\n", ConversionFailureMessage(options.path, conversion).c_str());
    return 1;
  }
  PrintReport(options, intermediatePath, conversion, totalSeconds);
  return 0;
}

}  // namespace

void AddConvertCommand(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* command = app.add_subcommand("convert", "Convert an RTF/CRE dictionary into a writer dictionary file");
  command->add_option("FILE", options->path, "The RTF/CRE dictionary")->required();
  command->add_option("--out", options->outDirectory, "Directory for the output files (default: the current one)");
  command->add_flag("--aligned", options->aligned, "Build with aligned (4-byte unit) offsets from the start");
  command->add_flag("--timings", options->timings, "Print the time of each stage and the peak memory");
  command->footer(
      "Writes DIR/NAME.zqdct (the intermediate dictionary file) and DIR/NAME.ZQDCX (the writer\n"
      "dictionary file), NAME being FILE's name without its extension. A writer file larger than\n"
      "16 MiB is rebuilt with aligned offsets, as the writer needs.\n"
      "Exit status: 0 when both files were written, 1 otherwise.");
  command->callback([options] {
    RunCommand([&] { return Convert(*options); });
  });
}

}  // namespace lexaport::cli
