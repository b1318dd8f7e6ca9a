#include "platform/FileSystem.h"

#include <new>

namespace lexaport::platform {

bool ReadWholeFile(IFileSystem& files, const std::string& path, Sharing sharing, WholeFile& out) {
  std::unique_ptr<IFile> file = files.OpenForReading(path, sharing);
  if (!file) return false;
  const std::uint64_t length = file->Length();
  if (length >= SIZE_MAX) return false;
  const auto size = static_cast<std::size_t>(length);
  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size + 1]);
  if (!bytes) return false;
  std::size_t got = 0;
  while (got < size) {
    const std::size_t n = file->Read(bytes.get() + got, size - got);
    if (n == 0) break;  // the file shrank while we read it: take what is there
    got += n;
  }
  bytes[got] = 0;
  out.bytes = std::move(bytes);
  out.size = got;
  return true;
}

}  // namespace lexaport::platform
