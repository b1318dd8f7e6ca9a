// The actions of the RTF/CRE words, as translations of a one-entry dictionary.

#include <gtest/gtest.h>

#include "rtf/RtfTestUtil.h"

namespace lexaport::test {
namespace {

struct WordCase {
  const char* body;
  Bytes translation;
};

void ExpectTranslations(const std::vector<WordCase>& cases) {
  for (const WordCase& c : cases) {
    EXPECT_EQ(Hex(TranslationOf(c.body)), Hex(c.translation)) << "body: " << c.body;
  }
}

TEST(CreWordsTest, CommandCodes) {
  ExpectTranslations({
      {"\\cxzqpre ", B({16, 1})},
      {"\\cxfing ", B({16, 2})},
      {"\\cxzqdef \\cxzqscandef \\cxzqprefixnum ", B({16, 3, 16, 4, 16, 5})},
      {"\\cxzqpausea \\cxzqautoconf \\cxzqphonetic ", B({16, 6, 16, 7, 16, 8})},
      {"\\cxzqfollowrt \\cxzqnumcvt ", B({16, 9, 16, 11})},
      {"\\cxdstroke \\cxzqdel ", B({16, 12, 16, 12})},
      {"\\cxzqbench \\cxzqtimer ", B({16, 13, 16, 15})},
      {"\\cxzqstitch \\cxzqstitch2 \\cxzqstitch0 ", B({16, 14, 16, 14, 16, 142})},
      {"\\cxzqcaptionperiod \\cxzqcanceldlgs \\cxzqspeakerdef ", B({16, 33, 16, 35, 16, 36})},
      {"\\cxzqsetjobstarttime \\cxzqsetjobendtime \\cxzqlsignoreuntran ", B({16, 37, 16, 38, 16, 39})},
      {"\\cxzqconnum3 \\cxzqconnum0 \\cxzqconnum10 ", B({16, 51})},
      {"\\cxzqcappre3 \\cxzqcappre12 ", B({16, 67})},
      {"\\cxzqcapprev12 \\cxzqcapprev9 ", B({16, 66, 16, 73})},
      {"\\cxzqreplacewithls1 \\cxzqreplacewithls ", B({16, 97, 16, 98})},
      {"\\cxzqdefinewithls \\cxzqdefinewithls9 ", B({16, 106, 16, 113})},
      {"\\cxzqsuf \\cxzqresumea \\cxzqnumtrg \\cxzqstoptimer ", B({16, 129, 16, 134, 16, 139, 16, 143})},
  });
}

TEST(CreWordsTest, ValueCommandsAndIndexes) {
  ExpectTranslations({
      {"\\cxzqtape \\cxzqpauset \\cxzqresett ", B({17, 1, 0, 0, 0, 0, 17, 2, 0, 0, 0, 0, 17, 3, 0, 0, 0, 0})},
      {"\\cxzqresumet \\cxzqsett ", B({17, 4, 0, 0, 0, 0, 17, 5, 0, 0, 0, 0})},
      {"\\cxzqorphan \\cxzqorphan5 ", B({17, 6, 2, 0, 0, 0, 17, 6, 5, 0, 0, 0})},
      {"\\cxzqindex65 \\cxzqindex97 ", B({17, 10, 0, 0, 0, 0, 17, 10, 0, 0, 0, 0})},
      {"\\cxzqindex193 \\cxzqindex32 ", B({17, 138, 0, 0, 0, 0, 17, 10, 36, 0, 0, 0})},
      {"\\cxzqindexhead48 \\cxzqindexhead174 ", B({17, 12, 26, 0, 0, 0, 17, 140, 46, 0, 0, 0})},
      {"\\cxzqindexpos \\cxzqindexsec \\cxzqindexpage ", B({17, 13, 0, 0, 0, 0, 17, 14, 0, 0, 0, 0, 17, 15, 0, 0, 0, 0})},
      {"\\cxzqindexline \\cxzqindexseq \\cxzqindexvol ", B({17, 16, 0, 0, 0, 0, 17, 17, 0, 0, 0, 0, 17, 24, 0, 0, 0, 0})},
      {"\\cxzqoops \\cxzqnoautoconvert ", B({17, 27, 0, 0, 0, 0, 17, 28, 0, 0, 0, 0})},
  });
}

TEST(CreWordsTest, AttributeCodes) {
  ExpectTranslations({
      {"\\cxsingle \\cxdouble ", B({18, 9, 18, 137})},
      {"\\cxlinenum \\cxlinenum1 \\cxzqlinenum0 ", B({18, 138, 18, 10, 18, 138})},
      {"\\cxzqredact \\cxzqredact1 ", B({18, 139, 18, 11})},
      {"\\cxfc \\cxfl ", B({18, 14, 18, 142})},
      {"\\cxzqbench1 \\cxzqbench0 ", B({18, 7, 18, 135})},
      {"\\cxzqbench1 \\plain ", B({18, 7, 18, 135})},  // \plain switches bench off too
      {"\\super \\cxzqnosuper \\sub \\cxzqnosub ", B({18, 4, 18, 132, 18, 5, 18, 133})},
      {"\\cxzqrelright ", B({15})},
  });
}

TEST(CreWordsTest, CaptionCodes) {
  ExpectTranslations({
      {"\\cxzqcaptionclear \\cxzqcaptionpass \\cxzqcaptionblock \\cxzqcaptioneoc ",
       B({26, 0, 0, 0, 26, 1, 0, 0, 26, 2, 0, 0, 26, 3, 0, 0})},
      {"\\cxzqcaptionflush \\cxzqcaptionflash \\cxzqcaptionmusicalnote \\cxzqcaptiontransparentspace ",
       B({26, 5, 0, 0, 26, 7, 0, 0, 26, 8, 0, 0, 26, 9, 0, 0})},
      {"\\cxzqcaptionstoryslugon \\cxzqcaptionstoryslugoff \\cxzqcaptionskipline ",
       B({26, 10, 0, 0, 26, 11, 0, 0, 26, 13, 0, 0})},
      {"\\cxzqcaptionkeepcasenext \\cxzqcaptionkeepcaseoff \\cxzqcaptionkeepcaseon ",
       B({26, 16, 0, 0, 26, 17, 0, 0, 26, 18, 0, 0})},
      {"\\cxzqcaptionwarningon \\cxzqcaptionwarningoff ", B({26, 23, 0, 0, 26, 24, 0, 0})},
      {"\\cxzqcaptionchars300 \\cxzqcaptioncolumn5 \\cxzqcaptionbaseline15 ",
       B({26, 128, 44, 0, 26, 129, 5, 0, 26, 130, 15, 0})},
      {"\\cxzqcaptionrolluprows3 \\cxzqcaptioncolor2 \\cxzqcaptionnik4 ",
       B({26, 131, 3, 0, 26, 132, 2, 0, 26, 133, 4, 0})},
      {"\\cxzqcaptionsendline1 \\cxzqcaptioncapmode2 ", B({26, 135, 1, 0, 26, 136, 2, 0})},
      {"\\cxzqcaptionposition300 \\cxzqcaptionscatter258 ", B({26, 144, 44, 1, 26, 145, 2, 1})},
      // p / 256 is a division truncated toward zero: -300 gives -1, -1 gives 0.
      {"\\cxzqcaptionposition-300 \\cxzqcaptionscatter-1 ", B({26, 144, 0xD4, 0xFF, 26, 145, 0xFF, 0})},
  });
}

TEST(CreWordsTest, WordsWithoutAnActionAreIgnoredWithTheirParameter) {
  ExpectTranslations({
      {"\\cxunknown5 x", B("x")},
      {"\\numbar x", B("x")},
      {"\\cxzqindexsubsortalphainsensitive x", B("x")},
      {"\\cxp x\\cxzqdelsteno \\cxnofstrokes3 \\cxrev100 \\cxdict \\cxff \\cxnotes \\cxtranscript ", B("x")},
      {"\\cxsnum1 \\cxsvat \\cxwit \\cxtimex \\cxzqpnac \\cxzqindexsortnumeric x", B("x")},
  });
}

TEST(CreWordsTest, DroppedDestinations) {
  ExpectTranslations({
      {"{\\*\\cxgbltable x}{\\*\\cxpntable y}z", B("z")},
      {"{\\*\\cxzqfield field}z", B("z")},
      {"{\\*\\cxaidata data}z", B("z")},
      {"{\\*\\cxt 10:00:00}{\\*\\cxe10:00:05}z", B("z")},
  });
}

TEST(CreWordsTest, SpeakerGroupIsDroppedOutsideColloquy) {
  const std::string styles = "{\\stylesheet{\\s1 Colloquy;}{\\s2 Question;}}";
  // Without \s (or after a style that is not colloquy) the \cxa group goes.
  EXPECT_EQ(TranslationOf("{\\cxa MR. SMITH}: yes", styles), B(": yes"));
  EXPECT_EQ(TranslationOf("\\s2 {\\cxa MR. SMITH}: yes", styles), Cat({B({22, 2, 0}), B(": yes")}));
  EXPECT_EQ(TranslationOf("\\s1 {\\cxa MR. SMITH}: yes", styles), Cat({B({22, 4, 0}), B("MR. SMITH: yes")}));
}

TEST(CreWordsTest, UserStyleNumberFollowsADefaultStyleParagraph) {
  const std::string styles = "{\\stylesheet{\\s5 Heading;}{\\s1 Normal;}}";
  EXPECT_EQ(TranslationOf("\\s5\\cxzquserdef4 x", styles), Cat({B({22, 10, 3}), B("x")}));
  EXPECT_EQ(TranslationOf("\\s1\\cxzquserdef4 x", styles), Cat({B({22, 8, 0}), B("x")}));
}

}  // namespace
}  // namespace lexaport::test
