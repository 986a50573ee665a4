// Record manager requests for kavdata.
#include "tools/record_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/record_definition.h"

namespace torvane::kavdata {
namespace {

constexpr size_t kKeyBufferSize = 256;
constexpr size_t kMaxPathLength = kKeyBufferSize - 1;

// Path or owner name zero-terminated in a buffer of its own.
std::vector<char> ZeroTerminated(std::string_view text, size_t room) {
  std::vector<char> buffer(room, '\0');
  if (room == 0) return buffer;
  std::memcpy(buffer.data(), text.data(), std::min(text.size(), room - 1));
  return buffer;
}

}  // namespace

RecordStatus RecordFile::Create(std::string_view path, std::string_view definition) {
  if (path.size() > kMaxPathLength) return RecordStatus::kCreateIo;
  std::vector<char> data(definition.begin(), definition.end());
  auto data_length = static_cast<uint32_t>(data.size());
  std::vector<char> key = ZeroTerminated(path, kKeyBufferSize);
  uint8_t position_block[kPositionBlockSize] = {};
  return ToRecordStatus(record_manager_.Call(kOpCreate, position_block, data.data(), &data_length,
                                             key.data(), static_cast<uint8_t>(path.size()),
                                             kCreateKeepExisting));
}

RecordStatus RecordFile::Open(std::string_view path, std::string_view owner, int8_t mode) {
  if (Close() != RecordStatus::kOk) return RecordStatus::kInvalidOperation;
  if (path.size() > kMaxPathLength) return RecordStatus::kFileNotFound;
  std::vector<char> data = ZeroTerminated(owner, owner.size() + 1);
  auto data_length = static_cast<uint32_t>(data.size());
  std::vector<char> key = ZeroTerminated(path, kKeyBufferSize);
  std::memset(position_block_, 0, sizeof position_block_);
  const RecordStatus status =
      ToRecordStatus(record_manager_.Call(kOpOpen, position_block_, data.data(), &data_length,
                                          key.data(), static_cast<uint8_t>(path.size()), mode));
  open_ = status == RecordStatus::kOk;
  return status;
}

RecordStatus RecordFile::SetOwner(std::string_view owner) {
  if (!open_) return RecordStatus::kNotOpen;
  std::vector<char> data = ZeroTerminated(owner, owner.size() + 1);
  std::vector<char> key = data;
  auto data_length = static_cast<uint32_t>(data.size());
  // Key number 0: the owner name is needed for every access.
  return ToRecordStatus(record_manager_.Call(kOpSetOwner, position_block_, data.data(),
                                             &data_length, key.data(),
                                             static_cast<uint8_t>(key.size()), 0));
}

RecordStatus RecordFile::Insert(std::string_view record) {
  if (!open_) return RecordStatus::kNotOpen;
  std::vector<char> data(record.begin(), record.end());
  auto data_length = static_cast<uint32_t>(data.size());
  std::memset(key_buffer_, 0, sizeof key_buffer_);
  return ToRecordStatus(record_manager_.Call(kOpInsert, position_block_, data.data(), &data_length,
                                             key_buffer_, static_cast<uint8_t>(kMaxPathLength), 0));
}

RecordStatus RecordFile::Stat(int* record_length, uint32_t* record_count) {
  *record_length = 0;
  *record_count = 0;
  if (!open_) return RecordStatus::kNotOpen;
  std::string data(kReadRoom, '\0');
  auto data_length = static_cast<uint32_t>(data.size());
  std::memset(key_buffer_, 0, sizeof key_buffer_);
  const RecordStatus status =
      ToRecordStatus(record_manager_.Call(kOpStat, position_block_, data.data(), &data_length,
                                          key_buffer_, static_cast<uint8_t>(kMaxPathLength), 0));
  if (status != RecordStatus::kOk) return status;
  // The answer starts with a file definition, at least up to its record count.
  if (data_length < file_layout::kRecordCount.End()) return RecordStatus::kDataBufferShort;
  *record_length = static_cast<int>(ReadLayoutField(data, file_layout::kRecordLength));
  *record_count = static_cast<uint32_t>(ReadLayoutField(data, file_layout::kRecordCount));
  return status;
}

RecordStatus RecordFile::GetFirst(std::string* record) { return Read(kOpGetFirst, record); }
RecordStatus RecordFile::GetNext(std::string* record) { return Read(kOpGetNext, record); }

RecordStatus RecordFile::Read(uint16_t operation, std::string* record) {
  record->clear();
  if (!open_) return RecordStatus::kNotOpen;
  std::vector<char> data(kReadRoom, '\0');
  uint32_t data_length = kReadRoom;
  const RecordStatus status =
      ToRecordStatus(record_manager_.Call(operation, position_block_, data.data(), &data_length,
                                          key_buffer_, static_cast<uint8_t>(kMaxPathLength), 0));
  if (status == RecordStatus::kOk) record->assign(data.data(), std::min(data_length, kReadRoom));
  return status;
}

RecordStatus RecordFile::Close() {
  if (!open_) return RecordStatus::kOk;
  uint32_t data_length = 0;
  const RecordStatus status = ToRecordStatus(
      record_manager_.Call(kOpClose, position_block_, nullptr, &data_length, nullptr, 0, 0));
  open_ = false;
  return status;
}

std::string DescribeStatus(RecordStatus status) {
  std::string text = "status " + std::to_string(StatusCode(status));
  const std::string_view meaning = RecordStatusText(status);
  if (meaning.empty()) return text;
  text += " (";
  text += meaning;
  if (status == RecordStatus::kOwnerName) text += " (see --owner)";
  return text + ")";
}

}  // namespace torvane::kavdata
