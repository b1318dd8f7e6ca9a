#pragma once
// Reading a writer dictionary file (".ZQDCX") held in memory: its header, info block and
// checksum, looking an outline up, and walking the tree in file order.
//
// Every read is bounds-checked: the bytes may be anything (a damaged file, a fuzzer's input).
// The walk also holds the tree to the shape the builder gives it -- blocks in post-order, one
// after another from offset 1664 to the end of the file -- which makes it linear in the file's
// size whatever the bytes say.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dict/DictionaryFileFormat.h"

namespace lexaport {

// The fields of the header and info block (as they stand; HeaderProblems judges them).
struct WriterDictionaryInfo {
  std::uint32_t formatNumber = 0;
  std::uint32_t buildDate = 0;
  std::uint32_t secondBuildDate = 0;
  std::uint8_t fileType = 0;
  std::uint32_t infoTag = 0;
  std::uint32_t intermediateSize = 0;
  std::uint32_t recordNumbersFlag = 0;
  std::uint32_t fileLength = 0;  // as recorded in the info block
  std::uint16_t checksum = 0;    // as recorded in the info block
  std::int64_t modifiedTime = 0;
  std::uint32_t datesFlag = 0;
  std::uint32_t alignedFlag = 0;
};

// One entry as the file holds it.
struct WriterEntry {
  std::uint8_t key[dictfile::kMaxKeyBytes] = {};  // the stroke bytes, 4 per stroke
  int keyLength = 0;
  bool hasRecordNumber = false;  // the record numbers flag
  std::uint32_t recordNumber = 0;
  bool hasDates = false;  // the dates flag
  std::uint32_t secondDate = 0;
  std::uint32_t creationDate = 0;
  std::uint32_t reserved = 0;
  const std::uint8_t* translation = nullptr;  // into the file's bytes
  std::size_t translationLength = 0;
  std::size_t blockOffset = 0;  // the block that holds the entry
  bool terminal = false;        // the terminal entry of an index node (else in a leaf bucket)
};

// Receives what a walk of the tree finds.
class WriterTreeVisitor {
 public:
  virtual ~WriterTreeVisitor() = default;
  virtual void OnEntry(const WriterEntry& entry) = 0;
  // A fault in the tree. After a fault that leaves the rest of the tree unreadable the walk
  // stops; lesser faults (order, padding, counts) are reported and the walk goes on.
  virtual void OnProblem(const std::string& text) = 0;
};

class WriterDictionary {
 public:
  // Borrows the bytes of a whole file; they must stay in place while the object is used.
  WriterDictionary(const std::uint8_t* bytes, std::size_t size);

  const std::uint8_t* Bytes() const { return bytes_; }
  std::size_t Size() const { return size_; }
  const WriterDictionaryInfo& Info() const { return info_; }
  bool Aligned() const { return info_.alignedFlag == 1; }
  bool RecordNumbers() const { return info_.recordNumbersFlag == 1; }
  bool Dates() const { return info_.datesFlag == 1; }

  // Every fault of the header and the info block, and a wrong checksum; empty when sound. The
  // lookup and the walk need a file without such faults (they use the flags and the length).
  std::vector<std::string> HeaderProblems() const;
  bool HeaderSound() const { return HeaderProblems().empty(); }

  // Finds the entry whose key is `key` (4 to 64 bytes). False when there is none, also when the
  // path to it leads outside the file.
  bool Lookup(const std::uint8_t* key, std::size_t keyLength, WriterEntry& out) const;

  // Walks the whole tree, passing every entry in file order (which is descending key order).
  // Returns true when the walk found no fault at all.
  bool Walk(WriterTreeVisitor& visitor) const;

  // Every entry in file order; stops at the first fault, which goes to `problem`.
  bool ForEachEntry(const std::function<void(const WriterEntry&)>& onEntry, std::string* problem = nullptr) const;

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  WriterDictionaryInfo info_;
};

}  // namespace lexaport
