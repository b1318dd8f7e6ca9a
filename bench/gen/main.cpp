// lexaport-gen: writes a synthetic RTF/CRE dictionary for the benchmarks.
//   lexaport-gen --entries N [--seed S] [--short-translations] [--stats] -o FILE

#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>
#include <string_view>

#include "gen/DictionaryGenerator.h"

namespace {

constexpr const char* kUsage =
    "usage: lexaport-gen --entries N [--seed S] [--short-translations] [--stats] -o FILE\n"
    "  --entries N            number of entries (1 or more)\n"
    "  --seed S               seed of the random numbers (default 1); same seed and options,\n"
    "                         same bytes\n"
    "  --short-translations   translations of 1 to 12 characters instead of 1 to 40\n"
    "  --stats                print one line of counts on standard error\n"
    "  -o, --output FILE      the RTF/CRE file to write\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "lexaport-gen: %s\n%s", message.c_str(), kUsage);
  return 2;
}

bool ParseNumber(std::string_view text, std::uint64_t& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
  lexaport::bench::GeneratorOptions options;
  std::string output;
  bool entriesGiven = false;
  bool printStats = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--entries" && hasValue) {
      if (!ParseNumber(argv[++i], options.entries) || options.entries == 0 || options.entries > 100'000'000)
        return Fail("--entries wants a number from 1 to 100000000");
      entriesGiven = true;
    } else if (arg == "--seed" && hasValue) {
      if (!ParseNumber(argv[++i], options.seed)) return Fail("--seed wants a number");
    } else if (arg == "--short-translations") {
      options.shortTranslations = true;
    } else if (arg == "--stats") {
      printStats = true;
    } else if ((arg == "-o" || arg == "--output") && hasValue) {
      output = argv[++i];
    } else if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      return Fail("unknown or incomplete option '" + std::string(arg) + "'");
    }
  }
  if (!entriesGiven || output.empty()) return Fail("--entries and -o are required");

  std::ofstream file(output, std::ios::binary | std::ios::trunc);
  if (!file) {
    std::fprintf(stderr, "lexaport-gen: cannot create %s: %s\n", output.c_str(), std::strerror(errno));
    return 1;
  }
  try {
    const lexaport::bench::GeneratorStats stats = lexaport::bench::GenerateDictionary(options, file);
    file.close();
    if (!file) {
      std::fprintf(stderr, "lexaport-gen: cannot write %s\n", output.c_str());
      return 1;
    }
    if (printStats) {
      std::fprintf(stderr, "lexaport-gen: %llu entries, %llu distinct outlines, %llu bytes\n",
                   static_cast<unsigned long long>(stats.entries),
                   static_cast<unsigned long long>(stats.distinctOutlines),
                   static_cast<unsigned long long>(stats.bytes));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lexaport-gen: %s\n", e.what());
    return 1;
  }
  return 0;
}
