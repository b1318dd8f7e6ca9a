#include "dict/IntermediateFile.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "dict/CheckEntry.h"
#include "dict/DictionaryFileFormat.h"
#include "dict/ImportDictSort.h"
#include "dict/IntermediateRecordArea.h"
#include "dict/MergeTranslations.h"
#include "dict/WrittenRecords.h"
#include "rtf/RtfDictionaryReader.h"
#include "rtf/TwoPartRead.h"
#include "steno/EntryRecord.h"
#include "steno/StenoKeys.h"
#include "support/ByteOrder.h"
#include "support/CopyFewBytes.h"
#include "support/Prefetch.h"

namespace lexaport {
namespace {

// The file is written in pieces of this size; it holds the largest possible record.
constexpr std::size_t kOutputChunk = 256 * 1024;
static_assert(kOutputChunk >= EntryRecordSize(entry::kMaxStrokes, entry::kMaxTranslationLength));

// How many records ahead of the one being looked at the walk asks for its cache lines.
constexpr std::size_t kPrefetchDistance = 16;

void WriteHeader(platform::IFile& out, std::uint32_t today) {
  std::uint8_t header[dictfile::kHeaderSize] = {};
  std::memcpy(header, dictfile::kSignature, dictfile::kSignatureSize);
  StoreU32(header + dictfile::kFormatNumberOffset, dictfile::kFormatNumber);
  StoreU32(header + dictfile::kDateOffset, today);
  header[dictfile::kFileTypeOffset] = dictfile::kIntermediateFileType;
  CStenoKeys::NumberedLayout(1).Serialize(header + dictfile::kLayoutOffset);
  out.Write(header, sizeof header);
}

void WriteInfo(platform::IFile& out, std::uint32_t recordCount, std::uint32_t recordsSize) {
  std::uint8_t info[dictfile::kInfoSize] = {};
  const auto at = [&info](std::size_t absolute) { return info + (absolute - dictfile::kInfoOffset); };
  StoreU32(at(dictfile::kInfoRecordCount), recordCount);
  StoreU32(at(dictfile::kInfoRecordCountPlusOne), recordCount + 1);
  StoreU32(at(dictfile::kInfoFirstRecord), static_cast<std::uint32_t>(dictfile::kFirstRecordOffset));
  StoreU32(at(dictfile::kInfoRecordsSize), recordsSize);
  out.Write(info, sizeof info);
}

// Appends records to the file, numbering them 1, 2, 3 ... as they go out.
class RecordOutput {
 public:
  explicit RecordOutput(platform::IFile& out) : out_(out), buffer_(new std::uint8_t[kOutputChunk]) {}

  void Write(const std::uint8_t* record) {
    const std::size_t size = EntryRecordView(record).Size();
    if (fill_ + size > kOutputChunk) Flush();
    std::uint8_t* at = buffer_.get() + fill_;
    CopyFewBytes(at, record, size);
    StoreU32(at + entry::kNumber, ++written_);
    fill_ += size;
    total_ += size;
  }

  void Flush() {
    if (fill_ != 0) out_.Write(buffer_.get(), fill_);
    fill_ = 0;
  }

  std::uint32_t Written() const { return written_; }
  std::uint64_t Total() const { return total_; }

 private:
  platform::IFile& out_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t fill_ = 0;
  std::uint32_t written_ = 0;
  std::uint64_t total_ = 0;
};

// Walks the sorted records one outline at a time. Of each outline at most one record is
// written: the merged entry built from its entries, or, when no merge took place or the merged
// entry fails the check, the entry read first (the last of the outline in sort order).
class MergeAndCheckWalk {
 public:
  MergeAndCheckWalk(RecordOutput& output, CWrittenRecords* follower, std::uint32_t today)
      : output_(output), follower_(follower), layout_(CStenoKeys::NumberedLayout(1)), today_(today) {}

  void Run(const std::uint8_t* const* records, std::size_t count, IntermediateFileStats& stats) {
    if (count == 0) return;
    previous_ = records[0];
    groupSize_ = 1;
    for (std::size_t i = 1; i < count; ++i) {
      if (i + kPrefetchDistance < count) {
        // A record is rarely longer than a cache line, but may straddle two.
        PrefetchForRead(records[i + kPrefetchDistance], 64);
      }
      const std::uint8_t* entry = records[i];
      if (SameOutline(previous_, entry)) {
        MergeIntoPending(entry);
      } else {
        FinishOutline(stats);
        groupSize_ = 0;
      }
      ++groupSize_;
      previous_ = entry;
    }
    FinishOutline(stats);
  }

