// lexaport-fuzz-dict: prints the fuzzing dictionary of the RTF/CRE reader targets, the content of
// fuzz/rtf.dict.

#include <cstdio>

#include "fuzz/FuzzTargets.h"

int main() {
  const std::string dictionary = lexaport::fuzz::RtfFuzzDictionary();
  std::fwrite(dictionary.data(), 1, dictionary.size(), stdout);
  return 0;
}
