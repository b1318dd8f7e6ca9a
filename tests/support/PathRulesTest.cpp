#include "support/PathRules.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace lexaport::pathrules {
namespace {

// Cases written once with '/' and run in both syntaxes, the separator swapped for Windows.
class PathRulesBothSyntaxes : public ::testing::TestWithParam<PathSyntax> {
 protected:
  PathSyntax Syntax() const { return GetParam(); }
  std::string N(std::string_view posixText) const {
    std::string text(posixText);
    if (Syntax() == PathSyntax::kWindows) {
      for (char& c : text) {
        if (c == '/') c = '\\';
      }
    }
    return text;
  }
};

INSTANTIATE_TEST_SUITE_P(Syntaxes, PathRulesBothSyntaxes,
                         ::testing::Values(PathSyntax::kWindows, PathSyntax::kPosix),
                         [](const ::testing::TestParamInfo<PathSyntax>& syntax) {
                           return syntax.param == PathSyntax::kWindows ? "Windows" : "Posix";
                         });

TEST_P(PathRulesBothSyntaxes, FindExtensionTakesTheLastDotOfTheLastName) {
  struct Case {
    const char* text;
    const char* extension;
  };
  const Case cases[] = {
      {"/d/name.txt", ".txt"},    {"/d/a.b.c", ".c"},       {"/d/name. x", ""},
      {"/d/my file.txt", ".txt"}, {"/d.x/name", ""},        {"/d/.profile", ".profile"},
      {"/d/name.", "."},          {"", ""},                 {"name.txt", ".txt"},
  };
  for (const Case& c : cases) {
    const std::string text = N(c.text);
    EXPECT_EQ(text.substr(FindExtension(text, Syntax())), N(c.extension)) << c.text;
  }
}

TEST_P(PathRulesBothSyntaxes, AddBackslashAppendsOneSeparatorWhileThereIsRoom) {
  struct Case {
    std::string text;
    std::string expected;
    bool ok;
  };
  const std::string long258 = "/" + std::string(257, 'a');
  const std::string long259 = "/" + std::string(258, 'a');
  const std::string long259WithSeparator = "/" + std::string(257, 'a') + "/";
  const Case cases[] = {
      {"", "", true},
      {"/d", "/d/", true},
      {"/d/", "/d/", true},
      {long258, long258 + "/", true},
      {long259, long259, false},
      {long259WithSeparator, long259WithSeparator, false},
  };
  for (const Case& c : cases) {
    std::string text = N(c.text);
    EXPECT_EQ(AddBackslash(text, Syntax()), c.ok) << c.text;
    EXPECT_EQ(text, N(c.expected)) << c.text;
  }
}

TEST_P(PathRulesBothSyntaxes, RemoveFileSpecCutsAtTheLastSeparatorButKeepsTheRoot) {
  struct Case {
    const char* text;
    const char* expected;
    bool ok;
  };
  const Case cases[] = {
      {"/d/f", "/d", true}, {"/d/e/f.txt", "/d/e", true}, {"/f", "/", true},   {"/d//f", "/d/", true},
      {"f", "", true},      {"/", "/", false},            {"", "", false},     {"/d/", "/d/", false},
  };
  for (const Case& c : cases) {
    std::string text = N(c.text);
    EXPECT_EQ(RemoveFileSpec(text, Syntax()), c.ok) << c.text;
    EXPECT_EQ(text, N(c.expected)) << c.text;
  }
}

TEST_P(PathRulesBothSyntaxes, LoneSeparatorIsARoot) {
  EXPECT_TRUE(IsRootPath(N("/"), Syntax()));
  EXPECT_FALSE(IsRootPath(N("/d"), Syntax()));
  EXPECT_FALSE(IsRootPath(N("/d/"), Syntax()));
  EXPECT_FALSE(IsRootPath("", Syntax()));
  EXPECT_TRUE(IsAbsolutePath(N("/d"), Syntax()));
  EXPECT_FALSE(IsAbsolutePath("d/e", Syntax()));
  EXPECT_FALSE(IsAbsolutePath("", Syntax()));
}

TEST_P(PathRulesBothSyntaxes, CanonicalizePathResolvesDotSegments) {
  struct Case {
    const char* source;
    const char* expected;
  };
  const Case cases[] = {
      {"/a/./b", "/a/b"},
      {"/a/b/..", "/a"},
      {"/a/b/../c", "/a/c"},
      {"/a/..", "/"},
      {"/..", "/"},
      {"/../a", "/a"},
      {"/a/../../b", "/b"},
      {"/a/.", "/a"},
      {"/.", "/"},
      {"/a/b/./../c/.", "/a/c"},
      {"/a//b", "/a//b"},  // repeated separators stay
      {"/a/.../..b/b../.c", "/a/.../..b/b../.c"},
      {"", "/"},
  };
  for (const Case& c : cases) {
    std::string destination = "unchanged?";
    EXPECT_TRUE(CanonicalizePath(destination, N(c.source), Syntax())) << c.source;
    EXPECT_EQ(destination, N(c.expected)) << c.source;
  }
  std::string destination = "kept";
  EXPECT_FALSE(CanonicalizePath(destination, N("/" + std::string(259, 'a')), Syntax()));
  EXPECT_EQ(destination, "kept");
}

TEST_P(PathRulesBothSyntaxes, CombinePathJoinsARelativePathAndCanonicalizes) {
  struct Case {
    const char* destination;
    const char* relative;
    const char* expected;
    bool ok;
  };
  const Case cases[] = {
      {"/a", "b", "/a/b", true},
      {"/a/", "b", "/a/b", true},
      {"/a/b", "../c", "/a/c", true},
      {"/a", "../../../c", "/c", true},
      {"/a/./b", "c/.", "/a/b/c", true},  // the destination is canonicalized too
      {"/a/./b", "", "/a/./b", true},     // ... but not when there is nothing to join
      {"/a", "/b", "/a", false},
  };
  for (const Case& c : cases) {
    std::string destination = N(c.destination);
    EXPECT_EQ(CombinePath(destination, N(c.relative), Syntax()), c.ok) << c.destination << " + " << c.relative;
    EXPECT_EQ(destination, N(c.expected)) << c.destination << " + " << c.relative;
  }
}

TEST_P(PathRulesBothSyntaxes, CombinePathFailsWhenTheJoinedPathWouldNotFit) {
  const std::string directory = N("/" + std::string(199, 'd'));  // 200 characters
  std::string destination = directory;
  EXPECT_FALSE(CombinePath(destination, std::string(59, 'f'), Syntax()));  // 260 joined
  EXPECT_EQ(destination, directory);
  EXPECT_TRUE(CombinePath(destination, std::string(58, 'f'), Syntax()));  // 259 joined
  EXPECT_EQ(destination.size(), 259u);

  // Resolving ".." would shorten it, but the joined text is what must fit.
  destination = directory;
  EXPECT_FALSE(CombinePath(destination, N("x/../" + std::string(55, 'f')), Syntax()));
  EXPECT_EQ(destination, directory);

  std::string full = N("/" + std::string(258, 'd'));  // no room for the separator
  EXPECT_FALSE(CombinePath(full, "f", Syntax()));
  EXPECT_EQ(full.size(), 259u);
}

TEST_P(PathRulesBothSyntaxes, GetDirectoryEndsWithASeparator) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"/d/f.txt", "/d/"}, {"/d/e/f", "/d/e/"}, {"/d/", "/d/"}, {"/f", "/"}, {"/", "/"},
  };
  for (const Case& c : cases) {
    std::string directory = "unset";
    EXPECT_TRUE(GetDirectory(N(c.path), directory, Syntax())) << c.path;
    EXPECT_EQ(directory, N(c.expected)) << c.path;
  }
  std::string directory = "unset";
  EXPECT_FALSE(GetDirectory("", directory, Syntax()));
  EXPECT_EQ(directory, "unset");
}

