// Reading a dictionary in parts on two threads must give the records of a single pass, byte for
// byte, wherever the split points fall: a split holds where the parse states agree, and
// everywhere else the reader before it reads on alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "common/ForwardingFileSystem.h"
#include "dict/IntermediateFile.h"
#include "gen/DictionaryGenerator.h"
#include "platform/MemoryFileSystem.h"
#include "rtf/RtfDictionaryReader.h"
#include "rtf/TwoPartRead.h"
#include "rtf/RtfTestUtil.h"

namespace lexaport {
namespace {

using test::kToday;

constexpr std::string_view kOpening = "{\\*\\cxs ";

struct Reading {
  int result = 0;
  bool split = false;
  std::vector<std::string> records;  // each record's bytes, in reading order
};

void AppendRecords(const CRtfDictionaryReader& reader, std::vector<std::string>& out) {
  for (std::uint32_t i = 0; i < reader.EntryCount(); ++i) {
    const EntryRecordView record = reader.Entry(i);
    out.emplace_back(reinterpret_cast<const char*>(record.Data()), record.Size());
  }
}

std::vector<std::uint8_t> ZeroTerminated(const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Reading ReadInOnePass(const std::string& text) {
  std::vector<std::uint8_t> bytes = ZeroTerminated(text);
  CRtfDictionaryReader reader(kToday);
  Reading r;
  r.result = reader.ReadDictionary(bytes.data());
  AppendRecords(reader, r.records);
  return r;
}

Reading ReadInParts(const std::string& text, const TwoPartReadOptions& options) {
  std::vector<std::uint8_t> bytes = ZeroTerminated(text);
  CRtfDictionaryReader first(kToday);
  DictionaryParts parts;
  EXPECT_TRUE(first.PrepareBuffers(text.size()));
  const TwoPartReadResult read = ReadDictionaryInParts(first, parts, bytes.data(), text.size(), options);
  EXPECT_EQ(std::memcmp(bytes.data(), text.data(), text.size()), 0) << "the text was not left as it was";
  EXPECT_EQ(read.split, !parts.empty());
  Reading r;
  r.result = read.parse;
  r.split = read.split;
  AppendRecords(first, r.records);
  for (const auto& part : parts) AppendRecords(*part, r.records);
  return r;
}

// One split point, searched from `splitFrom`; 0: the split points the reader chooses itself.
Reading ReadInTwoParts(const std::string& text, std::size_t splitFrom) {
  return ReadInParts(text, {.minimumLength = 0, .splitFrom = splitFrom});
}

std::vector<std::size_t> EntryOpenings(const std::string& text) {
  std::vector<std::size_t> at;
  for (std::size_t p = text.find(kOpening); p != std::string::npos; p = text.find(kOpening, p + 1)) at.push_back(p);
  return at;
}

std::string Generated(std::uint64_t entries, std::uint64_t seed, bool shortTranslations) {
  std::ostringstream out;
  bench::GenerateDictionary({.entries = entries, .seed = seed, .shortTranslations = shortTranslations}, out);
  return out.str();
}

struct Splits {
  int tried = 0;
  int held = 0;
};

// Splits at every `stride`-th entry opening (and where the reader chooses); every reading must
// match the single pass.
Splits ExpectSameAtSplits(const std::string& text, std::size_t stride = 1) {
  const Reading single = ReadInOnePass(text);
  int held = 0;
  std::vector<std::size_t> froms = EntryOpenings(text);
  std::vector<std::size_t> chosen;
  for (std::size_t i = 0; i < froms.size(); i += stride) chosen.push_back(froms[i]);
  chosen.push_back(0);
  for (std::size_t from : chosen) {
    const Reading two = ReadInTwoParts(text, from);
    EXPECT_EQ(two.result, single.result) << "split from " << from;
    EXPECT_TRUE(two.records == single.records) << "split from " << from << ": " << two.records.size() << " records, "
                                               << single.records.size() << " in one pass";
    held += two.split ? 1 : 0;
  }
  return {static_cast<int>(chosen.size()), held};
}

// The two-part read rests on the byte loop: a parse ended by a zero byte and started again at the
// next byte goes on as if it had never stopped. Only the look-ahead at a '{' (an entry opening, a
// short form) reads up to 8 bytes on, so stops right after a brace are left out. Stops every
// `stride` bytes.
void ExpectSameWhenResumed(const std::string& text, std::size_t stride = 1) {
  const Reading single = ReadInOnePass(text);
  std::vector<std::uint8_t> bytes = ZeroTerminated(text);
  const std::size_t end = std::min(text.size(), text.find('\0'));  // where a single pass ends
  for (std::size_t stop = 1; stop < end; stop += stride) {
    const std::size_t window = std::min<std::size_t>(stop, 8);
    if (text.find('{', stop - window) < stop) continue;
    CRtfDictionaryReader reader(kToday);
    const std::uint8_t kept = bytes[stop];
    bytes[stop] = 0;
    const int head = reader.Parse(bytes.data());
    bytes[stop] = kept;
    Reading resumed;
    resumed.result = head < 0 ? head : reader.ReadDictionary(bytes.data() + stop);
    AppendRecords(reader, resumed.records);
    EXPECT_EQ(resumed.result, single.result) << "resumed at " << stop;
    EXPECT_TRUE(resumed.records == single.records) << "resumed at " << stop << ": " << resumed.records.size()
                                                   << " records, " << single.records.size() << " in one pass";
  }
}

TEST(TwoPartRead, GeneratedDictionariesSplitAnywhereWithTheSameRecords) {
  // The generator's entries carry conflicts, styles, attributes and escapes: the state at any
  // entry opening must agree with the state at the first one, so every split holds.
  const struct {
    std::uint64_t entries;
    std::uint64_t seed;
    bool shortTranslations;
    std::size_t stride;
    std::size_t resumeStride;  // 0: no resumed reads (each one reads the whole text)
  } kCases[] = {{2, 3, false, 1, 1}, {40, 5, false, 1, 1}, {400, 1, false, 1, 17}, {3000, 7, true, 37, 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.entries << " entries, seed " << c.seed);
    const std::string text = Generated(c.entries, c.seed, c.shortTranslations);
    const Splits splits = ExpectSameAtSplits(text, c.stride);
    if (c.resumeStride != 0) ExpectSameWhenResumed(text, c.resumeStride);
    // With two entries the search from the middle finds no opening after it.
    EXPECT_EQ(splits.held, splits.tried - (c.entries == 2 ? 1 : 0));
  }
}

const std::string kHeader =
    "{\\rtf1\\ansi\\cxdict{\\*\\cxsystem Quendrel}{\\stylesheet{\\s0 Normal;}{\\s1 Question;}}\n";

std::string Entries(int from, int count) {
  std::string s;
  static const char* kOutlines[] = {"STKPW", "TPHO/-T", "KAT", "SKWRAO", "PHO*ER/TKPWAEUPL", "#T-FP"};
  for (int i = from; i < from + count; ++i) {
    s += "{\\*\\cxs ";
    s += kOutlines[i % 6];
    s += "}word" + std::to_string(i) + (i % 3 == 0 ? "\\par\\s1 " : " ") + "\n";
  }
  return s;
}

TEST(TwoPartRead, AwkwardSplitPointsGiveTheRecordsOfOnePass) {
  const std::string bigTranslation(20000, 'x');
  // kSome: the split holds at some openings and not at others; kAll, kNone: at every one, at none.
  enum Holds { kSome, kAll, kNone };
  const struct {
    const char* name;
    Holds holds;
    std::string text;
  } kCases[] = {
      {"a group left open", kSome, kHeader + Entries(0, 5) + "{\\*\\cxs KAT}open {\\b group\n" + Entries(5, 5) + "}"},
      {"a stylesheet after the first entries", kSome,
       kHeader + Entries(0, 4) + "{\\stylesheet{\\s1 Answer;}}" + Entries(4, 6) + "}"},
      {"a steno layout after the first entries", kSome,
       kHeader + Entries(0, 4) + "{\\*\\cxzqstenotable STKPWHRAO*EUFRPBLGTSDZ}" + Entries(4, 6) + "}"},
      {"an opening inside a conflict", kSome,
       kHeader + Entries(0, 4) + "{\\*\\cxs KAT}{\\cxconf [{\\cxc one{\\*\\cxs TPHO}two}|{\\cxc three}]}\n" +
           Entries(4, 4) + "}"},
      {"an opening inside an open conflict after a closed one", kSome,
       kHeader + "{\\*\\cxs KAT}{\\cxconf [{\\cxc a}|{\\cxc b}]}\n" + Entries(0, 3) +
           "{\\*\\cxs TPHO}{\\cxconf [{\\cxc c}|" + Entries(3, 3) + "}]}" + Entries(6, 2) + "}"},
      {"an escaped brace before cxs in a translation", kSome,
       kHeader + Entries(0, 4) + "{\\*\\cxs KAT}text \\{\\*\\cxs TPHO} more\n" + Entries(4, 4) + "}"},
      {"a time code, CSI and AI data in the first part", kAll,
       kHeader + "{\\*\\cxs KAT}{\\cxt 01:02:03:04}a{\\*\\cxcsi s}{\\*\\cxaidata q}\n" + Entries(0, 6) + "}"},
      {"an escape pending at an opening", kSome, kHeader + Entries(0, 3) + "\\'e{\\*\\cxs KAT}x\n" + Entries(3, 3) + "}"},
      {"a control word before an opening", kSome, kHeader + Entries(0, 3) + "\\b{\\*\\cxs KAT}x\n" + Entries(3, 3) + "}"},
      // ',' and '/' end a stroke even where the layout has them as letters, in the outline the
      // reader takes in one step as well as byte by byte after a split.
      {"a layout with '/' and ',' as letters", kSome,
       kHeader + Entries(0, 3) + "{\\*\\cxzqstenotable\\cxzqstenoleft2\\cxzqstenomiddle0\\cxzqstenoright2 AB/,#(!}" +
           "{\\*\\cxs A/B}one\n{\\*\\cxs A,B/A}two\n{\\*\\cxs B/A}three\n}"},
      {"one entry", kNone, kHeader + Entries(0, 1) + "}"},
      {"no entry", kNone, kHeader + "}"},
      {"an entry larger than the part", kAll,
       kHeader + Entries(0, 2) + "{\\*\\cxs TKPW}" + bigTranslation + "\n" + Entries(2, 3) + "}"},
      {"a translation running to the end of the text", kAll, kHeader + Entries(0, 4) + "{\\*\\cxs KAT}to the end"},
      {"a stray closing brace", kSome, kHeader + Entries(0, 3) + "}}" + Entries(3, 3) + "}"},
      // The text of a file ends at its first zero byte: nothing after it is read.
      {"a zero byte in the middle", kSome, kHeader + Entries(0, 4) + std::string(1, '\0') + Entries(4, 4) + "}"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const Splits splits = ExpectSameAtSplits(c.text);
    ExpectSameWhenResumed(c.text, c.text.size() > 4096 ? 97 : 1);
    EXPECT_EQ(splits.held, c.holds == kAll ? splits.tried : c.holds == kNone ? 0 : splits.held);
    if (c.holds == kSome) {
      EXPECT_GT(splits.held, 0);
      EXPECT_LT(splits.held, splits.tried);
    }
  }
}

TEST(TwoPartRead, SplitsHoldOnlyWhereTheStatesAgree) {
  // After a mid-file stylesheet the state differs from the one at the first entry; before it the
  // second part reads the stylesheet itself.
  const std::string before = kHeader + Entries(0, 4);
  const std::string text = before + "{\\stylesheet{\\s1 Answer;}}" + Entries(4, 4) + "}";
  const std::vector<std::size_t> openings = EntryOpenings(text);
  ASSERT_EQ(openings.size(), 8u);
  EXPECT_TRUE(ReadInTwoParts(text, openings[2]).split);
  EXPECT_FALSE(ReadInTwoParts(text, openings[5]).split);

  // Short of the minimum length the text is read in one pass.
  std::vector<std::uint8_t> bytes = ZeroTerminated(text);
  CRtfDictionaryReader first(kToday);
  DictionaryParts parts;
  EXPECT_FALSE(
      ReadDictionaryInParts(first, parts, bytes.data(), text.size(), {.minimumLength = text.size() + 1}).split);
  EXPECT_TRUE(parts.empty());
  EXPECT_EQ(first.EntryCount(), ReadInOnePass(text).records.size());
}

// Cut into many parts, which the two threads share: the records of a single pass, also where a
// part in the middle ends in another state (the parts after it are then read by its reader).
TEST(TwoPartRead, ManyPartsGiveTheRecordsOfOnePass) {
  const std::string generated = Generated(3000, 13, false);
  const std::string stylesheetInTheMiddle =
      kHeader + Entries(0, 40) + "{\\stylesheet{\\s1 Answer;}}" + Entries(40, 40) + "}";
  const std::string groupLeftOpen =
      kHeader + Entries(0, 30) + "{\\*\\cxs KAT}open {\\b group\n" + Entries(30, 30) + "}";
  const struct {
    const char* name;
    const std::string& text;
  } kCases[] = {
      {"generated", generated},
      {"a stylesheet in the middle", stylesheetInTheMiddle},
      {"a group left open in the middle", groupLeftOpen},
  };
  for (const auto& c : kCases) {
    const Reading single = ReadInOnePass(c.text);
    for (const std::size_t partLength : {std::size_t{1}, std::size_t{100}, std::size_t{997}, c.text.size() / 5}) {
      SCOPED_TRACE(testing::Message() << c.name << ", parts of " << partLength << " bytes");
      const Reading parted = ReadInParts(c.text, {.minimumLength = 0, .partLength = partLength});
      EXPECT_EQ(parted.result, single.result);
      EXPECT_TRUE(parted.records == single.records)
          << parted.records.size() << " records, " << single.records.size() << " in one pass";
      // Small parts (and every part of the generated text) put the first split point well before
      // the middle, where it holds: the parts up to the one that ends in another state count.
      if (partLength <= 100 || &c.text == &generated) {
        EXPECT_TRUE(parted.split);
      }
    }
  }
}

TEST(TwoPartRead, IntermediateFileIsTheSameWhenReadInTwoParts) {
  std::string text = Generated(2000, 11, false);
  const auto convert = [&](const TwoPartReadOptions& options, bool& split) {
    platform::MemoryFileSystem files;
    files.SetFile("/in/dict.rtf", text);
    CRtfDictionaryReader reader(kToday);
    IntermediateFileStats stats;
    EXPECT_EQ(reader.WriteIntermediateFile(files, "/in/dict.rtf", "/out/dict.zqdct", &stats, &options), 0);
    split = stats.readInTwoParts;
    const auto* file = files.FindFile("/out/dict.zqdct");
    return file != nullptr ? *file : std::vector<std::uint8_t>{};
  };
  bool split = true;
  const std::vector<std::uint8_t> single = convert({.minimumLength = SIZE_MAX}, split);
  EXPECT_FALSE(split);
  for (const std::size_t from : {std::size_t{0}, text.size() / 7, text.size() - 200}) {
    const std::vector<std::uint8_t> two = convert({.minimumLength = 0, .splitFrom = from}, split);
    EXPECT_TRUE(split) << "split from " << from;
    EXPECT_TRUE(two == single) << "split from " << from;
  }

  // The second thread is started before the read; with no split point it is ended unused.
  text = kHeader + Entries(0, 1) + "}";
  const std::vector<std::uint8_t> one = convert({.minimumLength = SIZE_MAX}, split);
  EXPECT_TRUE(convert({.minimumLength = 0}, split) == one);
  EXPECT_FALSE(split);
}

// The file read in pieces on two threads is the file read in one piece, whatever its length (odd
// ones included, and none) and the length of the pieces, with and without a helper thread.
TEST(TwoPartRead, FileReadInPiecesIsTheWholeFile) {
  CHelperThread helper(true);
  CHelperThread noHelper(false);
  for (const std::size_t size : {0u, 1u, 2u, 3u, 4097u, 100001u}) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 131 + i / 256);
    platform::MemoryFileSystem files;
    files.SetFile("/in/dict.rtf", bytes);
    for (CHelperThread* thread : {&helper, &noHelper}) {
      for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}, kReadPieceLength}) {
        if (piece == 1 && size > 4097) continue;  // a piece a byte: slow, and 4097 show it
        platform::WholeFile read;
        ASSERT_TRUE(ReadFileOnTwoThreads(files, "/in/dict.rtf", platform::Sharing::kDenyWrite, *thread, read, piece));
        ASSERT_EQ(read.size, size);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), read.bytes.get())) << size << " bytes, pieces of " << piece;
        EXPECT_EQ(read.bytes[size], 0) << size << " bytes";
      }
    }
  }
  platform::MemoryFileSystem files;
  platform::WholeFile read;
  EXPECT_FALSE(ReadFileOnTwoThreads(files, "/in/missing.rtf", platform::Sharing::kDenyWrite, helper, read));
}

