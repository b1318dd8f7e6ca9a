// `lexaport entries`, run as the reporter runs it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/TestUtil.h"

namespace lexaport::test {
namespace {

ProgramRun Lexaport(const TempDir& dir, const std::string& arguments) {
  return RunProgram(ShellQuote(LEXAPORT_BINARY) + " " + arguments, dir);
}

constexpr const char* kDictionary =
    "{\\rtf1\\ansi{\\*\\cxrev100}\\cxdict{\\*\\cxs SKWRAO}yes{\\*\\cxs TPHO/-G}no \\cxds ing"
    "{\\*\\cxs S}{\\cxconf{\\cxc a}{\\cxc b}}{\\*\\cxs T}caf\\'e9 \\{x\\}}";

TEST(EntriesCommandTest, PrintsEveryRecordReadablyThenTheCount) {
  TempDir dir;
  WriteFileText(dir.Path() / "d.rtf", kDictionary);
  const ProgramRun run = Lexaport(dir, "entries \"" + dir.File("d.rtf") + "\"");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "0\t/SKWRAO\t0x0000\tyes\n"
            "1\t/TPHO/-G\t0x0080\tno {attach}ing\n"
            "2\t/S\t0x0008\t{alt}a{alt}b{end}\n"
            "3\t/T\t0x0044\tcaf\xC3\xA9 \\{x\\}\n"
            "4 entries\n");
}

TEST(EntriesCommandTest, HexPrintsOneLinePerRecord) {
  TempDir dir;
  WriteFileText(dir.Path() / "d.rtf", kDictionary);
  const ProgramRun run = Lexaport(dir, "entries --hex \"" + dir.File("d.rtf") + "\"");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "0\tab800000\t796573\n"
            "1\t5480000000004000\t6e6f2004696e67\n"
            "2\t80000000\t0261026203\n"
            "3\t40000000\t636166e9207b787d\n");
}

TEST(EntriesCommandTest, SummaryCountsEntriesAndStrokes) {
  TempDir dir;
  WriteFileText(dir.Path() / "d.rtf", kDictionary);
  const ProgramRun run = Lexaport(dir, "entries --summary \"" + dir.File("d.rtf") + "\"");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("entries            4\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("strokes            5 (1 multi-stroke outlines)\n"), std::string::npos) << run.out;
}

TEST(EntriesCommandTest, UnreadableFileIsAnErrorWithStatus1) {
  TempDir dir;
  const ProgramRun run = Lexaport(dir, "entries \"" + dir.File("missing.rtf") + "\"");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("cannot read"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("missing.rtf"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace lexaport::test
