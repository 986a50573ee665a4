// The file system on Windows, through the ANSI file functions: the suite's
// paths go to the system unchanged. Sharing modes are the share flags of
// CreateFile (kShareAll lets others read, write and delete, kShareRead lets
// them read, kExclusive nothing), so a file that another program holds
// against our access fails to open with FileError::kLocked. Handles are
// never inheritable, so a chained program gets none of them. Directory
// search reports the attributes the system keeps.
#include "platform/file_system.h"

#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// The system names its own ReplaceFile function through this macro; ours is
// FileSystem::ReplaceFile.
#undef ReplaceFile

#include <algorithm>
#include <string>

#include "platform/buffered_file.h"

namespace torvane {
namespace {

FileError WindowsError(DWORD error_code) {
  switch (error_code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
      return FileError::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return FileError::kDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileError::kLocked;
    default:
      return FileError::kOther;
  }
}

class Win32File : public BufferedFile {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override { Close(); }

  // A console, a printer port or a pipe is of another type than a disk file.
  bool IsRegularFile() override { return IsOpen() && ::GetFileType(handle_) == FILE_TYPE_DISK; }

 protected:
  bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

  size_t ReadNative(void* buffer, size_t size) override {
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, kMaxTransfer));
      DWORD n = 0;
      if (!::ReadFile(handle_, out + done, chunk, &n, nullptr) || n == 0) break;
      done += n;
    }
    return done;
  }

  bool WriteNative(std::string_view bytes) override {
    while (!bytes.empty()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), kMaxTransfer));
      DWORD n = 0;
      if (!::WriteFile(handle_, bytes.data(), chunk, &n, nullptr) || n == 0) return false;
      bytes.remove_prefix(n);
    }
    return true;
  }

  bool SeekNative(int64_t offset) override {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    return ::SetFilePointerEx(handle_, distance, nullptr, FILE_BEGIN) != 0;
  }

  bool SizeNative(int64_t* size) override {
    LARGE_INTEGER native_size;
    if (!::GetFileSizeEx(handle_, &native_size)) return false;
    *size = static_cast<int64_t>(native_size.QuadPart);
    return true;
  }

  bool CloseNative() override {
    const bool closed = ::CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  static constexpr size_t kMaxTransfer = 1 << 30;

  HANDLE handle_;
};

// The system's attribute bits as the suite names them. Windows keeps no
// volume-label bit on directory entries, so that one never shows.
uint32_t AttributesOf(DWORD native) {
  uint32_t attributes = 0;
  if (native & FILE_ATTRIBUTE_READONLY) attributes |= kAttributeReadOnly;
  if (native & FILE_ATTRIBUTE_HIDDEN) attributes |= kAttributeHidden;
  if (native & FILE_ATTRIBUTE_SYSTEM) attributes |= kAttributeSystem;
  if (native & FILE_ATTRIBUTE_DIRECTORY) attributes |= kAttributeFolder;
  if (native & FILE_ATTRIBUTE_ARCHIVE) attributes |= kAttributeArchive;
  if (native & FILE_ATTRIBUTE_DEVICE) attributes |= kAttributeDevice;
  return attributes;
}

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(std::string_view path, FileAccess access, FileSharing sharing,
                             FileCreation creation, FileError* error) override {
    FileError ignored;
    if (error == nullptr) error = &ignored;
    *error = FileError::kNone;
    DWORD desired_access = 0;
    switch (access) {
      case FileAccess::kRead:
        desired_access = GENERIC_READ;
        break;
      case FileAccess::kWrite:
        desired_access = GENERIC_WRITE;
        break;
      case FileAccess::kReadWrite:
        desired_access = GENERIC_READ | GENERIC_WRITE;
        break;
    }
    DWORD share_mode = 0;
    switch (sharing) {
      case FileSharing::kShareAll:
        share_mode = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        break;
      case FileSharing::kShareRead:
        share_mode = FILE_SHARE_READ;
        break;
      case FileSharing::kExclusive:
        share_mode = 0;
        break;
    }
    DWORD disposition = OPEN_EXISTING;
    switch (creation) {
      case FileCreation::kOpenExisting:
        disposition = OPEN_EXISTING;
        break;
      case FileCreation::kOpenOrCreate:
        disposition = OPEN_ALWAYS;
        break;
      case FileCreation::kCreateOrTruncate:
        disposition = CREATE_ALWAYS;
        break;
    }
    const std::string native(path);
    // No inheritable handle: the security attributes are left null.
    HANDLE handle = ::CreateFileA(native.c_str(), desired_access, share_mode, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      *error = WindowsError(::GetLastError());
      return nullptr;
    }
    return std::make_unique<Win32File>(handle);
  }

  std::vector<DirectoryEntry> Find(std::string_view pattern) override {
    std::vector<DirectoryEntry> entries;
    const std::string native(pattern);
    if (native.empty()) return entries;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(native.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      entries.push_back({name, AttributesOf(found.dwFileAttributes)});
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return entries;
  }

  bool CreateFolder(std::string_view path) override {
    return ::CreateDirectoryA(std::string(path).c_str(), nullptr) != 0;
  }
  bool RemoveFolder(std::string_view path) override {
    return ::RemoveDirectoryA(std::string(path).c_str()) != 0;
  }
  bool RemoveFile(std::string_view path) override {
    return ::DeleteFileA(std::string(path).c_str()) != 0;
  }
  // MoveFile never replaces an existing target.
  bool Rename(std::string_view from, std::string_view to) override {
    return ::MoveFileA(std::string(from).c_str(), std::string(to).c_str()) != 0;
  }
  // One step, so that another user finds either the old file or the new one.
  bool ReplaceFile(std::string_view from, std::string_view to) override {
    return ::MoveFileExA(std::string(from).c_str(), std::string(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING) != 0;
  }
  bool ChangeDirectory(std::string_view path) override {
    return ::SetCurrentDirectoryA(std::string(path).c_str()) != 0;
  }
};

}  // namespace

FileSystem& FileSystem::Default() {
  static Win32FileSystem file_system;
  return file_system;
}

}  // namespace torvane
