#include "app/DictionaryConversion.h"

#include <chrono>
#include <utility>

#include "rtf/RtfDictionaryReader.h"
#include "support/GrowableArray.h"

namespace lexaport {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

DictionaryConversion ConvertDictionary(platform::IFileSystem& files, platform::IClock& clock,
                                       const std::string& rtfPath, const std::string& intermediatePath,
                                       const ConversionOptions& options) {
  DictionaryConversion result;
  CGrowableArray<std::uint8_t> recordMemory;
  {
    CRtfDictionaryReader reader(clock.LocalDate());
    if (reader.WriteIntermediateFile(files, rtfPath, intermediatePath, &result.intermediate) != 0) {
      result.outcome = DictionaryConversion::Outcome::kUnreadable;
      return result;
    }
    recordMemory = reader.ReleaseEntryData();
  }  // the reader's other buffers go before the builder takes its own

  constexpr bool kRecordNumbers = true;
  constexpr bool kDates = false;
  CTranDictCreate builder(files, clock);
  // The reader's records went into the intermediate file; the builder reads them back into the
  // memory they lay in, which spares it as many fresh pages.
  builder.AdoptRecordMemory(std::move(recordMemory));
  auto start = std::chrono::steady_clock::now();
  result.createResult =
      builder.CreateDictionary(intermediatePath, result.writerPath, kRecordNumbers, kDates, options.alignedFromStart);
  result.firstBuildSeconds = SecondsSince(start);
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
    start = std::chrono::steady_clock::now();
    result.createResult = builder.CreateDictionary(intermediatePath, result.writerPath, kRecordNumbers, kDates, true);
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
