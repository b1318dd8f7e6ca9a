#pragma once
// Reading a large dictionary text in parts on two threads, with exactly the records a single
// reader makes of it.
//
// The first reader reads up to the first entry and saves its parse state there (just after the
// {\*\cxs that opens the entry). Split points are chosen through the rest: places where the
// text holds the same opening. Each part after a split point is read by a reader of its own that
// adopts the saved state; the first reader reads up to the first split point. A part that ends at
// a split point is read through the opening there, and where its reader's state then equals the
// saved one, the next part was read exactly as a single reader would have read it (the parse
// depends on nothing but its state and the text ahead), and its records follow. Where it does
// not (a stylesheet or a layout after the first entry, a group still open at the split point,
// ...), the later parts' work is thrown away and that reader reads on to the end.
//
// The two threads take the parts in turn, each the next one not yet taken when it is free: the
// parts are small enough that a thread the machine holds up for a while reads fewer of them, and
// the two finish close together.
//
// Every reader stops at a zero byte: a part ends where a zero is written in place of the '{' at
// its split point (and put back afterwards; no other part reads that byte); a '{' and a zero
// make every look-ahead of the byte loop decide alike, and no step of the loop goes past a '{',
// so the loop is between two bytes there exactly as a single pass would be.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "rtf/RtfDictionaryReader.h"
#include "support/HelperThread.h"

namespace lexaport {

struct TwoPartReadOptions {
  // Texts shorter than this are read in one pass: from 1 MB on, the second thread pays.
  std::size_t minimumLength = std::size_t{1} << 20;
  // 0: the split points are the first entry openings at or after every `partLength` bytes of the
  // text after the first entry (at least one, at most kMaxParts - 1). Otherwise the offset from
  // which the one split point is searched (for tests).
  std::size_t splitFrom = 0;
  // About how long a part is. Each part costs a reader (some kilobytes of state, set up and
  // compared once); 512 KiB take the parser some milliseconds.
  std::size_t partLength = std::size_t{512} << 10;
  static constexpr std::size_t kMaxParts = 64;
};

struct TwoPartReadResult {
  int parse = 0;  // as CRtfDictionaryReader::ReadDictionary returns it
  bool split = false;  // the records of the later parts follow the first reader's
};

// The readers of the parts after the first, in text order.
using DictionaryParts = std::vector<std::unique_ptr<CRtfDictionaryReader>>;

// Reads a whole file as platform::ReadWholeFile does, in pieces of `pieceLength` bytes that this
// thread and `helper` (available and without work) take in turn as each is free, the helper
// through a file of its own: reading a large file copies megabytes into pages that are new to
// the process, and two cores do that in about half the time. The pieces are taken as they come
// because a thread started a moment ago may not get its core for a millisecond or more: this
// thread reads on meanwhile. Without the helper, or when the second file cannot be opened, the
// file is read on this thread alone. A read error on either thread is thrown, once both are done.
constexpr std::size_t kReadPieceLength = std::size_t{256} << 10;
bool ReadFileOnTwoThreads(platform::IFileSystem& files, const std::string& path, platform::Sharing sharing,
                          CHelperThread& helper, platform::WholeFile& out,
                          std::size_t pieceLength = kReadPieceLength);

// Reads `text` (`length` bytes followed by a zero, which may hold zeros of its own: the text then
// ends at the first; the buffer is written to while it is read and left as it was) into `first`
// and, when a split holds, the parts after it into new readers in `parts` (emptied first), whose
// records are numbered on from those before them. `first` is new (only PrepareBuffers called).
// The records of first, then of each reader in `parts`, are the records, and the result the
// result, of first.ReadDictionary(text) alone. The parts are shared with `thread` when one is
// given (without work), else with a helper thread started for them; where no thread is
// available, the text is read in one pass.
TwoPartReadResult ReadDictionaryInParts(CRtfDictionaryReader& first, DictionaryParts& parts, std::uint8_t* text,
                                        std::size_t length, const TwoPartReadOptions& options = {},
                                        CHelperThread* thread = nullptr);

}  // namespace lexaport
