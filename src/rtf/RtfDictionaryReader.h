#pragma once
// CRtfDictionaryReader: turns the text of an RTF/CRE dictionary into entry records.
//
// Every entry starts with a steno group, {\*\cxs STKPW/-T}, whose text is the outline; the
// translation is everything the body delivers after it, up to the next \cxs or the end of the
// file. The reader keeps the current entry in the work buffer (its key sets, then its translation
// bytes) and builds the entry's record when the next entry begins, or, for the last one, when the
// caller calls FinishEntry after Parse. Records are numbered 0, 1, 2 ... in reading order and lie
// one after another, 4-byte aligned, in the entry data area.
//
// Usage:
//   CRtfDictionaryReader reader(today);
//   if (!reader.PrepareBuffers(fileLength)) ... no memory
//   if (reader.Parse(text) < 0) ... no memory: nothing read counts
//   if (reader.WorkLength() != 0) reader.FinishEntry();
//   for i < EntryCount(): EntryRecordView(reader.EntryData() + reader.EntryOffsets()[i])
// (ReadDictionary does the last three steps.)

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FileSystem.h"
#include "support/GrowableArray.h"
#include "rtf/RtfReader.h"
#include "steno/EntryRecord.h"

namespace lexaport {

struct IntermediateFileStats;  // dict/IntermediateFile.h
class CSortedEntries;          // dict/IntermediateFile.h
struct TwoPartReadOptions;     // rtf/TwoPartRead.h
class CHelperThread;           // support/HelperThread.h

// The dictionary reader's own parse state (the entry being read, the CSI and AI data groups),
// kept apart from the records it makes for the same reason as RtfReaderState.
struct DictionaryReaderState {
  static constexpr std::size_t kStrokeTextMax = 31;

  // Clears the tails of the text buffers beyond their lengths, the stroke keys when none are
  // known, and the AI data (collected, never read).
  void ClearDeadState();

  std::size_t strokeCount_ = 0;
  bool collecting_ = false;
  std::array<char, kStrokeTextMax + 1> strokeText_{};
  std::size_t strokeTextLength_ = 0;
  // The key set of the stroke text, when it was read where the outline stands just before the
  // group's close parses the text.
  KeySet strokeKeys_{};
  bool strokeKeysKnown_ = false;
  bool notColloquy_ = false;

  std::array<char, 32> csiText_{};
  std::size_t csiLength_ = 0;
  bool speakerMark_ = false;

  CGrowableArray<std::uint8_t> aiData_;  // \cxaidata: read, not used

  // Work-buffer position of the open header code block's length field; -1 when there is none.
  std::ptrdiff_t headerPosition_ = -1;

  friend bool operator==(const DictionaryReaderState&, const DictionaryReaderState&) = default;
};

// The whole parse state of a dictionary reader: what it needs to go on reading a text from where
// another reader was, and what two readers must agree on to read the rest of a text alike.
struct DictionaryParseState {
  RtfReaderState reader;
  DictionaryReaderState dictionary;

  friend bool operator==(const DictionaryParseState&, const DictionaryParseState&) = default;
};

class CRtfDictionaryReader final : public CRtfReader, private DictionaryReaderState {
 public:
  // Text runs of the body go into the work buffer in one piece (see ParseText).
  static constexpr bool kBulkText = true;
  using DictionaryReaderState::kStrokeTextMax;

  // `today` is the local date (YYYYMMDD) stamped into every record.
  explicit CRtfDictionaryReader(std::uint32_t today);
  ~CRtfDictionaryReader() = default;

  std::uint32_t Today() const { return today_; }

  // Sizes the work buffer and the entry data area for a file of `fileLength` bytes. False when
  // the memory cannot be had. Optional: the buffers grow as needed in any case.
  bool PrepareBuffers(std::size_t fileLength);

  // The whole file text followed by a zero byte. 0 at the end of the text; negative
  // (kOutOfMemory) when memory ran out, in which case the records read so far must not be used.
  int Parse(const std::uint8_t* zeroTerminatedText);

  // Builds the record of the entry held in the work buffer (dropped when it has no key sets, no
  // translation, more than 255 strokes, or a translation longer than 65,535 bytes).
  void FinishEntry();

