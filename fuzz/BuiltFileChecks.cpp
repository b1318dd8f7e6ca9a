#include "fuzz/BuiltFileChecks.h"

#include <cstring>
#include <vector>

#include "dict/CheckEntry.h"
#include "dict/DictionaryFileFormat.h"
#include "dict/IntermediateRecordArea.h"
#include "dict/TranDictCreate.h"
#include "dict/WriterDictionary.h"
#include "dict/WriterDictionaryVerify.h"
#include "platform/Clock.h"
#include "steno/EntryRecord.h"
#include "steno/StenoKeys.h"
#include "support/ByteOrder.h"

namespace lexaport::fuzz {

namespace {

// Lookup of every record is cheap for the small inputs a fuzzer makes; past this many records
// only the first ones are looked up.
constexpr std::size_t kMaxLookups = 4096;

bool HeaderAccepted(const std::uint8_t* file, std::size_t size) {
  using namespace dictfile;
  return size >= kFirstRecordOffset && std::memcmp(file, kSignature, kSignatureSize) == 0 &&
         LoadU32(file + kFormatNumberOffset) == kFormatNumber && file[kFileTypeOffset] == kIntermediateFileType;
}

struct Mode {
  bool recordNumbers;
  bool dates;
  bool aligned;
};

std::string ModeName(const Mode& mode) {
  return std::string(mode.aligned ? "aligned" : "byte-mode") + (mode.dates ? " build with dates" : " build");
}

// The writer file `writer` built from the record area must hold exactly its records.
std::string CheckWriterHoldsRecords(const std::vector<std::uint8_t>& writer, const std::uint8_t* area,
                                    std::size_t recordCount, const Mode& mode) {
  const WriterVerifyReport report = VerifyWriterDictionary(writer.data(), writer.size());
  if (!report.Sound()) {
    return "the " + ModeName(mode) + " gave a writer file that verify rejects: " +
           (report.problems.empty() ? std::string("?") : report.problems.front());
  }
  if (report.entryCount != recordCount) {
    return "the " + ModeName(mode) + " holds " + std::to_string(report.entryCount) + " entries for " +
           std::to_string(recordCount) + " records";
  }
  const WriterDictionary dictionary(writer.data(), writer.size());
  if (dictionary.Aligned() != mode.aligned || dictionary.RecordNumbers() != mode.recordNumbers ||
      dictionary.Dates() != mode.dates) {
    return "the " + ModeName(mode) + " records other flags than it was asked for";
  }
  std::size_t offset = 0;
  for (std::size_t i = 0; i < recordCount && i < kMaxLookups; ++i) {
    const EntryRecordView record(area + offset);
    offset += record.Size();
    WriterEntry found;
    const auto keyLength = static_cast<std::size_t>(4 * record.StrokeCount());
    if (!dictionary.Lookup(record.Strokes(), keyLength, found)) {
      return "record " + std::to_string(i + 1) + " is not found in the " + ModeName(mode);
    }
    const auto translationLength = static_cast<std::size_t>(record.TranslationLength());
    if (found.translationLength != translationLength ||
        std::memcmp(found.translation, record.Translation(), translationLength) != 0 ||
        (mode.recordNumbers && found.recordNumber != record.Number()) ||
        (mode.dates && (found.creationDate != record.CreationDate() || found.secondDate != record.SecondDate()))) {
      return "record " + std::to_string(i + 1) + " comes back changed from the " + ModeName(mode);
    }
  }
  return {};
}

}  // namespace

std::string CheckWrittenIntermediateFile(const std::uint8_t* file, std::size_t size) {
  using namespace dictfile;
  if (!HeaderAccepted(file, size)) return "the intermediate file's header is not the one this system writes";
  const RecordAreaCheck area = CheckRecordArea(file + kFirstRecordOffset, size - kFirstRecordOffset);
  if (area.fault != RecordAreaFault::kNone) {
    return "the intermediate file's records are faulty at area offset " + std::to_string(area.offset);
  }
  if (LoadU32(file + kInfoRecordCount) != area.recordCount ||
      LoadU32(file + kInfoRecordCountPlusOne) != area.recordCount + 1 ||
      LoadU32(file + kInfoFirstRecord) != kFirstRecordOffset ||
      LoadU32(file + kInfoRecordsSize) != size - kFirstRecordOffset) {
    return "the intermediate file's info block does not describe its records";
  }
  const StenoLayout layout = CStenoKeys::NumberedLayout(1);
  std::size_t offset = kFirstRecordOffset;
  for (std::size_t i = 0; i < area.recordCount; ++i) {
    const EntryRecordView record(file + offset);
    if (record.Number() != i + 1) return "record " + std::to_string(i + 1) + " carries another number";
    const std::uint32_t faults = CheckEntry(file + offset, layout, kFuzzToday);
    if (!IsAcceptedEntry(faults)) {
      return "record " + std::to_string(i + 1) + " was written though CheckEntry finds faults " +
             std::to_string(faults);
    }
    offset += record.Size();
  }
  return {};
}

std::string CheckCreateDictionary(platform::MemoryFileSystem& files, const std::string& intermediatePath,
                                  int* result) {
  using namespace dictfile;
  const std::vector<std::uint8_t>* input = files.FindFile(intermediatePath);
  if (input == nullptr) return "no intermediate file to build from";
  // A copy: the builds must not change their input, and it is compared with what they read.
  const std::vector<std::uint8_t> file = *input;
  const bool headerAccepted = HeaderAccepted(file.data(), file.size());
  const std::uint8_t* area = file.data() + (file.size() >= kFirstRecordOffset ? kFirstRecordOffset : file.size());
  const std::size_t areaSize = file.size() >= kFirstRecordOffset ? file.size() - kFirstRecordOffset : 0;
  const RecordAreaCheck check = CheckRecordArea(area, areaSize);

  int expected = createresult::kNotIntermediate;
  if (headerAccepted && areaSize == 0) expected = createresult::kNoRecords;
  if (headerAccepted && areaSize > 0 && check.fault == RecordAreaFault::kNone) expected = createresult::kWritten;

  platform::FixedClock clock(kFuzzToday);
  CTranDictCreate builder(files, clock);  // one builder for both builds, as the conversion job has
  const Mode modes[] = {{true, false, false}, {false, true, true}};
  bool first = true;
  for (const Mode& mode : modes) {
    std::string writerPath;
    const int got = builder.CreateDictionary(intermediatePath, writerPath, mode.recordNumbers, mode.dates, mode.aligned);
    if (first && result != nullptr) *result = got;
    first = false;
    if (got != expected) {
      return "the " + ModeName(mode) + " gave result " + std::to_string(got) + " where " + std::to_string(expected) +
             " was due";
    }
    const std::vector<std::uint8_t>* writer = files.FindFile(writerPath);
    if (got != createresult::kWritten) {
      if (writer != nullptr) return "result " + std::to_string(got) + " left a writer file behind";
      continue;
    }
    if (writer == nullptr) return "result 1 without a writer file";
    std::string problem = CheckWriterHoldsRecords(*writer, area, check.recordCount, mode);
    if (!problem.empty()) return problem;
    files.Remove(writerPath);
  }
  const std::vector<std::uint8_t>* after = files.FindFile(intermediatePath);
  if (after == nullptr || *after != file) return "building changed the intermediate file";
  return {};
}

}  // namespace lexaport::fuzz
