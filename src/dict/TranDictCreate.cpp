#include "dict/TranDictCreate.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>

#include "dict/Crc16.h"
#include "dict/DictionaryFileFormat.h"
#include "dict/IntermediateRecordArea.h"
#include "dict/WriterPath.h"
#include "steno/EntryRecord.h"
#include "support/ByteOrder.h"

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

}  // namespace

// The fixed working state of one WriteTree run (about 67 KB, so it lives on the heap).
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
    const std::uint8_t* key = nullptr;
    int keyLength = 0;
    // share[j]: 1 + the number of entries after this one in the window whose keys agree with its
    // key in bytes 0..j.
    std::uint16_t share[dictfile::kMaxKeyBytes] = {};
  };

  Level levels[kLevels];
  Slot window[kWindowSlots];
};

CTranDictCreate::CTranDictCreate(platform::IFileSystem& files, platform::IClock& clock)
    : files_(files), clock_(clock), writeBuffer_(new (std::nothrow) std::uint8_t[dictfile::kWriteBufferSize]) {}

CTranDictCreate::~CTranDictCreate() = default;

void CTranDictCreate::WriteBuffered(const void* bytes, std::size_t count) {
  const auto* in = static_cast<const std::uint8_t*>(bytes);
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
  bufferFill_ = 0;
  offsetsOutOfReach_ = false;
  timings_ = BuildTimings{};
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
  std::unique_ptr<std::uint8_t[]> area;
  std::size_t areaSize = 0;
  {
    std::unique_ptr<platform::IFile> input = files_.OpenForReading(intermediatePath, platform::Sharing::kShareAll);
    if (!input) return createresult::kCannotOpen;
    if (input->Read(header, kHeaderSize) != kHeaderSize) return createresult::kNotIntermediate;
    if (std::memcmp(header, kSignature, kSignatureSize) != 0 || header[kFileTypeOffset] != kIntermediateFileType) {
      return createresult::kNotIntermediate;
    }
    std::uint8_t info[kInfoSize];  // read past, its contents are not needed
    if (input->Read(info, kInfoSize) != kInfoSize) return createresult::kNotIntermediate;

    const std::uint64_t length = input->Length();
    if (length < kFirstRecordOffset) return createresult::kNotIntermediate;
    if (length == kFirstRecordOffset) return createresult::kNoRecords;
    if (length - kFirstRecordOffset < entry::kHeaderSize + 1) return createresult::kNotIntermediate;
    if (length - kFirstRecordOffset > SIZE_MAX) return createresult::kOutOfMemory;

    areaSize = static_cast<std::size_t>(length - kFirstRecordOffset);
    area.reset(new (std::nothrow) std::uint8_t[areaSize]);
    if (!area) return createresult::kOutOfMemory;
    std::size_t got = 0;
    while (got < areaSize) {
      const std::size_t n = input->Read(area.get() + got, areaSize - got);
      if (n == 0) break;
      got += n;
    }
    areaSize = got;  // a file that shrank while we read it is judged by what is there
  }
  if (areaSize == 0) return createresult::kNoRecords;
  if (CheckRecordArea(area.get(), areaSize).fault != RecordAreaFault::kNone) return createresult::kNotIntermediate;
  timings_.loadSeconds = SecondsSince(loadStart);
  if (!writeBuffer_) return createresult::kOutOfMemory;

  output_ = files_.CreateForWriting(writerPath);
  if (!output_) return createresult::kCannotCreate;
  try {
    return WriteDictionary(header, area, areaSize, writerPath, status->size, status->modifiedTime, recordNumbers,
                           dates, aligned);
  } catch (...) {
    // A file error ends the build; the file stays as far as it got, without its header.
    bufferFill_ = 0;
    output_.reset();
    throw;
  }
}

int CTranDictCreate::WriteDictionary(std::uint8_t* header, std::unique_ptr<std::uint8_t[]>& area,
                                     std::size_t areaSize, const std::string& writerPath,
                                     std::uint64_t intermediateSize, std::int64_t modifiedTime,
                                     bool recordNumbers, bool dates, bool aligned) {
  using namespace dictfile;

  // Header: the intermediate file's, retyped and dated. Info block: filled in as we go.
  const std::uint32_t today = clock_.LocalDate();
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

  const auto treeStart = std::chrono::steady_clock::now();
  const TreeResult tree = WriteTree(area.get(), areaSize, recordNumbers, dates, aligned);
  area.reset();
  timings_.treeSeconds = SecondsSince(treeStart);
  if (tree != TreeResult::kDone) {
    bufferFill_ = 0;
    output_.reset();
    files_.Remove(writerPath);
    if (tree == TreeResult::kTooLarge) return createresult::kTooLarge;
    if (tree == TreeResult::kOutOfMemory) return createresult::kOutOfMemory;
    return createresult::kNotIntermediate;
  }

  const std::uint64_t fileLength = output_->Length();
  StoreU32(header + kInfoFileLength, static_cast<std::uint32_t>(fileLength));
  const auto checksumStart = std::chrono::steady_clock::now();
  const std::optional<std::uint16_t> checksum = ChecksumOfOutput();
  timings_.checksumSeconds = SecondsSince(checksumStart);
  if (!checksum) {
    // A file with a checksum that does not match its data would be refused by the writer, or
    // worse, taken: no such file is left behind.
    output_.reset();
    files_.Remove(writerPath);
    return createresult::kOutOfMemory;
  }
  StoreU16(header + kInfoChecksum, *checksum);
  if (offsetsOutOfReach_) header[kFileTypeOffset] = kUnusableWriterFileType;

  output_->Seek(0);
  output_->Write(header, kHeaderSize + kInfoSize);
  output_.reset();
  return createresult::kWritten;
}

