#include <gtest/gtest.h>

#include "common/TestUtil.h"
#include "platform/MemoryFileSystem.h"
#include "platform/Native.h"

namespace lexaport::platform {
namespace {

using test::B;

TEST(FileSystem, NativeFilesRoundTripAndReportMissingOnes) {
  test::TempDir dir;
  IFileSystem& fs = NativeFileSystem();
  const std::string path = dir.File("a.bin");
  {
    auto file = fs.CreateForWriting(path);
    ASSERT_TRUE(file);
    file->Write("hello world", 11);
    file->Seek(0);
    file->Write("J", 1);
  }
  WholeFile whole;
  ASSERT_TRUE(ReadWholeFile(fs, path, Sharing::kDenyWrite, whole));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(whole.bytes.get()), whole.size), "Jello world");
  EXPECT_EQ(whole.bytes[whole.size], 0);
  ASSERT_TRUE(fs.Status(path));
  EXPECT_EQ(fs.Status(path)->size, 11u);

  EXPECT_FALSE(ReadWholeFile(fs, dir.File("missing"), Sharing::kDenyWrite, whole));
  EXPECT_FALSE(fs.Status(dir.File("missing")));
  EXPECT_FALSE(fs.CreateForWriting(dir.File("no/such/dir/x")));
  EXPECT_TRUE(fs.Remove(path));
  EXPECT_FALSE(fs.Exists(path));
}

// A file written over where it lies must end up, and look while it is written, exactly as if it
// had been truncated first: its length is what was written, nothing of the old content reads
// back (bytes skipped by a seek are zeros), and what lies beyond goes when it is finished or,
// unfinished, closed.
TEST(FileSystem, NativeFilesRewrittenInPlaceHoldOnlyTheNewContent) {
  test::TempDir dir;
  IFileSystem& fs = NativeFileSystem();
  const std::string path = dir.File("a.bin");
  const auto content = [&] {
    WholeFile whole;
    EXPECT_TRUE(ReadWholeFile(fs, path, Sharing::kDenyWrite, whole));
    return std::string(reinterpret_cast<char*>(whole.bytes.get()), whole.size);
  };
  const auto writeOld = [&] {
    auto file = fs.CreateForWriting(path);
    ASSERT_TRUE(file);
    const std::string old(10000, 'o');
    file->Write(old.data(), old.size());
  };

  writeOld();
  {
    auto file = fs.CreateForRewriting(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Length(), 0u);
    char byte = 0;
    EXPECT_EQ(file->Read(&byte, 1), 0u);  // the old content does not read back
    file->Seek(4);
    file->Write("new", 3);
    EXPECT_EQ(file->Length(), 7u);
    file->Seek(0);
    char read[16] = {};
    EXPECT_EQ(file->Read(read, sizeof read), 7u);
    EXPECT_EQ(std::string(read, 7), std::string("\0\0\0\0new", 7));
    file->Seek(0);
    file->Write("ab", 2);
    file->Finish();
    EXPECT_EQ(fs.Status(path)->size, 7u);
  }
  EXPECT_EQ(content(), std::string("ab\0\0new", 7));

  writeOld();
  {
    auto file = fs.CreateForRewriting(path);
    ASSERT_TRUE(file);
    file->Write("cut on closing", 14);
  }
  EXPECT_EQ(content(), "cut on closing");

  ASSERT_TRUE(fs.Remove(path));
  {
    auto file = fs.CreateForRewriting(path);
    ASSERT_TRUE(file);
    file->Write("fresh", 5);
    file->Finish();
  }
  EXPECT_EQ(content(), "fresh");
  EXPECT_FALSE(fs.CreateForRewriting(dir.File("no/such/dir/x")));
}

TEST(FileSystem, MemoryFileSystemInjectsFaults) {
  MemoryFileSystem fs;
  fs.SetFile("/in", "abc");
  fs.RefuseCreate("/refused");
  EXPECT_FALSE(fs.CreateForWriting("/refused"));
  fs.FailWritesAfter(4);
  auto file = fs.CreateForWriting("/out");
  ASSERT_TRUE(file);
  file->Write("1234", 4);
  EXPECT_THROW(file->Write("5", 1), FileError);
  EXPECT_EQ(*fs.FindFile("/out"), B("1234"));
}

}  // namespace
}  // namespace lexaport::platform
