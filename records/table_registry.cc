// The table registry and the record reads over the record manager. Every
// request is built in buffers that live only for that request: 1536 bytes of
// data and 256 bytes of key. The registry guards the caller's record buffer:
// a table's record length is kept within the buffer's room (and the data
// buffer), so no read ever writes past it.
#include "records/table_registry.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/suite_path.h"
#include "engine/record_definition.h"

namespace torvane {
namespace {

#ifndef TORVANE_OWNER_NAME
#error "TORVANE_OWNER_NAME (four decimal digits) must be set by the build"
#endif
static_assert(sizeof(TORVANE_OWNER_NAME) == 5, "the owner name is four characters");

// The owner name that protects the suite's table files travels in four
// pieces and is put together only inside the Open request.
constexpr char kOwnerPiece1 = TORVANE_OWNER_NAME[0];
constexpr char kOwnerPiece2 = TORVANE_OWNER_NAME[1];
constexpr char kOwnerPiece3 = TORVANE_OWNER_NAME[2];
constexpr char kOwnerPiece4 = TORVANE_OWNER_NAME[3];
constexpr uint32_t kOwnerNameLength = 4 + 1;  // four digits, zero byte

constexpr size_t kMaxPathLength = kRequestKeySize - 1;  // zero-terminated
constexpr size_t kMaxKeyLength = kRequestKeySize - 1;   // key length is one byte
constexpr int kLockRetryMilliseconds = 3000;
constexpr int8_t kCreateKeepExisting = -1;  // Create: never replace a file

// The Stat answer is a file definition followed by key segment definitions
// (engine/record_definition.h). The program reads the number of keys as a
// 16-bit value at the offset of the one-byte count, as the suite always has.

using DataBuffer = std::array<uint8_t, kRequestDataSize>;
using KeyBuffer = std::array<uint8_t, kRequestKeySize>;

uint16_t Uint16At(const DataBuffer& data, size_t offset) {
  return static_cast<uint16_t>(data[offset] | (data[offset + 1] << 8));
}

struct TablePath {
  std::string folder;
  std::string name;
  std::string extension;
  std::string Full() const { return folder + name + extension; }
};

// A table path whose last component has no extension gets ".dat"; a dot
// inside a folder is not seen.
TablePath SplitTablePath(std::string_view path) {
  const PathParts parts = SplitPath(path);
  return TablePath{std::string(parts.folder), std::string(parts.name),
                   parts.extension.empty() ? std::string(".dat") : std::string(parts.extension)};
}

KeyBuffer PathKey(const std::string& table_path) {
  KeyBuffer key{};
  std::memcpy(key.data(), table_path.data(), table_path.size());
  return key;
}

}  // namespace

TableRegistry::TableRegistry(RecordManager& record_manager, FileSystem& fs, Clock& clock,
                             std::string root_directory)
    : record_manager_(record_manager),
      fs_(fs),
      clock_(clock),
      root_directory_(std::move(root_directory)) {}

int16_t TableRegistry::FindTableSlot(int16_t file_number) const {
  int16_t highest_free = 0;
  for (int16_t number = 1; number <= kTableSlots; ++number) {
    const TableSlot& slot = Slot(number);
    if (slot.FileNumber == file_number) return number;
    if (slot.FileNumber == 0) highest_free = number;
  }
  return static_cast<int16_t>(-highest_free);
}

int TableRegistry::RegisteredSlot(int16_t file_number) const {
  // File number 0 marks a free slot and is never a registered table.
  if (file_number == 0) return 0;
  const int16_t number = FindTableSlot(file_number);
  return number > 0 ? number : 0;
}

RecordStatus TableRegistry::OpenTable(int16_t file_number, std::string_view path,
                                      uint8_t* record_buffer, int buffer_room) {
  const int16_t found = FindTableSlot(file_number);
  if (found > 0) return RecordStatus::kAlreadyRegistered;
  if (found == 0) return RecordStatus::kNoFreeSlot;
  TableSlot& slot = slots_[static_cast<size_t>(-found - 1)];
  slot = TableSlot{};
  slot.FileNumber = file_number;
  slot.PositionBlock[0] = 0;
  slot.RecordBuffer = record_buffer;
  slot.BufferRoom = record_buffer == nullptr ? 0 : std::max(buffer_room, 0);

  const TablePath parts = SplitTablePath(path);
  const std::string table_path = parts.Full();
  RecordStatus status = RecordStatus::kInvalidFileName;
  if (table_path.size() <= kMaxPathLength) {
    bool created = false;
    while (true) {
      status = SendOpen(slot, table_path);
      if (status == RecordStatus::kFileLocked) {
        clock_.SleepMilliseconds(kLockRetryMilliseconds);
        continue;
      }
      // A file that is still missing after its creation is not created again.
      if (status == RecordStatus::kFileNotFound && !created) {
        status = CreateFromDefinition(slot, parts.name, table_path);
        created = true;
        if (status == RecordStatus::kOk) continue;
      }
      break;
    }
  }

  if (status != RecordStatus::kOk) {
    slot = TableSlot{};
    return status;
  }

  int16_t key_length = 0;
  int16_t record_length = 0;
  ReadTableStats(file_number, 0, &key_length, &record_length);
  slot.KeyValue.assign(
      std::min(static_cast<size_t>(std::max<int16_t>(key_length, 0)), kMaxKeyLength), '\0');
  slot.RecordLength =
      std::clamp<int32_t>(record_length, 0, std::min<int32_t>(slot.BufferRoom, kRequestDataSize));
  return RecordStatus::kOk;
}

RecordStatus TableRegistry::SendOpen(TableSlot& slot, const std::string& table_path) {
  DataBuffer data;
  data.fill(' ');
  data[0] = static_cast<uint8_t>(kOwnerPiece1);
  data[1] = static_cast<uint8_t>(kOwnerPiece2);
  data[2] = static_cast<uint8_t>(kOwnerPiece3);
  data[3] = static_cast<uint8_t>(kOwnerPiece4);
  data[4] = 0;
  uint32_t data_length = kOwnerNameLength;
  KeyBuffer key = PathKey(table_path);
  return ToRecordStatus(record_manager_.Call(kOpOpen, slot.PositionBlock, data.data(), &data_length,
                                             key.data(), static_cast<uint8_t>(table_path.size()),
                                             0));
}

RecordStatus TableRegistry::CreateFromDefinition(TableSlot& slot, std::string_view name,
                                                 const std::string& table_path) {
  // The definition file: a 16-bit little-endian length N, then N bytes of the
  // record manager's file-and-key definition. A missing file is created
  // empty and gives an empty definition; one longer than the data buffer is
  // taken only as far as the buffer reaches.
  DataBuffer data;
  data.fill(' ');
  const std::string definition_path = root_directory_ + "ddf\\" + std::string(name) + ".xdf";
  if (auto file = fs_.Open(definition_path, FileAccess::kReadWrite, FileSharing::kShareAll,
                           FileCreation::kOpenOrCreate)) {
    uint8_t length_bytes[2] = {};
    if (file->Read(length_bytes, sizeof length_bytes) == sizeof length_bytes) {
      const size_t length = std::min<size_t>(
          static_cast<size_t>(length_bytes[0] | (length_bytes[1] << 8)), kRequestDataSize);
      size_t done = 0;
      while (done < length) {
        const size_t n = file->Read(data.data() + done, length - done);
        if (n == 0) break;
        done += n;
      }
    }
    (void)file->Close();
  }
  uint32_t data_length = kRequestDataSize;
  KeyBuffer key = PathKey(table_path);
  return ToRecordStatus(
      record_manager_.Call(kOpCreate, slot.PositionBlock, data.data(), &data_length, key.data(),
                           static_cast<uint8_t>(table_path.size()), kCreateKeepExisting));
}

void TableRegistry::ReadTableStats(int16_t file_number, int16_t key_number, int16_t* key_length,
                                   int16_t* record_length) {
  *key_length = 0;
  *record_length = 0;
  const int number = RegisteredSlot(file_number);
  if (number == 0) return;
  TableSlot& slot = slots_[static_cast<size_t>(number - 1)];

  DataBuffer data;
  data.fill(' ');
  uint32_t data_length = kRequestDataSize;
  KeyBuffer key;
  key.fill(' ');
  key[kMaxPathLength] = 0;
  // The status is not examined: a failed Stat leaves the buffer as sent and
  // the lengths are read from whatever it holds.
  (void)record_manager_.Call(kOpStat, slot.PositionBlock, data.data(), &data_length, key.data(),
                             static_cast<uint8_t>(kMaxPathLength), 0);

  *record_length = static_cast<int16_t>(Uint16At(data, file_layout::kRecordLength.offset));
  const auto key_count = static_cast<int16_t>(Uint16At(data, file_layout::kKeyCount.offset));
  if (key_number < 0 || key_number >= key_count) return;
  int current_key = 0;
  int length = 0;
  for (size_t offset = file_layout::kSize; offset + segment_layout::kSize <= data.size();
       offset += segment_layout::kSize) {
    if (current_key == key_number)
      length += Uint16At(data, offset + segment_layout::kLength.offset);
    if ((data[offset + segment_layout::kFlags.offset] & kKeySegmented) == 0) {
      if (current_key == key_number) {
        *key_length = static_cast<int16_t>(std::min(length, 0x7FFF));
        return;
      }
      ++current_key;
    }
  }
  // The key's segments run past the answer: no such key.
}

RecordStatus TableRegistry::ReadByKey(int16_t file_number, int16_t key_number, std::string key_text,
                                      int16_t direction) {
  const int number = RegisteredSlot(file_number);
  if (number == 0) return RecordStatus::kNotOpen;
  if (direction < 0) return RecordStatus::kInvalidOperation;
  int16_t key_length = 0;
  int16_t record_length = 0;
  ReadTableStats(file_number, key_number, &key_length, &record_length);
  if (key_length <= 0) return RecordStatus::kNoSuchKey;

  TableSlot& slot = slots_[static_cast<size_t>(number - 1)];
  slot.KeyNumber = key_number;
  key_text.resize(std::min(static_cast<size_t>(key_length), kMaxKeyLength), '\0');
  slot.KeyValue = std::move(key_text);
  const RecordStatus status =
      SendTableRequest(number, direction == 0 ? kOpGetEqual : kOpGetGreaterOrEqual);
  return status == RecordStatus::kDataBufferShort ? RecordStatus::kOk : status;
}

RecordStatus TableRegistry::ReadNext(int16_t file_number) {
  const int number = RegisteredSlot(file_number);
  if (number == 0) return RecordStatus::kNotOpen;
  const RecordStatus status = SendTableRequest(number, kOpGetNext);
  return status == RecordStatus::kDataBufferShort ? RecordStatus::kOk : status;
}

RecordStatus TableRegistry::SendTableRequest(int slot_number, uint16_t operation) {
  TableSlot& slot = slots_[static_cast<size_t>(slot_number - 1)];
  // The record length was kept within the buffer's room and the data buffer
  // when the table was opened.
  const auto record_length =
      slot.RecordBuffer == nullptr ? size_t{0} : static_cast<size_t>(slot.RecordLength);

  DataBuffer data;
  data.fill(' ');
  if (record_length > 0) std::memcpy(data.data(), slot.RecordBuffer, record_length);
  auto data_length = static_cast<uint32_t>(record_length);

  KeyBuffer key;
  key.fill(operation == kOpGetGreaterOrEqual ? 0 : ' ');
  const size_t key_length = std::min(slot.KeyValue.size(), kMaxKeyLength);
  std::memcpy(key.data(), slot.KeyValue.data(), key_length);

  const RecordStatus status = ToRecordStatus(
      record_manager_.Call(operation, slot.PositionBlock, data.data(), &data_length, key.data(),
                           static_cast<uint8_t>(key_length), static_cast<int8_t>(slot.KeyNumber)));

  const size_t delivered = std::min(static_cast<size_t>(data_length), record_length);
  if (delivered > 0) std::memcpy(slot.RecordBuffer, data.data(), delivered);
  slot.KeyValue.assign(reinterpret_cast<const char*>(key.data()), key_length);
  return status;
}

RecordStatus TableRegistry::CloseAllTables() {
  std::memset(spare_position_block_, ' ', sizeof spare_position_block_);
  DataBuffer data{};
  KeyBuffer key{};
  uint32_t data_length = 0;
  const RecordStatus status = ToRecordStatus(record_manager_.Call(
      kOpReset, spare_position_block_, data.data(), &data_length, key.data(), 0, 0));
  if (status != RecordStatus::kOk) return status;
  for (TableSlot& slot : slots_) slot = TableSlot{};
  return RecordStatus::kOk;
}

}  // namespace torvane
