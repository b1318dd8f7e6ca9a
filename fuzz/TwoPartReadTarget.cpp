#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/BuiltFileChecks.h"
#include "fuzz/FuzzTargets.h"
#include "rtf/RtfDictionaryReader.h"
#include "rtf/TwoPartRead.h"
#include "steno/EntryRecord.h"

namespace lexaport::fuzz {
namespace {

constexpr std::string_view kEntryOpening = "{\\*\\cxs ";
// Split points tried per input: enough to land in every kind of place over a run, few enough to
// keep the target fast. The same number of bytes at which a parse is stopped and resumed.
constexpr std::size_t kMaxSplits = 8;

struct Reading {
  int result = 0;
  std::vector<std::string> records;  // each record's bytes, in reading order
};

void AppendRecords(const CRtfDictionaryReader& reader, std::vector<std::string>& out) {
  for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
    const EntryRecordView record = reader.Entry(i);
    out.emplace_back(reinterpret_cast<const char*>(record.Data()), record.Size());
  }
}

bool SameReading(const Reading& a, const Reading& b) { return a.result == b.result && a.records == b.records; }

// The records of a parse ended by a zero byte at `stop` and started again there; none when the
// buffers cannot be had.
std::optional<Reading> ReadResumedAt(std::vector<std::uint8_t>& text, std::size_t size, std::size_t stop) {
  CRtfDictionaryReader reader(kFuzzToday);
  if (!reader.PrepareBuffers(size)) return std::nullopt;
  Reading r;
  const std::uint8_t kept = text[stop];
  text[stop] = 0;
  r.result = reader.Parse(text.data());
  text[stop] = kept;
  if (r.result >= 0) r.result = reader.ReadDictionary(text.data() + stop);
  AppendRecords(reader, r.records);
  return r;
}

}  // namespace

std::string FuzzTwoPartRead(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> original(data, data + size);
  std::vector<std::uint8_t> text = original;
  text.push_back(0);

  Reading single;
  {
    CRtfDictionaryReader reader(kFuzzToday);
    if (!reader.PrepareBuffers(size)) return "no memory for the buffers of a small file";
    single.result = reader.ReadDictionary(text.data());
    AppendRecords(reader, single.records);
  }

  const std::string_view all(reinterpret_cast<const char*>(original.data()), original.size());
  // The two-part read rests on the byte loop going on after a stop as if it had never stopped.
  // Only the look-ahead at a '{' reads up to 8 bytes on, so no stop falls right after a brace;
  // nor after the first zero byte, where a single pass ends.
  const std::string_view parsed(all.data(), std::min(all.size(), all.find('\0')));
  for (std::size_t i = 1; i <= kMaxSplits && parsed.size() > 1; ++i) {
    const std::size_t stop = 1 + (parsed.size() - 1) * i / (kMaxSplits + 1);
    const std::size_t window = std::min<std::size_t>(stop, 8);
    if (parsed.substr(stop - window, window).find('{') != std::string_view::npos) continue;
    const std::optional<Reading> resumed = ReadResumedAt(text, size, stop);
    if (!resumed) return "no memory for the buffers of a small file";
    if (!SameReading(*resumed, single)) {
      return "resumed at " + std::to_string(stop) + ": another reading than a single pass";
    }
  }

  // Every entry opening in the bytes (also past a zero byte, where a single pass never goes),
  // thinned out evenly, and the split point the reader chooses itself (0).
  std::vector<std::size_t> openings;
  for (std::size_t p = all.find(kEntryOpening); p != std::string_view::npos; p = all.find(kEntryOpening, p + 1)) {
    openings.push_back(p);
  }
  std::vector<std::size_t> froms{0};
  const std::size_t step = std::max<std::size_t>(1, (openings.size() + kMaxSplits - 1) / kMaxSplits);
  for (std::size_t i = 0; i < openings.size(); i += step) froms.push_back(openings[i]);

  // Each reading in parts must be the single pass: one split point searched from each of those
  // places, then many parts (as many as there may be, and three).
  std::vector<TwoPartReadOptions> readings;
  for (const std::size_t from : froms) readings.push_back({.minimumLength = 0, .splitFrom = from});
  for (const std::size_t partLength : {std::size_t{1}, std::max<std::size_t>(1, size / 3)}) {
    readings.push_back({.minimumLength = 0, .partLength = partLength});
  }
  for (const TwoPartReadOptions& options : readings) {
    CRtfDictionaryReader first(kFuzzToday);
    DictionaryParts parts;
    if (!first.PrepareBuffers(size)) return "no memory for the buffers of a small file";
    const TwoPartReadResult read = ReadDictionaryInParts(first, parts, text.data(), size, options);
    const std::string where = options.splitFrom != 0 ? "split from " + std::to_string(options.splitFrom) + ": "
                                                     : "parts of " + std::to_string(options.partLength) + " bytes: ";
    if (!std::equal(original.begin(), original.end(), text.begin()) || text[size] != 0) {
      return where + "the text was not left as it was";
    }
    if (read.split == parts.empty()) return where + "the result says otherwise than the parts";
    Reading parted;
    parted.result = read.parse;
    AppendRecords(first, parted.records);
    for (const auto& part : parts) AppendRecords(*part, parted.records);
    if (parted.result != single.result) return where + "another parse result than a single pass";
    if (parted.records.size() != single.records.size()) {
      return where + std::to_string(parted.records.size()) + " records, " + std::to_string(single.records.size()) +
             " in a single pass";
    }
    for (std::size_t i = 0; i < parted.records.size(); ++i) {
      if (parted.records[i] != single.records[i]) {
        return where + "record " + std::to_string(i) + " differs from a single pass";
      }
    }
  }
  return {};
}

}  // namespace lexaport::fuzz
