#include "steno/EntryRecord.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/TestUtil.h"
#include "support/CharClass.h"

namespace lexaport {
namespace {

using test::B;
using test::Bytes;
using test::Hex;

Bytes Build(const Bytes& strokes, const Bytes& translation, std::uint32_t number = 0) {
  Bytes record(EntryRecordSize(strokes.size() / 4, translation.size()), 0xAA);
  const int size = BuildEntryRecord(record.data(), strokes.data(), static_cast<int>(strokes.size() / 4),
                                    translation.data(), static_cast<int>(translation.size()), number, 20261210);
  EXPECT_EQ(static_cast<std::size_t>(size), record.size());
  return record;
}

std::uint16_t Flags(const Bytes& translation) {
  return EntryRecordView(Build(B({0x80, 0, 0, 0}), translation).data()).Flags();
}

TEST(EntryRecord, LaysOutEveryField) {
  const Bytes record = Build(B({0xF8, 0, 0, 0, 0, 0, 0x20, 0}), B("hello"), 7);
  EXPECT_EQ(Hex(record),
            "07 00 00 00 "    // number
            "5a 29 35 01 "    // 20261210
            "00 00 00 00 "    // second date
            "00 00 00 00 "    // reserved
            "00 00 "          // flags
            "02 "             // stroke count
            "05 00 "          // translation length
            "f8 00 00 00 00 00 20 00 "
            "68 65 6c 6c 6f "
            "00 00");  // padding to 36
  EXPECT_EQ(record.size(), 36u);
  const EntryRecordView view(record.data());
  EXPECT_EQ(view.Number(), 7u);
  EXPECT_EQ(view.CreationDate(), 20261210u);
  EXPECT_EQ(view.StrokeCount(), 2);
  EXPECT_EQ(view.TranslationLength(), 5);
  EXPECT_EQ(view.Size(), 36u);
  EXPECT_EQ(view.Translation()[0], 'h');
}

TEST(EntryRecord, PadsToAMultipleOfFour) {
  struct Case {
    std::size_t strokes, length, size;
  };
  const Case cases[] = {{1, 0, 28}, {1, 3, 28}, {1, 4, 32}, {2, 5, 36}, {16, 65535, 21 + 64 + 65535 + 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(EntryRecordSize(c.strokes, c.length), c.size) << c.strokes << "/" << c.length;
    EXPECT_EQ(EntryRecordSize(c.strokes, c.length) % 4, 0u);
  }
  const Bytes empty = Build(B({0x80, 0, 0, 0}), Bytes{});
  EXPECT_EQ(empty.size(), 28u);
  EXPECT_EQ(Hex(empty.data() + 25, 3), "00 00 00");
  EXPECT_EQ(EntryRecordView(empty.data()).Flags(), 0);
}

// The flags word as first written: every text byte classified on its own through the character
// class table. The table-driven routine must agree with it on every translation.
std::uint16_t ReferenceFlags(const Bytes& translation) {
  const std::uint8_t* t = translation.data();
  const std::size_t length = translation.size();
  if (length == 0) return 0;
  std::uint16_t flags = 0;
  bool letterSeen = false;
  bool inWord = false;
  bool wordEnded = false;
  bool allUpper = false;
  auto separator = [&] {
    if (inWord) wordEnded = true;
    inWord = false;
  };
  std::size_t i = 0;
  while (i < length) {
    const std::uint8_t c = t[i++];
    if (c >= 32) {
      if (IsLetter(c)) {
        if (!letterSeen) {
          letterSeen = true;
          allUpper = true;
        }
        if (wordEnded) flags |= entryflag::kSeveralWords;
        if (IsUpperLetter(c)) {
          flags |= entryflag::kHasUpper;
        } else {
          allUpper = false;
        }
        inWord = true;
      } else if (IsAsciiDigit(c)) {
        flags |= entryflag::kDigit;
      } else if (c == ' ') {
        separator();
      } else if (IsPunctuation(c)) {
        flags |= entryflag::kPunctuation;
      }
      continue;
    }
    if (c != 2 && c != 3) flags |= entryflag::kControlCode;
    switch (c) {
      case 1: case 9: case 10: case 12: separator(); break;
      case 2: case 3: flags |= entryflag::kAlternatives; break;
      case 4: wordEnded = false; break;
      case 16: case 18: i += 1; break;
      case 17: i += 5; break;
      case 21: {
        if (i >= length) break;
        const std::uint8_t subtype = t[i];
        if (subtype != 2 && subtype != 7) break;
        flags |= subtype == 2 ? entryflag::kHeaderBlock : entryflag::kBlockType7;
        if (length - i < 5) {
          i = length;
          break;
        }
        const std::uint32_t blockLength = LoadU32(t + i + 1);
        i += 5;
        i = blockLength >= length - i ? length : i + blockLength;
        break;
      }
      case 22: i += 2; break;
      case 23:
        if (i < length && (t[i] == 9 || t[i] == 137)) flags |= entryflag::kSingleChoiceConflict;
        i += 1;
        break;
      case 26: i += 3; break;
      default: break;
    }
  }
  if (allUpper) flags |= entryflag::kAllUpper;
  return flags;
}

TEST(EntryRecord, FlagsWordEqualsTheBytewiseClassification) {
  std::mt19937 random(42);
  // Mostly text of words, spaces and punctuation in both cases, with control codes between.
  const std::string text = "abcxyzABCXYZ  ,.;'-!?~{0123456789\x7F\xC9\xE9\x8A\x9A\xDF\xFF\x93\xD7\xA0";
  for (int round = 0; round < 50000; ++round) {
    // Every other translation is text alone, which takes a path of its own.
    const unsigned textOnly = round % 2 == 0 ? 12 : 16;
    Bytes translation(random() % 24);
    for (std::uint8_t& b : translation) {
      const unsigned pick = random() % textOnly;
      b = pick < 12 ? static_cast<std::uint8_t>(text[random() % text.size()])
                    : pick < 15 ? static_cast<std::uint8_t>(random() % 32) : static_cast<std::uint8_t>(random());
    }
    ASSERT_EQ(Flags(translation), ReferenceFlags(translation)) << Hex(translation);
  }
}

TEST(EntryRecord, ComputesTheFlagsWord) {
  struct Case {
    Bytes translation;
    std::uint16_t flags;
  };
  const Case cases[] = {
      {B("USA"), 0x0003},
      {B("Mr. Smith"), 0x0045},
      {B("e-mail"), 0x0040},
      {B("4th"), 0x0020},
      {B("the"), 0x0000},
      {test::Cat({B("New"), B({4}), B("York")}), 0x0081},
      {B({17, 8, 65, 66, 67, 0}), 0x0080},  // operand bytes are not letters
      {B({2, 't', 'o', 2, 't', 'w', 'o', 3}), 0x0008},
      {B({23, 9, 'a', 23, 137}), 0x0090},
      {B({18, 1, 'B', 18, 129}), 0x0083},
      {B({21, 2, 2, 0, 0, 0, 3, 'Q'}), 0x0480},  // header block content is not text
      {B({21, 7, 1, 0, 0, 0, 'a', 'B'}), 0x0183},  // the block's one byte is skipped: only B counts
      {B({21, 9, 'a'}), 0x0080},                   // another subtype steps over nothing
      {B({'a', 9, 'b'}), 0x0084},                  // a tab separates words
      {B({0xC9, 0xC9}), 0x0003},                   // accented capitals are letters
      {B("O'Neil"), 0x0041},
      {B({22, 2, 0}), 0x0080},
      {B({26, 'a', 'b', 'c'}), 0x0080},
      {B({21, 2, 0xFF, 0xFF, 0xFF, 0xFF}), 0x0480},  // a length that points past the end
      {B({21, 2, 1}), 0x0480},                       // a truncated block head
      {B({16}), 0x0080},
  };
  for (const Case& c : cases) EXPECT_EQ(Flags(c.translation), c.flags) << Hex(c.translation);
}

}  // namespace
}  // namespace lexaport
