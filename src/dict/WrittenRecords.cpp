#include "dict/WrittenRecords.h"

#include <cstring>

#include "steno/EntryRecord.h"

namespace lexaport {

void CWrittenRecords::AddCopy(const std::uint8_t* record) {
  const std::size_t size = EntryRecordView(record).Size();
  std::uint8_t* copy = nullptr;
  if (size > kCopyBlockSize) {
    copyBlocks_.emplace_back(new std::uint8_t[size]);
    copy = copyBlocks_.back().get();
    copyBlockUsed_ = kCopyBlockSize;  // the next record must not go into this block's end
  } else {
    if (kCopyBlockSize - copyBlockUsed_ < size) {
      copyBlocks_.emplace_back(new std::uint8_t[kCopyBlockSize]);
      copyBlockUsed_ = 0;
    }
    copy = copyBlocks_.back().get() + copyBlockUsed_;
    copyBlockUsed_ += size;
  }
  std::memcpy(copy, record, size);
  Add(copy);
}

void CWrittenRecords::Publish(std::uint64_t state) {
  // Release: the pointers, and the copies they lead to, are in place before the count that
  // makes them visible.
  progress_.store(static_cast<std::uint64_t>(added_) * 4 + state, std::memory_order_release);
  progress_.notify_one();
}

std::size_t CWrittenRecords::WaitBeyond(std::size_t index) const {
  for (;;) {
    const std::uint64_t progress = progress_.load(std::memory_order_acquire);
    const auto visible = static_cast<std::size_t>(progress / 4);
    if (visible > index || (progress & kStateMask) != kOpen) return visible;
    progress_.wait(progress, std::memory_order_acquire);
  }
}

bool CWrittenRecords::WaitForEnd() const {
  for (;;) {
    const std::uint64_t progress = progress_.load(std::memory_order_acquire);
    if ((progress & kStateMask) != kOpen) return (progress & kStateMask) == kWritten;
    progress_.wait(progress, std::memory_order_acquire);
  }
}

}  // namespace lexaport
