#include "rtf/TranslationCode.h"

#include <gtest/gtest.h>

#include "common/TestUtil.h"

namespace lexaport::test {
namespace {

Bytes Suffixed(const Bytes& translation) {
  Bytes buffer = translation;
  buffer.push_back(0xEE);  // the one byte of room the conversion may use
  buffer.resize(ConvertSuffix(buffer.data(), translation.size()));
  return buffer;
}

TEST(TranslationCodeTest, ConvertSuffix) {
  struct Case {
    Bytes in;
    Bytes out;
  } cases[] = {
      {Cat({B({4}), B("ing")}), Cat({B({16, 129}), B("ing")})},
      {Cat({B({4}), B("ing more")}), Cat({B({16, 129}), B("ing more")})},
      {Cat({B({4}), B("a")}), Cat({B({16, 129}), B("a")})},
      {Cat({B({4}), B("ville")}), Cat({B({16, 129}), B("ville")})},
      {Cat({B({4}), B("n't")}), Cat({B({16, 129}), B("n't")})},
      {Cat({B({4}), B("zork")}), Cat({B({4}), B("zork")})},
      {Cat({B({4}), B("Ing")}), Cat({B({4}), B("Ing")})},  // exact match only
      {Cat({B({4}), B(" x")}), Cat({B({4}), B(" x")})},    // the word is empty
      {B({4}), B({4})},
      {B("ing"), B("ing")},
      {Cat({B({4}), B("ing"), B({18, 1})}), Cat({B({4}), B("ing"), B({18, 1})})},  // the word runs to a space
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(Suffixed(c.in)), Hex(c.out)) << Hex(c.in);
}

TEST(TranslationCodeTest, SuffixWordList) {
  for (const char* word : {"a", "ability", "zyme", "s'", "ville", "ology", "wise"}) {
    EXPECT_TRUE(IsSuffixWord(word)) << word;
  }
  for (const char* word : {"", "b", "zymes", "ings", "ING"}) EXPECT_FALSE(IsSuffixWord(word)) << word;
}

TEST(TranslationCodeTest, IndexCharacter) {
  EXPECT_EQ(IndexCharacter('A'), 0);
  EXPECT_EQ(IndexCharacter('a'), 0);
  EXPECT_EQ(IndexCharacter('Z'), 25);
  EXPECT_EQ(IndexCharacter('0'), 26);
  EXPECT_EQ(IndexCharacter('9'), 35);
  EXPECT_EQ(IndexCharacter(' '), 36);
  EXPECT_EQ(IndexCharacter('.'), '.');
  EXPECT_EQ(IndexCharacter(193), 0);  // 193 mod 128 = 'A'
  EXPECT_EQ(IndexCharacter(-63), 0);  // two's complement: -63 mod 128 = 65
}

Bytes Csi(std::string_view text, bool& speakerMark) {
  Bytes out(kCsiOutputMax);
  out.resize(TranslateCsiText(text, speakerMark, out.data()));
  return out;
}

TEST(TranslationCodeTest, CsiCommands) {
  struct Case {
    const char* text;
    Bytes out;
  } cases[] = {
      {"<L+>", B({26, 18, 0, 0})},
      {"<L->", B({26, 17, 0, 0})},
      {"<L>", B({26, 16, 0, 0})},
      {"<NOTE>", B({26, 8, 0, 0})},
      {"<NOTE NOTE>", B({26, 8, 0, 0, 26, 8, 0, 0})},
      {"<PASS><BLOCK><BV>", B({26, 1, 0, 0, 26, 2, 0, 0, 26, 0, 0, 0})},
      {"<DOL>", B({16, 5, '[', '$', ']'})},
      {"<1/2><$$>", B({189, 10})},
      {"<.><?><,>", B(".?,")},
      {"<s:A>", B({16, 2, 'A'})},
      {"<NIK 3><nIk 9>", B({26, 133, 3, 0, 26, 133, 9, 0})},
      {"<NIK 33><NIKx3><note>", B({})},
      {"lead<PASS>tail", B({26, 1, 0, 0, 't', 'a', 'i', 'l'})},
      {"no command", B({})},
      {"<PASS><BLOCK", B({26, 1, 0, 0})},  // an unclosed command ends the reading
      {"<>", B({})},
      {"<L><L><L><L><L><L><L><L><L><L><L>",  // 33 characters: only 32 are read
       B({26, 16, 0, 0, 26, 16, 0, 0, 26, 16, 0, 0, 26, 16, 0, 0, 26, 16, 0, 0, 26, 16, 0, 0, 26, 16, 0, 0,
          26, 16, 0, 0, 26, 16, 0, 0, 26, 16, 0, 0})},
  };
  for (const Case& c : cases) {
    bool speakerMark = false;
    EXPECT_EQ(Hex(Csi(c.text, speakerMark)), Hex(c.out)) << c.text;
  }
  bool speakerMark = true;
  EXPECT_EQ(Csi("<S:B>", speakerMark), B("B"));  // the entry has its speaker mark already
}

TEST(TranslationCodeTest, ConflictOutput) {
  Bytes out(16);
  const Bytes two = Cat({B({2}), B("a"), B({2}), B("b")});
  out.resize(ConflictOutput(two.data(), two.size(), 2, out.data()));
  EXPECT_EQ(Hex(out), Hex(Cat({two, B({3})})));

  out.assign(16, 0);
  const Bytes one = Cat({B({2}), B("a")});
  out.resize(ConflictOutput(one.data(), one.size(), 1, out.data()));
  EXPECT_EQ(Hex(out), Hex(B({23, 9, 'a', 23, 137})));

  out.assign(16, 0);
  out.resize(ConflictOutput(nullptr, 0, 0, out.data()));
  EXPECT_EQ(Hex(out), Hex(B({23, 9, 23, 137})));
}

}  // namespace
}  // namespace lexaport::test
