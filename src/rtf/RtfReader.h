#pragma once
// CRtfReader: a single-pass reader for RTF with the Court Reporting Extensions (RTF/CRE).
//
// It takes the whole text of a file as one zero-terminated byte string, splits it into groups,
// control words, control symbols and text, keeps one group record per open group, and hands every
// output byte to PutChar, which routes it by the current group's destination. What depends on the
// kind of document (what a control word does, where a destination's bytes go, what ends a steno
// stroke, what happens when the work buffer grows) is a virtual operation; the class is abstract
// (no FlushOutput, no ProcessStroke). The system's concrete reader is CRtfDictionaryReader.
//
// The byte loop is a template over the reader type (ParseText): CRtfReader::Parse runs it with
// virtual calls, while a final derived reader instantiates it for itself so that PutChar and the
// other per-byte operations are direct calls the compiler can inline.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rtf/CatSystem.h"
#include "support/GrowableArray.h"
#include "steno/StenoKeys.h"
#include "steno/StrokeParser.h"

namespace lexaport {

// Destinations: where the output bytes of a group go.
namespace rtfdest {
inline constexpr std::uint32_t kBody = 0;         // the work buffer (translation text)
inline constexpr std::uint32_t kFooter = 1;       // \footer: dropped
inline constexpr std::uint32_t kInfo = 3;         // \info: dropped
inline constexpr std::uint32_t kStyleSheet = 4;   // \stylesheet: style names
inline constexpr std::uint32_t kFontTable = 5;    // \fonttbl: dropped
inline constexpr std::uint32_t kColorTable = 7;   // \colortbl: consumed
inline constexpr std::uint32_t kSteno = 9;        // \cxs: steno outline text
inline constexpr std::uint32_t kDropped = 10;     // \cxgbltable, \cxpntable, \cxa
inline constexpr std::uint32_t kTimeCode = 11;    // \cxt
inline constexpr std::uint32_t kTimeCodeEnd = 12; // \cxe
inline constexpr std::uint32_t kConflict = 13;    // \cxconf
inline constexpr std::uint32_t kCatSystem = 15;   // \cxsystem
inline constexpr std::uint32_t kStenoTable = 17;  // \cxzqstenotable: a steno layout definition
inline constexpr std::uint32_t kCsi = 19;         // \cxcsi
inline constexpr std::uint32_t kAiData = 20;      // \cxaidata
inline constexpr std::uint32_t kField = 21;       // \cxzqfield: dropped
}  // namespace rtfdest

// Sub-destinations: the part of \info being read (1-9), or a header code block.
namespace rtfsub {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kHeaderBlock = 17;
}  // namespace rtfsub

// Character attribute flags of a group.
namespace rtfattr {
inline constexpr std::uint32_t kBold = 0x01;
inline constexpr std::uint32_t kItalic = 0x02;
inline constexpr std::uint32_t kDeleted = 0x08;
inline constexpr std::uint32_t kUnderline = 0x10;
inline constexpr std::uint32_t kSuperscript = 0x20;
inline constexpr std::uint32_t kSubscript = 0x40;
inline constexpr std::uint32_t kChoice = 0x80;  // inside a conflict choice (\cxc)
inline constexpr std::uint32_t kBench = 0x100;
inline constexpr std::uint32_t kStrike = 0x200;
}  // namespace rtfattr

struct RtfGroupRecord {
  std::uint32_t destination = rtfdest::kBody;
  std::uint32_t subDestination = rtfsub::kNone;
  std::uint32_t skip = 0;  // 1 after \*: body output of the group is dropped
  std::uint32_t attributes = 0;

  friend bool operator==(const RtfGroupRecord&, const RtfGroupRecord&) = default;
};

struct RtfTimeCode {
  std::array<std::uint32_t, 4> fields{};  // hours, minutes, seconds, frames

  friend bool operator==(const RtfTimeCode&, const RtfTimeCode&) = default;
};

// One style of the stylesheet. The paragraph values are kept with the style (and copied by
// \sbasedon) but nothing downstream uses them.
struct RtfStyle {
  std::uint8_t typeLetter = 0;  // styletype::..., 0 none
  CGrowableArray<std::uint8_t> name;
  std::int32_t firstIndent = 0;  // \fi
  std::int32_t fontSize = 0;     // \fs
  std::int32_t leftIndent = 0;   // \li
  std::int32_t rightIndent = 0;  // \ri
  std::int32_t paragraphValue = 0;  // \cxzqta

  friend bool operator==(const RtfStyle&, const RtfStyle&) = default;
};

// Everything the byte loop of CRtfReader reads and writes, besides the derived reader's own state
// and the stroke parser's tables (a cache of the layout). Kept in one struct so that a parse can
// be resumed from a copy and two parse states compared member by member (the defaulted
// operator== cannot leave one out). CRtfReader holds it as its private base.
struct RtfReaderState {
  static constexpr int kMaxDepth = 49;  // group records 0-49
  static constexpr std::size_t kConflictMax = 4095;
  static constexpr std::size_t kCatSystemTextMax = 127;
  static constexpr int kStyleCount = 256;

