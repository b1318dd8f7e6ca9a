#pragma once
// The full check of a writer dictionary file: header, info block, checksum, and the tree -- every
// block's head word, counts and limits, child order, post-order offsets, alignment and padding,
// that the blocks cover the file, and that the keys come out in tree order without duplicates.
// Safe on any bytes: it never reads outside them and its work is linear in their size.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lexaport {

struct WriterVerifyReport {
  std::vector<std::string> problems;  // at most kMaxListedProblems, then one line that counts the rest
  std::size_t problemCount = 0;       // all problems found
  std::size_t entryCount = 0;         // entries the walk reached
  bool Sound() const { return problemCount == 0; }
};

inline constexpr std::size_t kMaxListedProblems = 100;

WriterVerifyReport VerifyWriterDictionary(const std::uint8_t* bytes, std::size_t size);

}  // namespace lexaport
