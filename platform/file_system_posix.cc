// The file system on POSIX. This file is the one place where the suite's
// "\" separators become "/". Sharing modes become advisory locks (flock):
// kShareRead a shared lock, kExclusive an exclusive one, both taken without
// waiting, so a file that another program holds exclusively fails to open
// with FileError::kLocked. Every descriptor is close-on-exec, so a chained
// program inherits none of them. Files are opened without blocking, so that a
// named pipe in place of a file does not wait for a writer; reads and writes
// then block as usual.
#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/buffered_file.h"

namespace torvane {
namespace {

std::string NativePath(std::string_view path) {
  std::string native(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

FileError PosixError(int error_number) {
  switch (error_number) {
    case ENOENT:
    case ENOTDIR:
      return FileError::kNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return FileError::kDenied;
    case EWOULDBLOCK:
      return FileError::kLocked;
    default:
      return FileError::kOther;
  }
}

class PosixFile : public BufferedFile {
 public:
  PosixFile(int fd, bool regular) : fd_(fd), regular_(regular) {}
  ~PosixFile() override { Close(); }

  bool IsRegularFile() override { return regular_; }

 protected:
  bool IsOpen() const override { return fd_ >= 0; }

  size_t ReadNative(void* buffer, size_t size) override {
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
      const ssize_t n = ::read(fd_, out + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  bool WriteNative(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

  bool SeekNative(int64_t offset) override {
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
  }

  bool SizeNative(int64_t* size) override {
    struct stat info;
    if (::fstat(fd_, &info) != 0) return false;
    *size = static_cast<int64_t>(info.st_size);
    return true;
  }

  bool CloseNative() override {
    const bool closed = ::close(fd_) == 0;  // also releases the advisory lock
    fd_ = -1;
    return closed;
  }

 private:
  int fd_;
  bool regular_;
};

uint32_t AttributesOf(const struct stat& info) {
  uint32_t attributes = 0;
  if (S_ISDIR(info.st_mode)) {
    attributes |= kAttributeFolder;
  } else if (S_ISREG(info.st_mode)) {
    attributes |= kAttributeArchive;
  } else {
    attributes |= kAttributeDevice;
  }
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kAttributeReadOnly;
  return attributes;
}

constexpr int kCreateNewAttempts = 3;

int OpenNative(const std::string& native, int flags) {
  int fd;
  do {
    fd = ::open(native.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool HasWildcard(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(std::string_view path, FileAccess access, FileSharing sharing,
                             FileCreation creation, FileError* error) override {
    FileError ignored;
    if (error == nullptr) error = &ignored;
    *error = FileError::kNone;
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (access) {
      case FileAccess::kRead:
        flags |= O_RDONLY;
        break;
      case FileAccess::kWrite:
        flags |= O_WRONLY;
        break;
      case FileAccess::kReadWrite:
        flags |= O_RDWR;
        break;
    }
    if (creation != FileCreation::kOpenExisting) flags |= O_CREAT;
    const bool exclusive_create =
        creation == FileCreation::kCreateNew || creation == FileCreation::kCreateUnique;
    // An existing name may be a FIFO or a device: opened without waiting (a
    // FIFO with no writer would hold the run), blocking again once open. A
    // file created here is an ordinary file and needs neither.
    if (exclusive_create) {
      flags |= O_EXCL | O_NOFOLLOW;
    } else {
      flags |= O_NONBLOCK;
    }
    const std::string native = NativePath(path);
    int fd = OpenNative(native, flags);
    // A new file replaces whatever file or link held the name: the name is
    // removed and the exclusive create tried again (a few times, should
    // another program keep putting something there).
    for (int attempt = 0; fd < 0 && errno == EEXIST && creation == FileCreation::kCreateNew &&
                          attempt < kCreateNewAttempts;
         ++attempt) {
      struct stat info;
      if (::lstat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        break;
      }
      if (::unlink(native.c_str()) != 0 && errno != ENOENT) break;
      fd = OpenNative(native, flags);
    }
    if (fd < 0) {
      *error = PosixError(errno);
      return nullptr;
    }
    // A file made just now is an empty ordinary file: no need to look.
    struct stat info;
    if (!exclusive_create && (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))) {
      ::close(fd);
      *error = FileError::kDenied;
      return nullptr;
    }
    if (!exclusive_create) {
      const int status_flags = ::fcntl(fd, F_GETFL);
      if (status_flags == -1 || ::fcntl(fd, F_SETFL, status_flags & ~O_NONBLOCK) == -1) {
        *error = PosixError(errno);
        ::close(fd);
        return nullptr;
      }
    }
    if (sharing != FileSharing::kShareAll) {
      const int operation = (sharing == FileSharing::kExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
      if (::flock(fd, operation) != 0) {
        *error = PosixError(errno == EWOULDBLOCK ? EWOULDBLOCK : errno);
        ::close(fd);
        return nullptr;
      }
    }
    // Emptying waits for the lock, so a file held by another user is never
    // cut under its feet.
    if (creation == FileCreation::kCreateOrTruncate && ::ftruncate(fd, 0) != 0) {
      *error = PosixError(errno);
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd, S_ISREG(info.st_mode));
  }

  std::vector<DirectoryEntry> Find(std::string_view pattern) override {
    std::vector<DirectoryEntry> entries;
    const std::string native = NativePath(pattern);
    const size_t slash = native.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : native.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
    if (name.empty()) return entries;
    if (!HasWildcard(name)) {
      struct stat info;
      if (name != "." && name != ".." && ::stat(native.c_str(), &info) == 0) {
        entries.push_back({name, AttributesOf(info)});
      }
      return entries;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return entries;
    const bool every_name = name == "*.*" || name == "*";
    while (const dirent* entry = ::readdir(dir)) {
      const std::string entry_name = entry->d_name;
      if (entry_name == "." || entry_name == "..") continue;
      if (!every_name && ::fnmatch(name.c_str(), entry_name.c_str(), FNM_PERIOD) != 0) continue;
      struct stat info;
      const std::string full = (slash == std::string::npos ? "" : folder) + entry_name;
      if (::stat(full.c_str(), &info) != 0) continue;
      entries.push_back({entry_name, AttributesOf(info)});
    }
    ::closedir(dir);
    return entries;
  }

  bool CreateFolder(std::string_view path) override {
    return ::mkdir(NativePath(path).c_str(), 0777) == 0;
  }
  bool RemoveFolder(std::string_view path) override {
    return ::rmdir(NativePath(path).c_str()) == 0;
  }
  bool RemoveFile(std::string_view path) override {
    const std::string native = NativePath(path);
    struct stat info;
    if (::lstat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    return ::unlink(native.c_str()) == 0;
  }
  bool Rename(std::string_view from, std::string_view to) override {
    const std::string native_to = NativePath(to);
    struct stat info;
    if (::lstat(native_to.c_str(), &info) == 0) return false;
    return ::rename(NativePath(from).c_str(), native_to.c_str()) == 0;
  }
  bool ReplaceFile(std::string_view from, std::string_view to) override {
    const std::string native_to = NativePath(to);
    struct stat info;
    if (::lstat(native_to.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return false;
    return ::rename(NativePath(from).c_str(), native_to.c_str()) == 0;
  }
  bool ChangeDirectory(std::string_view path) override {
    return ::chdir(NativePath(path).c_str()) == 0;
  }
  PathKind KindOf(std::string_view path) override {
    struct stat info;
    if (::lstat(NativePath(path).c_str(), &info) != 0) return PathKind::kMissing;
    if (S_ISLNK(info.st_mode)) return PathKind::kLink;
    if (S_ISDIR(info.st_mode)) return PathKind::kFolder;
    if (S_ISREG(info.st_mode)) return PathKind::kFile;
    return PathKind::kOther;
  }
};

}  // namespace

FileSystem& FileSystem::Default() {
  static PosixFileSystem file_system;
  return file_system;
}

}  // namespace torvane
