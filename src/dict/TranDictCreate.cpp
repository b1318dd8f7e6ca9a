#include "dict/TranDictCreate.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <new>

#include "dict/Crc16.h"
#include "dict/DictionaryFileFormat.h"
#include "dict/IntermediateRecordArea.h"
#include "dict/WriterPath.h"
#include "dict/WrittenRecords.h"
#include "steno/EntryRecord.h"
#include "support/ByteOrder.h"
#include "support/CopyFewBytes.h"
#include "support/Prefetch.h"

namespace lexaport {

const char* CreateDictionaryResultText(int result) {
  switch (result) {
    case createresult::kWritten:
      return "The writer dictionary file was written.";
    case createresult::kNoRecords:
      return "The dictionary holds no entries.";
    case createresult::kStatusUnreadable:
      return "The intermediate dictionary file cannot be found or its status cannot be read.";
    case createresult::kNotIntermediate:
      return "The file is not an intermediate dictionary file written by Lexaport, or it is damaged.";
    case createresult::kCannotOpen:
      return "The intermediate dictionary file cannot be opened.";
    case createresult::kCannotCreate:
      return "The writer dictionary file cannot be created.";
    case createresult::kTooLarge:
      return "The dictionary is too large for the writer.";
    case createresult::kOutOfMemory:
      return "There is not enough memory to build the writer dictionary.";
    default:
      return "The writer dictionary could not be built (unknown result).";
  }
}

namespace {

constexpr int kLevels = dictfile::kMaxKeyBytes;  // one per key byte
constexpr int kWindowSlots = 6;                  // the entry being placed and five ahead
constexpr int kLookahead = kWindowSlots - 1;

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::uint32_t OffsetField(std::uint64_t position, bool aligned) {
  return static_cast<std::uint32_t>(aligned ? position / 4 : position);
}

// The number of bytes, at most `bound`, in which two keys agree from their start. Compared eight
// bytes at a time (loaded little-endian, so the lowest differing bit lies in the first differing
// byte); nothing beyond `bound` is read.
int CommonPrefix(const std::uint8_t* a, const std::uint8_t* b, int bound) {
  int n = 0;
  for (; n + 8 <= bound; n += 8) {
    const std::uint64_t difference = LoadU64(a + n) ^ LoadU64(b + n);
    if (difference != 0) return n + std::countr_zero(difference) / 8;
  }
  while (n < bound && a[n] == b[n]) ++n;
  return n;
}

// Reads the intermediate file's header and tells whether it is one this system writes.
bool ReadIntermediateHeader(platform::IFile& input, std::uint8_t* header) {
  using namespace dictfile;
  if (input.Read(header, kHeaderSize) != kHeaderSize) return false;
  // The header goes into the writer file as it stands, format number included: a file of
  // another format would give a writer file the writer does not know.
  return std::memcmp(header, kSignature, kSignatureSize) == 0 && LoadU32(header + kFormatNumberOffset) == kFormatNumber &&
         header[kFileTypeOffset] == kIntermediateFileType;
}

int PreviousSlot(int slot) { return slot == 0 ? kWindowSlots - 1 : slot - 1; }
int NextSlot(int slot) { return slot == kWindowSlots - 1 ? 0 : slot + 1; }

// The records of an intermediate file read into memory, one after another; each carries its
// number. The area has been checked to hold whole records only.
class RecordAreaSource {
 public:
  RecordAreaSource(const std::uint8_t* area, std::size_t size) : area_(area), size_(size) {}

  bool Next(const std::uint8_t*& record, std::uint32_t& number) {
    if (next_ >= size_) return false;
    record = area_ + next_;
    const EntryRecordView view(record);
    number = view.Number();
    next_ += view.Size();
    return true;
  }

 private:
  const std::uint8_t* const area_;
  const std::size_t size_;
  std::size_t next_ = 0;
};

// The records of an intermediate file as it is being written; record i is number i + 1.
class WrittenRecordSource {
  static constexpr std::size_t kPrefetchDistance = 16;

