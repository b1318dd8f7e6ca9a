#include <vector>

#include "fuzz/BuiltFileChecks.h"
#include "fuzz/FuzzTargets.h"
#include "rtf/RtfDictionaryReader.h"
#include "steno/EntryRecord.h"

namespace lexaport::fuzz {

std::string FuzzRtfReader(const std::uint8_t* data, std::size_t size) {
  // The text in a block of exactly its size plus the zero, so that a read past the zero is seen.
  std::vector<std::uint8_t> text(data, data + size);
  text.push_back(0);
  text.shrink_to_fit();

  CRtfDictionaryReader reader(kFuzzToday);
  if (!reader.PrepareBuffers(size)) return "no memory for the buffers of a small file";
  if (reader.ReadDictionary(text.data()) < 0) return "the reader ran out of memory on a small file";

  // The records lie one after another from the start of the used data area, numbered in reading
  // order, each with an outline and a translation.
  std::size_t offset = 0;
  for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
    if (reader.EntryOffsets()[i] != offset) return "record " + std::to_string(i) + " does not follow the one before";
    if (reader.EntryDataUsed() - offset < entry::kHeaderSize) return "record " + std::to_string(i) + " is cut off";
    const EntryRecordView record = reader.Entry(i);
    if (record.Number() != i) return "record " + std::to_string(i) + " carries another number";
    if (record.StrokeCount() < 1) return "record " + std::to_string(i) + " has no strokes";
    if (record.TranslationLength() < 1) return "record " + std::to_string(i) + " has no translation";
    offset += record.Size();
    if (offset > reader.EntryDataUsed()) return "record " + std::to_string(i) + " runs past the used data area";
  }
  if (offset != reader.EntryDataUsed()) return "the used data area holds more than the records";
  if (reader.Depth() < 0 || reader.Depth() > CRtfReader::kMaxDepth) return "the group depth left its bounds";
  return {};
}

}  // namespace lexaport::fuzz
