// The record engine's entry point, its handles and position blocks, Open,
// Close, Reset and the reads (Get, Stat). Writes and the file replacement
// live in record_engine_write.cc.
#include "engine/record_engine.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <random>

#include "engine/record_file_format.h"

namespace torvane {
namespace {

constexpr std::string_view kBlockSignature = "TVpb";
constexpr size_t kBlockHandleOffset = 4;
constexpr size_t kBlockHandleSize = 8;
static_assert(kBlockHandleOffset + kBlockHandleSize <= kPositionBlockSize);

constexpr size_t kMaxPathLength = 255;

// Handle numbers are unique in the process, so a position block filled by
// one engine never names a handle of another.
std::atomic<uint64_t> next_handle_number{1};

RecordStatus StatusOfOpenError(FileError error) {
  switch (error) {
    case FileError::kNotFound:
      return RecordStatus::kFileNotFound;
    case FileError::kLocked:
      return RecordStatus::kFileLocked;
    case FileError::kDenied:
      return RecordStatus::kPermission;
    default:
      return RecordStatus::kIoError;
  }
}

// The bytes before the first zero byte, looking at no more than `room`.
std::string ZeroTerminated(const uint8_t* bytes, size_t room) {
  if (bytes == nullptr) return std::string();
  const auto* end = std::find(bytes, bytes + room, uint8_t{0});
  return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(end - bytes));
}

// Owner name check at open; a file without owner opens with any name.
RecordStatus CheckOwner(const OwnerName& owner, std::string_view given, bool* read_only) {
  if (owner.name.empty() || given == owner.name) return RecordStatus::kOk;
  if (owner.access == 1 && given.empty()) {
    *read_only = true;
    return RecordStatus::kOk;
  }
  return RecordStatus::kOwnerName;
}

}  // namespace

std::string RecordEngine::PathFrom(const uint8_t* key_buffer) {
  std::string path = ZeroTerminated(key_buffer, kMaxPathLength);
  while (!path.empty() && path.back() == ' ') path.pop_back();
  return path;
}

std::string RecordEngine::OwnerFrom(const uint8_t* buffer, size_t room) {
  return ZeroTerminated(buffer, room);
}

RecordEngine::RecordEngine(FileSystem& files)
    : files_(files),
      temporary_tag_(std::random_device{}() ^
                     static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this))) {}

RecordEngine::~RecordEngine() {
  std::lock_guard<std::mutex> guard(mutex_);
  (void)Reset();
}

int16_t RecordEngine::Call(uint16_t operation, void* position_block, void* data_buffer,
                           uint32_t* data_length, void* key_buffer, uint8_t key_length,
                           int8_t key_number) {
  std::lock_guard<std::mutex> guard(mutex_);
  Request request{operation,
                  static_cast<uint8_t*>(position_block),
                  static_cast<uint8_t*>(data_buffer),
                  data_buffer != nullptr && data_length != nullptr ? *data_length : 0,
                  data_length,
                  static_cast<uint8_t*>(key_buffer),
                  key_buffer != nullptr ? key_length : uint8_t{0},
                  key_number};
  return StatusCode(Dispatch(request));
}

RecordStatus RecordEngine::Dispatch(Request& request) {
  switch (request.operation) {
    case kOpOpen:
      return Open(request);
    case kOpClose:
      return Close(request);
    case kOpInsert:
      return Insert(request);
    case kOpGetEqual:
    case kOpGetNext:
    case kOpGetGreaterOrEqual:
    case kOpGetFirst:
      return Get(request);
    case kOpCreate:
      return Create(request);
    case kOpStat:
      return Stat(request);
    case kOpReset:
      return Reset();
    case kOpSetOwner:
      return SetOwner(request);
    default:
      return RecordStatus::kInvalidOperation;
  }
}

namespace {

// The handle number a position block carries, when it carries one.
std::optional<uint64_t> BlockHandleNumber(const uint8_t* position_block) {
  if (position_block == nullptr ||
      std::memcmp(position_block, kBlockSignature.data(), kBlockSignature.size()) != 0) {
    return std::nullopt;
  }
  uint64_t number = 0;
  for (size_t i = kBlockHandleSize; i > 0; --i) {
    number = (number << 8) | position_block[kBlockHandleOffset + i - 1];
  }
  return number;
}

}  // namespace

std::optional<uint64_t> RecordEngine::HandleNumber(const uint8_t* position_block) const {
  const std::optional<uint64_t> number = BlockHandleNumber(position_block);
  if (!number || handles_.count(*number) == 0) return std::nullopt;
  return number;
}