// A file that changes while it is read: a handle that reads up to `end` finds the file ending
// there, one that seeks to `end` or beyond finds the bytes there (the file was cut and grew
// again), and a read that starts at `failAt` fails.
class ChangingFile : public platform::IFile {
 public:
  ChangingFile(const std::vector<std::uint8_t>& bytes, std::size_t end, std::size_t failAt)
      : bytes_(bytes), end_(end), failAt_(failAt) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (position_ == failAt_) throw platform::FileError("read", "/in/dict.rtf", "device error");
    if (cut_) return 0;
    const std::size_t limit = position_ < end_ ? end_ : bytes_.size();
    const std::size_t got = std::min(count, limit - std::min(limit, position_));
    std::memcpy(buffer, bytes_.data() + position_, got);
    position_ += got;
    cut_ = position_ == end_;
    return got;
  }
  void Write(const void*, std::size_t) override {}
  void Seek(std::uint64_t offset) override {
    position_ = static_cast<std::size_t>(offset);
    cut_ = false;
  }
  std::uint64_t Length() override { return bytes_.size(); }

 private:
  const std::vector<std::uint8_t>& bytes_;
  const std::size_t end_;
  const std::size_t failAt_;
  std::size_t position_ = 0;
  bool cut_ = false;
};

class ChangingFileSystem final : public test::ForwardingFileSystem {
 public:
  ChangingFileSystem(std::vector<std::uint8_t> bytes, std::size_t end, std::size_t failAt)
      : ForwardingFileSystem(unused_), bytes_(std::move(bytes)), end_(end), failAt_(failAt) {}
  std::unique_ptr<platform::IFile> OpenForReading(const std::string&, platform::Sharing) override {
    return std::make_unique<ChangingFile>(bytes_, end_, failAt_);
  }

