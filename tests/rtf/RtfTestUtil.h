#pragma once
// Helpers for the reader tests: run RTF text through the core reader or the dictionary reader
// and look at what came out.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/TestUtil.h"
#include "rtf/RtfDictionaryReader.h"
#include "rtf/RtfReader.h"

namespace lexaport::test {

inline constexpr std::uint32_t kToday = 20240315;

// The core reader with the two operations it leaves open: strokes are counted, the work buffer
// is never trimmed, so it shows everything the body delivered.
class CoreReader final : public CRtfReader {
 public:
  void ProcessStroke() override { ++strokes; }
  int FlushOutput() override {
    ++flushes;
    return 0;
  }
  Bytes Output() const { return Bytes(WorkData(), WorkData() + WorkLength()); }
  int strokes = 0;
  int flushes = 0;
};

inline const std::uint8_t* Text(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.c_str()); }

// What the core reader delivers to the body for `rtf`.
inline Bytes Deliver(const std::string& rtf) {
  CoreReader reader;
  reader.Parse(Text(rtf));
  return reader.Output();
}

struct Entry {
  std::uint32_t number = 0;
  std::uint32_t date = 0;
  std::uint16_t flags = 0;
  Bytes strokes;
  Bytes translation;
};

inline std::vector<Entry> Entries(const CRtfDictionaryReader& reader) {
  std::vector<Entry> out;
  for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
    const EntryRecordView v = reader.Entry(i);
    Entry e;
    e.number = v.Number();
    e.date = v.CreationDate();
    e.flags = v.Flags();
    e.strokes.assign(v.Strokes(), v.Strokes() + 4 * v.StrokeCount());
    e.translation.assign(v.Translation(), v.Translation() + v.TranslationLength());
    out.push_back(std::move(e));
  }
  return out;
}

// Reads a whole dictionary text (Parse, then FinishEntry) and returns its records.
inline std::vector<Entry> ReadEntries(const std::string& rtf) {
  CRtfDictionaryReader reader(kToday);
  reader.ReadDictionary(Text(rtf));
  return Entries(reader);
}

// The translation of the single entry {\*\cxs S}<body>; empty when no record was built.
inline Bytes TranslationOf(const std::string& body, const std::string& header = "") {
  const std::vector<Entry> entries = ReadEntries("{\\rtf1\\ansi" + header + "{\\*\\cxs S}" + body + "}");
  return entries.size() == 1 ? entries[0].translation : Bytes{};
}

}  // namespace lexaport::test