RecordEngine::Handle* RecordEngine::FindHandle(const uint8_t* position_block) {
  const std::optional<uint64_t> number = BlockHandleNumber(position_block);
  if (!number) return nullptr;
  const auto found = handles_.find(*number);
  return found == handles_.end() ? nullptr : &found->second;
}

RecordStatus RecordEngine::Open(Request& request) {
  bool read_only = false;
  bool exclusive = false;
  switch (request.key_number) {
    case 0:
    case -1:  // accelerated and verify differ only in how a cache writes,
    case -3:  // which this engine does not have
      break;
    case -2:
      read_only = true;
      break;
    case -4:
      exclusive = true;
      break;
    default:
      return RecordStatus::kIncompatibleMode;
  }
  if (request.position_block == nullptr) return RecordStatus::kPositionBlock;
  const std::string path = PathFrom(request.key);
  if (path.empty()) return RecordStatus::kInvalidFileName;
  if (const std::optional<uint64_t> old = HandleNumber(request.position_block)) {
    (void)CloseHandle(*old);
  }
  const std::string owner = OwnerFrom(request.data, request.data_room);

  OpenFile* file = nullptr;
  auto found = open_files_.find(path);
  if (found != open_files_.end()) {
    if (found->second->exclusive_open || exclusive) return RecordStatus::kFileLocked;
    file = found->second.get();
    const RecordStatus status = CheckOwner(file->table->owner(), owner, &read_only);
    if (status != RecordStatus::kOk) return status;
  } else {
    FileError error = FileError::kNone;
    std::unique_ptr<File> holder = files_.Open(
        path, FileAccess::kRead, exclusive ? FileSharing::kExclusive : FileSharing::kShareRead,
        FileCreation::kOpenExisting, &error);
    if (!holder) {
      // A folder is refused as any other path that names no regular file.
      if (error == FileError::kDenied && NamesFolder(path)) return RecordStatus::kNotRecordFile;
      return StatusOfOpenError(error);
    }
    auto opened = std::make_unique<OpenFile>();
    opened->path = path;
    RecordStatus status =
        ReadTable(*holder, &opened->table, &opened->loaded_size, &opened->loaded_checksum);
    if (status != RecordStatus::kOk) return status;
    status = CheckOwner(opened->table->owner(), owner, &read_only);
    if (status != RecordStatus::kOk) return status;
    opened->lock_holder = std::move(holder);
    opened->lock = exclusive ? Lock::kExclusive : Lock::kShared;
    opened->exclusive_open = exclusive;
    file = opened.get();
    open_files_.emplace(path, std::move(opened));
  }

  const uint64_t number = next_handle_number++;
  Handle handle;
  handle.file = file;
  handle.read_only = read_only;
  handles_.emplace(number, handle);
  ++file->handles;
  std::memcpy(request.position_block, kBlockSignature.data(), kBlockSignature.size());
  for (size_t i = 0; i < kBlockHandleSize; ++i) {
    request.position_block[kBlockHandleOffset + i] = static_cast<uint8_t>(number >> (8 * i));
  }
  return RecordStatus::kOk;
}

RecordStatus RecordEngine::ReadTable(File& source, std::optional<RecordTable>* table,
                                     uint64_t* size, uint32_t* checksum) {
  // A device or a pipe has no size to check its header against, and reading
  // it may wait for someone else.
  if (!source.IsRegularFile()) return RecordStatus::kNotRecordFile;
  const int64_t file_size = source.Size();
  if (file_size < 0 || !source.Seek(0)) return RecordStatus::kIoError;
  std::string bytes(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(file_size),
                                                           record_file::kHeaderSize)),
                    '\0');
  if (source.Read(bytes.data(), bytes.size()) != bytes.size()) return RecordStatus::kIoError;
  const RecordStatus fits = CheckRecordFileSize(bytes, static_cast<uint64_t>(file_size));
  if (fits != RecordStatus::kOk) return fits;
  table->reset();
  // The header justifies the size; the system may still refuse the memory
  // for the file or for its indexes.
  try {
    const size_t start = bytes.size();
    bytes.resize(static_cast<size_t>(file_size));
    const size_t rest = bytes.size() - start;
    if (source.Read(bytes.data() + start, rest) != rest) return RecordStatus::kIoError;
    *size = bytes.size();
    *checksum = static_cast<uint32_t>(ReadLayoutField(
        bytes, {bytes.size() - record_file::kChecksumSize, record_file::kChecksumSize}));
    return DecodeRecordFile(std::move(bytes), table);
  } catch (const std::bad_alloc&) {
    table->reset();
    return RecordStatus::kIoError;
  }
}

