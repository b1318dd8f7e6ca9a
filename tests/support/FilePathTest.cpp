#include "support/FilePath.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/MemoryFileSystem.h"
#include "platform/Native.h"

namespace lexaport {
namespace {

using platform::PathSyntax;

std::string PathOf(const CFilePath& path) {
  const char* text = path.GetPath();
  return text != nullptr ? text : "<null>";
}

// The same cases in both syntaxes, written with '/' and a current directory "/work".
class FilePathBothSyntaxes : public ::testing::TestWithParam<PathSyntax> {
 protected:
  std::string N(std::string_view posixText) const {
    std::string text(posixText);
    if (GetParam() == PathSyntax::kWindows) {
      for (char& c : text) {
        if (c == '/') c = '\\';
      }
    }
    return text;
  }
  PathContext Context() const { return PathContext{GetParam(), N("/work")}; }
};

INSTANTIATE_TEST_SUITE_P(Syntaxes, FilePathBothSyntaxes,
                         ::testing::Values(PathSyntax::kWindows, PathSyntax::kPosix),
                         [](const ::testing::TestParamInfo<PathSyntax>& syntax) {
                           return syntax.param == PathSyntax::kWindows ? "Windows" : "Posix";
                         });

TEST_P(FilePathBothSyntaxes, SetPathStoresTheAbsoluteForm) {
  struct Case {
    const char* text;  // may be null
    const char* expected;
  };
  const Case cases[] = {
      {"/a/./b/../c.txt", "/a/./b/../c.txt"},  // absolute texts are not resolved
      {"/a/b.txt  ", "/a/b.txt"},
      {nullptr, "/work/"},
      {"", "/work/"},
      {"dict.rtf", "/work/dict.rtf"},
      {"dir/../file.txt", "/work/file.txt"},
      {"../../file.txt", "/file.txt"},  // ".." at the root is ignored
      {"./sub/./f", "/work/sub/f"},
      {"  name  ", "/work/  name"},     // the blanks around the whole path go
  };
  for (const Case& c : cases) {
    const CFilePath path(Context(), c.text != nullptr ? N(c.text).c_str() : nullptr);
    EXPECT_EQ(PathOf(path), N(c.expected)) << (c.text != nullptr ? c.text : "null");
  }
}

TEST_P(FilePathBothSyntaxes, SetPathLeavesNoPathWhenTheAbsoluteFormDoesNotFit) {
  CFilePath path(Context(), N("/" + std::string(258, 'a')).c_str());
  EXPECT_EQ(PathOf(path).size(), 259u);

  path.SetPath(N("/" + std::string(259, 'a')).c_str());
  EXPECT_EQ(path.GetPath(), nullptr);

  path.SetPath(std::string(254, 'a').c_str());  // "/work/" + 254 = 260
  EXPECT_EQ(path.GetPath(), nullptr);
  path.SetPath(std::string(253, 'a').c_str());
  EXPECT_EQ(PathOf(path), N("/work/") + std::string(253, 'a'));

  const CFilePath deep(PathContext{GetParam(), N("/" + std::string(258, 'w'))}, "f");
  EXPECT_EQ(deep.GetPath(), nullptr);
}

TEST_P(FilePathBothSyntaxes, SetPathAcceptsItsOwnText) {
  CFilePath path(Context(), N("sub/../f.rtf").c_str());
  path.SetPath(path.GetPath());
  EXPECT_EQ(PathOf(path), N("/work/f.rtf"));
}

TEST_P(FilePathBothSyntaxes, SetPathNeedsAnAbsoluteCurrentDirectory) {
  EXPECT_EQ(CFilePath(PathContext{GetParam(), ""}, "f").GetPath(), nullptr);
  EXPECT_EQ(CFilePath(PathContext{GetParam(), "work"}, "f").GetPath(), nullptr);
  EXPECT_EQ(PathOf(CFilePath(PathContext{GetParam(), ""}, N("/abs").c_str())), N("/abs"));
}

TEST_P(FilePathBothSyntaxes, RenameExtensionChangesThePathOnlyOnSuccess) {
  CFilePath path(Context(), N("/tmp/lexaport.zqdct").c_str());
  EXPECT_TRUE(path.RenameExtension(".ZQDCX"));
  EXPECT_EQ(PathOf(path), N("/tmp/lexaport.ZQDCX"));
  EXPECT_FALSE(path.RenameExtension("ZQDCX"));
  EXPECT_EQ(PathOf(path), N("/tmp/lexaport.ZQDCX"));
  EXPECT_TRUE(path.RenameExtension(""));
  EXPECT_EQ(PathOf(path), N("/tmp/lexaport"));

  path.SetPath(N("/tmp/").c_str());
  EXPECT_FALSE(path.RenameExtension(".ZQDCX"));
  EXPECT_EQ(PathOf(path), N("/tmp/"));

  path.SetPath(N("/" + std::string(300, 'a')).c_str());
  EXPECT_FALSE(path.RenameExtension(".ZQDCX"));
  EXPECT_EQ(path.GetPath(), nullptr);
}

TEST_P(FilePathBothSyntaxes, FreeRenameExtensionWritesBackTheAbsoluteForm) {
  std::string text = "dict.zqdct";
  EXPECT_TRUE(RenameExtension(text, ".ZQDCX", Context()));
  EXPECT_EQ(text, N("/work/dict.ZQDCX"));

  text = N("sub/");
  EXPECT_FALSE(RenameExtension(text, ".ZQDCX", Context()));
  EXPECT_EQ(text, N("/work/sub/"));

  text = N("/" + std::string(300, 'a'));
  EXPECT_FALSE(RenameExtension(text, ".ZQDCX", Context()));
  EXPECT_EQ(text, "");
}

TEST_P(FilePathBothSyntaxes, DirectoryAndTitleGoIntoBoundedBuffers) {
  const CFilePath path(Context(), N("/data/court.dict.rtf").c_str());
  char buffer[64];
  ASSERT_TRUE(path.GetDirectory(buffer, sizeof buffer));
  EXPECT_STREQ(buffer, N("/data/").c_str());
  ASSERT_TRUE(path.GetFileTitle(buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "court.dict");

  // At most size - 1 characters and the terminating zero; the byte behind stays.
  std::memset(buffer, 'x', sizeof buffer);
  ASSERT_TRUE(path.GetFileTitle(buffer, 4));
  EXPECT_STREQ(buffer, "cou");
  EXPECT_EQ(buffer[4], 'x');
  ASSERT_TRUE(path.GetDirectory(buffer, 1));
  EXPECT_STREQ(buffer, "");

  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_FALSE(path.GetDirectory(buffer, 0));
  EXPECT_FALSE(path.GetFileTitle(buffer, 0));
  EXPECT_EQ(buffer[0], 'x');

  const CFilePath directory(Context(), N("/data/").c_str());
  EXPECT_FALSE(directory.GetFileTitle(buffer, sizeof buffer));
  EXPECT_EQ(buffer[0], 'x');

  const CFilePath none(Context(), N("/" + std::string(300, 'a')).c_str());
  EXPECT_FALSE(none.GetDirectory(buffer, sizeof buffer));
  EXPECT_FALSE(none.GetFileTitle(buffer, sizeof buffer));
  EXPECT_EQ(buffer[0], 'x');
}

TEST(FilePath, WindowsDrivePaths) {
  const PathContext context{PathSyntax::kWindows, "C:\\work"};
  EXPECT_EQ(PathOf(CFilePath(context, "dir\\..\\file.txt")), "C:\\work\\file.txt");
  EXPECT_EQ(PathOf(CFilePath(context, "..\\..\\file.txt")), "C:\\file.txt");
  EXPECT_EQ(PathOf(CFilePath(context, "D:file.txt")), "D:file.txt");
  EXPECT_EQ(PathOf(CFilePath(context, "/unix/style")), "C:\\work\\/unix/style");
  // Absolute for its colon, but not once the blank before it is trimmed: no path, and so nothing
  // to rename.
  EXPECT_EQ(CFilePath(context, " :.a").GetPath(), nullptr);
  std::string blankDrive = " :dict.zqdct";
  EXPECT_FALSE(RenameExtension(blankDrive, ".ZQDCX", context));
  EXPECT_EQ(blankDrive, "");
  EXPECT_EQ(PathOf(CFilePath(context, "D:\\file.txt  ")), "D:\\file.txt");

  std::string text = "D:\\Dictionaries\\job.zqdct";
  EXPECT_TRUE(RenameExtension(text, ".ZQDCX", context));
  EXPECT_EQ(text, "D:\\Dictionaries\\job.ZQDCX");
}

TEST(FilePath, ContextComesFromTheFileSystem) {
  platform::MemoryFileSystem windows(PathSyntax::kWindows, "C:\\work");
  const PathContext fromMemory = NativePathContext(windows);
  EXPECT_EQ(fromMemory.syntax, PathSyntax::kWindows);
  EXPECT_EQ(fromMemory.currentDirectory, "C:\\work");

  const PathContext native = NativePathContext(platform::NativeFileSystem());
  EXPECT_EQ(native.syntax, PathSyntax::kPosix);
  EXPECT_EQ(native.currentDirectory, std::filesystem::current_path().string());
  const CFilePath path(native, "x.rtf");
  EXPECT_EQ(PathOf(path), (std::filesystem::current_path() / "x.rtf").string());
}

}  // namespace
}  // namespace lexaport