TEST_P(PathRulesBothSyntaxes, GetFileTitleIsTheLastNameWithoutItsExtension) {
  struct Case {
    const char* path;
    const char* title;  // null: fails
  };
  const Case cases[] = {
      {"/d/f.txt", "f"}, {"/d/f", "f"},   {"/d/a.b.c", "a.b"}, {"/d/.profile", ""}, {"/d.x/f", "f"},
      {"/d//f", "f"},    {"/d/", nullptr}, {"/", nullptr},      {"", nullptr},
  };
  for (const Case& c : cases) {
    std::string title = "unset";
    EXPECT_EQ(GetFileTitle(N(c.path), title, Syntax()), c.title != nullptr) << c.path;
    EXPECT_EQ(title, c.title != nullptr ? c.title : "unset") << c.path;
  }
}

TEST_P(PathRulesBothSyntaxes, RenameExtensionReplacesTheLastExtension) {
  struct Case {
    const char* path;
    const char* extension;
    const char* expected;  // null: fails and leaves the path unchanged
  };
  const Case cases[] = {
      {"/tmp/lexaport.zqdct", ".ZQDCX", "/tmp/lexaport.ZQDCX"},
      {"/d/name", ".ZQDCX", "/d/name.ZQDCX"},
      {"/d.x/name", ".ZQDCX", "/d.x/name.ZQDCX"},
      {"/d/a.b.c", ".x", "/d/a.b.x"},
      {"/d/my file.txt", ".x", "/d/my file.x"},
      {"/d/f.txt", "", "/d/f"},
      {"/d/f.txt", ".", "/d/f."},
      {"/d/.profile", ".x", "/d/.x"},
      {"/d/", ".ZQDCX", nullptr},
      {"/", ".ZQDCX", nullptr},  // a lone root names no file
      {"", ".ZQDCX", nullptr},
      {"/d/f.txt", ".a.b", nullptr},
      {"/d/f.txt", "..x", nullptr},
      {"/d/f.txt", "x", nullptr},
      {"/d/f.txt", "x.y", nullptr},
      {"/d/f.txt", ".a b", nullptr},
      {"/d/f.txt", ". ", nullptr},
      {"/d/f.txt", ".a/b", nullptr},
      {"/d/.profile", "", nullptr},  // would leave the directory "/d/"
  };
  for (const Case& c : cases) {
    std::string path = N(c.path);
    EXPECT_EQ(RenameExtension(path, N(c.extension), Syntax()), c.expected != nullptr)
        << c.path << " " << c.extension;
    EXPECT_EQ(path, N(c.expected != nullptr ? c.expected : c.path)) << c.path << " " << c.extension;
  }
  std::string path = N("/d/f.txt");
  EXPECT_FALSE(RenameExtension(path, std::string_view(".a\0b", 4), Syntax()));
  EXPECT_EQ(path, N("/d/f.txt"));
}