 public:
  explicit WrittenRecordSource(const CWrittenRecords& records) : records_(records), slots_(records.Records()) {}

  bool Next(const std::uint8_t*& record, std::uint32_t& number) {
    if (next_ >= available_) {
      available_ = records_.WaitBeyond(next_);
      if (next_ >= available_) return false;
    }
    // The records lie where they were parsed, in reading order, not in sort order.
    if (next_ + kPrefetchDistance < available_) PrefetchForRead(slots_[next_ + kPrefetchDistance], 64);
    record = slots_[next_];
    ++next_;
    number = static_cast<std::uint32_t>(next_);
    return true;
  }

 private:
  const CWrittenRecords& records_;
  const std::uint8_t* const* const slots_;
  std::size_t next_ = 0;
  std::size_t available_ = 0;
};

}  // namespace

// The fixed working state of one WriteTree run (about 66 KB, so it lives on the heap).
struct CTranDictCreate::TreeState {
  // An open index node: the child entries appended so far (key byte, then the 24-bit offset,
  // set when the block it leads to is written) and whether it has a terminal entry.
  struct Level {
    int children = 0;
    bool terminal = false;
    std::uint8_t entries[dictfile::kMaxChildEntries * dictfile::kChildEntrySize] = {};
    // Bits 0-13 count the child entries and the terminal entry, bit 14 marks the terminal entry.
    std::uint16_t Head() const {
      return static_cast<std::uint16_t>(children + (terminal ? dictfile::kTerminalBit + 1 : 0));
    }
    std::uint8_t* LastChild() { return entries + (children - 1) * dictfile::kChildEntrySize; }
  };
  struct Slot {
    const std::uint8_t* record = nullptr;
    std::uint32_t number = 0;
    const std::uint8_t* key = nullptr;
    int keyLength = 0;
    // The key bytes, from the first, in which this entry agrees with the entry after it; set
    // when that entry is read into the window.
    int sharedWithNext = 0;
  };

