// The record engine's writes: Create, Insert and Set Owner, the trade of a
// shared lock for an exclusive one before the first change, and the
// replacement of a file by a whole new one written beside it.
#include <cstring>
#include <limits>

#include "engine/record_engine.h"
#include "engine/record_file_format.h"

namespace torvane {
namespace {

constexpr int8_t kCreateKeepExisting = -1;
constexpr uint8_t kOwnerAccessReadOnly = 1;
constexpr int8_t kOwnerAccessEncrypted = 2;  // 2 and 3 also encrypt the file
constexpr int8_t kOwnerAccessLast = 3;

// The checks of an Insert request that need no lock.
RecordStatus CheckInsert(const RecordTable& table, int8_t key_number, uint32_t data_room,
                         uint8_t key_length) {
  if (key_number < 0 || static_cast<size_t>(key_number) >= table.key_count()) {
    return RecordStatus::kInvalidKeyNumber;
  }
  if (data_room != table.record_length()) return RecordStatus::kDataBufferShort;
  if (key_length < table.key_length(static_cast<size_t>(key_number))) {
    return RecordStatus::kKeyBufferShort;
  }
  if (table.record_count() == std::numeric_limits<uint32_t>::max()) return RecordStatus::kIoError;
  return RecordStatus::kOk;
}

std::string Hex(uint32_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(8, '0');
  for (size_t i = 8; i > 0; --i, value >>= 4) text[i - 1] = kDigits[value & 0xFu];
  return text;
}

}  // namespace

std::optional<std::string> RecordEngine::WriteBeside(const std::string& path,
                                                     std::string_view bytes) {
  const std::string temporary = path + "~" + Hex(temporary_tag_) + Hex(temporary_count_++);
  // Exclusive, so that nobody reads it half-written and the emptying of a
  // leftover of the same name waits for its holder.
  std::unique_ptr<File> out = files_.Open(temporary, FileAccess::kWrite, FileSharing::kExclusive,
                                          FileCreation::kCreateOrTruncate);
  if (!out) return std::nullopt;
  const bool written = out->Write(bytes);
  const bool closed = out->Close();
  out.reset();
  if (!written || !closed) {
    files_.RemoveFile(temporary);
    return std::nullopt;
  }
  return temporary;
}

RecordStatus RecordEngine::Create(Request& request) {
  TableDefinition table_definition;
  const std::string_view definition(reinterpret_cast<const char*>(request.data),
                                    request.data == nullptr ? 0 : request.data_room);
  const RecordStatus parsed = ParseTableDefinition(definition, &table_definition);
  if (parsed != RecordStatus::kOk) return parsed;
  const std::string path = PathFrom(request.key);
  if (path.empty()) return RecordStatus::kInvalidFileName;
  const bool replace = request.key_number != kCreateKeepExisting;
  if (open_files_.count(path) != 0) {
    return replace ? RecordStatus::kFileLocked : RecordStatus::kFileExists;
  }

  // A file to replace is held exclusively until the new one is ready, so
  // that nobody has it open when it goes.
  FileError error = FileError::kNone;
  std::unique_ptr<File> existing = files_.Open(
      path, FileAccess::kRead, replace ? FileSharing::kExclusive : FileSharing::kShareAll,
      FileCreation::kOpenExisting, &error);
  if (existing && !replace) return RecordStatus::kFileExists;
  if (!existing && error == FileError::kLocked) return RecordStatus::kFileLocked;
  if (!existing && error != FileError::kNotFound) return RecordStatus::kCreateIo;

  const RecordTable table(std::move(table_definition));
  const std::optional<std::string> temporary = WriteBeside(path, EncodeRecordFile(table));
  if (!temporary) return RecordStatus::kCreateIo;
  existing.reset();  // some platforms cannot replace a file that is open
  if (replace ? files_.ReplaceFile(*temporary, path) : files_.Rename(*temporary, path)) {
    return RecordStatus::kOk;
  }
  files_.RemoveFile(*temporary);
  // Without replacing, the rename fails when someone created the file meanwhile.
  if (!replace &&
      files_.Open(path, FileAccess::kRead, FileSharing::kShareAll, FileCreation::kOpenExisting)) {
    return RecordStatus::kFileExists;
  }
  return RecordStatus::kCreateIo;
}

void RecordEngine::RelockShared(OpenFile& file) {
  file.lock_holder = files_.Open(file.path, FileAccess::kRead, FileSharing::kShareRead,
                                 FileCreation::kOpenExisting);
  file.lock = file.lock_holder ? Lock::kShared : Lock::kNone;
}

RecordStatus RecordEngine::AcquireWriteLock(OpenFile& file) {
  if (file.lock == Lock::kExclusive) return RecordStatus::kOk;
  // Advisory locks do not upgrade in place on every platform: let go of the
  // shared lock and ask for an exclusive one.
  file.lock_holder.reset();
  file.lock = Lock::kNone;
  FileError error = FileError::kNone;
  std::unique_ptr<File> holder = files_.Open(file.path, FileAccess::kRead, FileSharing::kExclusive,
                                             FileCreation::kOpenExisting, &error);
  if (!holder) {
    RelockShared(file);
    return error == FileError::kLocked ? RecordStatus::kFileLocked : RecordStatus::kIoError;
  }
  // Another writer may have replaced the file since it was read; its records
  // must not be lost when this one writes.
  std::optional<RecordTable> current;
  uint64_t size = 0;
  uint32_t checksum = 0;
  const RecordStatus status = ReadTable(*holder, &current, &size, &checksum);
  if (status != RecordStatus::kOk) {
    holder.reset();
    RelockShared(file);
    return status;
  }
  if (size != file.loaded_size || checksum != file.loaded_checksum) {
    file.table = std::move(current);
    file.loaded_size = size;
    file.loaded_checksum = checksum;
    ++file.generation;
    for (auto& [number, handle] : handles_) {
      if (handle.file == &file) handle.positioned = false;
    }
  }
  file.lock_holder = std::move(holder);
  file.lock = Lock::kExclusive;
  return RecordStatus::kOk;
}

RecordStatus RecordEngine::WriteChanges(OpenFile& file) {
  if (!file.changed) return RecordStatus::kOk;
  const std::string bytes = EncodeRecordFile(*file.table);
  const std::optional<std::string> temporary = WriteBeside(file.path, bytes);
  if (!temporary) return RecordStatus::kIoError;
  file.lock_holder.reset();  // some platforms cannot replace a file that is open
  file.lock = Lock::kNone;
  if (!files_.ReplaceFile(*temporary, file.path)) {
    files_.RemoveFile(*temporary);
    return RecordStatus::kIoError;
  }
  file.changed = false;
  return RecordStatus::kOk;
}

RecordStatus RecordEngine::Insert(Request& request) {
  Handle* handle = FindHandle(request.position_block);
  if (handle == nullptr) return RecordStatus::kNotOpen;
  if (handle->read_only) return RecordStatus::kAccessDenied;
  OpenFile& file = *handle->file;
  const RecordStatus valid =
      CheckInsert(*file.table, request.key_number, request.data_room, request.key_length);
  if (valid != RecordStatus::kOk) return valid;
  const RecordStatus locked = AcquireWriteLock(file);
  if (locked != RecordStatus::kOk) return locked;
  // Taking the lock may have reread a file that another writer replaced.
  RecordTable& table = *file.table;
  const RecordStatus still_valid =
      CheckInsert(table, request.key_number, request.data_room, request.key_length);
  if (still_valid != RecordStatus::kOk) return still_valid;
  const auto key = static_cast<size_t>(request.key_number);
  const std::string_view record(reinterpret_cast<const char*>(request.data), table.record_length());
  if (table.DuplicateKey(record)) return RecordStatus::kDuplicateKey;

  const uint32_t id = table.Append(record);
  file.changed = true;
  ++file.generation;
  const std::string key_value = table.KeyValue(key, id);
  std::memcpy(request.key, key_value.data(), key_value.size());
  handle->positioned = true;
  handle->key = key;
  handle->record = id;
  handle->index = table.IndexOf(key, id);
  handle->generation = file.generation;
  return RecordStatus::kOk;
}

RecordStatus RecordEngine::SetOwner(Request& request) {
  Handle* handle = FindHandle(request.position_block);
  if (handle == nullptr) return RecordStatus::kNotOpen;
  if (handle->read_only) return RecordStatus::kAccessDenied;
  if (request.key_number >= kOwnerAccessEncrypted && request.key_number <= kOwnerAccessLast) {
    return RecordStatus::kOperationNotAllowed;  // this engine does not encrypt
  }
  if (request.key_number < 0 || request.key_number > kOwnerAccessReadOnly) {
    return RecordStatus::kOwnerName;
  }
  const std::string name = OwnerFrom(request.data, request.data_room);
  if (name.empty() || name.size() > record_file::kMaxOwnerLength ||
      name != OwnerFrom(request.key, request.key_length)) {
    return RecordStatus::kOwnerName;
  }
  OpenFile& file = *handle->file;
  if (!file.table->owner().name.empty()) return RecordStatus::kOwnerAlreadySet;
  const RecordStatus locked = AcquireWriteLock(file);
  if (locked != RecordStatus::kOk) return locked;
  if (!file.table->owner().name.empty()) return RecordStatus::kOwnerAlreadySet;
  file.table->set_owner({name, static_cast<uint8_t>(request.key_number)});
  file.changed = true;
  return RecordStatus::kOk;
}

}  // namespace torvane
