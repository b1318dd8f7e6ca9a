#include "dict/WriterDictionary.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "dict/Crc16.h"
#include "dict/IntermediateRecordArea.h"
#include "support/ByteOrder.h"

namespace lexaport {
namespace {

using namespace dictfile;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

unsigned long long U(std::uint64_t v) { return static_cast<unsigned long long>(v); }

// Reads one entry payload at `pos`; false when it runs past the end of the file.
bool ReadPayload(const std::uint8_t* f, std::size_t size, std::size_t& pos, bool recordNumbers, bool dates,
                 WriterEntry& entry) {
  if (size - pos < 2) return false;
  entry.translationLength = LoadU16(f + pos);
  pos += 2;
  entry.hasRecordNumber = recordNumbers;
  entry.hasDates = dates;
  if (recordNumbers) {
    if (size - pos < 4) return false;
    entry.recordNumber = LoadU32(f + pos);
    pos += 4;
  }
  if (dates) {
    if (size - pos < 12) return false;
    entry.secondDate = LoadU32(f + pos);
    entry.creationDate = LoadU32(f + pos + 4);
    entry.reserved = LoadU32(f + pos + 8);
    pos += 12;
  }
  if (size - pos < entry.translationLength) return false;
  entry.translation = f + pos;
  pos += entry.translationLength;
  return true;
}

// The walk of the whole tree. Blocks must come one after another in post-order: `next_` is where
// the next block to be completed has to start, and every block is checked against it when it is
// completed (after its children). Each call of Block therefore either completes a block, moving
// `next_` on, or ends the walk, so the work is linear in the size of the file.
class TreeWalk {
 public:
  TreeWalk(const WriterDictionary& dictionary, WriterTreeVisitor& visitor)
      : f_(dictionary.Bytes()),
        size_(dictionary.Size()),
        unit_(dictionary.Aligned() ? 4 : 1),
        aligned_(dictionary.Aligned()),
        recordNumbers_(dictionary.RecordNumbers()),
        dates_(dictionary.Dates()),
        visitor_(visitor) {}

  bool Run() {
    if (size_ < kFirstBlockOffset) return Fatal(Format("the file is %llu bytes long, too short for a root table", U(size_)));
    bool any = false;
    for (int b = 255; b >= 0; --b) {
      const std::uint8_t* root = f_ + kRootTableOffset + static_cast<std::size_t>(b) * kChildEntrySize;
      if (LoadU32(root) == 0) continue;
      any = true;
      if (root[0] != 0) Problem(Format("root table entry %d has key byte %d instead of 0", b, root[0]));
      key_[0] = static_cast<std::uint8_t>(b);
      const std::uint64_t offset = static_cast<std::uint64_t>(LoadU24(root + 1)) * unit_;
      if (!Child(offset, size_, 1, Format("root table entry %d", b))) return false;
    }
    if (!any) Problem("the root table is empty: the dictionary holds no entries");
    if (next_ != size_) {
      return Fatal(Format("the blocks end at offset %llu but the file is %llu bytes long", U(next_), U(size_)));
    }
    return sound_;
  }

 private:
  void Problem(const std::string& text) {
    sound_ = false;
    visitor_.OnProblem(text);
  }
  bool Fatal(const std::string& text) {
    Problem(text);
    return false;
  }

  // Checks a child entry's offset and walks the block it leads to (at `depth`).
  bool Child(std::uint64_t offset, std::uint64_t parent, int depth, const std::string& what) {
    if (offset >= parent) {
      return Fatal(Format("%s points to offset %llu, not before the block that refers to it (%llu)", what.c_str(),
                          U(offset), U(parent)));
    }
    if (offset < next_) {
      return Fatal(Format("%s points to offset %llu, inside blocks already walked (they end at %llu)", what.c_str(),
                          U(offset), U(next_)));
    }
    return Block(static_cast<std::size_t>(offset), depth);
  }

