#pragma once

namespace lexaport::platform {

// The two path syntaxes the path rules know.
//  kWindows: '\' separates, "X:" designates a drive, "\\server\share" is a network path.
//  kPosix:   '/' separates, a path is absolute when it begins with '/', no drives or network paths.
enum class PathSyntax { kWindows, kPosix };

}  // namespace lexaport::platform