  // Parse, then FinishEntry when the work buffer still holds data. Returns Parse's result.
  int ReadDictionary(const std::uint8_t* zeroTerminatedText);

  // For reading one text in parts (rtf/TwoPartRead.h). The parse state as it stands, with what
  // no later byte can read cleared (throws std::bad_alloc when the copy cannot get its memory);
  // another reader that adopts it reads the rest of the text as this one would.
  DictionaryParseState SaveParseState() const;
  void AdoptParseState(const DictionaryParseState& state);
  // Parses the bytes that open an entry, {\*\cxs followed by a space, as Parse would at this
  // point of a text; the outline after them is left to the next Parse.
  int ParseEntryOpening();
  // Adds `first` to the number of every record (records are numbered in reading order from 0).
  void NumberEntriesFrom(std::uint32_t first);

  std::uint32_t EntryCount() const { return static_cast<std::uint32_t>(offsets_.Size()); }
  const std::uint32_t* EntryOffsets() const { return offsets_.Data(); }
  std::uint8_t* EntryData() { return entries_.Data(); }
  const std::uint8_t* EntryData() const { return entries_.Data(); }
  std::size_t EntryDataUsed() const { return entries_.Size(); }
  EntryRecordView Entry(std::uint32_t i) const { return EntryRecordView(entries_.Data() + offsets_.Data()[i]); }

  // Defined with the intermediate dictionary file (dict/IntermediateFile.cpp).
  int ReadSortedEntries(platform::IFileSystem& files, const std::string& rtfPath, CSortedEntries& sorted,
                        IntermediateFileStats* stats = nullptr, const TwoPartReadOptions* twoParts = nullptr,
                        CHelperThread* helper = nullptr);
  int WriteIntermediateFile(platform::IFileSystem& files, const std::string& rtfPath,
                            const std::string& intermediatePath, IntermediateFileStats* stats = nullptr,
                            const TwoPartReadOptions* twoParts = nullptr);

  // The virtual operations this reader replaces.
  void ProcessStroke() override;
  void PutChar(int c) override;
  void EndGroup() override;
  int HandleCreWord(int index) override;
  int HandleRtfWord(int index) override;
  void ResetState() override;
  int FlushOutput() override;

  // A run of text bytes, as if each were handed to PutChar.
  void PutText(const std::uint8_t* bytes, std::size_t count);

  // Right after the opening of a steno group ({\*\cxs ), with no escape pending: takes the steno
  // letters, hyphens and stroke separators that follow as the byte loop would hand them to
  // PutChar, and returns the first byte it leaves to the loop (the closing brace, or anything
  // else).
  const std::uint8_t* ReadOutline(const std::uint8_t* text);

  // Gives every style its type letter from its name (when the stylesheet closes).
  void ClassifyStyles();
  // Turns the text of the closing \cxcsi group into codes.
  void RunCsiCommands();

  // State of the entry being read, for tests and diagnostics.
  std::size_t StrokeCount() const { return strokeCount_; }
  bool Collecting() const { return collecting_; }
  bool NotColloquy() const { return notColloquy_; }

 private:
  void StartEntry();
  void StenoByte(std::uint8_t c);
  // Adds the key set of one stroke's text (at most kStrokeTextMax letters) to the outline.
  void AddStroke(std::string_view text);
  // Adds one stroke's key set to the outline.
  void AddKeySet(const KeySet& keys) {
    // Key sets always form the front of the work buffer; nothing else can have been added while
    // the steno group is being read.
    if (Work().Size() != 4 * strokeCount_) return;
    AppendWork(keys.data(), keys.size());
    ++strokeCount_;
  }
  void AbandonOutline();
  void CloseHeaderBlock();
  void WriteConflict();
  // The paragraph code (22 s 0) that ends the entry's translation, or nullptr.
  std::uint8_t* TrailingParagraphCode();
  bool EndsWith(const std::uint8_t* data, std::size_t length, std::uint8_t a, std::uint8_t b) const;

  // Not parse state: the date every record gets, and the records made so far.
  std::uint32_t today_;
  CGrowableArray<std::uint8_t> entries_;
  CGrowableArray<std::uint32_t> offsets_;
};

}  // namespace lexaport