  // Walks the block at `offset`, reached after `depth` key bytes (key_[0..depth-1]).
  bool Block(std::size_t offset, int depth) {
    if (size_ - offset < 2) return Fatal(Format("the block at %llu runs past the end of the file", U(offset)));
    const std::uint16_t head = LoadU16(f_ + offset);
    const int count = head & kHeadCountMask;
    std::size_t pos = offset + 2;

    if ((head & kLeafBucketBit) != 0) {
      if (offset != next_) return Misplaced(offset);
      if ((head & kTerminalBit) != 0) Problem(Format("leaf bucket at %llu has bit 14 set in its head word", U(offset)));
      if (count < 1 || count > kMaxBucketEntries) {
        Problem(Format("leaf bucket at %llu holds %d entries (1 to 6 allowed)", U(offset), count));
      }
      for (int i = 0; i < count; ++i) {
        if (pos >= size_) return Fatal(Format("leaf bucket at %llu runs past the end of the file", U(offset)));
        const int rest = f_[pos++];
        if (depth + rest > kMaxKeyBytes) {
          return Fatal(Format("leaf bucket at %llu: entry %d has a key of %d bytes (at most 64)", U(offset), i + 1,
                              depth + rest));
        }
        if (size_ - pos < static_cast<std::size_t>(rest)) {
          return Fatal(Format("leaf bucket at %llu runs past the end of the file", U(offset)));
        }
        WriterEntry entry;
        std::memcpy(entry.key, key_, static_cast<std::size_t>(depth));
        std::memcpy(entry.key + depth, f_ + pos, static_cast<std::size_t>(rest));
        entry.keyLength = depth + rest;
        pos += static_cast<std::size_t>(rest);
        if (!ReadPayload(f_, size_, pos, recordNumbers_, dates_, entry)) {
          return Fatal(Format("leaf bucket at %llu runs past the end of the file", U(offset)));
        }
        entry.blockOffset = offset;
        Emit(entry);
      }
      return Complete(offset, pos);
    }

    const bool terminal = (head & kTerminalBit) != 0;
    const int children = count - (terminal ? 1 : 0);
    if (depth > kMaxIndexDepth) {
      return Fatal(Format("index node at %llu lies at depth %d (index nodes lie below depth 64)", U(offset), depth));
    }
    if (children > kMaxChildEntries || children < 0) {
      return Fatal(Format("index node at %llu has a head word counting %d child entries", U(offset), children));
    }
    if (children == 0) Problem(Format("index node at %llu has no child entries", U(offset)));
    if ((size_ - pos) / kChildEntrySize < static_cast<std::size_t>(children)) {
      return Fatal(Format("index node at %llu runs past the end of the file", U(offset)));
    }
    const std::size_t table = pos;
    pos += static_cast<std::size_t>(children) * kChildEntrySize;
    for (int i = 0; i < children; ++i) {
      const std::uint8_t* child = f_ + table + static_cast<std::size_t>(i) * kChildEntrySize;
      if (i > 0 && child[0] >= child[-static_cast<int>(kChildEntrySize)]) {
        Problem(Format("index node at %llu: child entry %d (key byte %d) does not follow a higher key byte",
                       U(offset), i + 1, child[0]));
      }
      key_[depth] = child[0];
      const std::uint64_t target = static_cast<std::uint64_t>(LoadU24(child + 1)) * unit_;
      if (!Child(target, offset, depth + 1, Format("child entry %d of the index node at %llu", i + 1, U(offset)))) {
        return false;
      }
    }
    if (offset != next_) return Misplaced(offset);
    if (terminal) {
      WriterEntry entry;
      std::memcpy(entry.key, key_, static_cast<std::size_t>(depth));
      entry.keyLength = depth;
      if (!ReadPayload(f_, size_, pos, recordNumbers_, dates_, entry)) {
        return Fatal(Format("index node at %llu runs past the end of the file", U(offset)));
      }
      entry.blockOffset = offset;
      entry.terminal = true;
      Emit(entry);
    }
    return Complete(offset, pos);
  }

  bool Misplaced(std::size_t offset) {
    return Fatal(Format("the block at %llu does not follow the block before it in post-order (expected at %llu)",
                        U(offset), U(next_)));
  }

  // The block at `offset` ends at `end`: skip its padding and move on.
  bool Complete(std::size_t offset, std::size_t end) {
    if (aligned_) {
      const std::size_t padded = (end + 3) & ~std::size_t{3};
      if (padded > size_) return Fatal(Format("the padding of the block at %llu runs past the end of the file", U(offset)));
      for (std::size_t i = end; i < padded; ++i) {
        if (f_[i] != 0) {
          Problem(Format("the padding of the block at %llu is not zero", U(offset)));
          break;
        }
      }
      end = padded;
    }
    next_ = end;
    return true;
  }

