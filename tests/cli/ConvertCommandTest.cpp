// `lexaport convert`, run as the reporter runs it, on the bundled samples.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/TestUtil.h"

namespace lexaport::test {
namespace {

ProgramRun Lexaport(const TempDir& dir, const std::string& arguments) {
  return RunProgram(ShellQuote(LEXAPORT_BINARY) + " " + arguments, dir);
}

const std::string kPersonal = std::string(LEXAPORT_SAMPLES_DIR) + "/personal.rtf";

TEST(ConvertCommandTest, WritesTheIntermediateAndWriterFilesNamedAfterTheDictionary) {
  TempDir dir;
  const ProgramRun run = Lexaport(dir, "convert " + ShellQuote(kPersonal) + " --out " + ShellQuote(dir.File("")));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "personal.zqdct"));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "personal.ZQDCX"));
  EXPECT_NE(run.out.find("entries read"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("records written"), std::string::npos);
  EXPECT_NE(run.out.find("byte offsets"), std::string::npos);
  EXPECT_EQ(run.out.find("timing "), std::string::npos);

  const ProgramRun verify = Lexaport(dir, "verify " + ShellQuote(dir.File("personal.ZQDCX")));
  EXPECT_EQ(verify.status, 0) << verify.out;
  const ProgramRun lookup = Lexaport(dir, "lookup " + ShellQuote(dir.File("personal.ZQDCX")) + " THR");
  EXPECT_EQ(lookup.status, 0);
  EXPECT_EQ(lookup.out, "{alt}their{alt}there{alt}they're{end}\n");
}

TEST(ConvertCommandTest, AlignedAndTimingsOnRequest) {
  TempDir dir;
  const ProgramRun run =
      Lexaport(dir, "convert " + ShellQuote(kPersonal) + " --aligned --timings --out " + ShellQuote(dir.File("")));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("aligned offsets"), std::string::npos) << run.out;
  for (const char* line : {"timing read ", "timing parse ", "timing sort ", "timing write-intermediate ",
                           "timing tree-build ", "timing checksum ", "timing first-build ", "timing total ",
                           "peak-rss "}) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(std::filesystem::file_size(dir.Path() / "personal.ZQDCX") % 4, 0u);
}

// Converting again writes over the files of the last conversion in place: larger files left
// there must not leave anything of themselves behind.
TEST(ConvertCommandTest, WritesOverLargerFilesOfAnEarlierConversion) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() / "fresh");
  std::filesystem::create_directory(dir.Path() / "again");
  const Bytes junk(3u << 20, 0xA5);
  WriteFileBytes(dir.Path() / "again" / "personal.zqdct", junk);
  WriteFileBytes(dir.Path() / "again" / "personal.ZQDCX", junk);
  for (const char* out : {"fresh", "again"}) {
    const ProgramRun run = Lexaport(dir, "convert " + ShellQuote(kPersonal) + " --out " + ShellQuote(dir.File(out)));
    ASSERT_EQ(run.status, 0) << out << ": " << run.err;
  }
  EXPECT_EQ(ReadFileBytes(dir.Path() / "again" / "personal.zqdct"),
            ReadFileBytes(dir.Path() / "fresh" / "personal.zqdct"));
  const std::string writer = dir.File("again/personal.ZQDCX");
  EXPECT_EQ(std::filesystem::file_size(writer), std::filesystem::file_size(dir.Path() / "fresh" / "personal.ZQDCX"));
  const ProgramRun verify = Lexaport(dir, "verify " + ShellQuote(writer));
  EXPECT_EQ(verify.status, 0) << verify.out;
  EXPECT_EQ(Lexaport(dir, "dump --hex " + ShellQuote(writer)).out,
            Lexaport(dir, "dump --hex " + ShellQuote(dir.File("fresh/personal.ZQDCX"))).out);
}

TEST(ConvertCommandTest, FailsClearlyWithExitStatusOne) {
  TempDir dir;
  ProgramRun run = Lexaport(dir, "convert " + ShellQuote(dir.File("missing.rtf")) + " --out " + ShellQuote(dir.File("")));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot read"), std::string::npos) << run.err;

  run = Lexaport(dir, "convert " + ShellQuote(kPersonal) + " --out " + ShellQuote(dir.File("no-such-dir")));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("does not exist"), std::string::npos) << run.err;

  WriteFileText(dir.Path() / "empty.rtf", "{\\rtf1\\ansi\\cxdict}");
  run = Lexaport(dir, "convert " + ShellQuote(dir.File("empty.rtf")) + " --out " + ShellQuote(dir.File("")));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Unable to convert"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("No entries found in the RTF/CRE file."), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "empty.ZQDCX"));
}

}  // namespace
}  // namespace lexaport::test
