// An in-memory file system for tests and fuzzing: files are byte strings
// keyed by their path exactly as the program builds it ("\" and "/" are the
// same separator here), folders are a set of paths. Sharing is honoured
// between open files, so a test can hold a file exclusively and watch the
// program's reaction. Files can be marked to fail their writes. A file set
// with kAttributeDevice stands for a device or a named pipe: it opens, but
// is no regular file.
#ifndef TORVANE_PLATFORM_MEMORY_FILE_SYSTEM_H_
#define TORVANE_PLATFORM_MEMORY_FILE_SYSTEM_H_

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace torvane {

class MemoryFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(std::string_view path, FileAccess access, FileSharing sharing,
                             FileCreation creation, FileError* error = nullptr) override;
  std::vector<DirectoryEntry> Find(std::string_view pattern) override;
  bool CreateFolder(std::string_view path) override;
  bool RemoveFolder(std::string_view path) override;
  bool RemoveFile(std::string_view path) override;
  bool Rename(std::string_view from, std::string_view to) override;
  bool ChangeDirectory(std::string_view path) override;

  // Direct access for tests. Paths are normalised the same way as above.
  void SetFile(std::string_view path, std::string bytes, uint32_t attributes = kAttributeArchive);
  std::optional<std::string> GetFile(std::string_view path) const;
  bool HasFolder(std::string_view path) const;
  void FailWritesTo(std::string_view path) { failing_writes_.insert(Normalise(path)); }
  void FailRemovesOf(std::string_view path) { failing_removes_.insert(Normalise(path)); }
  const std::string& current_directory() const { return current_directory_; }

  struct Node {
    std::string bytes;
    uint32_t attributes = kAttributeArchive;
    int shared_holders = 0;
    bool exclusive_holder = false;
  };

  static std::string Normalise(std::string_view path);

 private:
  std::map<std::string, std::shared_ptr<Node>> files_;
  std::set<std::string> folders_;
  std::set<std::string> failing_writes_;
  std::set<std::string> failing_removes_;
  std::string current_directory_;
};

}  // namespace torvane

#endif  // TORVANE_PLATFORM_MEMORY_FILE_SYSTEM_H_
