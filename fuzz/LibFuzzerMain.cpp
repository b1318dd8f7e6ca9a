// The libFuzzer entry point of one fuzz target: LEXAPORT_FUZZ_ENTRY names its entry function
// (FuzzTargets.h). A broken promise aborts, so libFuzzer reports it as a crash and keeps the input.

#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = lexaport::fuzz::LEXAPORT_FUZZ_ENTRY(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "lexaport fuzz target: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
