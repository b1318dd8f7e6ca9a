#pragma once
// The path rules CFilePath rests on, on plain text in either path syntax.
//
// The rules were made for the Windows syntax; on the POSIX syntax '/' takes the place of '\' in
// every rule, and the drive and network rules never apply. Texts are byte strings in a
// single-byte code page, so every byte is a whole character.
//
// The rules that write take their destination as a std::string but keep the limits of a path
// buffer of kMaxPathChars: where a result would not fit, they fail and leave it unchanged.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/PathSyntax.h"

namespace lexaport {

inline constexpr std::size_t kMaxPathChars = 260;  // including the terminating zero
inline constexpr std::size_t kMaxPathLength = kMaxPathChars - 1;

namespace pathrules {

using platform::PathSyntax;

constexpr char Separator(PathSyntax syntax) { return syntax == PathSyntax::kWindows ? '\\' : '/'; }
constexpr bool IsSeparator(char c, PathSyntax syntax) { return c == Separator(syntax); }

// "X:" at the start of a Windows text: any character but a separator, then a colon (the same
// test that makes a text absolute). Never under POSIX.
bool HasDriveDesignation(std::string_view text, PathSyntax syntax);
// Exactly a drive designation and nothing more ("C:").
bool IsDriveDesignation(std::string_view text, PathSyntax syntax);
// Begins with a separator, or (Windows) with a drive designation.
bool IsAbsolutePath(std::string_view text, PathSyntax syntax);

// The position of the extension's '.', or text.size() when there is none. A blank or a separator
// after a '.' ends that candidate: "a.b c" has no extension, "x.d\y" neither.
std::size_t FindExtension(std::string_view text, PathSyntax syntax);

// Appends a separator unless the text is empty or already ends with one. Fails (text unchanged)
// when the text is kMaxPathLength or more characters long.
bool AddBackslash(std::string& text, PathSyntax syntax);

// Cuts the text at its last separator. A drive designation ("C:" or "C:\") stays whole, and so
// does a separator at the very start. False (text unchanged) when the text is empty, is a lone
// separator, or nothing follows its last separator.
bool RemoveFileSpec(std::string& text, PathSyntax syntax);

// Windows: "C:\", "\", "\\server", "\\server\share" (at most one separator after the server).
// POSIX: "/" only.
bool IsRootPath(std::string_view text, PathSyntax syntax);
// Windows: begins with two backslashes. POSIX: never.
bool IsUNCPath(std::string_view text, PathSyntax syntax);

// Joins a relative path to `destination` and canonicalizes the result into it. True without
// change when `relative` is empty. Fails (destination unchanged) when `relative` is absolute or
// the joined text would exceed kMaxPathLength characters.
bool CombinePath(std::string& destination, std::string_view relative, PathSyntax syntax);

// Resolves "." and ".." segments of `source` into `destination` ("C:\a\..\b" -> "C:\b"; ".."
// never climbs above a root). Repeated separators stay repeated. Fails (destination unchanged)
// when `source` exceeds kMaxPathLength characters.
bool CanonicalizePath(std::string& destination, std::string_view source, PathSyntax syntax);

// The directory of `path` with a trailing separator ("/a/b.txt" -> "/a/"). False when `path` is
// empty.
bool GetDirectory(std::string_view path, std::string& directory, PathSyntax syntax);

// The last component of `path` without its extension ("/a/b.txt" -> "b"). False when `path`
// names no file: empty, ending with a separator (a lone root too), or a bare drive designation.
bool GetFileTitle(std::string_view path, std::string& title, PathSyntax syntax);

// Replaces the extension of the last component of `path`: directory + title + newExtension.
// `newExtension` is empty (the extension is removed) or '.' followed by characters none of
// which is '.', a blank or a separator. Fails (path unchanged) when `path` names no file (see
// GetFileTitle), when `newExtension` is not of that form, when the result would name no file
// (empty title and empty extension) or would exceed kMaxPathLength characters.
bool RenameExtension(std::string& path, std::string_view newExtension, PathSyntax syntax);

// Removes leading and trailing blanks (spaces).
std::string_view TrimBlanks(std::string_view text);

}  // namespace pathrules
}  // namespace lexaport
