#include "platform/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace torvane {
namespace {

class MemoryFile : public File {
 public:
  MemoryFile(std::shared_ptr<MemoryFileSystem::Node> node, FileSharing sharing, bool writable,
             bool fail_writes)
      : node_(std::move(node)), sharing_(sharing), writable_(writable), fail_writes_(fail_writes) {}
  ~MemoryFile() override { Close(); }

  size_t Read(void* buffer, size_t size) override {
    if (!node_ || position_ >= node_->bytes.size()) return 0;
    const size_t n = std::min(size, node_->bytes.size() - position_);
    std::memcpy(buffer, node_->bytes.data() + position_, n);
    position_ += n;
    return n;
  }
  bool Write(std::string_view bytes) override {
    if (!node_ || !writable_ || fail_writes_) {
      failed_ = true;
      return false;
    }
    if (node_->bytes.size() < position_ + bytes.size())
      node_->bytes.resize(position_ + bytes.size());
    std::memcpy(node_->bytes.data() + position_, bytes.data(), bytes.size());
    position_ += bytes.size();
    return true;
  }
  bool Seek(int64_t offset) override {
    if (!node_ || offset < 0) return false;
    position_ = static_cast<size_t>(offset);
    return true;
  }
  int64_t Size() override { return node_ ? static_cast<int64_t>(node_->bytes.size()) : 0; }
  bool IsRegularFile() override { return node_ && (node_->attributes & kAttributeDevice) == 0; }
  bool Flush() override { return !failed_; }
  bool Close() override {
    if (node_) {
      if (sharing_ == FileSharing::kExclusive) node_->exclusive_holder = false;
      if (sharing_ == FileSharing::kShareRead) --node_->shared_holders;
      node_.reset();
    }
    return !failed_;
  }

 private:
  std::shared_ptr<MemoryFileSystem::Node> node_;
  FileSharing sharing_;
  bool writable_;
  bool fail_writes_;
  bool failed_ = false;
  size_t position_ = 0;
};

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*" || pattern == "*") return true;
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (size_t i = 0; i <= name.size(); ++i) {
      if (WildcardMatch(pattern.substr(1), name.substr(i))) return true;
    }
    return false;
  }
  if (name.empty()) return false;
  if (pattern[0] != '?' && pattern[0] != name[0]) return false;
  return WildcardMatch(pattern.substr(1), name.substr(1));
}

std::string ParentOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string MemoryFileSystem::Normalise(std::string_view path) {
  std::string normal(path);
  std::replace(normal.begin(), normal.end(), '\\', '/');
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

std::unique_ptr<File> MemoryFileSystem::Open(std::string_view path, FileAccess access,
                                             FileSharing sharing, FileCreation creation,
                                             FileError* error) {
  FileError ignored;
  if (error == nullptr) error = &ignored;
  *error = FileError::kNone;
  const std::string key = Normalise(path);
  if (folders_.count(key) != 0) {
    *error = FileError::kDenied;
    return nullptr;
  }
  auto it = files_.find(key);
  if (it == files_.end()) {
    const std::string parent = ParentOf(key);
    if (creation == FileCreation::kOpenExisting ||
        (!parent.empty() && folders_.count(parent) == 0)) {
      *error = FileError::kNotFound;
      return nullptr;
    }
    it = files_.emplace(key, std::make_shared<Node>()).first;
  }
  Node& node = *it->second;
  const bool writable = access != FileAccess::kRead;
  if (writable && (node.attributes & kAttributeReadOnly) != 0) {
    *error = FileError::kDenied;
    return nullptr;
  }
  if (node.exclusive_holder || (sharing == FileSharing::kExclusive && node.shared_holders > 0)) {
    *error = FileError::kLocked;
    return nullptr;
  }
  if (sharing == FileSharing::kExclusive) node.exclusive_holder = true;
  if (sharing == FileSharing::kShareRead) ++node.shared_holders;
  if (creation == FileCreation::kCreateOrTruncate) node.bytes.clear();
  return std::make_unique<MemoryFile>(it->second, sharing, writable,
                                      failing_writes_.count(key) != 0);
}

std::vector<DirectoryEntry> MemoryFileSystem::Find(std::string_view pattern) {
  std::vector<DirectoryEntry> entries;
  const std::string key = Normalise(pattern);
  const size_t slash = key.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : key.substr(0, slash);
  const std::string name = slash == std::string::npos ? key : key.substr(slash + 1);
  auto consider = [&](const std::string& path, uint32_t attributes) {
    if (ParentOf(path) != folder) return;
    const std::string entry_name =
        slash == std::string::npos ? path : path.substr(folder.size() + 1);
    if (WildcardMatch(name, entry_name)) entries.push_back({entry_name, attributes});
  };
  for (const auto& [path, node] : files_) consider(path, node->attributes);
  for (const auto& path : folders_) consider(path, kAttributeFolder);
  return entries;
}

bool MemoryFileSystem::CreateFolder(std::string_view path) {
  const std::string key = Normalise(path);
  if (key.empty() || files_.count(key) != 0 || folders_.count(key) != 0) return false;
  const std::string parent = ParentOf(key);
  if (!parent.empty() && folders_.count(parent) == 0) return false;
  folders_.insert(key);
  return true;
}

bool MemoryFileSystem::RemoveFolder(std::string_view path) {
  const std::string key = Normalise(path);
  if (folders_.count(key) == 0) return false;
  for (const auto& [file, node] : files_) {
    if (ParentOf(file) == key) return false;
  }
  for (const auto& folder : folders_) {
    if (ParentOf(folder) == key) return false;
  }
  folders_.erase(key);
  return true;
}

bool MemoryFileSystem::RemoveFile(std::string_view path) {
  const std::string key = Normalise(path);
  auto it = files_.find(key);
  if (it == files_.end() || failing_removes_.count(key) != 0) return false;
  if (it->second->exclusive_holder || it->second->shared_holders > 0) return false;
  files_.erase(it);
  return true;
}

bool MemoryFileSystem::Rename(std::string_view from, std::string_view to) {
  const std::string source = Normalise(from);
  const std::string target = Normalise(to);
  auto it = files_.find(source);
  if (it == files_.end() || files_.count(target) != 0 || folders_.count(target) != 0) return false;
  auto node = it->second;
  files_.erase(it);
  files_.emplace(target, std::move(node));
  return true;
}

bool MemoryFileSystem::ChangeDirectory(std::string_view path) {
  current_directory_ = Normalise(path);
  return true;
}

void MemoryFileSystem::SetFile(std::string_view path, std::string bytes, uint32_t attributes) {
  auto node = std::make_shared<Node>();
  node->bytes = std::move(bytes);
  node->attributes = attributes;
  const std::string key = Normalise(path);
  // Make the folders above it exist, as a real disk would.
  for (std::string parent = ParentOf(key); !parent.empty(); parent = ParentOf(parent)) {
    folders_.insert(parent);
  }
  files_[key] = std::move(node);
}

std::optional<std::string> MemoryFileSystem::GetFile(std::string_view path) const {
  auto it = files_.find(Normalise(path));
  if (it == files_.end()) return std::nullopt;
  return it->second->bytes;
}

bool MemoryFileSystem::HasFolder(std::string_view path) const {
  return folders_.count(Normalise(path)) != 0;
}

}  // namespace torvane
