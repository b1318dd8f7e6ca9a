#pragma once
// The writer dictionary file lies beside its intermediate file: same path, extension ".ZQDCX".

#include <string>

#include "platform/FileSystem.h"

namespace lexaport {

inline constexpr const char* kWriterExtension = ".ZQDCX";
inline constexpr const char* kIntermediateExtension = ".zqdct";

// Replaces the extension of `path` by ".ZQDCX" in the syntax of `files`. False when no such path
// can be formed (the path is then not to be used for writing).
bool MakeWriterPath(std::string& path, platform::IFileSystem& files);

}  // namespace lexaport