  // Clears what no later byte can read, so that two states that would parse the rest of a text
  // alike compare equal: group records above the depth, the tails of the text buffers beyond
  // their lengths, a pending escape's value when none is pending, the conflict and time code
  // collected by groups that are all closed (the word that opens the next such group starts
  // them afresh) and the last time code (only observed, never read by the parse).
  void ClearDeadState();

  // Token state.
  enum TokenState : int { kText = 0, kLetters = 1, kParameter = 2, kMinus = 3 };
  int tokenState_ = kText;
  std::array<char, 32> word_{};
  std::size_t wordLength_ = 0;
  std::uint32_t parameterBits_ = 0;  // two's complement, wraps on overflow
  bool parameterNegative_ = false;
  std::int32_t parameter_ = 0;
  bool hasParameter_ = false;
  int hexCount_ = 0;
  std::uint8_t hexValue_ = 0;
  bool ansi_ = false;

  // Groups.
  int depth_ = 0;
  int depthOverflow_ = 0;  // '{' beyond kMaxDepth: counted, no record
  std::array<RtfGroupRecord, kMaxDepth + 1> records_{};

  CGrowableArray<std::uint8_t> work_;

  // CAT system.
  std::uint32_t catSystem_ = 0;
  std::array<std::uint8_t, kCatSystemTextMax + 1> catSystemText_{};
  std::size_t catSystemTextLength_ = 0;

  // Stylesheet.
  std::array<RtfStyle, kStyleCount> styles_;
  int currentStyle_ = 0;

  // Steno layout; a \cxzqstenotable group writes its letters into it.
  CStenoKeys steno_;
  bool stenoShifted_ = false;
  // Which bytes are letters of the layout, kept up to date as the layout changes: steno text is
  // checked against it byte by byte.
  std::array<bool, 256> stenoLetters_{};
  // Made from those and from \ansi whenever either changes: the bytes of an outline that a run
  // can take as they stand. A letter of the layout or '-', but no stroke separator (a layout may
  // call one a letter), and only what the byte loop hands on unchanged (a layout defined in the
  // file may hold letters such as '{', or bytes that need converting without \ansi). The stroke
  // parser's run table for outlines is made from it.
  std::array<bool, 256> outlineLetters_{};

  // Conflict.
  std::array<std::uint8_t, kConflictMax> conflict_{};
  std::size_t conflictLength_ = 0;
  int conflictChoices_ = 0;

  // Time codes (\cxt, \cxe): read but not used further.
  RtfTimeCode timeCode_;
  std::size_t timeCodeField_ = 0;
  RtfTimeCode lastTimeCode_;

  bool outOfMemory_ = false;

  friend bool operator==(const RtfReaderState&, const RtfReaderState&) = default;
};

class CRtfReader : private RtfReaderState {
 public:
  using RtfReaderState::kMaxDepth;
  static constexpr std::size_t kFlushThreshold = 4096;
  using RtfReaderState::kConflictMax;
  using RtfReaderState::kCatSystemTextMax;
  using RtfReaderState::kStyleCount;
  static constexpr int kNoStyle = -1;
  // Parse result when memory ran out: the parse ended there.
  static constexpr int kOutOfMemory = -2;
  // The generic path hands bytes to PutChar one at a time.
  static constexpr bool kBulkText = false;

  CRtfReader();
  CRtfReader(const CRtfReader&) = delete;
  CRtfReader& operator=(const CRtfReader&) = delete;

  // `text` is the whole file followed by a zero byte. Returns 0 at the end of the text; a
  // negative result (kOutOfMemory) when the parse had to stop.
  int Parse(const std::uint8_t* text);

  // Virtual operations, in slot order.
  virtual void ProcessStroke() = 0;            // a steno stroke's text is complete
  virtual void PutChar(int c);                 // one output byte (low 8 bits)
  virtual void EndGroup();                     // closes the current group
  virtual int HandleCreWord(int index);        // 0 handled, -1 not handled
  virtual int HandleRtfWord(int index);        // 0, or negative to end the parse
  virtual void BeginGroup();                   // opens a group
  virtual void ResetState();                   // back to the initial parse state
  virtual int FlushOutput() = 0;               // the work buffer grew past kFlushThreshold

  // The word in the word buffer is complete: looks it up and hands it to its handler.
  int DispatchWord();
  // Looks the word buffer up in the RTF/CRE list: HandleCreWord's result, or -1 when absent.
  int FindCreWord();

