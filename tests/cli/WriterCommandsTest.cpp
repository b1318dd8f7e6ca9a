// The inspection commands, run as a user runs them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>

#include "common/TestUtil.h"
#include "dict/TranDictCreate.h"
#include "dict/WriterTestSupport.h"
#include "platform/Native.h"
#include "steno/StenoKeys.h"
#include "support/ByteOrder.h"

namespace lexaport {
namespace {

using test::B;
using test::Bytes;
using test::TestRecord;

class WriterCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"STKPW/-T", "hello"}, {"S", "is"}, {"S/-T", "is it"}, {"T", "it"}, {"#-Z", "{curly}\\"},
        {"KAT", "cat"},        {"KAT/-S", "cats"}, {"PH-R", "Mr."}, {"HRO*EUT", "lot"}};
    const CStenoKeys keys;
    for (const auto& [outline, translation] : entries) {
      TestRecord record;
      std::stringstream strokes(outline);
      std::string stroke;
      while (std::getline(strokes, stroke, '/')) {
        KeySet set;
        ASSERT_TRUE(keys.ParseStroke(stroke, set)) << stroke;
        record.key.insert(record.key.end(), set.begin(), set.end());
      }
      record.translation = B(translation);
      records.push_back(record);
    }
    std::sort(records.begin(), records.end(), [](const TestRecord& a, const TestRecord& b) { return test::KeyLess(b.key, a.key); });
    for (std::size_t i = 0; i < records.size(); ++i) records[i].number = static_cast<std::uint32_t>(i + 1);

    intermediate = dir.File("sample.zqdct");
    test::WriteFileBytes(intermediate, test::IntermediateFile(records));
    CTranDictCreate builder(platform::NativeFileSystem(), platform::SystemClock());
    ASSERT_EQ(builder.CreateDictionary(intermediate, writer, true, false, false), createresult::kWritten);
  }

  test::ProgramRun Lexaport(const std::string& arguments) {
    return test::RunProgram(test::ShellQuote(LEXAPORT_BINARY) + " " + arguments, dir);
  }

  test::TempDir dir;
  std::vector<TestRecord> records;
  std::string intermediate;
  std::string writer;
};

TEST_F(WriterCommands, VerifyPassesASoundFileAndListsTheProblemsOfADamagedOne) {
  test::ProgramRun run = Lexaport("verify '" + writer + "'");
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("sound, 9 entries"), std::string::npos) << run.out;

  Bytes bytes = test::ReadFileBytes(writer);
  bytes[bytes.size() - 1] ^= 1;
  const std::string damaged = dir.File("damaged.ZQDCX");
  test::WriteFileBytes(damaged, bytes);
  run = Lexaport("verify '" + damaged + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("checksum mismatch"), std::string::npos) << run.out;

  run = Lexaport("verify '" + dir.File("missing.ZQDCX") + "'");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("cannot read"), std::string::npos);
}

TEST_F(WriterCommands, LookupPrintsTheTranslationOrNotFound) {
  test::ProgramRun run = Lexaport("lookup '" + writer + "' STKPW/-T");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "hello\n");
  run = Lexaport("lookup '" + writer + "' S/-T");
  EXPECT_EQ(run.out, "is it\n");
  run = Lexaport("lookup '" + writer + "' /S/-T");
  EXPECT_EQ(run.out, "is it\n");
  run = Lexaport("lookup '" + writer + "' '#-Z'");
  EXPECT_EQ(run.out, "\\{curly\\}\\\\\n");
  run = Lexaport("lookup '" + writer + "' KAT/-T");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "not found\n");
  run = Lexaport("lookup '" + writer + "' 'K A T'");
  EXPECT_EQ(run.status, 2);
  EXPECT_FALSE(run.err.empty());
}

