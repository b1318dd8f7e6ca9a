#pragma once
// Synthetic RTF/CRE dictionaries for the benchmarks: the same options always give the same
// bytes, on every machine.

#include <cstdint>
#include <ostream>

namespace lexaport::bench {

struct GeneratorOptions {
  std::uint64_t entries = 0;
  std::uint64_t seed = 1;
  // Translations of 1 to 12 characters instead of 1 to 40 (for the largest dictionary).
  bool shortTranslations = false;
};

struct GeneratorStats {
  std::uint64_t entries = 0;
  // Entries whose outline no earlier entry had: the number of records a conversion keeps
  // after merging equal outlines.
  std::uint64_t distinctOutlines = 0;
  std::uint64_t bytes = 0;
};

// Writes the whole dictionary to `out`: a header like that of a CAT system's export (\cxdict,
// \cxsystem, font, colour and style tables), then one entry per line. About 2% of the entries
// repeat an earlier entry's outline with a different translation; every other outline is new.
GeneratorStats GenerateDictionary(const GeneratorOptions& options, std::ostream& out);

}  // namespace lexaport::bench