  // Observers (also used by the tests and the `entries` command).
  std::size_t WorkLength() const { return work_.Size(); }
  const std::uint8_t* WorkData() const { return work_.Data(); }
  int Depth() const { return depth_; }
  int DepthOverflow() const { return depthOverflow_; }
  const RtfGroupRecord& CurrentGroup() const { return records_[static_cast<std::size_t>(depth_)]; }
  bool Ansi() const { return ansi_; }
  std::uint32_t CatSystemWord() const { return catSystem_; }
  int CatSystemCode() const { return CatSystemCodeOf(catSystem_); }
  std::string_view CatSystemText() const {
    return {reinterpret_cast<const char*>(catSystemText_.data()), catSystemTextLength_};
  }
  std::uint8_t StyleTypeLetter(int style) const;
  const CStenoKeys& StenoKeys() const { return steno_; }
  // True when `c` is a key letter or number-bar letter of the layout in use (case-sensitive).
  bool IsStenoLetter(std::uint8_t c) const { return stenoLetters_[c]; }
  // What ends a stroke in an outline, whatever the layout calls a letter. The outline read in one
  // step and the byte-by-byte path both ask this, so they cannot part ways.
  static bool IsStrokeSeparator(std::uint8_t c) { return c == ',' || c == '/'; }
  const RtfTimeCode& LastTimeCode() const { return lastTimeCode_; }
  bool OutOfMemory() const { return outOfMemory_; }

 protected:
  ~CRtfReader() = default;  // never deleted through a base pointer

  // The parse state, for resuming a parse elsewhere (the stroke parser is made again).
  const RtfReaderState& ReaderState() const { return *this; }
  void AdoptReaderState(const RtfReaderState& state) {
    static_cast<RtfReaderState&>(*this) = state;
    strokeParserStale_ = true;
  }

  // The byte loop. Reader is CRtfReader itself (virtual calls) or a final derived reader.
  template <class Reader>
  int ParseText(Reader& self, const std::uint8_t* text);
  template <class Reader>
  int DispatchWordOf(Reader& self);
  template <class Reader>
  const std::uint8_t* MatchShortForm(Reader& self, const std::uint8_t* brace);

  RtfGroupRecord& Current() { return records_[static_cast<std::size_t>(depth_)]; }
  RtfGroupRecord& Enclosing() { return records_[static_cast<std::size_t>(depth_ > 0 ? depth_ - 1 : 0)]; }

  // Emits bytes through PutChar, so they go wherever the current destination sends them.
  void Emit(std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) PutChar(b);
  }

  // Appends to the work buffer; running out of memory ends the parse.
  void AppendWork(std::uint8_t c) {
    if (!work_.Push(c)) outOfMemory_ = true;
  }
  void AppendWork(const std::uint8_t* bytes, std::size_t count) {
    if (!work_.Append(bytes, count)) outOfMemory_ = true;
  }
  void SetOutOfMemory() { outOfMemory_ = true; }

  // The parameter of the word being handled: hasParameter_ is false when the word ended without
  // digits (parameter 0 then).
  std::int32_t Parameter() const { return parameter_; }
  bool HasParameter() const { return hasParameter_; }
  // A toggle word switches on without a parameter or with a non-zero one.
  bool ToggleOn() const { return !hasParameter_ || parameter_ != 0; }

  std::string_view Word() const { return {word_.data(), wordLength_}; }

  CGrowableArray<std::uint8_t>& Work() { return work_; }
  CStenoKeys& MutableStenoKeys() {
    strokeParserStale_ = true;  // the caller is about to change the layout
    return steno_;
  }
  // ParseStroke of the layout in use, through tables made when the layout last changed.
  const CStrokeParser& StrokeParser() {
    if (strokeParserStale_) {
      strokeParser_.Prepare(steno_);
      strokeParser_.MakeRunTable(outlineLetters_, outlineRunTable_);
      strokeParserStale_ = false;
    }
    return strokeParser_;
  }
  // The stroke parser's run table for the bytes of an outline a run can take (outlineLetters_).
  const strokeparse::RunTable& OutlineRunTable() {
    StrokeParser();
    return outlineRunTable_;
  }
  RtfStyle& Style(int n) { return styles_[static_cast<std::size_t>(n)]; }
  int CurrentStyle() const { return currentStyle_; }
  void SetCurrentStyle(int n) { currentStyle_ = n; }

  // Conflict state (\cxconf, \cxc).
  const std::uint8_t* ConflictBytes() const { return conflict_.data(); }
  std::size_t ConflictLength() const { return conflictLength_; }
  int ConflictChoices() const { return conflictChoices_; }

 private:
  void ToggleAttribute(std::uint32_t flag, std::uint8_t onCode);
  void AppendStenoTableLetter(std::uint8_t c);
  void RecognizeCatSystemFromText();
  void RebuildStenoLetters();
  void RebuildOutlineLetters();

  // A cache of tables made from the layout (steno_) and the outline letters: not parse state, as
  // it is made again from those whenever it is stale.
  CStrokeParser strokeParser_;
  strokeparse::RunTable outlineRunTable_{};
  bool strokeParserStale_ = true;
};

}  // namespace lexaport
