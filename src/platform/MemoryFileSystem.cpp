#include "platform/MemoryFileSystem.h"

#include <algorithm>
#include <cstring>

namespace lexaport::platform {

class MemoryFileSystem::File final : public IFile {
 public:
  File(std::shared_ptr<Node> node, std::string path, MemoryFileSystem* budgetOwner)
      : node_(std::move(node)), path_(std::move(path)), budgetOwner_(budgetOwner) {}

  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t size = node_->bytes.size();
    if (position_ >= size) return 0;
    const std::size_t n = std::min<std::size_t>(count, size - static_cast<std::size_t>(position_));
    std::memcpy(buffer, node_->bytes.data() + position_, n);
    position_ += n;
    return n;
  }

  void Write(const void* data, std::size_t count) override {
    if (budgetOwner_ != nullptr) {
      const std::lock_guard lock(budgetOwner_->mutex_);
      if (count > budgetOwner_->writeBudget_) throw FileError("write", path_, "injected write failure");
      budgetOwner_->writeBudget_ -= count;
    }
    const std::size_t end = static_cast<std::size_t>(position_) + count;
    if (node_->bytes.size() < end) node_->bytes.resize(end);
    if (count > 0) std::memcpy(node_->bytes.data() + position_, data, count);
    position_ = end;
  }

  void Seek(std::uint64_t offset) override { position_ = offset; }
  std::uint64_t Length() override { return node_->bytes.size(); }

 private:
  std::shared_ptr<Node> node_;
  std::string path_;
  MemoryFileSystem* budgetOwner_;  // null for a file opened for reading
  std::uint64_t position_ = 0;
};

MemoryFileSystem::MemoryFileSystem(PathSyntax syntax, std::string currentDirectory,
                                   std::string temporaryDirectory)
    : syntax_(syntax),
      currentDirectory_(std::move(currentDirectory)),
      temporaryDirectory_(std::move(temporaryDirectory)) {}

void MemoryFileSystem::SetFile(const std::string& path, std::vector<std::uint8_t> bytes,
                               std::int64_t modifiedTime) {
  auto node = std::make_shared<Node>();
  node->bytes = std::move(bytes);
  node->modifiedTime = modifiedTime;
  const std::lock_guard lock(mutex_);
  files_[path] = std::move(node);
}

void MemoryFileSystem::SetFile(const std::string& path, const std::string& text, std::int64_t modifiedTime) {
  SetFile(path, std::vector<std::uint8_t>(text.begin(), text.end()), modifiedTime);
}

const std::vector<std::uint8_t>* MemoryFileSystem::FindFile(const std::string& path) const {
  const std::lock_guard lock(mutex_);
  auto it = files_.find(path);
  return it == files_.end() ? nullptr : &it->second->bytes;
}

void MemoryFileSystem::RefuseCreate(const std::string& path) {
  const std::lock_guard lock(mutex_);
  refusedCreates_.insert(path);
}

void MemoryFileSystem::RefuseOpen(const std::string& path) {
  const std::lock_guard lock(mutex_);
  refusedOpens_.insert(path);
}

void MemoryFileSystem::RefuseStatus(const std::string& path) {
  const std::lock_guard lock(mutex_);
  refusedStatus_.insert(path);
}

void MemoryFileSystem::FailWritesAfter(std::size_t bytes) {
  const std::lock_guard lock(mutex_);
  writeBudget_ = bytes;
}

std::unique_ptr<IFile> MemoryFileSystem::OpenForReading(const std::string& path, Sharing) {
  const std::lock_guard lock(mutex_);
  if (refusedOpens_.count(path) != 0) return nullptr;
  auto it = files_.find(path);
  if (it == files_.end()) return nullptr;
  return std::make_unique<File>(it->second, path, nullptr);
}

std::unique_ptr<IFile> MemoryFileSystem::CreateForWriting(const std::string& path) {
  const std::lock_guard lock(mutex_);
  if (refusedCreates_.count(path) != 0) return nullptr;
  auto node = std::make_shared<Node>();
  files_[path] = node;
  return std::make_unique<File>(node, path, this);
}

std::optional<FileStatus> MemoryFileSystem::Status(const std::string& path) {
  const std::lock_guard lock(mutex_);
  if (refusedStatus_.count(path) != 0) return std::nullopt;
  auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  return FileStatus{it->second->bytes.size(), it->second->modifiedTime};
}

bool MemoryFileSystem::Exists(const std::string& path) {
  const std::lock_guard lock(mutex_);
  return files_.count(path) != 0;
}

bool MemoryFileSystem::Remove(const std::string& path) {
  const std::lock_guard lock(mutex_);
  return files_.erase(path) != 0;
}

}  // namespace lexaport::platform
