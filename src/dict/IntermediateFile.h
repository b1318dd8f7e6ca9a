#pragma once
// Writing the intermediate dictionary file (".zqdct"): a 512-byte header, a 128-byte info block
// and the entry records in sort order (dict/ImportDictSort.h), with the entries of one outline
// merged into one record and the entries that fail CheckEntry left out. Records are numbered
// 1, 2, 3 ... in file order. The layout constants are in dict/DictionaryFileFormat.h.

#include <cstddef>
#include <cstdint>

#include "platform/FileSystem.h"

namespace lexaport {

// What one conversion into an intermediate file did. Every entry handed to the file writer is
// counted exactly once:
//     entriesRead == recordsWritten + entriesMerged + entriesDropped
// - recordsWritten: records in the file (one per outline at most).
// - entriesMerged: entries whose translation went into a merged record that was written,
//   besides the one entry that record stands for.
// - entriesDropped: every other entry: failed CheckEntry, could not be merged (identical
//   translations, a translation that is not well formed, a merge too long for a record), or
//   belonged to a merged record that failed the check while another entry of its outline was
//   written in its place.
struct IntermediateFileStats {
  std::uint32_t entriesRead = 0;
  std::uint32_t recordsWritten = 0;
  std::uint32_t entriesMerged = 0;
  std::uint32_t entriesDropped = 0;
  std::uint64_t fileSize = 0;  // bytes of the intermediate file

  // Stage times in seconds (steady clock). Only CRtfDictionaryReader::WriteIntermediateFile
  // measures them.
  double readSeconds = 0.0;   // reading the RTF/CRE file
  double parseSeconds = 0.0;  // turning its text into entry records
  double sortSeconds = 0.0;
  double writeSeconds = 0.0;  // merging, checking and writing the intermediate file
  bool readInTwoParts = false;  // the text was read on two threads (rtf/TwoPartRead.h)
};

// Writes a complete intermediate dictionary file into `out`, a newly created empty file, from
// `count` entry records already in sort order (CImportDictSort::Sort). `today` (YYYYMMDD) is the
// date of writing in the header, the creation date of merged records and CheckEntry's today.
// The records are not changed. Throws platform::FileError when writing fails and std::bad_alloc
// when the memory for merging cannot be had. `stats` (optional) receives the counts.
void WriteIntermediateRecords(platform::IFile& out, const std::uint8_t* const* sortedRecords, std::size_t count,
                              std::uint32_t today, IntermediateFileStats* stats = nullptr);

// The whole conversion of one RTF/CRE file is the member
//   int CRtfDictionaryReader::WriteIntermediateFile(files, rtfPath, intermediatePath, stats, twoParts)
// (declared in rtf/RtfDictionaryReader.h, defined with this file): it reads the file (others may
// read it meanwhile, not write it), parses it into records, sorts them, creates the intermediate
// file (by truncation) and writes it with WriteIntermediateRecords, the reader's Today() as the
// date. `twoParts` (optional) lets a large text be read in two parts at once
// (ReadDictionaryInTwoParts, off by default), with the same records. Returns 0 when the file was
// written (also when it holds no records: 640 bytes), and -1
// when the RTF/CRE file cannot be opened, memory cannot be had, or the intermediate file cannot
// be created. A read or write error once the files are open is thrown as platform::FileError.
// `stats` (optional) receives the counts and stage times when 0 is returned.

}  // namespace lexaport
