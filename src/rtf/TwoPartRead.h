#pragma once
// Reading a large dictionary text in two parts at once, on two threads, with exactly the records
// a single reader makes of it.
//
// The first reader reads up to the first entry and saves its parse state there (just after the
// {\*\cxs that opens the entry). A split point S is chosen near the middle of the rest: a place
// where the text holds the same opening. A second reader adopts the saved state and reads from
// S to the end while the first reads up to S and through the opening there. Where the first
// reader's state then equals the saved one, the second reader read the rest exactly as the first
// would have (the parse depends on nothing but its state and the text ahead), and its records
// follow the first reader's. Where it does not (a stylesheet or a layout after the first entry,
// a group still open at S, ...), the second reader's work is thrown away and the first reads on
// to the end: a single pass.
//
// Both readers stop at a zero byte: the first reader's part ends where a zero is written in place
// of the '{' at S (and put back afterwards); a '{' and a zero make every look-ahead of the byte
// loop decide alike, and no step of the loop goes past a '{', so the loop is between two bytes
// there exactly as a single pass would be.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FileSystem.h"
#include "rtf/RtfDictionaryReader.h"
#include "support/HelperThread.h"

namespace lexaport {

struct TwoPartReadOptions {
  // Texts shorter than this are read in one pass: from 1 MB on, the second thread pays.
  std::size_t minimumLength = std::size_t{1} << 20;
  // 0: the split point is the first entry opening at or after the middle of the text after the
  // first entry. Otherwise the offset from which the split point is searched (for tests).
  std::size_t splitFrom = 0;
};

struct TwoPartReadResult {
  int parse = 0;  // as CRtfDictionaryReader::ReadDictionary returns it
  bool split = false;  // the second reader's records follow the first's
};

// Reads a whole file as platform::ReadWholeFile does, the second half at the same time on
// `helper` (available and without work), through a file of its own: reading a large file copies
// megabytes into pages that are new to the process, and two cores do that in about half the
// time. Without the helper, or when the second file cannot be opened, the file is read on this
// thread alone. A read error on either thread is thrown, once both are done.
bool ReadFileInTwoParts(platform::IFileSystem& files, const std::string& path, platform::Sharing sharing,
                        CHelperThread& helper, platform::WholeFile& out);

// Reads `text` (`length` bytes followed by a zero, which may hold zeros of its own: the text then
// ends at the first; the buffer is written to while it is read and
// left as it was) into `first`, and when the split holds, the part after the split point into
// `second`, whose records are then numbered on from the first's. Both readers are new (only
// PrepareBuffers called on `first`). The records of first then second are the records, and the
// result the result, of first.ReadDictionary(text) alone. The second part is read on `thread`
// when one is given (without work), else on a helper thread started for it; where no thread is
// available, the text is read in one pass.
TwoPartReadResult ReadDictionaryInTwoParts(CRtfDictionaryReader& first, CRtfDictionaryReader& second,
                                           std::uint8_t* text, std::size_t length,
                                           const TwoPartReadOptions& options = {},
                                           CHelperThread* thread = nullptr);

}  // namespace lexaport
