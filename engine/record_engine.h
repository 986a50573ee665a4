// The embedded record engine: a RecordManager that keeps fixed-length record
// files of its own format (engine/record_file_format.h) and answers the
// published call shape for Create, Open, Close, Insert, Get Equal, Get Next,
// Get Greater or Equal, Get First, Stat, Reset and Set Owner. All file I/O
// goes through the FileSystem interface, so the engine is the same on every
// platform.
//
// How it keeps files:
//   1. Open reads the whole file, checks it and serves every read from
//      memory. Handles of this engine that open the same path (spelled the
//      same) share one copy, so each sees the others' inserts.
//   2. A normal or read-only open holds a shared advisory lock on the file,
//      an exclusive open an exclusive one. A file that another opener holds
//      exclusively answers 85; so does an exclusive open of a file that
//      anyone, this engine included, has open.
//   3. The first write (Insert, Set Owner) through a normal open trades its
//      shared lock for an exclusive one (85 while anyone else has the file
//      open), and rereads the file if another writer replaced it meanwhile.
//      The exclusive lock stays until the last handle of the file closes.
//   4. Writes change the copy in memory. When the last handle of a changed
//      file closes (Close, Reset, or the engine's destruction), a whole new
//      file is written beside it and renamed over it, so the file on disk
//      is always either the old one or the new one. A failed write answers
//      2 and leaves the old file in place.
//   5. Open looks at a file's first 40 bytes and its size before it reads
//      the rest, and answers without reading more:
//      - 30 for a path that names no regular file (a folder, a named pipe,
//        a device; a pipe's other end is never waited for), and for a file
//        of another signature or a later format version;
//      - 2 for a file cut short or damaged, one whose header's definition
//        length, record length and record count do not add up to its size,
//        and one too large to hold in memory: larger than
//        record_file::kMaxFileSize, or refused memory by the system for its
//        bytes or its indexes.
//
// Requests:
//   1. Open modes (key number): 0 normal (-1 and -3 behave the same), -2
//      read-only (writes answer 46), -4 exclusive; any other mode 88.
//   2. A Get that finds nothing (4 or 9) leaves no position, so a Get Next
//      after it answers 8; a Get Next past the last record answers 9 and
//      stays on the last record. A Get into a data buffer shorter than the
//      record delivers the record cut to it, moves the position and
//      answers 22.
//   3. Create with key number -1 never replaces an existing file (59); any
//      other key number replaces it, unless someone has it open (85).
//
// Position block (128 bytes): bytes 0-3 hold the signature "TVpb", bytes 4-11
// the number of the open handle (little-endian); the cursor itself stays in
// the engine, so a damaged block can name no handle but can hurt nothing. A
// block whose first bytes are anything else is not open (3). Open into a
// block that still names an open handle closes that handle first.
//
// Buffers: paths travel in the key buffer ended by a zero byte (at most 255
// bytes are looked at; trailing spaces are dropped); owner names end at a
// zero byte or at the data or key length. One engine serves one thread at a
// time (calls are serialised by a mutex).
#ifndef TORVANE_ENGINE_RECORD_ENGINE_H_
#define TORVANE_ENGINE_RECORD_ENGINE_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "engine/record_table.h"
#include "platform/file_system.h"
#include "platform/record_manager.h"
#include "platform/record_status.h"

namespace torvane {

class RecordEngine : public RecordManager {
 public:
  explicit RecordEngine(FileSystem& files);
  // Writes what is still unwritten and releases every file.
  ~RecordEngine() override;
  RecordEngine(const RecordEngine&) = delete;
  RecordEngine& operator=(const RecordEngine&) = delete;

  int16_t Call(uint16_t operation, void* position_block, void* data_buffer, uint32_t* data_length,
               void* key_buffer, uint8_t key_length, int8_t key_number) override;

 private:
  enum class Lock { kNone, kShared, kExclusive };

  // One file that this engine has open, shared by its handles.
  struct OpenFile {
    std::string path;
    std::optional<RecordTable> table;
    std::unique_ptr<File> lock_holder;  // the open file that carries the lock
    Lock lock = Lock::kNone;
    bool exclusive_open = false;   // opened with mode -4: no second handle
    bool changed = false;          // holds writes not yet on disk
    uint64_t loaded_size = 0;      // the file as last read or written, to see
    uint32_t loaded_checksum = 0;  // whether another writer replaced it
    uint64_t generation = 0;       // counts changes to the indexes
    int handles = 0;
  };

  // One open of a file through one position block.
  struct Handle {
    OpenFile* file = nullptr;
    bool read_only = false;
    bool positioned = false;
    size_t key = 0;
    uint32_t record = 0;      // the current record's id
    size_t index = 0;         // its position along `key`, valid for
    uint64_t generation = 0;  // this generation of the file's indexes
  };

  struct Request {
    uint16_t operation;
    uint8_t* position_block;
    uint8_t* data;
    uint32_t data_room;  // data length as sent
    uint32_t* data_length;
    uint8_t* key;
    uint8_t key_length;
    int8_t key_number;
  };

  RecordStatus Dispatch(Request& request);
  RecordStatus Create(Request& request);
  RecordStatus Open(Request& request);
  RecordStatus Close(Request& request);
  RecordStatus Reset();
  RecordStatus Insert(Request& request);
  RecordStatus Get(Request& request);
  RecordStatus Stat(Request& request);
  RecordStatus SetOwner(Request& request);

  static std::string PathFrom(const uint8_t* key_buffer);
  static std::string OwnerFrom(const uint8_t* buffer, size_t room);
  // Reads and checks the whole of `source`; *size and *checksum describe the
  // bytes read, so that a later writer can see whether the file changed.
  static RecordStatus ReadTable(File& source, std::optional<RecordTable>* table, uint64_t* size,
                                uint32_t* checksum);
  // Whether `path` names a folder, to tell one from a file the system denies.
  bool NamesFolder(std::string_view path);

  std::optional<uint64_t> HandleNumber(const uint8_t* position_block) const;
  Handle* FindHandle(const uint8_t* position_block);
  RecordStatus CloseHandle(uint64_t number);
  RecordStatus Deliver(Request& request, Handle& handle, size_t key, size_t index);
  RecordStatus AcquireWriteLock(OpenFile& file);
  void RelockShared(OpenFile& file);
  RecordStatus WriteChanges(OpenFile& file);
  // Writes `bytes` to a new file beside `path` and returns its path.
  std::optional<std::string> WriteBeside(const std::string& path, std::string_view bytes);

  FileSystem& files_;
  std::mutex mutex_;
  std::map<std::string, std::unique_ptr<OpenFile>> open_files_;
  std::map<uint64_t, Handle> handles_;
  uint32_t temporary_tag_;
  uint32_t temporary_count_ = 0;
};

}  // namespace torvane

#endif  // TORVANE_ENGINE_RECORD_ENGINE_H_