 private:
  platform::MemoryFileSystem unused_;  // for the calls the read does not make
  const std::vector<std::uint8_t> bytes_;
  const std::size_t end_;
  const std::size_t failAt_;
};

// Where a piece comes back short the file ends there, whatever the pieces after it hold; a read
// that fails before that end fails the whole read, one after it does not matter.
TEST(TwoPartRead, FileReadInPiecesEndsAtTheFirstShortPiece) {
  constexpr std::size_t kSize = 40000;
  constexpr std::size_t kPiece = 4096;
  constexpr std::size_t kNever = SIZE_MAX;
  const std::vector<std::uint8_t> bytes(kSize, 'x');
  CHelperThread helper(true);
  for (const std::size_t end : {kSize, std::size_t{1}, std::size_t{5000}, 3 * kPiece + 1}) {
    ChangingFileSystem files(bytes, end, kNever);
    platform::WholeFile read;
    ASSERT_TRUE(ReadFileOnTwoThreads(files, "/in/dict.rtf", platform::Sharing::kDenyWrite, helper, read, kPiece));
    EXPECT_EQ(read.size, end);
    EXPECT_EQ(read.bytes[end], 0);
  }
  {
    ChangingFileSystem files(bytes, kSize, 5 * kPiece);
    platform::WholeFile read;
    EXPECT_THROW(ReadFileOnTwoThreads(files, "/in/dict.rtf", platform::Sharing::kDenyWrite, helper, read, kPiece),
                 platform::FileError);
  }
  {
    ChangingFileSystem files(bytes, 2 * kPiece + 100, 5 * kPiece);
    platform::WholeFile read;
    ASSERT_TRUE(ReadFileOnTwoThreads(files, "/in/dict.rtf", platform::Sharing::kDenyWrite, helper, read, kPiece));
    EXPECT_EQ(read.size, 2 * kPiece + 100);
  }
}

}  // namespace
}  // namespace lexaport
