#include "cli/EntriesCommand.h"

#include <CLI/CLI.hpp>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/Native.h"
#include "rtf/CatSystem.h"
#include "rtf/RtfDictionaryReader.h"
#include "rtf/TranslationText.h"
#include "steno/EntryRecord.h"

namespace lexaport::cli {
namespace {

struct EntriesOptions {
  std::string path;
  bool hex = false;
  bool summary = false;
};

// Collects output and writes it in large pieces: a personal dictionary has hundreds of
// thousands of entries.
class Output {
 public:
  ~Output() { Flush(); }
  std::string& Text() { return text_; }
  void EndLine() {
    text_ += '\n';
    if (text_.size() > (1u << 16)) Flush();
  }
  void Flush() {
    std::fwrite(text_.data(), 1, text_.size(), stdout);
    text_.clear();
  }

 private:
  std::string text_;
};

void AppendFlags(std::string& out, std::uint16_t flags) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", flags);
  out += text;
}

void PrintEntries(const CRtfDictionaryReader& reader, bool hex) {
  Output out;
  std::string outline;
  for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
    const EntryRecordView v = reader.Entry(i);
    std::string& line = out.Text();
    line += std::to_string(v.Number());
    line += '\t';
    if (hex) {
      AppendHex(line, v.Strokes(), 4 * static_cast<std::size_t>(v.StrokeCount()));
      line += '\t';
      AppendHex(line, v.Translation(), static_cast<std::size_t>(v.TranslationLength()));
    } else {
      reader.StenoKeys().OutlineToText(v.Strokes(), v.StrokeCount(), outline);
      line += outline;
      line += '\t';
      AppendFlags(line, v.Flags());
      line += '\t';
      AppendTranslationText(line, v.Translation(), static_cast<std::size_t>(v.TranslationLength()));
    }
    out.EndLine();
  }
  if (!hex) {
    out.Text() += std::to_string(reader.EntryCount()) + (reader.EntryCount() == 1 ? " entry" : " entries");
    out.EndLine();
  }
}

void PrintSummary(const CRtfDictionaryReader& reader, const std::string& path) {
  static constexpr struct {
    std::uint16_t bit;
    const char* meaning;
  } kFlags[] = {
      {entryflag::kHasUpper, "has an upper-case letter"},
      {entryflag::kAllUpper, "all letters upper case"},
      {entryflag::kSeveralWords, "more than one word"},
      {entryflag::kAlternatives, "alternatives or conflict"},
      {entryflag::kSingleChoiceConflict, "single-choice conflict"},
      {entryflag::kDigit, "has a digit"},
      {entryflag::kPunctuation, "has punctuation"},
      {entryflag::kControlCode, "has control codes"},
      {entryflag::kBlockType7, "block of type 7"},
      {entryflag::kHeaderBlock, "header code block"},
  };
  std::array<std::uint32_t, std::size(kFlags)> flagCounts{};
  std::uint64_t strokes = 0;
  std::uint32_t multiStroke = 0;
  std::uint64_t translationBytes = 0;
  for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
    const EntryRecordView v = reader.Entry(i);
    strokes += static_cast<std::uint64_t>(v.StrokeCount());
    if (v.StrokeCount() > 1) ++multiStroke;
    translationBytes += static_cast<std::uint64_t>(v.TranslationLength());
    for (std::size_t f = 0; f < std::size(kFlags); ++f) {
      if ((v.Flags() & kFlags[f].bit) != 0) ++flagCounts[f];
    }
  }

  Output out;
  std::string& s = out.Text();
  s += path + "\n";
  s += "  entries            " + std::to_string(reader.EntryCount()) + "\n";
  s += "  strokes            " + std::to_string(strokes) + " (" + std::to_string(multiStroke) +
       " multi-stroke outlines)\n";
  s += "  translation bytes  " + std::to_string(translationBytes) + "\n";
  s += "  CAT system         ";
  s += CatSystemName(reader.CatSystemCode());
  s += " (code " + std::to_string(reader.CatSystemCode()) + ")";
  if (!reader.CatSystemText().empty()) {
    s += " \"";
    s += reader.CatSystemText();
    s += "\"";
  }
  s += "\n  flags\n";
  for (std::size_t f = 0; f < std::size(kFlags); ++f) {
    char line[96];
    std::snprintf(line, sizeof line, "    0x%04X %-26s %u\n", kFlags[f].bit, kFlags[f].meaning, flagCounts[f]);
    s += line;
  }
}

int RunEntries(const EntriesOptions& options) {
  platform::WholeFile file;
  try {
    if (!platform::ReadWholeFile(platform::NativeFileSystem(), options.path, platform::Sharing::kDenyWrite, file)) {
      std::fprintf(stderr, "lexaport: cannot read \"%s\": the file does not exist, cannot be opened or is too large\n",
                   options.path.c_str());
      return 1;
    }
  } catch (const platform::FileError& error) {
    std::fprintf(stderr, "lexaport: %s\n", error.what());
    return 1;
  }

  CRtfDictionaryReader reader(platform::SystemClock().LocalDate());
  if (!reader.PrepareBuffers(file.size) || reader.ReadDictionary(file.bytes.get()) < 0) {
    std::fprintf(stderr, "lexaport: not enough memory to read \"%s\"\n", options.path.c_str());
    return 1;
  }
  if (options.summary) {
    PrintSummary(reader, options.path);
  } else {
    PrintEntries(reader, options.hex);
  }
  return 0;
}

}  // namespace

void AddEntriesCommand(CLI::App& app) {
  auto options = std::make_shared<EntriesOptions>();
  CLI::App* command = app.add_subcommand(
      "entries", "Print the entry records read from an RTF/CRE dictionary, in reading order, then their count");
  command->add_option("FILE", options->path, "RTF/CRE dictionary file")->required();
  CLI::Option* hex =
      command->add_flag("--hex", options->hex, "One tab-separated line per record: number, stroke bytes, translation bytes");
  CLI::Option* summary =
      command->add_flag("--summary", options->summary, "Only the counts: entries, strokes, CAT system, flags");
  hex->excludes(summary);
  command->callback([options] {
    if (const int status = RunEntries(*options); status != 0) throw CLI::RuntimeError(status);
  });
}

}  // namespace lexaport::cli
