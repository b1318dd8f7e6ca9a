#pragma once
// The writer dictionary file lies beside its intermediate file: same path, extension ".ZQDCX".

#include <string>

#include "platform/FileSystem.h"

namespace lexaport {

inline constexpr const char* kWriterExtension = ".ZQDCX";
inline constexpr const char* kIntermediateExtension = ".zqdct";

// Makes `path` absolute and replaces its extension by ".ZQDCX", in the syntax of `files`. False
// when no such path can be formed (too long, names no file) or when it would name the input file
// itself; `path` must then not be written to.
bool MakeWriterPath(std::string& path, platform::IFileSystem& files);

}  // namespace lexaport