  Level levels[kLevels];
  Slot window[kWindowSlots];
};

CTranDictCreate::CTranDictCreate(platform::IFileSystem& files, platform::IClock& clock)
    : files_(files), clock_(clock), writeBuffer_(new (std::nothrow) std::uint8_t[dictfile::kWriteBufferSize]) {}

CTranDictCreate::~CTranDictCreate() = default;

void CTranDictCreate::WriteBuffered(const void* bytes, std::size_t count) {
  const auto* in = static_cast<const std::uint8_t*>(bytes);
  if (count < dictfile::kWriteBufferSize - bufferFill_) {
    // The common case: a few bytes that fit with room to spare.
    CopyFewBytes(writeBuffer_.get() + bufferFill_, in, count);
    bufferFill_ += count;
    outputPosition_ += count;
    return;
  }
  while (count > 0) {
    const std::size_t n = std::min(count, dictfile::kWriteBufferSize - bufferFill_);
    std::memcpy(writeBuffer_.get() + bufferFill_, in, n);
    bufferFill_ += n;
    outputPosition_ += n;
    in += n;
    count -= n;
    if (bufferFill_ == dictfile::kWriteBufferSize) FlushBuffer();
  }
}

void CTranDictCreate::FlushBuffer() {
  if (bufferFill_ == 0) return;
  const std::size_t fill = bufferFill_;
  bufferFill_ = 0;  // emptied also when the write throws: the next build starts clean
  if (checksumBlocks_) {
    blocksChecksum_ = Crc16Update(blocksChecksum_, writeBuffer_.get(), fill);
    blocksLength_ += fill;
  }
  output_->Write(writeBuffer_.get(), fill);
}

void CTranDictCreate::SeekOutput(std::uint64_t offset) {
  FlushBuffer();
  output_->Seek(offset);
  outputPosition_ = offset;
}

int CTranDictCreate::CreateDictionary(const std::string& intermediatePath, std::string& writerPath,
                                      bool recordNumbers, bool dates, bool aligned) {
  using namespace dictfile;
  StartBuild();
  const auto loadStart = std::chrono::steady_clock::now();

  const std::optional<platform::FileStatus> status = files_.Status(intermediatePath);
  if (!status) return createresult::kStatusUnreadable;

  std::string path = intermediatePath;
  if (!MakeWriterPath(path, files_)) {
    // No path at all rather than one that may name the input: a caller may delete what it gets.
    writerPath.clear();
    return createresult::kCannotCreate;
  }
  writerPath = path;

  std::uint8_t header[kHeaderSize + kInfoSize] = {};
  std::size_t areaSize = 0;
  {
    std::unique_ptr<platform::IFile> input = files_.OpenForReading(intermediatePath, platform::Sharing::kShareAll);
    if (!input) return createresult::kCannotOpen;
    if (!ReadIntermediateHeader(*input, header)) return createresult::kNotIntermediate;
    std::uint8_t info[kInfoSize];  // read past, its contents are not needed
    if (input->Read(info, kInfoSize) != kInfoSize) return createresult::kNotIntermediate;

    const std::uint64_t length = input->Length();
    if (length < kFirstRecordOffset) return createresult::kNotIntermediate;
    if (length == kFirstRecordOffset) return createresult::kNoRecords;
    if (length - kFirstRecordOffset < entry::kHeaderSize + 1) return createresult::kNotIntermediate;
    if (length - kFirstRecordOffset > SIZE_MAX) return createresult::kOutOfMemory;

    areaSize = static_cast<std::size_t>(length - kFirstRecordOffset);
    if (areaSize > area_.Capacity()) {
      area_ = CGrowableArray<std::uint8_t>();  // what it held need not be kept
      if (!area_.Reserve(areaSize)) return createresult::kOutOfMemory;
    }
    std::size_t got = 0;
    while (got < areaSize) {
      const std::size_t n = input->Read(area_.Data() + got, areaSize - got);
      if (n == 0) break;
      got += n;
    }
    areaSize = got;  // a file that shrank while we read it is judged by what is there
  }
  if (areaSize == 0) return createresult::kNoRecords;
  if (CheckRecordArea(area_.Data(), areaSize).fault != RecordAreaFault::kNone) return createresult::kNotIntermediate;
  timings_.loadSeconds = SecondsSince(loadStart);
  if (!writeBuffer_) return createresult::kOutOfMemory;

  const std::uint32_t today = clock_.LocalDate();
  output_ = files_.CreateForRewriting(writerPath);
  if (!output_) return createresult::kCannotCreate;
  try {
    RecordAreaSource records(area_.Data(), areaSize);
    const TreeResult tree = TimedWriteTree(records, recordNumbers, dates, aligned);
    if (tree != TreeResult::kDone) return AbandonOutput(writerPath, TreeFailureResult(tree));
    return FinishOutput(header, today, status->size, status->modifiedTime, recordNumbers, dates, aligned);
  } catch (...) {
    // A file error ends the build; the file stays as far as it got, without its header.
    bufferFill_ = 0;
    output_.reset();
    throw;
  }
}

int CTranDictCreate::CreateDictionaryAlongside(const CWrittenRecords& records, const std::string& intermediatePath,
                                               std::string& writerPath, bool recordNumbers, bool dates,
                                               bool aligned) {
  using namespace dictfile;
  StartBuild();

  std::string path = intermediatePath;
  if (!MakeWriterPath(path, files_)) {
    writerPath.clear();
    return createresult::kCannotCreate;
  }
  writerPath = path;
  if (!writeBuffer_) return createresult::kOutOfMemory;

  // A file without records gives no writer file, so the first record is waited for before the
  // writer file is made.
  if (records.WaitBeyond(0) == 0) {
    return records.WaitForEnd() ? createresult::kNoRecords : createresult::kCannotOpen;
  }
  const std::uint32_t today = clock_.LocalDate();
  output_ = files_.CreateForRewriting(writerPath);
  if (!output_) return createresult::kCannotCreate;
  try {
    WrittenRecordSource source(records);
    const TreeResult tree = TimedWriteTree(source, recordNumbers, dates, aligned);
    // The source has ended, so the writing has: the file is closed, or it was never finished.
    if (!records.WaitForEnd()) return AbandonOutput(writerPath, createresult::kCannotOpen);
    if (tree != TreeResult::kDone) return AbandonOutput(writerPath, TreeFailureResult(tree));

    // The header and the status come from the finished file, as when it is read back.
    const std::optional<platform::FileStatus> status = files_.Status(intermediatePath);
    if (!status) return AbandonOutput(writerPath, createresult::kStatusUnreadable);
    std::uint8_t header[kHeaderSize + kInfoSize] = {};
    std::unique_ptr<platform::IFile> input = files_.OpenForReading(intermediatePath, platform::Sharing::kShareAll);
    if (!input) return AbandonOutput(writerPath, createresult::kCannotOpen);
    if (!ReadIntermediateHeader(*input, header)) return AbandonOutput(writerPath, createresult::kNotIntermediate);
    input.reset();
    return FinishOutput(header, today, status->size, status->modifiedTime, recordNumbers, dates, aligned);
  } catch (...) {
    // Where the writing failed as well (a full disk fails both), its error is the one the caller
    // reports, and the writer file of an intermediate file that is not there is no use to anyone.
    if (!records.WaitForEnd()) return AbandonOutput(writerPath, createresult::kCannotOpen);
    bufferFill_ = 0;
    output_.reset();
    throw;
  }
}

void CTranDictCreate::StartBuild() {
  bufferFill_ = 0;
  checksumBlocks_ = false;
  offsetsOutOfReach_ = false;
  timings_ = BuildTimings{};
}

template <class Source>
CTranDictCreate::TreeResult CTranDictCreate::TimedWriteTree(Source& records, bool recordNumbers, bool dates,
                                                            bool aligned) {
  const auto treeStart = std::chrono::steady_clock::now();
  const TreeResult tree = WriteTree(records, recordNumbers, dates, aligned);
  timings_.treeSeconds = SecondsSince(treeStart);
  return tree;
}

int CTranDictCreate::TreeFailureResult(TreeResult tree) {
  if (tree == TreeResult::kTooLarge) return createresult::kTooLarge;
  if (tree == TreeResult::kOutOfMemory) return createresult::kOutOfMemory;
  return createresult::kNotIntermediate;
}

int CTranDictCreate::AbandonOutput(const std::string& writerPath, int result) {
  bufferFill_ = 0;
  output_.reset();
  files_.Remove(writerPath);
  return result;
}

int CTranDictCreate::FinishOutput(std::uint8_t* header, std::uint32_t today, std::uint64_t intermediateSize,
                                  std::int64_t modifiedTime, bool recordNumbers, bool dates, bool aligned) {
  using namespace dictfile;

  // Header: the intermediate file's, retyped and dated. Info block: filled in as we go.
  header[kFileTypeOffset] = kWriterFileType;
  StoreU32(header + kHeaderZero12, 0);
  StoreU32(header + kHeaderZero20, 0);
  StoreU32(header + kDateOffset, today);
  StoreU32(header + kSecondDateOffset, today);
  std::memset(header + kInfoOffset, 0, kInfoSize);
  StoreU32(header + kInfoTag, kWriterInfoTag);
  StoreU32(header + kInfoIntermediateSize, static_cast<std::uint32_t>(intermediateSize));
  StoreU32(header + kInfoRecordNumbersFlag, recordNumbers ? 1 : 0);
  StoreS64(header + kInfoModifiedTime, modifiedTime);
  StoreU32(header + kInfoDatesFlag, dates ? 1 : 0);
  StoreU32(header + kInfoAlignedFlag, aligned ? 1 : 0);

  const std::uint64_t fileLength = output_->Length();
  StoreU32(header + kInfoFileLength, static_cast<std::uint32_t>(fileLength));
  const auto checksumStart = std::chrono::steady_clock::now();
  // The checksum needs no memory of its own, so a file never goes out with a checksum that does
  // not match its data.
  StoreU16(header + kInfoChecksum, ChecksumOfOutput());
  timings_.checksumSeconds = SecondsSince(checksumStart);
  if (offsetsOutOfReach_) header[kFileTypeOffset] = kUnusableWriterFileType;

  output_->Seek(0);
  output_->Write(header, kHeaderSize + kInfoSize);
  output_->Finish();
  output_.reset();
  return createresult::kWritten;
}

// The checksum the writer checks against (WriterFileChecksum): the data area from offset 640, then
// 256 bytes as a 64 KiB read-back buffer would hold them after reading that area piece by piece
// (the file's bytes 64 KiB before its end, where they lie in the data area, and zeros otherwise).
// The tree blocks were checksummed as they went out, from a zero register; the root table, which
// comes first in the area but was written last, is put in front of them by Crc16Advance, and only
// the 256 bytes are read back.
std::uint16_t CTranDictCreate::ChecksumOfOutput() {
  using namespace dictfile;
  // Everything from offset 1664 to the end of the file went out through the write buffer.
  const std::uint64_t length = kFirstBlockOffset + blocksLength_;
  std::uint16_t reg = Crc16Advance(rootChecksum_, blocksLength_) ^ blocksChecksum_;
  std::uint8_t tail[kChecksumTailSize] = {};
  if (length + kChecksumTailSize > kChecksumBufferSize + kFirstRecordOffset) {
    // Offset length + i - 65,536 is taken only when it is at least 640.
    const std::uint64_t from = std::max<std::uint64_t>(length, kChecksumBufferSize + kFirstRecordOffset);
    const std::size_t skipped = static_cast<std::size_t>(from - length);
    output_->Seek(from - kChecksumBufferSize);
    std::size_t got = skipped;
    while (got < kChecksumTailSize) {
      const std::size_t n = output_->Read(tail + got, kChecksumTailSize - got);
      if (n == 0) break;
      got += n;
    }
  }
  return Crc16Update(reg, tail, kChecksumTailSize);
}

template <class Source>
CTranDictCreate::TreeResult CTranDictCreate::WriteTree(Source& records, bool recordNumbers, bool dates,
                                                       bool aligned) {
  using namespace dictfile;
  using Level = TreeState::Level;
  using Slot = TreeState::Slot;

  std::unique_ptr<TreeState> state(new (std::nothrow) TreeState());
  if (!state) return TreeResult::kOutOfMemory;
  Level* levels = state->levels;
  Slot* window = state->window;

  static constexpr std::uint8_t kZeros[4] = {};
  bool tooLarge = false;

  // Points the last child entry of `level` at the block about to be written.
  auto setLastChildOffset = [&](int level) {
    std::uint32_t field = OffsetField(outputPosition_, aligned);
    if (aligned && outputPosition_ >= kAlignedReach) tooLarge = true;
    if (!aligned && outputPosition_ >= kByteModeReach) {
      offsetsOutOfReach_ = true;
      field = 0;
    }
    StoreU24(levels[level].LastChild() + 1, field);
  };
  auto pad = [&] {
    if (aligned) WriteBuffered(kZeros, (4 - outputPosition_ % 4) % 4);
  };
  // Writes a bucket entry (the count of key bytes from `keyFrom` on, those bytes, the payload)
  // or, when `keyFrom` is negative, the payload alone (a terminal entry). The payload: the
  // translation length, the record number and the dates as asked, the translation. Assembled in
  // place in the write buffer whenever it fits there.
  auto writeEntry = [&](const std::uint8_t* record, std::uint32_t number, int keyFrom) {
    const EntryRecordView view(record);
    const auto translationLength = static_cast<std::size_t>(view.TranslationLength());
    const std::size_t keyBytes = keyFrom < 0 ? 0 : 4 * static_cast<std::size_t>(view.StrokeCount()) - keyFrom;
    const std::size_t fixedBytes = (keyFrom < 0 ? 0 : 1 + keyBytes) + 2 + (recordNumbers ? 4 : 0) + (dates ? 12 : 0);
    const std::size_t total = fixedBytes + translationLength;
    std::uint8_t fixed[1 + kMaxKeyBytes + 2 + 4 + 12];
    const bool inPlace = total < kWriteBufferSize - bufferFill_;
    std::uint8_t* out = inPlace ? writeBuffer_.get() + bufferFill_ : fixed;
    if (keyFrom >= 0) {
      *out++ = static_cast<std::uint8_t>(keyBytes);
      CopyFewBytes(out, view.Strokes() + keyFrom, keyBytes);
      out += keyBytes;
    }
    StoreU16(out, static_cast<std::uint16_t>(translationLength));
    out += 2;
    if (recordNumbers) {
      StoreU32(out, number);
      out += 4;
    }
    if (dates) {
      StoreU32(out, view.SecondDate());
      StoreU32(out + 4, view.CreationDate());
      StoreU32(out + 8, view.Reserved());
      out += 12;
    }
    if (inPlace) {
      CopyFewBytes(out, view.Translation(), translationLength);
      bufferFill_ += total;
      outputPosition_ += total;
    } else {
      WriteBuffered(fixed, fixedBytes);
      WriteBuffered(view.Translation(), translationLength);
    }
  };
  auto appendChild = [&](int level, std::uint8_t keyByte) {
    if (levels[level].children >= kMaxChildEntries || levels[level].terminal) return false;
    ++levels[level].children;
    std::uint8_t* child = levels[level].LastChild();
    child[0] = keyByte;
    StoreU24(child + 1, 0);
    return true;
  };

  const std::uint8_t* pendingTerminal = nullptr;
  std::uint32_t pendingTerminalNumber = 0;
  int pendingLevel = -1;
  int open = 0;
  bool consistent = true;

  // Writes the index node of level i (depth i) and hangs it below level i - 1.
  auto closeLevel = [&](int i) {
    setLastChildOffset(i - 1);
    Level& level = levels[i];
    std::uint8_t head[2];
    StoreU16(head, level.Head());
    WriteBuffered(head, 2);
    WriteBuffered(level.entries, static_cast<std::size_t>(level.children) * kChildEntrySize);
    if (level.terminal) {
      if (pendingTerminal == nullptr || pendingLevel != i) consistent = false;
      if (pendingTerminal != nullptr) writeEntry(pendingTerminal, pendingTerminalNumber, -1);
      pendingTerminal = nullptr;
    } else if (pendingTerminal != nullptr) {
      consistent = false;
    }
    level.children = 0;
    level.terminal = false;
    pad();
    open = i;
  };

  int consume = 0;
  int fill = 0;
  int inWindow = 0;
  bool inputRemains = true;

  // Reads the next record into the window.
  auto fillSlot = [&] {
    Slot& slot = window[fill];
    if (!records.Next(slot.record, slot.number)) {
      inputRemains = false;
      return;
    }
    const EntryRecordView view(slot.record);
    slot.key = view.Strokes();
    slot.keyLength = 4 * view.StrokeCount();
    slot.sharedWithNext = 0;
    if (inWindow > 0) {
      Slot& before = window[PreviousSlot(fill)];
      before.sharedWithNext = CommonPrefix(before.key, slot.key, std::min(before.keyLength, slot.keyLength));
    }
    fill = NextSlot(fill);
    ++inWindow;
  };

  // share(j) of the entry at the consume index: 1 plus the number of entries after it in the
  // window whose keys agree with its key in bytes 0 to j. The records are sorted, so an entry
  // agrees with a later one in as many bytes as the least any two neighbours between them do,
  // and those that agree in bytes 0 to j follow it without a gap.
  auto share = [&](int j) {
    int count = 1;
    for (int slot = consume; count < inWindow && window[slot].sharedWithNext > j; slot = NextSlot(slot)) ++count;
    return count;
  };

  SeekOutput(kFirstBlockOffset);
  checksumBlocks_ = true;
  blocksChecksum_ = 0;
  blocksLength_ = 0;
  fillSlot();

  for (;;) {
    if (tooLarge) return TreeResult::kTooLarge;
    if (!consistent) return TreeResult::kInconsistent;
    if (inputRemains) {
      if (inWindow < kWindowSlots) {
        fillSlot();
        continue;
      }
    } else if (inWindow == 0) {
      break;
    }

    const Slot& x = window[consume];
    const std::uint8_t* key = x.key;
    const int kx = x.keyLength;

    int d = 0;
    while (d < open && d < kx && levels[d].LastChild()[0] == key[d]) ++d;
    for (int i = open - 1; i > d; --i) closeLevel(i);

    if (d == kx) {
      // The key ends at an open index node: it is that node's terminal entry, written when the
      // node is closed. Keep the record itself, since its slot is refilled before then.
      if (d >= kLevels || open <= d || pendingTerminal != nullptr) return TreeResult::kInconsistent;
      levels[d].terminal = true;
      pendingTerminal = x.record;
      pendingTerminalNumber = x.number;
      pendingLevel = d;
      consume = NextSlot(consume);
      --inWindow;
      fillSlot();
      continue;
    }

    if (!appendChild(d, key[d])) return TreeResult::kInconsistent;
    open = d + 1;
    // Extend the path by index nodes while all five entries ahead share the next key byte.
    if (share(d) > kLookahead) {
      for (int k = d + 1; k < kx; ++k) {
        if (!appendChild(k, key[k])) return TreeResult::kInconsistent;
        open = k + 1;
        if (share(k) <= kLookahead) break;
      }
    }

    // Leaf bucket at depth `open`: this entry and those after it that share its first `open`
    // key bytes.
    setLastChildOffset(open - 1);
    std::uint8_t head[2];
    StoreU16(head, static_cast<std::uint16_t>(kLeafBucketBit + share(open - 1)));
    WriteBuffered(head, 2);
    for (;;) {
      const Slot& y = window[consume];
      const int rest = y.keyLength - open;
      if (rest < 0) return TreeResult::kInconsistent;
      writeEntry(y.record, y.number, open);
      const bool nextShares = inWindow > 1 && y.sharedWithNext > open - 1;
      consume = NextSlot(consume);
      --inWindow;
      if (inWindow == 0 || !nextShares) break;
    }
    pad();
    fillSlot();
  }

  for (int i = open - 1; i >= 1; --i) closeLevel(i);
  if (tooLarge) return TreeResult::kTooLarge;
  if (!consistent || pendingTerminal != nullptr) return TreeResult::kInconsistent;

  // Root table: entry b leads to the keys whose first byte is b.
  std::uint8_t root[kRootTableSize] = {};
  const Level& top = levels[0];
  for (int i = 0; i < top.children; ++i) {
    const std::uint8_t* child = top.entries + i * kChildEntrySize;
    std::memcpy(root + child[0] * kChildEntrySize + 1, child + 1, 3);
  }
  FlushBuffer();
  checksumBlocks_ = false;
  rootChecksum_ = Crc16Update(kCrc16Preset, root, sizeof root);
  SeekOutput(kRootTableOffset);
  WriteBuffered(root, sizeof root);
  FlushBuffer();
  return TreeResult::kDone;
}

}  // namespace lexaport