TEST_P(PathRulesBothSyntaxes, RenameExtensionFailsWhenTheResultWouldNotFit) {
  const std::string fits = N("/" + std::string(250, 'd') + "/f.z");
  std::string path = fits;
  EXPECT_TRUE(RenameExtension(path, ".ZQDCX", Syntax()));
  EXPECT_EQ(path.size(), 259u);

  const std::string tooLong = N("/" + std::string(251, 'd') + "/f.z");
  path = tooLong;
  EXPECT_FALSE(RenameExtension(path, ".ZQDCX", Syntax()));
  EXPECT_EQ(path, tooLong);
}

TEST(PathRules, OnlyBlanksAreTrimmed) {
  EXPECT_EQ(TrimBlanks("  /d/f  "), "/d/f");
  EXPECT_EQ(TrimBlanks("\t/d/f\n"), "\t/d/f\n");
  EXPECT_EQ(TrimBlanks("   "), "");
}

// The other syntax's separator is an ordinary character.
TEST(PathRules, ForeignSeparatorIsAnOrdinaryCharacter) {
  const std::string windows = "C:\\d\\a.b/c";
  EXPECT_EQ(windows.substr(FindExtension(windows, PathSyntax::kWindows)), ".b/c");
  const std::string posix = "/d/a.b\\c";
  EXPECT_EQ(posix.substr(FindExtension(posix, PathSyntax::kPosix)), ".b\\c");
  EXPECT_FALSE(IsAbsolutePath("/d", PathSyntax::kWindows));
  EXPECT_FALSE(IsAbsolutePath("\\d", PathSyntax::kPosix));
  std::string path = "/d/f.txt";
  EXPECT_TRUE(RenameExtension(path, ".a\\b", PathSyntax::kPosix));
  EXPECT_EQ(path, "/d/f.a\\b");
}