 private:
  // CompareStrokes(...) == 0: the same stroke count and the same key sets.
  static bool SameOutline(const std::uint8_t* a, const std::uint8_t* b) {
    const int strokes = a[entry::kStrokeCount];
    if (strokes != b[entry::kStrokeCount]) return false;
    const std::size_t keyLength = 4 * static_cast<std::size_t>(strokes);
    return CompareKeys(a + entry::kStrokes, keyLength, b + entry::kStrokes, keyLength) == 0;
  }

  bool Accepted(const std::uint8_t* record) const { return IsAcceptedEntry(CheckEntry(record, layout_, today_)); }

  // Entries of one outline arrive read-last first. The first merge puts the entry read earlier
  // in front of the one read later; each further merge appends the next earlier entry.
  void MergeIntoPending(const std::uint8_t* entry) {
    const std::size_t length = hasPending_ ? MergeTranslations(pending_.data(), entry, merged_)
                                           : MergeTranslations(entry, previous_, merged_);
    // A translation longer than its 16-bit length field cannot be stored: no merge.
    if (length == 0 || length > static_cast<std::size_t>(entry::kMaxTranslationLength)) return;
    const EntryRecordView view(entry);
    spare_.assign(EntryRecordSize(view.StrokeCount(), length), 0);
    BuildEntryRecord(spare_.data(), view.Strokes(), view.StrokeCount(), merged_.data(), static_cast<int>(length), 0,
                     today_);
    pending_.swap(spare_);
    participants_ = hasPending_ ? participants_ + 1 : 2;
    hasPending_ = true;
  }

  void FinishOutline(IntermediateFileStats& stats) {
    std::uint32_t kept = 0;  // entries the written record stands for
    if (hasPending_ && Accepted(pending_.data())) {
      output_.Write(pending_.data());
      if (follower_ != nullptr) follower_->AddCopy(pending_.data());
      kept = participants_;
    } else if (Accepted(previous_)) {
      output_.Write(previous_);
      if (follower_ != nullptr) follower_->Add(previous_);
      kept = 1;
    }
    if (kept > 0) {
      ++stats.recordsWritten;
      stats.entriesMerged += kept - 1;
    }
    stats.entriesDropped += groupSize_ - kept;
    hasPending_ = false;
  }

  RecordOutput& output_;
  CWrittenRecords* const follower_;
  const StenoLayout layout_;
  const std::uint32_t today_;
  const std::uint8_t* previous_ = nullptr;
  std::uint32_t groupSize_ = 0;  // entries of the current outline so far
  bool hasPending_ = false;
  std::uint32_t participants_ = 0;  // entries merged into the pending entry
  std::vector<std::uint8_t> pending_;
  std::vector<std::uint8_t> spare_;
  std::vector<std::uint8_t> merged_;
};

// Seconds since the previous lap.
class StageClock {
 public:
  double Lap() {
    const auto now = std::chrono::steady_clock::now();
    const std::chrono::duration<double> elapsed = now - last_;
    last_ = now;
    return elapsed.count();
  }

