#include "rtf/TranslationText.h"

#include <gtest/gtest.h>

#include "common/TestUtil.h"

namespace lexaport::test {
namespace {

std::string Shown(const Bytes& code) { return TranslationText(code.data(), code.size()); }

TEST(TranslationTextTest, ShowsTextAndControlItems) {
  struct Case {
    Bytes code;
    const char* shown;
  } cases[] = {
      {B("plain words"), "plain words"},
      {B("a{b}c\\d"), "a\\{b\\}c\\\\d"},
      {B({0xE9, 0x80, 0x93, 'x', 0x94}), "\xC3\xA9\xE2\x82\xAC\xE2\x80\x9Cx\xE2\x80\x9D"},
      {B({0x81, 0xA0, 0xAD}), "\\x81\\xa0\\xad"},
      {B({1, 2, 3, 4, 9, 10, 12, 15}), "{hardspace}{alt}{end}{attach}{tab}{line}{page}{relright}"},
      {Cat({B({2}), B("their"), B({2}), B("there"), B({3})}), "{alt}their{alt}there{end}"},
      {Cat({B({16, 129}), B("ing")}), "{cmd 16 129}ing"},
      {B({17, 7, 0x2C, 0x01, 0, 0}), "{cmd 17 7 300}"},
      {B({18, 1, 18, 129, 18, 137, 18, 142, 18, 77}), "{attr bold}{attr bold off}{attr double}{attr fl}{attr 77}"},
      {B({22, 2, 0, 22, 7, 0, 22, 10, 3, 22, 99, 0}), "{para Q}{para centred}{para default 3}{para 99}"},
      {Cat({B({23, 9}), B("a"), B({23, 137})}), "{conflict}a{/conflict}"},
      {B({26, 144, 44, 1}), "{caption 144 44 1}"},
      {Cat({B({21, 2, 3, 0, 0, 0, 3}), B("Q."), B("x")}), "{header 3}Q.{/header}x"},
      {Cat({B({21, 7, 2, 0, 0, 0}), B("ab")}), "{block 7}ab{/block}"},
      {B({0, 5, 31}), "\\x00\\x05\\x1f"},
      {B({'a', 17, 7, 1}), "a\\x11\\x07\\x01"},        // cut short by the end
      {B({21, 2, 9, 0, 0, 0, 1, 'a'}), "\\x15\\x02\\x09\\x00\\x00\\x00\\x01\\x61"},
      {Cat({B({21, 7, 3, 0, 0, 0}), B({16, 1, 16}), B("z")}), "{block 7}{cmd 16 1}\\x10{/block}z"},
  };
  for (const Case& c : cases) EXPECT_EQ(Shown(c.code), c.shown) << Hex(c.code);
}

TEST(TranslationTextTest, Hex) {
  const Bytes bytes = B({0x00, 0x12, 0xAB, 0xFF});
  EXPECT_EQ(HexText(bytes.data(), bytes.size()), "0012abff");
  EXPECT_EQ(HexText(nullptr, 0), "");
}

}  // namespace
}  // namespace lexaport::test
