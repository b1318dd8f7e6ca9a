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
