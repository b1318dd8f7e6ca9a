#include "rtf/TwoPartRead.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

namespace lexaport {
namespace {

// What every entry of a dictionary opens with (the byte loop takes it in one step).
constexpr std::string_view kEntryOpening = "{\\*\\cxs ";

std::size_t FindEntryOpening(const std::uint8_t* text, std::size_t length, std::size_t from) {
  const std::string_view all(reinterpret_cast<const char*>(text), length);
  return from < length ? all.find(kEntryOpening, from) : std::string_view::npos;
}

// Parses from `from` up to (not including) text[stop], by ending the text there for the time of
// the parse.
int ParseUpTo(CRtfDictionaryReader& reader, std::uint8_t* text, std::size_t from, std::size_t stop) {
  const std::uint8_t kept = text[stop];
  text[stop] = 0;
  const int result = reader.Parse(text + from);
  text[stop] = kept;
  return result;
}

// What became of one part once its reader was done.
struct PartOutcome {
  int result = 0;
  // For a part that ends at a split point: the reader's state after the opening there equals
  // the state saved at the first entry.
  bool same = false;
};

std::vector<std::size_t> ChooseSplitPoints(const std::uint8_t* text, std::size_t length, std::size_t afterEntry,
                                           const TwoPartReadOptions& options) {
  std::vector<std::size_t> splits;
  if (options.splitFrom != 0) {
    const std::size_t split = FindEntryOpening(text, length, std::max(options.splitFrom, afterEntry));
    if (split != std::string_view::npos) splits.push_back(split);
    return splits;
  }
  const std::size_t rest = length - afterEntry;
  const std::size_t wanted =
      std::clamp<std::size_t>(rest / std::max<std::size_t>(options.partLength, 1), 2, TwoPartReadOptions::kMaxParts);
  std::size_t from = afterEntry;
  for (std::size_t i = 1; i < wanted; ++i) {
    const std::size_t split = FindEntryOpening(text, length, std::max(from, afterEntry + rest / wanted * i));
    if (split == std::string_view::npos) break;
    splits.push_back(split);
    from = split + kEntryOpening.size();
  }
  return splits;
}

}  // namespace

bool ReadFileOnTwoThreads(platform::IFileSystem& files, const std::string& path, platform::Sharing sharing,
                          CHelperThread& helper, platform::WholeFile& out, std::size_t pieceLength) {
  if (!helper.Available()) return platform::ReadWholeFile(files, path, sharing, out);
  const auto fill = [&](platform::IFile& file, std::uint8_t* bytes, std::size_t size) {
    // The first file keeps others from writing; the second need not ask again.
    std::unique_ptr<platform::IFile> secondFile = files.OpenForReading(path, platform::Sharing::kShareAll);
    if (!secondFile) return platform::ReadUpTo(file, bytes, size);
    const std::size_t piece = std::max<std::size_t>(pieceLength, 1);
    const std::size_t pieceCount = size / piece + (size % piece != 0 ? 1 : 0);
    const auto pieceSize = [&](std::size_t j) { return std::min(piece, size - j * piece); };
    struct PieceOutcome {
      std::size_t got = 0;
      std::exception_ptr error;
    };
    std::vector<PieceOutcome> outcomes(pieceCount);
    TakeTurns(helper, pieceCount, [&](std::size_t j, bool onHelper) {
      platform::IFile& from = onHelper ? *secondFile : file;
      try {
        from.Seek(j * piece);
        outcomes[j].got = platform::ReadUpTo(from, bytes + j * piece, pieceSize(j));
      } catch (...) {
        outcomes[j].error = std::current_exception();
      }
    });
    // In file order: where a piece came back short the file ends there, whatever the pieces
    // after it found.
    for (std::size_t j = 0; j < pieceCount; ++j) {
      if (outcomes[j].error) std::rethrow_exception(outcomes[j].error);
      if (outcomes[j].got < pieceSize(j)) return j * piece + outcomes[j].got;
    }
    return size;
  };
  return platform::ReadWholeFile(files, path, sharing, out, fill);
}

TwoPartReadResult ReadDictionaryInParts(CRtfDictionaryReader& first, DictionaryParts& parts, std::uint8_t* text,
                                        std::size_t length, const TwoPartReadOptions& options, CHelperThread* thread) {
  parts.clear();
  if (length < options.minimumLength) return {first.ReadDictionary(text), false};
  // A single pass ends at the first zero byte, so nothing beyond it may be read, however much of
  // the file follows (a split point there would bring in what a single pass never sees).
  if (const void* zero = std::memchr(text, 0, length); zero != nullptr) {
    length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - text);
  }
  const std::size_t entry = FindEntryOpening(text, length, 0);
  if (entry == std::string_view::npos) return {first.ReadDictionary(text), false};

