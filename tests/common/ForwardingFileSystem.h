#pragma once
// A file system that hands every call to an in-memory one, for tests that change only the calls
// they are about (files that lie about their length, that change while they are read, ...).
// CreateForRewriting is left to IFileSystem, so that it goes through CreateForWriting as
// overridden.

#include <memory>
#include <optional>
#include <string>

#include "platform/MemoryFileSystem.h"

namespace lexaport::test {

class ForwardingFileSystem : public platform::IFileSystem {
 public:
  explicit ForwardingFileSystem(platform::MemoryFileSystem& inner) : inner_(inner) {}

  std::unique_ptr<platform::IFile> OpenForReading(const std::string& path, platform::Sharing sharing) override {
    return inner_.OpenForReading(path, sharing);
  }
  std::unique_ptr<platform::IFile> CreateForWriting(const std::string& path) override {
    return inner_.CreateForWriting(path);
  }
  std::optional<platform::FileStatus> Status(const std::string& path) override { return inner_.Status(path); }
  bool Exists(const std::string& path) override { return inner_.Exists(path); }
  bool Remove(const std::string& path) override { return inner_.Remove(path); }
  platform::PathSyntax Syntax() override { return inner_.Syntax(); }
  std::string CurrentDirectory() override { return inner_.CurrentDirectory(); }
  std::string TemporaryDirectory() override { return inner_.TemporaryDirectory(); }

 protected:
  platform::MemoryFileSystem& Inner() { return inner_; }

 private:
  platform::MemoryFileSystem& inner_;
};

}  // namespace lexaport::test
