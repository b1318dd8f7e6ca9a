#include "rtf/TwoPartRead.h"

#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

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

}  // namespace

bool ReadFileInTwoParts(platform::IFileSystem& files, const std::string& path, platform::Sharing sharing,
                        CHelperThread& helper, platform::WholeFile& out) {
  if (!helper.Available()) return platform::ReadWholeFile(files, path, sharing, out);
  const auto fill = [&](platform::IFile& file, std::uint8_t* bytes, std::size_t size) {
    // The first file keeps others from writing; the second need not ask again.
    std::unique_ptr<platform::IFile> secondFile = files.OpenForReading(path, platform::Sharing::kShareAll);
    if (!secondFile) return platform::ReadUpTo(file, bytes, size);
    const std::size_t half = size / 2;
    std::size_t secondGot = 0;
    std::exception_ptr secondError;
    helper.Run([&] {
      try {
        secondFile->Seek(half);
        secondGot = platform::ReadUpTo(*secondFile, bytes + half, size - half);
      } catch (...) {
        secondError = std::current_exception();
      }
    });
    std::size_t got = 0;
    try {
      got = platform::ReadUpTo(file, bytes, half);
    } catch (...) {
      helper.Wait();  // it writes into the buffer
      throw;
    }
    helper.Wait();
    // Where the first half came back short the file ends there, whatever the second read found.
    if (got < half) return got;
    if (secondError) std::rethrow_exception(secondError);
    return got + secondGot;
  };
  return platform::ReadWholeFile(files, path, sharing, out, fill);
}

TwoPartReadResult ReadDictionaryInTwoParts(CRtfDictionaryReader& first, CRtfDictionaryReader& second,
                                           std::uint8_t* text, std::size_t length,
                                           const TwoPartReadOptions& options, CHelperThread* thread) {
  if (length < options.minimumLength) return {first.ReadDictionary(text), false};
  // A single pass ends at the first zero byte, so nothing beyond it may be read, however much of
  // the file follows (a split point there would bring in what a single pass never sees).
  if (const void* zero = std::memchr(text, 0, length); zero != nullptr) {
    length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - text);
  }
  const std::size_t entry = FindEntryOpening(text, length, 0);
  if (entry == std::string_view::npos) return {first.ReadDictionary(text), false};

  // The header, then the opening of the first entry on its own: the state saved there is the
  // state the first reader must have again after the opening at the split point.
  int result = ParseUpTo(first, text, 0, entry);
  if (result >= 0) result = first.ParseEntryOpening();
  if (result < 0) return {result, false};
  const std::size_t afterEntry = entry + kEntryOpening.size();
  const auto readOnFrom = [&](std::size_t offset) { return TwoPartReadResult{first.ReadDictionary(text + offset), false}; };

  const std::size_t from = options.splitFrom != 0 ? options.splitFrom : afterEntry + (length - afterEntry) / 2;
  const std::size_t split = FindEntryOpening(text, length, from < afterEntry ? afterEntry : from);
  if (split == std::string_view::npos) return readOnFrom(afterEntry);
  const std::size_t afterSplit = split + kEntryOpening.size();

  std::optional<DictionaryParseState> saved;
  try {
    saved.emplace(first.SaveParseState());
    second.AdoptParseState(*saved);
  } catch (const std::bad_alloc&) {
    return readOnFrom(afterEntry);  // no memory for a second reader: one reader will do
  }
  if (!second.PrepareBuffers(length - split)) return readOnFrom(afterEntry);

  int secondResult = 0;
  // The second reader never looks at text before afterSplit, so the zero the first reader's part
  // ends with (at split) is out of its way.
  const auto readSecondPart = [&second, &secondResult, text, afterSplit] {
    secondResult = second.ReadDictionary(text + afterSplit);
  };
  std::optional<CHelperThread> ownThread;  // ended, after its work, on every way out
  if (thread == nullptr) thread = &ownThread.emplace(true);
  if (!thread->Available()) return readOnFrom(afterEntry);
  thread->Run(readSecondPart);

  result = ParseUpTo(first, text, afterEntry, split);
  if (result >= 0) result = first.ParseEntryOpening();
  bool same = false;
  if (result >= 0) {
    try {
      same = first.SaveParseState() == *saved;
    } catch (const std::bad_alloc&) {
      // Not compared, so not taken as equal.
    }
  }
  thread->Wait();

  if (result < 0) return {result, false};
  if (!same) return readOnFrom(afterSplit);  // the first reader is past the opening at split
  if (secondResult < 0) return {secondResult, false};
  second.NumberEntriesFrom(first.EntryCount());
  return {0, true};
}

}  // namespace lexaport