TEST(PathRules, WindowsDriveDesignations) {
  constexpr PathSyntax W = PathSyntax::kWindows;
  EXPECT_TRUE(IsAbsolutePath("C:\\x", W));
  EXPECT_TRUE(IsAbsolutePath("C:x", W));
  EXPECT_TRUE(IsRootPath("C:\\", W));
  EXPECT_TRUE(IsRootPath("c:\\", W));
  EXPECT_FALSE(IsRootPath("C:", W));
  EXPECT_FALSE(IsRootPath("C:\\d", W));

  struct Removal {
    const char* text;
    const char* expected;
    bool ok;
  };
  const Removal removals[] = {
      {"C:\\d\\f", "C:\\d", true}, {"C:\\f", "C:\\", true}, {"C:f", "C:", true},
      {"C:\\", "C:\\", false},     {"C:", "C:", false},
  };
  for (const Removal& r : removals) {
    std::string text = r.text;
    EXPECT_EQ(RemoveFileSpec(text, W), r.ok) << r.text;
    EXPECT_EQ(text, r.expected) << r.text;
  }

  struct Canonical {
    const char* source;
    const char* expected;
  };
  const Canonical canonicals[] = {
      {"C:\\a\\..\\b", "C:\\b"}, {"C:\\..", "C:\\"},   {"C:\\..\\a", "C:\\a"},
      {"C:\\a\\..", "C:\\"},     {"C:\\.", "C:\\"},    {"C:", "C:\\"},
  };
  for (const Canonical& c : canonicals) {
    std::string destination;
    EXPECT_TRUE(CanonicalizePath(destination, c.source, W)) << c.source;
    EXPECT_EQ(destination, c.expected) << c.source;
  }

  std::string destination = "C:";
  EXPECT_TRUE(CombinePath(destination, "x", W));
  EXPECT_EQ(destination, "C:x");  // relative to the drive, not its root
  destination = "C:\\work";
  EXPECT_TRUE(CombinePath(destination, "..\\..\\x", W));
  EXPECT_EQ(destination, "C:\\x");
  for (const char* absolute : {"C:\\x", "D:x", "\\x", "\\\\s\\x"}) {
    destination = "C:\\work";
    EXPECT_FALSE(CombinePath(destination, absolute, W)) << absolute;
    EXPECT_EQ(destination, "C:\\work");
  }

  std::string directory;
  EXPECT_TRUE(GetDirectory("C:\\f.txt", directory, W));
  EXPECT_EQ(directory, "C:\\");
  EXPECT_TRUE(GetDirectory("C:f.txt", directory, W));
  EXPECT_EQ(directory, "C:\\");

  std::string title = "unset";
  EXPECT_TRUE(GetFileTitle("C:f.txt", title, W));
  EXPECT_EQ(title, "f");
  title = "unset";
  EXPECT_FALSE(GetFileTitle("C:", title, W));
  EXPECT_EQ(title, "unset");

  std::string path = "C:\\tmp\\lexaport.zqdct";
  EXPECT_TRUE(RenameExtension(path, ".ZQDCX", W));
  EXPECT_EQ(path, "C:\\tmp\\lexaport.ZQDCX");
  path = "C:";
  EXPECT_FALSE(RenameExtension(path, ".ZQDCX", W));
  EXPECT_EQ(path, "C:");
}

TEST(PathRules, WindowsNetworkPaths) {
  constexpr PathSyntax W = PathSyntax::kWindows;
  EXPECT_TRUE(IsUNCPath("\\\\server\\share", W));
  EXPECT_FALSE(IsUNCPath("\\server", W));

  struct Root {
    const char* text;
    bool root;
  };
  const Root roots[] = {
      {"\\\\server", true},          {"\\\\server\\", true},          {"\\\\server\\share", true},
      {"\\\\server\\share\\", false}, {"\\\\server\\share\\d", false}, {"\\\\", true},
  };
  for (const Root& r : roots) EXPECT_EQ(IsRootPath(r.text, W), r.root) << r.text;

  struct Canonical {
    const char* source;
    const char* expected;
  };
  const Canonical canonicals[] = {
      {"\\\\server\\share\\d\\..\\f", "\\\\server\\share\\f"},
      {"\\\\server\\share\\..\\..", "\\\\server\\"},  // ".." stops at the server
      {"\\\\..", "\\\\"},
  };
  for (const Canonical& c : canonicals) {
    std::string destination;
    EXPECT_TRUE(CanonicalizePath(destination, c.source, W)) << c.source;
    EXPECT_EQ(destination, c.expected) << c.source;
  }

  std::string text = "\\\\server\\share\\f";
  EXPECT_TRUE(RemoveFileSpec(text, W));
  EXPECT_EQ(text, "\\\\server\\share");

  std::string path = "\\\\server\\share\\d.zqdct";
  EXPECT_TRUE(RenameExtension(path, ".ZQDCX", W));
  EXPECT_EQ(path, "\\\\server\\share\\d.ZQDCX");
}

TEST(PathRules, PosixHasNoDrivesOrNetworkPaths) {
  constexpr PathSyntax P = PathSyntax::kPosix;
  EXPECT_FALSE(IsAbsolutePath("C:x", P));
  EXPECT_FALSE(IsRootPath("//", P));
  EXPECT_FALSE(IsRootPath("//server", P));
  EXPECT_FALSE(IsUNCPath("//server/share", P));

  std::string text = "C:";
  EXPECT_TRUE(RemoveFileSpec(text, P));  // a plain name, not a drive
  EXPECT_EQ(text, "");

  std::string destination;
  EXPECT_TRUE(CanonicalizePath(destination, "//..", P));
  EXPECT_EQ(destination, "/");

  // A colon is part of the name: renaming must not lose what stands before it.
  std::string path = "/d/a:b.txt";
  EXPECT_TRUE(RenameExtension(path, ".ZQDCX", P));
  EXPECT_EQ(path, "/d/a:b.ZQDCX");
}

}  // namespace
}  // namespace lexaport::pathrules