bool RecordEngine::NamesFolder(std::string_view path) {
  if (path.find_first_of("*?") != std::string_view::npos) return false;
  for (const DirectoryEntry& entry : files_.Find(path)) {
    if ((entry.attributes & kAttributeFolder) != 0) return true;
  }
  return false;
}

RecordStatus RecordEngine::Close(Request& request) {
  const std::optional<uint64_t> number = HandleNumber(request.position_block);
  if (!number) return RecordStatus::kNotOpen;
  return CloseHandle(*number);
}

RecordStatus RecordEngine::CloseHandle(uint64_t number) {
  OpenFile* file = handles_.at(number).file;
  handles_.erase(number);
  if (--file->handles > 0) return RecordStatus::kOk;
  const RecordStatus status = WriteChanges(*file);
  open_files_.erase(file->path);  // releases the lock
  return status;
}

RecordStatus RecordEngine::Reset() {
  RecordStatus result = RecordStatus::kOk;
  while (!handles_.empty()) {
    const RecordStatus status = CloseHandle(handles_.begin()->first);
    if (result == RecordStatus::kOk) result = status;
  }
  return result;
}

RecordStatus RecordEngine::Get(Request& request) {
  Handle* handle = FindHandle(request.position_block);
  if (handle == nullptr) return RecordStatus::kNotOpen;
  const RecordTable& table = *handle->file->table;
  if (request.key_number < 0 || static_cast<size_t>(request.key_number) >= table.key_count()) {
    return RecordStatus::kInvalidKeyNumber;
  }
  const auto key = static_cast<size_t>(request.key_number);
  const size_t key_length = table.key_length(key);
  if (request.key_length < key_length) return RecordStatus::kKeyBufferShort;
  const size_t count = table.record_count();
  const std::string_view value(reinterpret_cast<const char*>(request.key), key_length);

  size_t index = 0;
  switch (request.operation) {
    case kOpGetFirst:
      if (count == 0) {
        handle->positioned = false;
        return RecordStatus::kEndOfFile;
      }
      break;
    case kOpGetEqual:
      index = table.LowerBound(key, value);
      if (index == count || !table.KeyEquals(key, index, value)) {
        handle->positioned = false;
        return RecordStatus::kKeyNotFound;
      }
      break;
    case kOpGetGreaterOrEqual:
      index = table.LowerBound(key, value);
      if (index == count) {
        handle->positioned = false;
        return RecordStatus::kEndOfFile;
      }
      break;
    default: {  // kOpGetNext
      if (!handle->positioned) return RecordStatus::kInvalidPositioning;
      if (handle->key != key) return RecordStatus::kDifferentKeyNumber;
      const size_t current = handle->generation == handle->file->generation
                                 ? handle->index
                                 : table.IndexOf(key, handle->record);
      if (current + 1 >= count) return RecordStatus::kEndOfFile;
      index = current + 1;
      break;
    }
  }
  return Deliver(request, *handle, key, index);
}

RecordStatus RecordEngine::Deliver(Request& request, Handle& handle, size_t key, size_t index) {
  const RecordTable& table = *handle.file->table;
  const uint32_t id = table.RecordAt(key, index);
  const std::string_view record = table.Record(id);
  const size_t delivered = std::min<size_t>(request.data_room, record.size());
  if (delivered > 0) std::memcpy(request.data, record.data(), delivered);
  if (request.data_length != nullptr) *request.data_length = static_cast<uint32_t>(delivered);
  table.CopyKeyValue(key, id, reinterpret_cast<char*>(request.key));
  handle.positioned = true;
  handle.key = key;
  handle.record = id;
  handle.index = index;
  handle.generation = handle.file->generation;
  return delivered < record.size() ? RecordStatus::kDataBufferShort : RecordStatus::kOk;
}

RecordStatus RecordEngine::Stat(Request& request) {
  Handle* handle = FindHandle(request.position_block);
  if (handle == nullptr) return RecordStatus::kNotOpen;
  const RecordTable& table = *handle->file->table;
  if (request.data_room < table.stat_size()) {
    if (request.data_length != nullptr) *request.data_length = 0;
    return RecordStatus::kDataBufferShort;
  }
  table.WriteStatBytes(std::span<char>(reinterpret_cast<char*>(request.data), table.stat_size()));
  *request.data_length = static_cast<uint32_t>(table.stat_size());
  return RecordStatus::kOk;
}

}  // namespace torvane
