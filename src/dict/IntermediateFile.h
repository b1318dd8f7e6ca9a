#pragma once
// Writing the intermediate dictionary file (".zqdct"): a 512-byte header, a 128-byte info block
// and the entry records in sort order (dict/ImportDictSort.h), with the entries of one outline
// merged into one record and the entries that fail CheckEntry left out. Records are numbered
// 1, 2, 3 ... in file order. The layout constants are in dict/DictionaryFileFormat.h.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/FileSystem.h"

namespace lexaport {

class CRtfDictionaryReader;
class CWrittenRecords;

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
// when the memory for merging cannot be had. `stats` (optional) receives the counts. `follower`
// (optional) is handed every record as it goes into the file; ending it is the caller's part,
// once the file is closed.
void WriteIntermediateRecords(platform::IFile& out, const std::uint8_t* const* sortedRecords, std::size_t count,
                              std::uint32_t today, IntermediateFileStats* stats = nullptr,
                              CWrittenRecords* follower = nullptr);

// The entries of one RTF/CRE file, read and sorted, with the memory they lie in: what its
// intermediate file is written from. Filled by CRtfDictionaryReader::ReadSortedEntries; the
// records of the first part of the text stay in that reader, which must outlive this object's use.
class CSortedEntries {
 public:
  CSortedEntries();
  ~CSortedEntries();
  CSortedEntries(const CSortedEntries&) = delete;
  CSortedEntries& operator=(const CSortedEntries&) = delete;

  // The records in sort order. The array may be written over (CWrittenRecords does), once the
  // records have been read from it.
  const std::uint8_t** Records() { return records_; }
  std::uint32_t Count() const { return count_; }

 private:
  friend class CRtfDictionaryReader;
  std::unique_ptr<std::uint8_t[]> text_;  // the file's text; after the sort, the pointer array's home
  std::vector<std::unique_ptr<CRtfDictionaryReader>> parts_;  // the records after the first split point
  std::unique_ptr<const std::uint8_t*[]> ownRecords_;  // when the text had no room for them
  const std::uint8_t** records_ = nullptr;
  std::uint32_t count_ = 0;
};

// The whole conversion of one RTF/CRE file is in two members of CRtfDictionaryReader (declared
// in rtf/RtfDictionaryReader.h, defined with this file):
//   int ReadSortedEntries(files, rtfPath, sorted, stats, twoParts, helper)
// reads the file (others may read it meanwhile, not write it), parses it into records and sorts
// them into `sorted`. `twoParts` (optional) lets a large text be read in parts on two threads
// (ReadDictionaryInParts; by default from 1 MB on), with the same records. Returns 0, or -1
// when the RTF/CRE file cannot be opened or memory cannot be had; a read error once the file is
// open is thrown as platform::FileError. `stats` (optional) receives the read, parse and sort
// times and whether the text was read in parts. A share of the pieces of a large file, of the
// parts of the parse and half of a large sort go to `helper` (optional, without work) when one is
// given, else to a helper thread started for a large file.
//   int WriteIntermediateFile(files, rtfPath, intermediatePath, stats, twoParts)
// does that, then creates the intermediate file (writing over an earlier one in place) and
// writes it with WriteIntermediateRecords, the reader's Today() as the date. Returns 0 when the
// file was written (also when it holds no records: 640 bytes), and -1 when the RTF/CRE file
// cannot be opened, memory cannot be had, or the intermediate file cannot be created. A read or
// write error once the files are open is thrown as platform::FileError. `stats` (optional)
// receives the counts and stage times when 0 is returned.

}  // namespace lexaport