 private:
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

}  // namespace

void WriteIntermediateRecords(platform::IFile& out, const std::uint8_t* const* sortedRecords, std::size_t count,
                              std::uint32_t today, IntermediateFileStats* stats, CWrittenRecords* follower) {
  IntermediateFileStats counts;
  counts.entriesRead = static_cast<std::uint32_t>(count);

  WriteHeader(out, today);
  // Until the records are written the info block holds the number handed in and no size.
  WriteInfo(out, counts.entriesRead, 0);

  RecordOutput output(out);
  MergeAndCheckWalk(output, follower, today).Run(sortedRecords, count, counts);
  output.Flush();

  out.Seek(dictfile::kInfoOffset);
  WriteInfo(out, output.Written(), static_cast<std::uint32_t>(output.Total()));
  counts.fileSize = dictfile::kFirstRecordOffset + output.Total();

  if (stats != nullptr) {
    stats->entriesRead = counts.entriesRead;
    stats->recordsWritten = counts.recordsWritten;
    stats->entriesMerged = counts.entriesMerged;
    stats->entriesDropped = counts.entriesDropped;
    stats->fileSize = counts.fileSize;
  }
}

CSortedEntries::CSortedEntries() = default;
CSortedEntries::~CSortedEntries() = default;

int CRtfDictionaryReader::ReadSortedEntries(platform::IFileSystem& files, const std::string& rtfPath,
                                            CSortedEntries& sorted, IntermediateFileStats* stats,
                                            const TwoPartReadOptions* twoParts, CHelperThread* givenHelper) {
  IntermediateFileStats result;
  StageClock clock;
  try {
    // Started before the file is read, so that it has a core by the time it gets its share of
    // the read, of the parse and then its share of the sort; only for a file that
    // will be read in parts (its size when it is looked at, the read decides).
    const TwoPartReadOptions options = twoParts != nullptr ? *twoParts : TwoPartReadOptions{};
    const auto status = files.Status(rtfPath);
    const bool large = status && status->size >= options.minimumLength;
    std::optional<CHelperThread> ownHelper;
    if (givenHelper == nullptr) ownHelper.emplace(large);
    CHelperThread& helper = givenHelper != nullptr ? *givenHelper : *ownHelper;
    platform::WholeFile text;
    // A large file is read on both threads as well.
    const bool haveText = large ? ReadFileOnTwoThreads(files, rtfPath, platform::Sharing::kDenyWrite, helper, text)
                                : platform::ReadWholeFile(files, rtfPath, platform::Sharing::kDenyWrite, text);
    if (!haveText) return -1;
    result.readSeconds = clock.Lap();

    if (!PrepareBuffers(text.size)) return -1;
    const TwoPartReadResult read =
        ReadDictionaryInParts(*this, sorted.parts_, text.bytes.get(), text.size, options, &helper);
    if (read.parse < 0) return -1;  // also when the last entry could not be stored
    result.readInTwoParts = read.split;
    result.parseSeconds = clock.Lap();

    // The text has been read: its memory, already in place, serves the sort's arrays and, when
    // there is room for it too, the pointer array (at its end).
    std::uint32_t count = EntryCount();
    for (const auto& part : sorted.parts_) count += part->EntryCount();
    std::span<std::uint8_t> spare(text.bytes.get(), text.size + 1);
    const std::uint8_t** records = nullptr;
    const std::size_t pointerBytes = sizeof(const std::uint8_t*) * count;
    if (pointerBytes + alignof(const std::uint8_t*) + CImportDictSort::WorkAreaBytes(count) <= spare.size()) {
      const auto end = reinterpret_cast<std::uintptr_t>(spare.data() + spare.size());
      const std::uintptr_t start = (end - pointerBytes) & ~std::uintptr_t{alignof(const std::uint8_t*) - 1};
      records = reinterpret_cast<const std::uint8_t**>(start);
      spare = spare.first(start - reinterpret_cast<std::uintptr_t>(spare.data()));
    } else {
      sorted.ownRecords_.reset(new (std::nothrow) const std::uint8_t*[count == 0 ? 1 : count]);
      if (!sorted.ownRecords_) return -1;
      records = sorted.ownRecords_.get();
    }
    std::uint32_t at = 0;
    const auto pointToRecordsOf = [&](const CRtfDictionaryReader& reader) {
      const std::uint8_t* data = reader.EntryData();
      const std::uint32_t* offsets = reader.EntryOffsets();
      for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) new (records + at++) const std::uint8_t*(data + offsets[i]);
    };
    pointToRecordsOf(*this);
    for (const auto& part : sorted.parts_) pointToRecordsOf(*part);
    CImportDictSort::Sort(records, count, spare, &helper);
    result.sortSeconds = clock.Lap();

    sorted.text_ = std::move(text.bytes);
    sorted.records_ = records;
    sorted.count_ = count;
  } catch (const std::bad_alloc&) {
    return -1;
  }
  if (stats != nullptr) *stats = result;
  return 0;
}

int CRtfDictionaryReader::WriteIntermediateFile(platform::IFileSystem& files, const std::string& rtfPath,
                                                const std::string& intermediatePath, IntermediateFileStats* stats,
                                                const TwoPartReadOptions* twoParts) {
  IntermediateFileStats result;
  CSortedEntries sorted;
  if (ReadSortedEntries(files, rtfPath, sorted, &result, twoParts) != 0) return -1;
  try {
    StageClock clock;
    // Not being able to create the output is a failure like not being able to open the input.
    std::unique_ptr<platform::IFile> out = files.CreateForRewriting(intermediatePath);
    if (!out) return -1;
    WriteIntermediateRecords(*out, sorted.Records(), sorted.Count(), Today(), &result);
    out->Finish();
    out.reset();
    result.writeSeconds = clock.Lap();
  } catch (const std::bad_alloc&) {
    return -1;
  }
  if (stats != nullptr) *stats = result;
  return 0;
}

}  // namespace lexaport