  // The header, then the opening of the first entry on its own: the state saved there is the
  // state every reader of a part must have again after the opening its part ends with.
  int result = ParseUpTo(first, text, 0, entry);
  if (result >= 0) result = first.ParseEntryOpening();
  if (result < 0) return {result, false};
  const std::size_t afterEntry = entry + kEntryOpening.size();
  const auto readOnFrom = [&](std::size_t offset) {
    parts.clear();
    return TwoPartReadResult{first.ReadDictionary(text + offset), false};
  };

  const std::vector<std::size_t> splits = ChooseSplitPoints(text, length, afterEntry, options);
  if (splits.empty()) return readOnFrom(afterEntry);
  std::optional<CHelperThread> ownThread;  // ended, after its work, on every way out
  if (thread == nullptr) thread = &ownThread.emplace(true);
  if (!thread->Available()) return readOnFrom(afterEntry);

  std::optional<DictionaryParseState> saved;
  try {
    saved.emplace(first.SaveParseState());
    for (std::size_t j = 0; j < splits.size(); ++j) {
      const std::size_t end = j + 1 < splits.size() ? splits[j + 1] : length;
      auto reader = std::make_unique<CRtfDictionaryReader>(first.Today());
      reader->AdoptParseState(*saved);
      if (!reader->PrepareBuffers(end - splits[j])) return readOnFrom(afterEntry);
      parts.push_back(std::move(reader));
    }
  } catch (const std::bad_alloc&) {
    return readOnFrom(afterEntry);  // no memory for more readers: one reader will do
  }

  // The first reader reads from the first entry up to the first split point; the reader
  // parts[j - 1] reads from the opening at split point j - 1 up to the next or the end. No
  // reader looks at text before its part, so the zero a part ends with is out of the way of the
  // part after it.
  const std::size_t partCount = splits.size() + 1;
  const auto partStart = [&](std::size_t j) { return j == 0 ? afterEntry : splits[j - 1] + kEntryOpening.size(); };
  const auto readerOf = [&](std::size_t j) -> CRtfDictionaryReader& { return j == 0 ? first : *parts[j - 1]; };
  std::vector<PartOutcome> outcomes(partCount);
  TakeTurns(*thread, partCount, [&](std::size_t j, bool) {
    CRtfDictionaryReader& reader = readerOf(j);
    PartOutcome& outcome = outcomes[j];
    if (j + 1 == partCount) {
      outcome.result = reader.ReadDictionary(text + partStart(j));
      return;
    }
    outcome.result = ParseUpTo(reader, text, partStart(j), splits[j]);
    if (outcome.result >= 0) outcome.result = reader.ParseEntryOpening();
    if (outcome.result < 0) return;
    try {
      outcome.same = reader.SaveParseState() == *saved;
    } catch (const std::bad_alloc&) {
      // Not compared, so not taken as equal.
    }
  });

  // In text order, as far as the parts follow one another: where a reader's state differs after
  // its part, the parts after it are dropped and that reader reads on past the opening alone.
  result = 0;
  for (std::size_t j = 0; j < partCount; ++j) {
    if (outcomes[j].result < 0) {
      parts.clear();
      return {outcomes[j].result, false};
    }
    if (j + 1 < partCount && !outcomes[j].same) {
      parts.resize(j);
      result = readerOf(j).ReadDictionary(text + splits[j] + kEntryOpening.size());
      break;
    }
  }
  if (result < 0) {
    parts.clear();
    return {result, false};
  }
  // The records of each part are numbered on from those before it, on both threads: the numbers
  // lie in every record.
  std::vector<std::uint32_t> firstNumbers(parts.size());
  std::uint32_t count = first.EntryCount();
  for (std::size_t j = 0; j < parts.size(); ++j) {
    firstNumbers[j] = count;
    count += parts[j]->EntryCount();
  }
  TakeTurns(*thread, parts.size(), [&](std::size_t j, bool) { parts[j]->NumberEntriesFrom(firstNumbers[j]); });
  return {0, !parts.empty()};
}

}  // namespace lexaport
