// `lexaport dump FILE [--hex]`: one line per entry of a writer dictionary file (".ZQDCX", in file
// order) or an intermediate dictionary file (".zqdct", its records from offset 640 as far as they
// are whole): record number, outline, translation, separated by tabs. With --hex the outline and
// the translation are given as their bytes in hex.

#include "cli/DumpCommand.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/CommandSupport.h"
#include "rtf/TranslationText.h"
#include "dict/DictionaryFileFormat.h"
#include "dict/IntermediateRecordArea.h"
#include "dict/WriterDictionary.h"
#include "steno/EntryRecord.h"

namespace lexaport::cli {
namespace {

struct DumpOptions {
  std::string path;
  bool hex = false;
};

// Collects the lines and writes them out in large pieces: a dictionary may have millions.
class LineWriter {
 public:
  ~LineWriter() { Flush(); }
  void Line(std::uint32_t number, const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* translation,
            std::size_t translationLength, bool hex) {
    buffer_ += std::to_string(number);
    buffer_ += '\t';
    buffer_ += hex ? HexText(key, keyLength) : OutlineText(key, keyLength / 4);
    buffer_ += '\t';
    buffer_ += hex ? HexText(translation, translationLength) : TranslationText(translation, translationLength);
    buffer_ += '\n';
    if (buffer_.size() >= 1 << 16) Flush();
  }
  void Flush() {
    std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    std::fflush(stdout);
    buffer_.clear();
  }

 private:
  std::string buffer_;
};

int DumpIntermediate(const DumpOptions& options, const platform::WholeFile& file) {
  if (file.size < dictfile::kFirstRecordOffset) {
    std::cerr << "lexaport: " << options.path << " is cut short: " << file.size
              << " bytes, fewer than the header and info block of an intermediate dictionary file ("
              << dictfile::kFirstRecordOffset << " bytes)\n";
    return kExitNegative;
  }
  LineWriter out;
  std::size_t offset = dictfile::kFirstRecordOffset;
  while (offset < file.size) {
    const std::size_t size = WholeRecordSize(file.bytes.get() + offset, file.size - offset);
    if (size == 0) break;
    const EntryRecordView record(file.bytes.get() + offset);
    out.Line(record.Number(), record.Strokes(), 4 * static_cast<std::size_t>(record.StrokeCount()),
             record.Translation(), static_cast<std::size_t>(record.TranslationLength()), options.hex);
    offset += size;
  }
  out.Flush();
  if (offset < file.size) {
    std::cerr << "lexaport: " << options.path << ": " << file.size - offset << " bytes at offset " << offset
              << " do not hold a whole record\n";
    return kExitNegative;
  }
  return kExitOk;
}

int DumpWriter(const DumpOptions& options, const platform::WholeFile& file) {
  const WriterDictionary dictionary(file.bytes.get(), file.size);
  const std::vector<std::string> problems = dictionary.HeaderProblems();
  if (!problems.empty()) {
    std::cerr << "lexaport: " << options.path << " is not a sound writer dictionary file:\n";
    for (const std::string& problem : problems) std::cerr << "  " << problem << '\n';
    return kExitNegative;
  }
  LineWriter out;
  std::uint32_t position = 0;
  std::string problem;
  const bool sound = dictionary.ForEachEntry(
      [&](const WriterEntry& entry) {
        ++position;  // stands in for the record number when the file carries none
        out.Line(entry.hasRecordNumber ? entry.recordNumber : position, entry.key,
                 static_cast<std::size_t>(entry.keyLength), entry.translation, entry.translationLength, options.hex);
      },
      &problem);
  out.Flush();
  if (!sound) {
    std::cerr << "lexaport: " << options.path << ": the tree is damaged after entry " << position << ": " << problem
              << '\n';
    return kExitNegative;
  }
  return kExitOk;
}

int Dump(const DumpOptions& options) {
  platform::WholeFile file;
  if (!ReadInputFile(options.path, file)) return kExitError;
  const bool signed_ = file.size >= dictfile::kSignatureSize &&
                       std::memcmp(file.bytes.get(), dictfile::kSignature, dictfile::kSignatureSize) == 0;
  if (!signed_) {
    std::cerr << "lexaport: " << options.path << " is not a dictionary file (no \"ZQCAT32\" signature)\n";
    return kExitError;
  }
  if (file.size <= dictfile::kFileTypeOffset) {
    std::cerr << "lexaport: " << options.path << " is cut short: " << file.size
              << " bytes, too few to say which kind of dictionary file it is\n";
    return kExitNegative;
  }
  if (file.bytes[dictfile::kFileTypeOffset] == dictfile::kIntermediateFileType) return DumpIntermediate(options, file);
  return DumpWriter(options, file);
}

}  // namespace

void AddDumpCommand(CLI::App& app) {
  auto options = std::make_shared<DumpOptions>();
  CLI::App* command = app.add_subcommand(
      "dump", "Print every entry of a writer (.ZQDCX) or intermediate (.zqdct) dictionary file");
  command->add_option("FILE", options->path, "The dictionary file")->required();
  command->add_flag("--hex", options->hex, "Show the outline and the translation as hex bytes");
  command->footer(
      "One line per entry: record number, outline, translation (tab-separated), in file order.\n"
      "Exit status: 0 when every entry was shown, 1 when the file is damaged, 2 when it cannot be read.");
  command->callback([options] { RunCommand([&] { return Dump(*options); }); });
}

}  // namespace lexaport::cli
