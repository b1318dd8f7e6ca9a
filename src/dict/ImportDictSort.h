#pragma once
// The order of entries in the intermediate dictionary file. The writer dictionary builder walks
// the file once and depends on it: outlines in descending byte order, an outline after every
// longer outline that begins with it, and entries of one outline in reverse reading order, so
// that the entries of one outline stand together and the one read last comes first.

#include <cstddef>
#include <cstdint>
#include <span>

namespace lexaport {

class CHelperThread;  // support/HelperThread.h

// Compares two outlines (arrays of 4-byte key sets): the first 4 x min(countA, countB) bytes as
// unsigned byte strings, then the outline with fewer strokes is the smaller. Returns -1, 0 or 1.
int CompareStrokes(const std::uint8_t* strokesA, int countA, const std::uint8_t* strokesB, int countB);

// Compares two entry records by outline, then number, then creation date (numbers unsigned).
// Returns -1, 0 or 1; the file holds its records from the greatest to the least.
int CompareEntries(const std::uint8_t* recordA, const std::uint8_t* recordB);

class CImportDictSort {
 public:
  // Sorts record pointers from the greatest entry to the least (CompareEntries). Records that
  // compare equal keep their order. Only pointers move; the records stay where they are.
  // Needs no memory to succeed: when its key arrays cannot be had it sorts the pointers directly.
  // `workArea` is memory the caller has no more use for (its contents are overwritten): the sort
  // takes its arrays from it as far as it reaches, which spares fresh pages.
  // A large sort shares its work with `helper` when one is given and available (it must have no
  // work of its own then); the order is the same.
  static void Sort(const std::uint8_t** records, std::size_t count, std::span<std::uint8_t> workArea = {},
                   CHelperThread* helper = nullptr);

  // The work area that spares the sort of `count` records all fresh memory.
  static std::size_t WorkAreaBytes(std::size_t count);
};

}  // namespace lexaport
