#pragma once
// The records of an intermediate dictionary file while it is being written, for a writer file
// that is built beside the writing, on another thread (CTranDictCreate::CreateDictionaryAlongside).
// One thread writes: WriteIntermediateRecords hands over every record it puts into the file, in
// file order, and the caller says when the file is complete and closed. One thread reads: the
// builder takes the records as they become available.
//
// A record is kept as a pointer to the bytes that went into the file, except the record number:
// the file numbers its records 1, 2, 3 ..., so the number of record i is i + 1 and is not kept.
// A record the writing side holds only for the moment (a merged entry) is copied into memory of
// this object's own; every other record must stay where it is while this object lives.
//
// The pointers go into an array the caller provides, with room for every record that can be
// written. It may be the array the records are written from: the walk that writes them writes
// at most one record per record it reads, so the k-th pointer handed over never lands on a
// pointer the walk has yet to read.
//
// Records are made visible in batches: waking the other thread for each record would cost more
// than building its part of the tree. The batches are small all the same (64 records): the
// builder then follows the walk closely, reading records the walk has just brought into the
// cache from all over memory, and it has little left to build once the walk is done. Batches of
// 4096 left it a last batch to build alone and cache misses of its own; batches of 16 made it
// catch up and sleep too often.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace lexaport {

class CWrittenRecords {
 public:
  explicit CWrittenRecords(const std::uint8_t** slots) : slots_(slots) {}
  CWrittenRecords(const CWrittenRecords&) = delete;
  CWrittenRecords& operator=(const CWrittenRecords&) = delete;

  // Writing side. The record has gone into the file and stays in place.
  void Add(const std::uint8_t* record) {
    slots_[added_++] = record;
    if (added_ % kBatch == 0) Publish(kOpen);
  }
  // The record has gone into the file, but its memory is about to be reused: it is copied.
  // Throws std::bad_alloc when the copy gets no memory.
  void AddCopy(const std::uint8_t* record);
  // The file is complete and closed (`written`), or its writing ended without it (false). Makes
  // every record added so far visible; called once.
  void End(bool written) { Publish(written ? kWritten : kAbandoned); }

  // Reading side. Returns a count of records available, more than `index` while record `index`
  // is or may become available: waits until it is, or until End is called. A count of at most
  // `index` means that End has been called and no record `index` will come.
  std::size_t WaitBeyond(std::size_t index) const;
  // Waits for End and returns whether the file was written.
  bool WaitForEnd() const;
  // The pointers, record i's at [i]; those below WaitBeyond's count may be read.
  const std::uint8_t* const* Records() const { return slots_; }

 private:
  // The published state: the number of records visible, times 4, plus one of these.
  enum : std::uint64_t { kOpen = 0, kWritten = 1, kAbandoned = 2, kStateMask = 3 };
  static constexpr std::size_t kBatch = 64;
  static constexpr std::size_t kCopyBlockSize = 64 * 1024;

  void Publish(std::uint64_t state);

  // What the writing side changes for every record, what it changes for every batch, and what
  // neither changes each lie in cache lines of their own: a line that both cores use while one
  // writes to it moves between them at every write.
  static constexpr std::size_t kCacheLine = 64;

  const std::uint8_t** const slots_;
  alignas(kCacheLine) std::size_t added_ = 0;  // writing side only
  // Copies of merged records: blocks that never move once made (a record larger than a block
  // gets a block of its own).
  std::vector<std::unique_ptr<std::uint8_t[]>> copyBlocks_;
  std::size_t copyBlockUsed_ = kCopyBlockSize;
  // The last member: the object's size is a whole number of lines, so the rest of this one is
  // padding of its own.
  alignas(kCacheLine) std::atomic<std::uint64_t> progress_{0};
};

}  // namespace lexaport
