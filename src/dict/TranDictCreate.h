#pragma once
// CTranDictCreate: builds a writer dictionary file (".ZQDCX") from an intermediate dictionary file
// (".zqdct") in one pass over its sorted records, read from the file or taken as they are
// written. The key tree is cut into index nodes and leaf buckets with a lookahead of five
// entries, its blocks are written in post-order from offset 1664 through a write buffer, then
// come the root table, the checksum, the info block and the header.
//
// One object serves any number of builds (the conversion job uses it twice for a dictionary that
// is rebuilt in aligned mode); each CreateDictionary closes its files and empties its buffer. The
// memory for the records stays with the object until it is destroyed.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "support/GrowableArray.h"

namespace lexaport {

class CWrittenRecords;  // dict/WrittenRecords.h

// Results of CTranDictCreate::CreateDictionary.
namespace createresult {
inline constexpr int kWritten = 1;
inline constexpr int kNoRecords = 2;          // the intermediate file is exactly 640 bytes long
inline constexpr int kStatusUnreadable = 3;   // e.g. the intermediate file does not exist
inline constexpr int kNotIntermediate = 4;    // bad header, or records this system did not write
inline constexpr int kCannotOpen = 5;
inline constexpr int kCannotCreate = 6;
inline constexpr int kTooLarge = 7;           // aligned offsets would pass 64 MiB; no file is left
inline constexpr int kOutOfMemory = 8;        // no writer file is left behind
}  // namespace createresult

// A sentence for the user for every result above ("The dictionary is too large for the writer."),
// also for values that are none of them.
const char* CreateDictionaryResultText(int result);

// Where the time of one CreateDictionary went (steady clock, seconds).
struct BuildTimings {
  double loadSeconds = 0.0;      // reading and checking the intermediate file (none alongside)
  double treeSeconds = 0.0;      // cutting the tree, writing its blocks (checksummed as they go out)
                                 // and the root table; alongside the writing, with the waits for
                                 // records
  double checksumSeconds = 0.0;  // completing the CRC-16: the root table, the tail read back
};

class CTranDictCreate {
 public:
  CTranDictCreate(platform::IFileSystem& files, platform::IClock& clock);
  virtual ~CTranDictCreate();
  CTranDictCreate(const CTranDictCreate&) = delete;
  CTranDictCreate& operator=(const CTranDictCreate&) = delete;

  // Builds the writer dictionary file beside `intermediatePath` (its extension replaced by
  // ".ZQDCX") and returns a createresult code. `writerPath` receives the writer path (absolute)
  // for every result except kStatusUnreadable; it is empty with kCannotCreate when no writer path
  // can be formed (too long, or it would name the input). A read or write error once the files
  // are open throws
  // platform::FileError (the writer file then lacks its header).
  //
  // The whole record area is checked before the writer file is created: every record whole,
  // 1 to 16 strokes, keys strictly descending. Anything else gives kNotIntermediate.
  int CreateDictionary(const std::string& intermediatePath, std::string& writerPath, bool recordNumbers,
                       bool dates, bool aligned);

  // Builds the writer dictionary file beside `intermediatePath` from the records of that file
  // while it is being written, on another thread (`records`, filled by WriteIntermediateRecords):
  // the tree is cut as the records come, and once the file is complete its header and status are
  // read as CreateDictionary reads them. The writer file is the one CreateDictionary makes of the
  // finished intermediate file, and the results are CreateDictionary's, with two more: when the
  // writing of the intermediate file ends without the file, any writer file begun is removed and
  // the result is kCannotOpen (also when writing the writer file failed as well); when its status
  // cannot be read then, kStatusUnreadable. The records are taken as this system wrote them,
  // unchecked. Once `records` has ended with the file written, it may be built from again (the
  // aligned rebuild) without waiting.
  int CreateDictionaryAlongside(const CWrittenRecords& records, const std::string& intermediatePath,
                                std::string& writerPath, bool recordNumbers, bool dates, bool aligned);

  // True after a byte-mode build (result kWritten) whose blocks reached beyond 16,777,216 bytes,
  // where 24-bit byte offsets end. Such a file keeps its full length, so the size rule (rebuild
  // a file over 16 MiB in aligned mode) catches it; its unreachable offsets are written as 0 and
  // its file type byte as dictfile::kUnusableWriterFileType, so no reader takes it for sound.
  bool OffsetsOutOfReach() const { return offsetsOutOfReach_; }

  // The stage times of the last CreateDictionary.
  const BuildTimings& LastBuildTimings() const { return timings_; }

 private:
  enum class TreeResult { kDone, kTooLarge, kOutOfMemory, kInconsistent };
  struct TreeState;

  void StartBuild();
  // `Source` hands out the records in file order with their numbers: bool Next(record, number).
  template <class Source>
  TreeResult TimedWriteTree(Source& records, bool recordNumbers, bool dates, bool aligned);
  template <class Source>
  TreeResult WriteTree(Source& records, bool recordNumbers, bool dates, bool aligned);
  // The createresult for a tree that was not done.
  static int TreeFailureResult(TreeResult tree);
  // Removes the unfinished writer file and returns `result`.
  int AbandonOutput(const std::string& writerPath, int result);
  // Completes the writer file whose tree is written: the checksum, then the header (the
  // intermediate file's, retyped and dated) and the info block.
  int FinishOutput(std::uint8_t* header, std::uint32_t today, std::uint64_t intermediateSize, std::int64_t modifiedTime,
                   bool recordNumbers, bool dates, bool aligned);
  void WriteBuffered(const void* bytes, std::size_t count);
  void FlushBuffer();
  void SeekOutput(std::uint64_t offset);
  std::uint16_t ChecksumOfOutput();

  platform::IFileSystem& files_;
  platform::IClock& clock_;
  std::unique_ptr<platform::IFile> output_;
  std::unique_ptr<std::uint8_t[]> writeBuffer_;  // kWriteBufferSize bytes, or null when memory failed
  // The records of the intermediate file. Kept from one build to the next (a dictionary rebuilt
  // in aligned mode reads the same file again into memory that is already there) and released
  // with the object.
  CGrowableArray<std::uint8_t> area_;
  std::size_t bufferFill_ = 0;
  std::uint64_t outputPosition_ = 0;
  // The checksum of the tree blocks, taken as they are written (from a zero register), and of
  // the root table (from the preset), for ChecksumOfOutput.
  bool checksumBlocks_ = false;
  std::uint16_t blocksChecksum_ = 0;
  std::uint64_t blocksLength_ = 0;
  std::uint16_t rootChecksum_ = 0;
  bool offsetsOutOfReach_ = false;
  BuildTimings timings_;
};

}  // namespace lexaport
