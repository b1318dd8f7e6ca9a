#pragma once
// The core's view of files and disks. The core never calls the operating system itself: it is
// handed an IFileSystem (the native one in the programs, an in-memory one in tests and fuzzers).
//
// Error model: opening, creating and querying report failure through their results (a null file,
// an empty optional, false), because the callers turn those into result codes. Once a file is
// open, a failing read, write or seek throws FileError: the callers have no result code for it
// and let it travel to the front end, which reports it.
//
// Threads: a file system may be used from two threads at once, each with files of its own (the
// conversion writes its intermediate file and builds the writer file side by side).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/PathSyntax.h"

namespace lexaport::platform {

class FileError : public std::runtime_error {
 public:
  FileError(const std::string& operation, const std::string& path, const std::string& reason)
      : std::runtime_error(operation + " failed on \"" + path + "\": " + reason), path_(path) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

struct FileStatus {
  std::uint64_t size = 0;
  std::int64_t modifiedTime = 0;  // seconds since 1970-01-01 00:00 UTC
};

// How other programs may use a file while we hold it open (the platform enforces what it can).
enum class Sharing {
  kExclusive,  // nobody else may open it
  kDenyWrite,  // others may read, not write
  kShareAll,
};

class IFile {
 public:
  virtual ~IFile() = default;
  // Reads up to `count` bytes at the current position; returns fewer only at the end of the file.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual void Write(const void* data, std::size_t count) = 0;
  virtual void Seek(std::uint64_t offset) = 0;
  virtual std::uint64_t Length() = 0;
  // The content is complete. A file made by CreateForRewriting loses there what of its earlier
  // content lies beyond the bytes written; a failure to do so throws FileError. Nothing to do for
  // any other file.
  virtual void Finish() {}
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // Null when the file does not exist or cannot be opened with that sharing.
  virtual std::unique_ptr<IFile> OpenForReading(const std::string& path, Sharing sharing) = 0;
  // Creates the file, or truncates it when it exists, for reading and writing. Null on failure.
  virtual std::unique_ptr<IFile> CreateForWriting(const std::string& path) = 0;
  // The same for a file the caller writes whole and then finishes (IFile::Finish), but an existing
  // file may be written over where it lies rather than truncated first: freeing its pages and
  // blocks only to take as many again costs milliseconds for a file of some megabytes, and a
  // conversion writes its files over those of the last one. Until it is finished the file reads,
  // measures and fills gaps as a truncated one would (only its bytes written count); an
  // unfinished file is cut to those when it is closed, as far as that can be done.
  virtual std::unique_ptr<IFile> CreateForRewriting(const std::string& path) { return CreateForWriting(path); }
  virtual std::optional<FileStatus> Status(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  virtual bool Remove(const std::string& path) = 0;
  virtual PathSyntax Syntax() = 0;
  virtual std::string CurrentDirectory() = 0;
  // The directory for transient files, ending in a separator.
  virtual std::string TemporaryDirectory() = 0;
};

// Reads a whole file into memory with a terminating zero byte after its content (the form the
// RTF reader takes). Returns false when the file cannot be opened or the memory cannot be had;
// throws FileError when reading fails once the file is open.
struct WholeFile {
  std::unique_ptr<std::uint8_t[]> bytes;  // size + 1 bytes, the last one zero
  std::size_t size = 0;
};
bool ReadWholeFile(IFileSystem& files, const std::string& path, Sharing sharing, WholeFile& out);
// The same, with the bytes read by `fill`: given the open file, the buffer and the length the
// file had when it was opened, it returns how many bytes it got (fewer where the file shrank).
using WholeFileFill = std::function<std::size_t(IFile& file, std::uint8_t* bytes, std::size_t size)>;
bool ReadWholeFile(IFileSystem& files, const std::string& path, Sharing sharing, WholeFile& out,
                   const WholeFileFill& fill);

// Reads up to `count` bytes at the file's current position; fewer only where the file ends (it
// may have shrunk while it was read). A failing read throws FileError.
std::size_t ReadUpTo(IFile& file, std::uint8_t* to, std::size_t count);

}  // namespace lexaport::platform