  void Emit(const WriterEntry& entry) {
    if (entry.keyLength < 4 || entry.keyLength % 4 != 0) {
      Problem(Format("the entry in the block at %llu has a key of %d bytes (a multiple of 4, 4 to 64)",
                     U(entry.blockOffset), entry.keyLength));
    }
    if (havePrevious_) {
      const int order = CompareKeys(entry.key, static_cast<std::size_t>(entry.keyLength), previousKey_,
                                    static_cast<std::size_t>(previousLength_));
      if (order == 0) Problem(Format("the entry in the block at %llu repeats the key before it", U(entry.blockOffset)));
      if (order > 0) {
        Problem(Format("the entry in the block at %llu is out of order: its key is above the one before it",
                       U(entry.blockOffset)));
      }
    }
    std::memcpy(previousKey_, entry.key, static_cast<std::size_t>(entry.keyLength));
    previousLength_ = entry.keyLength;
    havePrevious_ = true;
    visitor_.OnEntry(entry);
  }

  const std::uint8_t* f_;
  std::size_t size_;
  unsigned unit_;
  bool aligned_;
  bool recordNumbers_;
  bool dates_;
  WriterTreeVisitor& visitor_;
  std::size_t next_ = kFirstBlockOffset;
  bool sound_ = true;
  std::uint8_t key_[kMaxKeyBytes] = {};
  std::uint8_t previousKey_[kMaxKeyBytes] = {};
  int previousLength_ = 0;
  bool havePrevious_ = false;
};

}  // namespace

WriterDictionary::WriterDictionary(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {
  if (size_ < kFirstRecordOffset) return;
  const std::uint8_t* f = bytes_;
  info_.formatNumber = LoadU32(f + kFormatNumberOffset);
  info_.buildDate = LoadU32(f + kDateOffset);
  info_.secondBuildDate = LoadU32(f + kSecondDateOffset);
  info_.fileType = f[kFileTypeOffset];
  info_.infoTag = LoadU32(f + kInfoTag);
  info_.intermediateSize = LoadU32(f + kInfoIntermediateSize);
  info_.recordNumbersFlag = LoadU32(f + kInfoRecordNumbersFlag);
  info_.fileLength = LoadU32(f + kInfoFileLength);
  info_.checksum = LoadU16(f + kInfoChecksum);
  info_.modifiedTime = LoadS64(f + kInfoModifiedTime);
  info_.datesFlag = LoadU32(f + kInfoDatesFlag);
  info_.alignedFlag = LoadU32(f + kInfoAlignedFlag);
}

std::vector<std::string> WriterDictionary::HeaderProblems() const {
  std::vector<std::string> problems;
  if (size_ > kFileTypeOffset && bytes_[kFileTypeOffset] == kIntermediateFileType &&
      std::memcmp(bytes_, kSignature, kSignatureSize) == 0) {
    problems.push_back("file type 3: an intermediate dictionary file, not a writer dictionary file");
    return problems;
  }
  if (size_ < kFirstBlockOffset) {
    problems.push_back(Format("the file is %llu bytes long, shorter than any writer dictionary file (%llu bytes)",
                              U(size_), U(kFirstBlockOffset)));
    return problems;
  }
  const std::uint8_t* f = bytes_;
  if (std::memcmp(f, kSignature, kSignatureSize) != 0) {
    problems.push_back("the file does not begin with the signature \"ZQCAT32\"");
  }
  if (info_.formatNumber != kFormatNumber) {
    problems.push_back(Format("the header's format number is %u instead of 2", info_.formatNumber));
  }
  if (LoadU32(f + kHeaderZero12) != 0 || LoadU32(f + kHeaderZero20) != 0) {
    problems.push_back("the header fields at offsets 12 and 20 are not zero");
  }
  if (info_.buildDate != info_.secondBuildDate) {
    problems.push_back(Format("the header's two build dates differ (%u and %u)", info_.buildDate, info_.secondBuildDate));
  }
  if (info_.fileType == kUnusableWriterFileType) {
    problems.push_back(
        "file type 0: a byte-mode build that outgrew 24-bit offsets; it must be rebuilt in aligned mode");
  } else if (info_.fileType != kWriterFileType) {
    problems.push_back(Format("file type %u instead of 4", info_.fileType));
  }
  if (info_.infoTag != kWriterInfoTag) {
    problems.push_back(Format("the info block begins with %u instead of 3", info_.infoTag));
  }
  if (info_.recordNumbersFlag > 1) problems.push_back(Format("record numbers flag %u (0 or 1)", info_.recordNumbersFlag));
  if (info_.datesFlag > 1) problems.push_back(Format("dates flag %u (0 or 1)", info_.datesFlag));
  if (info_.alignedFlag > 1) problems.push_back(Format("aligned flag %u (0 or 1)", info_.alignedFlag));
  if (info_.fileLength != static_cast<std::uint32_t>(size_)) {
    problems.push_back(Format("the info block records a length of %u bytes, the file has %llu", info_.fileLength,
                              U(size_)));
  }
  bool reservedClear = LoadU16(f + kInfoChecksumPad) == 0;
  for (std::size_t i = kInfoReservedStart; i < kFirstRecordOffset; ++i) reservedClear = reservedClear && f[i] == 0;
  if (!reservedClear) problems.push_back("reserved bytes of the info block are not zero");
  if (info_.alignedFlag == 1 && size_ % 4 != 0) {
    problems.push_back(Format("an aligned file of %llu bytes, not a multiple of 4", U(size_)));
  }
  const std::uint16_t actual = WriterFileChecksum(f, size_);
  if (actual != info_.checksum) {
    problems.push_back(Format("checksum mismatch: the info block holds 0x%04X, the data gives 0x%04X", info_.checksum,
                              actual));
  }
  return problems;
}

bool WriterDictionary::Lookup(const std::uint8_t* key, std::size_t keyLength, WriterEntry& out) const {
  if (keyLength < 1 || keyLength > static_cast<std::size_t>(kMaxKeyBytes) || size_ < kFirstBlockOffset) return false;
  const std::uint64_t unit = Aligned() ? 4 : 1;
  const std::uint8_t* root = bytes_ + kRootTableOffset + static_cast<std::size_t>(key[0]) * kChildEntrySize;
  std::uint64_t offset = LoadU24(root + 1) * unit;
  std::size_t depth = 1;
  for (;;) {
    if (offset < kFirstBlockOffset || offset >= size_ || size_ - offset < 2) return false;
    const auto block = static_cast<std::size_t>(offset);
    const std::uint16_t head = LoadU16(bytes_ + block);
    const int count = head & kHeadCountMask;
    std::size_t pos = block + 2;
    if ((head & kLeafBucketBit) != 0) {
      for (int i = 0; i < count; ++i) {
        if (pos >= size_) return false;
        const std::size_t rest = bytes_[pos++];
        if (size_ - pos < rest) return false;
        const bool match = depth + rest == keyLength && std::memcmp(bytes_ + pos, key + depth, rest) == 0;
        pos += rest;
        WriterEntry entry;
        if (!ReadPayload(bytes_, size_, pos, RecordNumbers(), Dates(), entry)) return false;
        if (match) {
          std::memcpy(entry.key, key, keyLength);
          entry.keyLength = static_cast<int>(keyLength);
          entry.blockOffset = block;
          out = entry;
          return true;
        }
      }
      return false;
    }
    const bool terminal = (head & kTerminalBit) != 0;
    const int children = count - (terminal ? 1 : 0);
    if (children < 0 || (size_ - pos) / kChildEntrySize < static_cast<std::size_t>(children)) return false;
    if (depth == keyLength) {
      if (!terminal) return false;
      pos += static_cast<std::size_t>(children) * kChildEntrySize;
      WriterEntry entry;
      if (!ReadPayload(bytes_, size_, pos, RecordNumbers(), Dates(), entry)) return false;
      std::memcpy(entry.key, key, keyLength);
      entry.keyLength = static_cast<int>(keyLength);
      entry.blockOffset = block;
      entry.terminal = true;
      out = entry;
      return true;
    }
    std::uint64_t next = 0;
    for (int i = 0; i < children; ++i) {
      const std::uint8_t* child = bytes_ + pos + static_cast<std::size_t>(i) * kChildEntrySize;
      if (child[0] == key[depth]) {
        next = LoadU24(child + 1) * unit;
        break;
      }
    }
    if (next == 0) return false;
    offset = next;
    ++depth;
  }
}

bool WriterDictionary::Walk(WriterTreeVisitor& visitor) const { return TreeWalk(*this, visitor).Run(); }

bool WriterDictionary::ForEachEntry(const std::function<void(const WriterEntry&)>& onEntry,
                                    std::string* problem) const {
  // Entries are passed on only up to the first fault, since what follows it cannot be trusted.
  class Collector final : public WriterTreeVisitor {
   public:
    Collector(const std::function<void(const WriterEntry&)>& f, std::string* p) : f_(f), p_(p) {}
    void OnEntry(const WriterEntry& entry) override {
      if (!failed_) f_(entry);
    }
    void OnProblem(const std::string& text) override {
      if (!failed_ && p_ != nullptr) *p_ = text;
      failed_ = true;
    }

   private:
    const std::function<void(const WriterEntry&)>& f_;
    std::string* p_;
    bool failed_ = false;
  };
  Collector collector(onEntry, problem);
  return Walk(collector);
}

}  // namespace lexaport
