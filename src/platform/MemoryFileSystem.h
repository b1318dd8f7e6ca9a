#pragma once
// A file system held in memory, for tests and fuzzers: no disk, no clean-up, and faults can be
// injected (a file that cannot be created, a write that fails after N bytes). Like the native one,
// it may be used from several threads at once, each with files of its own.

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace lexaport::platform {

class MemoryFileSystem final : public IFileSystem {
 public:
  explicit MemoryFileSystem(PathSyntax syntax = PathSyntax::kPosix,
                            std::string currentDirectory = "/work",
                            std::string temporaryDirectory = "/tmp/");

  // Direct access to the stored files, for setting up inputs and checking outputs.
  void SetFile(const std::string& path, std::vector<std::uint8_t> bytes, std::int64_t modifiedTime = 0);
  void SetFile(const std::string& path, const std::string& text, std::int64_t modifiedTime = 0);
  const std::vector<std::uint8_t>* FindFile(const std::string& path) const;

  // Fault injection.
  void RefuseCreate(const std::string& path);
  void RefuseOpen(const std::string& path);
  void RefuseStatus(const std::string& path);
  // The writes to all files together may put this many bytes more; the write that would pass
  // that throws.
  void FailWritesAfter(std::size_t bytes);

  std::unique_ptr<IFile> OpenForReading(const std::string& path, Sharing sharing) override;
  std::unique_ptr<IFile> CreateForWriting(const std::string& path) override;
  std::optional<FileStatus> Status(const std::string& path) override;
  bool Exists(const std::string& path) override;
  bool Remove(const std::string& path) override;
  PathSyntax Syntax() override { return syntax_; }
  std::string CurrentDirectory() override { return currentDirectory_; }
  std::string TemporaryDirectory() override { return temporaryDirectory_; }

 private:
  struct Node {
    std::vector<std::uint8_t> bytes;
    std::int64_t modifiedTime = 0;
  };
  class File;

  // Guards the map, the refusals and the write budget; a file's bytes belong to whoever has it open.
  mutable std::mutex mutex_;
  PathSyntax syntax_;
  std::string currentDirectory_;
  std::string temporaryDirectory_;
  std::map<std::string, std::shared_ptr<Node>> files_;
  std::set<std::string> refusedCreates_;
  std::set<std::string> refusedOpens_;
  std::set<std::string> refusedStatus_;
  std::size_t writeBudget_ = SIZE_MAX;
};

}  // namespace lexaport::platform
