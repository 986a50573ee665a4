// The file system as the suite sees it: paths built with "\" (the POSIX
// implementation turns them into "/" at the operating-system boundary and
// nowhere else), byte-exact files, sharing modes, directory search with
// attributes, folders, delete, rename and the current directory.
//
// Nothing here reports through exceptions: operations return false, an empty
// optional or a null file, and the caller decides what a failure means.
#ifndef TORVANE_PLATFORM_FILE_SYSTEM_H_
#define TORVANE_PLATFORM_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

enum class FileAccess { kRead, kWrite, kReadWrite };

// What other openers may do while the file is open. On POSIX, kShareRead
// takes a shared advisory lock and kExclusive an exclusive one, so another
// program of the suite that asks for exclusive use sees the file as busy.
enum class FileSharing { kShareAll, kShareRead, kExclusive };

enum class FileCreation {
  kOpenExisting,      // fails when the file is missing
  kOpenOrCreate,      // creates an empty file when missing, keeps the contents
  kCreateOrTruncate,  // creates the file or empties it
};

enum class FileError { kNone, kNotFound, kLocked, kDenied, kOther };

// An open file. Writes are buffered and reach the disk at the latest on
// Flush() or destruction; reads and seeks see the buffered writes.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `size` bytes at the current position; returns how many were
  // read (0 at the end of the file or on an error).
  virtual size_t Read(void* buffer, size_t size) = 0;
  // Writes all bytes at the current position; false when not all were written.
  virtual bool Write(std::string_view bytes) = 0;
  virtual bool Seek(int64_t offset) = 0;
  virtual int64_t Size() = 0;
  // Pushes buffered bytes to the operating system; false on a write error.
  virtual bool Flush() = 0;
  // Flushes and closes; false when a buffered write failed. Destruction
  // closes too, but cannot tell.
  virtual bool Close() = 0;
  // Whether this is an ordinary file on a disk: not a device, a named pipe
  // or a socket, whose size says nothing of what Read gives and whose reads
  // may wait for someone else.
  virtual bool IsRegularFile() = 0;
};

enum FileAttribute : uint32_t {
  kAttributeReadOnly = 0x01,
  kAttributeHidden = 0x02,
  kAttributeSystem = 0x04,
  kAttributeVolumeLabel = 0x08,
  kAttributeFolder = 0x10,
  kAttributeArchive = 0x20,
  // Neither an ordinary file nor a folder: a device, a named pipe, a socket.
  kAttributeDevice = 0x40,
};

struct DirectoryEntry {
  std::string name;  // the entry's own name, without its folder
  uint32_t attributes = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Returns the open file, or null with *error telling why (kDenied for a
  // folder). Opening never waits for the other end of a named pipe.
  virtual std::unique_ptr<File> Open(std::string_view path, FileAccess access, FileSharing sharing,
                                     FileCreation creation, FileError* error = nullptr) = 0;

  // The entries of the folder of `pattern` whose names match its last
  // component ("*" and "?" wildcards, "*.*" matching every name), ordinary
  // files, folders, devices and (where the platform has them) read-only,
  // hidden and system entries. "." and ".." are never listed.
  virtual std::vector<DirectoryEntry> Find(std::string_view pattern) = 0;

  virtual bool CreateFolder(std::string_view path) = 0;
  virtual bool RemoveFolder(std::string_view path) = 0;
  virtual bool RemoveFile(std::string_view path) = 0;
  // Renames `from` to `to`; fails when `to` exists.
  virtual bool Rename(std::string_view from, std::string_view to) = 0;
  // Renames `from` to `to`, replacing `to` when it exists. Platforms that can
  // replace in one step override this, so that another user finds either the
  // old file or the new one and never neither; the default removes `to`
  // first.
  virtual bool ReplaceFile(std::string_view from, std::string_view to) {
    RemoveFile(to);
    return Rename(from, to);
  }
  virtual bool ChangeDirectory(std::string_view path) = 0;

  // The process-wide implementation for this platform.
  static FileSystem& Default();
};

// Reads the whole file; nullopt when it cannot be opened. Opens with
// kShareAll, so it never waits for or blocks another user.
std::optional<std::string> ReadWholeFile(FileSystem& fs, std::string_view path);

}  // namespace torvane

#endif  // TORVANE_PLATFORM_FILE_SYSTEM_H_