// The writer file holds the intermediate file's records in the same order with the same record
// numbers, so both dump the same lines.
TEST_F(WriterCommands, DumpShowsBothFilesAlike) {
  const test::ProgramRun fromWriter = Lexaport("dump '" + writer + "'");
  const test::ProgramRun fromIntermediate = Lexaport("dump '" + intermediate + "'");
  EXPECT_EQ(fromWriter.status, 0) << fromWriter.err;
  EXPECT_EQ(fromIntermediate.status, 0) << fromIntermediate.err;
  EXPECT_EQ(fromWriter.out, fromIntermediate.out);
  EXPECT_EQ(std::count(fromWriter.out.begin(), fromWriter.out.end(), '\n'), 9);
  EXPECT_NE(fromWriter.out.find("\t/STKPW/-T\thello\n"), std::string::npos) << fromWriter.out;

  const test::ProgramRun hex = Lexaport("dump --hex '" + writer + "'");
  EXPECT_EQ(hex.status, 0);
  EXPECT_EQ(hex.out, Lexaport("dump --hex '" + intermediate + "'").out);
  // "hello" as bytes, behind the outline's 8 key bytes.
  EXPECT_NE(hex.out.find("\t68656c6c6f\n"), std::string::npos) << hex.out;

  // A record cut short at the end of an intermediate file: the whole ones are shown, and the
  // command reports the rest.
  Bytes bytes = test::ReadFileBytes(intermediate);
  bytes.resize(bytes.size() - 2);
  const std::string cut = dir.File("cut.zqdct");
  test::WriteFileBytes(cut, bytes);
  const test::ProgramRun partial = Lexaport("dump '" + cut + "'");
  EXPECT_EQ(partial.status, 1);
  EXPECT_EQ(std::count(partial.out.begin(), partial.out.end(), '\n'), 8);
  EXPECT_NE(partial.err.find("whole record"), std::string::npos);
}

// Damaged and foreign files: each command ends with its exit status for the case and says what
// is wrong, never with a crash (which RunProgram reports as status -1).
TEST_F(WriterCommands, DamagedFilesGetAClearMessageAndTheirExitStatus) {
  std::mt19937 random(77);
  Bytes noise(4096);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  const Bytes writerBytes = test::ReadFileBytes(writer);
  const Bytes intermediateBytes = test::ReadFileBytes(intermediate);
  auto cut = [](const Bytes& bytes, std::size_t length) { return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(length)); };
  const std::vector<std::pair<std::string, Bytes>> files = {
      {"random.ZQDCX", noise},
      {"cut-in-header.ZQDCX", cut(writerBytes, 100)},
      {"cut-in-root-table.ZQDCX", cut(writerBytes, 1000)},
      {"cut-in-tree.ZQDCX", cut(writerBytes, writerBytes.size() - 3)},
      {"cut-in-header.zqdct", cut(intermediateBytes, 300)},
      {"cut-in-info-block.zqdct", cut(intermediateBytes, 600)},
      {"plain.rtf", B("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times;}}\\f0 Dear Sir,\\par no entries.\\par}")},
      {"random.rtf", noise},
  };
  for (const auto& [name, bytes] : files) test::WriteFileBytes(dir.File(name), bytes);
  struct Case {
    std::string command;
    std::string file;
    int status;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"dump", "random.ZQDCX", 2, "no \"ZQCAT32\" signature"},
      {"verify", "random.ZQDCX", 1, "does not begin with the signature"},
      {"lookup", "random.ZQDCX", 2, "not a sound writer dictionary file"},
      {"dump", "cut-in-header.ZQDCX", 1, "cut short: 100 bytes"},
      {"verify", "cut-in-header.ZQDCX", 1, "100 bytes long, shorter than any writer dictionary file"},
      {"lookup", "cut-in-header.ZQDCX", 2, "shorter than any writer dictionary file"},
      {"dump", "cut-in-root-table.ZQDCX", 1, "shorter than any writer dictionary file"},
      {"verify", "cut-in-root-table.ZQDCX", 1, "shorter than any writer dictionary file"},
      {"dump", "cut-in-tree.ZQDCX", 1, "records a length of"},
      {"verify", "cut-in-tree.ZQDCX", 1, "records a length of"},
      {"lookup", "cut-in-tree.ZQDCX", 2, "records a length of"},
      {"dump", "cut-in-header.zqdct", 1, "cut short: 300 bytes"},
      {"dump", "cut-in-info-block.zqdct", 1, "cut short: 600 bytes"},
      {"verify", "cut-in-info-block.zqdct", 1, "an intermediate dictionary file"},
      {"convert", "plain.rtf", 1, "No entries found in the RTF/CRE file."},
      {"convert", "random.rtf", 1, "No entries found in the RTF/CRE file."},
  };
  for (const Case& c : cases) {
    std::string arguments = c.command + " '" + dir.File(c.file) + "'";
    if (c.command == "lookup") arguments += " STKPW/-T";
    if (c.command == "convert") arguments += " --out '" + dir.File("") + "'";
    const test::ProgramRun run = Lexaport(arguments);
    EXPECT_EQ(run.status, c.status) << arguments << "\n" << run.out << run.err;
    EXPECT_NE((run.out + run.err).find(c.says), std::string::npos) << arguments << "\n" << run.out << run.err;
  }
}

TEST_F(WriterCommands, EveryCommandHasHelp) {
  for (const char* command : {"dump", "lookup", "verify"}) {
    const test::ProgramRun run = Lexaport(std::string(command) + " --help");
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_NE(run.out.find("Usage"), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace lexaport
