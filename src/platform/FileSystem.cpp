#include "platform/FileSystem.h"

#include <new>

namespace lexaport::platform {

std::size_t ReadUpTo(IFile& file, std::uint8_t* to, std::size_t count) {
  std::size_t got = 0;
  while (got < count) {
    const std::size_t n = file.Read(to + got, count - got);
    if (n == 0) break;  // the file shrank while we read it: take what is there
    got += n;
  }
  return got;
}

bool ReadWholeFile(IFileSystem& files, const std::string& path, Sharing sharing, WholeFile& out,
                   const WholeFileFill& fill) {
  std::unique_ptr<IFile> file = files.OpenForReading(path, sharing);
  if (!file) return false;
  const std::uint64_t length = file->Length();
  if (length >= SIZE_MAX) return false;
  const auto size = static_cast<std::size_t>(length);
  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size + 1]);
  if (!bytes) return false;
  const std::size_t got = fill(*file, bytes.get(), size);
  bytes[got] = 0;
  out.bytes = std::move(bytes);
  out.size = got;
  return true;
}

bool ReadWholeFile(IFileSystem& files, const std::string& path, Sharing sharing, WholeFile& out) {
  return ReadWholeFile(files, path, sharing, out,
                       [](IFile& file, std::uint8_t* bytes, std::size_t size) { return ReadUpTo(file, bytes, size); });
}

}  // namespace lexaport::platform
