#include "app/DictionaryConversion.h"

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <utility>

#include "dict/WrittenRecords.h"
#include "rtf/RtfDictionaryReader.h"
#include "support/HelperThread.h"

namespace lexaport {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs the build on the helper thread, or, when there is none, in Join: the build waits for the
// records its caller writes meanwhile, so it cannot run before them on the same thread.
class BuildOnHelper {
 public:
  BuildOnHelper(CHelperThread& helper, std::function<void()> work) : helper_(helper), work_(std::move(work)) {
    if (helper_.Available()) {
      helper_.Run(std::exchange(work_, nullptr));
      running_ = true;
    }
  }
  ~BuildOnHelper() { Join(); }
  BuildOnHelper(const BuildOnHelper&) = delete;
  BuildOnHelper& operator=(const BuildOnHelper&) = delete;

  // Returns when the build is done; call it once the records are all handed over (or abandoned).
  void Join() {
    if (std::exchange(running_, false)) {
      helper_.Wait();
    } else if (work_) {
      std::exchange(work_, nullptr)();
    }
  }

 private:
  CHelperThread& helper_;
  std::function<void()> work_;
  bool running_ = false;
};

}  // namespace

DictionaryConversion ConvertDictionary(platform::IFileSystem& files, platform::IClock& clock,
                                       const std::string& rtfPath, const std::string& intermediatePath,
                                       const ConversionOptions& options) {
  DictionaryConversion result;
  CRtfDictionaryReader reader(clock.LocalDate());
  CSortedEntries sorted;
  CTranDictCreate builder(files, clock);
  // One helper thread for the whole conversion, started before the file is read so that it has
  // the other core by the time it gets work: its share of the pieces of a large read, of the
  // parse, half of a large sort, then the first writer build. Declared after the owners of the
  // large buffers so that it has ended before they are freed: unmapping memory while a second
  // thread runs makes the kernel interrupt that thread's core to flush its TLB, once per block
  // (on a virtual machine a costly exit each time; about 2 ms in a conversion of 150,000
  // entries).
  CHelperThread helper(true);
  if (reader.ReadSortedEntries(files, rtfPath, sorted, &result.intermediate, nullptr, &helper) != 0) {
    return result;  // kUnreadable
  }
  // Not being able to create the output is a failure like not being able to open the input.
  std::unique_ptr<platform::IFile> intermediate = files.CreateForRewriting(intermediatePath);
  if (!intermediate) return result;

  constexpr bool kRecordNumbers = true;
  constexpr bool kDates = false;
  // The writer file's tree is cut on the other core while the intermediate file is written; the
  // pointers to the records written go over the sorted array behind the walk.
  CWrittenRecords written(sorted.Records());
  {
    std::exception_ptr buildError;
    BuildOnHelper build(helper, [&] {
      const auto start = std::chrono::steady_clock::now();
      try {
        result.createResult = builder.CreateDictionaryAlongside(written, intermediatePath, result.writerPath,
                                                                kRecordNumbers, kDates, options.alignedFromStart);
      } catch (...) {
        buildError = std::current_exception();
      }
      result.firstBuildSeconds = SecondsSince(start);
    });
    try {
      const auto start = std::chrono::steady_clock::now();
      WriteIntermediateRecords(*intermediate, sorted.Records(), sorted.Count(), reader.Today(), &result.intermediate,
                               &written);
      intermediate->Finish();
      intermediate.reset();
      result.intermediate.writeSeconds = SecondsSince(start);
      written.End(true);
    } catch (const std::bad_alloc&) {
      // As when the file cannot be read: the builder has removed what it began once it returns.
      written.End(false);
      build.Join();
      return result;  // kUnreadable
    } catch (...) {
      written.End(false);
      build.Join();
      throw;
    }
    build.Join();
    if (buildError) std::rethrow_exception(buildError);
  }
  result.firstBuild = builder.LastBuildTimings();
  result.aligned = options.alignedFromStart;
  if (result.createResult != createresult::kWritten) {
    result.outcome = DictionaryConversion::Outcome::kBuildFailed;
    return result;
  }

  // The size is taken whole: a file of 4 GiB and more must not pass for a small one. A file whose
  // size cannot be had cannot be judged, so it is not passed on either.
  const auto status = files.Status(result.writerPath);
  if (!status) {
    result.createResult = createresult::kStatusUnreadable;
    result.outcome = DictionaryConversion::Outcome::kBuildFailed;
    return result;
  }
  result.firstBuildSize = status->size;
  result.writerFileSize = result.firstBuildSize;
  if (!options.alignedFromStart && result.firstBuildSize > options.alignedRebuildThreshold) {
    files.Remove(result.writerPath);
    const auto start = std::chrono::steady_clock::now();
    // The intermediate file is complete: its records are all there to be built from again.
    result.createResult = builder.CreateDictionaryAlongside(written, intermediatePath, result.writerPath,
                                                            kRecordNumbers, kDates, true);
    result.alignedRebuildSeconds = SecondsSince(start);
    result.alignedRebuild = builder.LastBuildTimings();
    result.rebuiltAligned = true;
    result.aligned = true;
    if (result.createResult != createresult::kWritten) {
      result.outcome = DictionaryConversion::Outcome::kBuildFailed;
      return result;
    }
    const auto rebuilt = files.Status(result.writerPath);
    result.writerFileSize = rebuilt ? rebuilt->size : 0;
  }
  result.outcome = DictionaryConversion::Outcome::kConverted;
  return result;
}

std::string ConversionFailureMessage(const std::string& rtfPath, const DictionaryConversion& conversion) {
  std::string message = "Unable to convert " + rtfPath + ". ";
  switch (conversion.outcome) {
    case DictionaryConversion::Outcome::kConverted:
      return std::string();
    case DictionaryConversion::Outcome::kUnreadable:
      return message + "The file cannot be read, or there is not enough memory to read it.";
    case DictionaryConversion::Outcome::kBuildFailed:
      if (conversion.createResult == createresult::kNoRecords) return message + "No entries found in the RTF/CRE file.";
      return message + CreateDictionaryResultText(conversion.createResult);
  }
  return message;
}

}  // namespace lexaport