// Reads the data area back in 64 KiB pieces. The last piece is fed whole although the read ends
// at the end of the file, so the checksum also covers what the buffer still holds from the piece
// before (zeros when there is none): that is the definition the writer checks against. Nothing
// when the buffer cannot be had.
std::optional<std::uint16_t> CTranDictCreate::ChecksumOfOutput() {
  using namespace dictfile;
  std::uint16_t reg = kCrc16Preset;
  std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kChecksumBufferSize]());
  if (!buffer) return std::nullopt;
  const std::uint64_t length = output_->Length();
  output_->Seek(kFirstRecordOffset);
  std::uint64_t remaining = length - (kFirstRecordOffset - kChecksumTailSize);
  while (remaining > 0) {
    const auto k = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kChecksumBufferSize));
    std::size_t got = 0;
    while (got < k) {
      const std::size_t n = output_->Read(buffer.get() + got, k - got);
      if (n == 0) break;
      got += n;
    }
    reg = Crc16Update(reg, buffer.get(), k);
    remaining -= k;
  }
  return reg;
}

CTranDictCreate::TreeResult CTranDictCreate::WriteTree(const std::uint8_t* area, std::size_t size,
                                                       bool recordNumbers, bool dates, bool aligned) {
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
  auto writePayload = [&](const std::uint8_t* record) {
    const EntryRecordView view(record);
    std::uint8_t fields[2 + 4 + 12];
    std::size_t n = 0;
    StoreU16(fields, static_cast<std::uint16_t>(view.TranslationLength()));
    n += 2;
    if (recordNumbers) {
      StoreU32(fields + n, view.Number());
      n += 4;
    }
    if (dates) {
      StoreU32(fields + n, view.SecondDate());
      StoreU32(fields + n + 4, view.CreationDate());
      StoreU32(fields + n + 8, view.Reserved());
      n += 12;
    }
    WriteBuffered(fields, n);
    WriteBuffered(view.Translation(), static_cast<std::size_t>(view.TranslationLength()));
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
      if (pendingTerminal != nullptr) writePayload(pendingTerminal);
      pendingTerminal = nullptr;
    } else if (pendingTerminal != nullptr) {
      consistent = false;
    }
    level.children = 0;
    level.terminal = false;
    pad();
    open = i;
  };

  std::size_t nextRecord = 0;  // offset in the area of the record to be read next
  int consume = 0;
  int fill = 0;
  int inWindow = 0;
  bool inputRemains = true;

  // Reads the next record into the window. The area has been checked to hold whole records only.
  auto fillSlot = [&] {
    if (nextRecord >= size) {
      inputRemains = false;
      return;
    }
    Slot& slot = window[fill];
    const EntryRecordView view(area + nextRecord);
    slot.record = area + nextRecord;
    slot.key = view.Strokes();
    slot.keyLength = 4 * view.StrokeCount();
    std::fill(slot.share, slot.share + slot.keyLength, std::uint16_t{1});
    nextRecord += view.Size();
    fill = (fill + 1) % kWindowSlots;
    ++inWindow;
  };

  // Counts the newest entry into the shared-prefix counters of the entries before it.
  auto accountNewest = [&] {
    const int newest = (fill + kWindowSlots - 1) % kWindowSlots;
    int limit = window[newest].keyLength;
    int later = newest;
    for (int step = 1; step < inWindow && limit > 0; ++step) {
      const int t = (later + kWindowSlots - 1) % kWindowSlots;
      Slot& slot = window[t];
      const std::uint8_t* other = window[later].key;
      const int bound = std::min(limit, slot.keyLength);
      int agreed = 0;
      while (agreed < bound && slot.key[agreed] == other[agreed]) {
        ++slot.share[agreed];
        ++agreed;
      }
      limit = agreed;
      later = t;
    }
  };

  SeekOutput(kFirstBlockOffset);
  fillSlot();

  for (;;) {
    if (tooLarge) return TreeResult::kTooLarge;
    if (!consistent) return TreeResult::kInconsistent;
    if (inputRemains) {
      accountNewest();
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
      pendingLevel = d;
      consume = (consume + 1) % kWindowSlots;
      --inWindow;
      fillSlot();
      continue;
    }

    if (!appendChild(d, key[d])) return TreeResult::kInconsistent;
    open = d + 1;
    // Extend the path by index nodes while all five entries ahead share the next key byte.
    if (x.share[d] > kLookahead) {
      for (int k = d + 1; k < kx; ++k) {
        if (!appendChild(k, key[k])) return TreeResult::kInconsistent;
        open = k + 1;
        if (x.share[k] <= kLookahead) break;
      }
    }

    // Leaf bucket at depth `open`: this entry and those after it that share its first `open`
    // key bytes.
    setLastChildOffset(open - 1);
    std::uint8_t head[2];
    StoreU16(head, static_cast<std::uint16_t>(kLeafBucketBit + x.share[open - 1]));
    WriteBuffered(head, 2);
    for (;;) {
      const Slot& y = window[consume];
      const int rest = y.keyLength - open;
      if (rest < 0) return TreeResult::kInconsistent;
      const std::uint8_t count = static_cast<std::uint8_t>(rest);
      WriteBuffered(&count, 1);
      WriteBuffered(y.key + open, static_cast<std::size_t>(rest));
      writePayload(y.record);
      const bool nextShares = y.share[open - 1] > 1;
      consume = (consume + 1) % kWindowSlots;
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
  SeekOutput(kRootTableOffset);
  WriteBuffered(root, sizeof root);
  FlushBuffer();
  return TreeResult::kDone;
}

}  // namespace lexaport
