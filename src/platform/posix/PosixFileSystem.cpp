// POSIX implementation of the file-system interface.
//
// Sharing: POSIX has no mandatory share modes. We take advisory flock() locks, which keeps two
// Lexaport processes (and any other program that uses flock) from using one file in conflicting
// ways; a program that takes no locks is not detected.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
  // `rewriting`: opened by CreateForRewriting, so whatever the file held before counts for
  // nothing; only the bytes written since are its content until it is finished.
  PosixFile(int fd, std::string path, bool rewriting = false)
      : fd_(fd), path_(std::move(path)), rewriting_(rewriting) {}
  ~PosixFile() override {
    // Not finished: cut as on Finish, but a failure here has no one to go to.
    if (rewriting_) (void)::ftruncate(fd_, static_cast<off_t>(written_));
    ::close(fd_);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override {
    if (rewriting_) {
      count = position_ < written_ ? static_cast<std::size_t>(std::min<std::uint64_t>(count, written_ - position_)) : 0;
    }
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
    position_ += got;
    return got;
  }

  void Write(const void* data, std::size_t count) override {
    // Bytes skipped by a seek read as zeros in a truncated file, not as what lay there before.
    if (rewriting_ && position_ > written_) FillWithZeros(written_, position_);
    WriteAll(static_cast<const std::uint8_t*>(data), count);
    written_ = std::max(written_, position_);
  }

  void Seek(std::uint64_t offset) override {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) throw FileError("seek", path_, ErrnoText(errno));
    position_ = offset;
  }

  std::uint64_t Length() override {
    if (rewriting_) return written_;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw FileError("status", path_, ErrnoText(errno));
    return static_cast<std::uint64_t>(st.st_size);
  }

  void Finish() override {
    if (!rewriting_) return;
    if (::ftruncate(fd_, static_cast<off_t>(written_)) != 0) throw FileError("truncate", path_, ErrnoText(errno));
    rewriting_ = false;
  }

 private:
  void WriteAll(const std::uint8_t* in, std::size_t count) {
    std::size_t put = 0;
    while (put < count) {
      const ssize_t n = ::write(fd_, in + put, count - put);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw FileError("write", path_, ErrnoText(errno));
      }
      put += static_cast<std::size_t>(n);
    }
    position_ += count;
  }

  // Writes zeros from `from` up to `to` and leaves the file position at `to`.
  void FillWithZeros(std::uint64_t from, std::uint64_t to) {
    static constexpr std::uint8_t kZeros[4096] = {};
    Seek(from);
    while (position_ < to) {
      WriteAll(kZeros, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof kZeros, to - position_)));
    }
  }

  int fd_;
  std::string path_;
  bool rewriting_;
  std::uint64_t position_ = 0;  // kept for a rewritten file: the system's own knows nothing of its content
  std::uint64_t written_ = 0;   // the end of the bytes written, for a rewritten file
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

  std::unique_ptr<IFile> CreateForRewriting(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return CreateForWriting(path);  // no file to write over: what truncation does to it, then
    }
    return std::make_unique<PosixFile>(fd, path, true);
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
