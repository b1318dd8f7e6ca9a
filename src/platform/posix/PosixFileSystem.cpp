// POSIX implementation of the file-system interface.
//
// Sharing: POSIX has no mandatory share modes. We take advisory flock() locks, which keeps two
// Lexaport processes (and any other program that uses flock) from using one file in conflicting
// ways; a program that takes no locks is not detected.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/Native.h"

namespace lexaport::platform {
namespace {

std::string ErrnoText(int error) { return std::strerror(error); }

class PosixFile final : public IFile {
 public:
  PosixFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixFile() override { ::close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t got = 0;
    while (got < count) {
      const ssize_t n = ::read(fd_, out + got, count - got);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw FileError("read", path_, ErrnoText(errno));
      }
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    return got;
  }

  void Write(const void* data, std::size_t count) override {
    const auto* in = static_cast<const std::uint8_t*>(data);
    std::size_t put = 0;
    while (put < count) {
      const ssize_t n = ::write(fd_, in + put, count - put);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw FileError("write", path_, ErrnoText(errno));
      }
      put += static_cast<std::size_t>(n);
    }
  }

  void Seek(std::uint64_t offset) override {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) throw FileError("seek", path_, ErrnoText(errno));
  }

  std::uint64_t Length() override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw FileError("status", path_, ErrnoText(errno));
    return static_cast<std::uint64_t>(st.st_size);
  }

 private:
  int fd_;
  std::string path_;
};

class PosixFileSystem final : public IFileSystem {
 public:
  std::unique_ptr<IFile> OpenForReading(const std::string& path, Sharing sharing) override {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    const int lock = sharing == Sharing::kExclusive ? LOCK_EX : sharing == Sharing::kDenyWrite ? LOCK_SH : 0;
    if (lock != 0 && ::flock(fd, lock | LOCK_NB) != 0) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd, path);
  }

  std::unique_ptr<IFile> CreateForWriting(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixFile>(fd, path);
  }

  std::optional<FileStatus> Status(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStatus{static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtime)};
  }

  bool Exists(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
  }

  bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

  PathSyntax Syntax() override { return PathSyntax::kPosix; }

  std::string CurrentDirectory() override {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return "/";
    return buffer;
  }

  std::string TemporaryDirectory() override {
    const char* dir = std::getenv("TMPDIR");
    std::string result = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
    if (result.back() != '/') result += '/';
    return result;
  }
};

}  // namespace

IFileSystem& NativeFileSystem() {
  static PosixFileSystem instance;
  return instance;
}

}  // namespace lexaport::platform
