// Fuzzes the record engine's reading of table files: arbitrary bytes as a
// table on an in-memory disk, opened and walked through the engine's call
// entry, once as given and once with the header's record count and the
// checksum made to fit, so that the definition, the records and the indexes
// built from them are reached too. Nothing may crash; a file that opens must
// walk every key over all its records, take one more record and open again.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/record_engine.h"
#include "engine/record_file_format.h"
#include "platform/memory_file_system.h"

namespace {

using torvane::ReadLayoutField;
using torvane::WriteLayoutField;
namespace record_file = torvane::record_file;
namespace file_layout = torvane::file_layout;

constexpr char kPath[] = "DADES\\T.dat";
constexpr uint32_t kRoom = 65536;  // more than any record or Stat answer

// `bytes` with the record count that the file's size implies (when the
// record length divides it) and the checksum of what precedes it.
std::string Fitted(std::string bytes) {
  if (bytes.size() < record_file::kHeaderSize + record_file::kChecksumSize) return bytes;
  const uint64_t definition_length = ReadLayoutField(bytes, record_file::kDefinitionLength);
  const uint64_t record_length = ReadLayoutField(bytes, record_file::kRecordLength);
  const uint64_t room = bytes.size() - record_file::kHeaderSize - record_file::kChecksumSize;
  if (definition_length <= room && record_length > 0 &&
      (room - definition_length) % record_length == 0) {
    WriteLayoutField(bytes, record_file::kRecordCount, (room - definition_length) / record_length);
  }
  const size_t body_size = bytes.size() - record_file::kChecksumSize;
  WriteLayoutField(bytes, {body_size, record_file::kChecksumSize},
                   torvane::Crc32(std::string_view(bytes).substr(0, body_size)));
  return bytes;
}

// The owner name the file's header holds, so that an owned file opens too.
std::string OwnerOf(const std::string& bytes) {
  if (bytes.size() < record_file::kHeaderSize) return std::string();
  const auto length = static_cast<size_t>(ReadLayoutField(bytes, record_file::kOwnerLength));
  return bytes.substr(record_file::kOwnerName.offset,
                      std::min(length, record_file::kMaxOwnerLength));
}

class Client {
 public:
  Client(torvane::RecordEngine& engine, std::string owner)
      : engine_(engine), owner_(std::move(owner)) {}

  int16_t Call(uint16_t operation, int8_t key_number, std::string& data, uint32_t* length) {
    return engine_.Call(operation, block_, data.data(), length, key_, 255, key_number);
  }
  int16_t Open() {
    std::string owner = owner_ + '\0';
    auto length = static_cast<uint32_t>(owner.size());
    std::string path = kPath;
    std::copy(path.begin(), path.end() + 1, key_);
    return Call(torvane::kOpOpen, 0, owner, &length);
  }
  int16_t Close() {
    uint32_t length = 0;
    return engine_.Call(torvane::kOpClose, block_, nullptr, &length, nullptr, 0, 0);
  }

 private:
  torvane::RecordEngine& engine_;
  std::string owner_;
  uint8_t block_[torvane::kPositionBlockSize] = {};
  char key_[256] = {};
};

void Exercise(const std::string& bytes) {
  torvane::MemoryFileSystem files;
  files.SetFile(kPath, bytes);
  torvane::RecordEngine engine(files);
  Client client(engine, OwnerOf(bytes));
  if (client.Open() != 0) return;

  std::string data(kRoom, '\0');
  uint32_t length = kRoom;
  if (client.Call(torvane::kOpStat, 0, data, &length) != 0) std::abort();
  const auto record_length =
      static_cast<uint32_t>(ReadLayoutField(data, file_layout::kRecordLength));
  const auto keys = static_cast<int8_t>(ReadLayoutField(data, file_layout::kKeyCount));
  const uint64_t records = ReadLayoutField(data, file_layout::kRecordCount);
  for (int8_t key = 0; key < keys; ++key) {
    uint64_t walked = 0;
    length = kRoom;
    for (int16_t status = client.Call(torvane::kOpGetFirst, key, data, &length); status == 0;
         status = client.Call(torvane::kOpGetNext, key, data, &length)) {
      if (length != record_length) std::abort();
      ++walked;
      length = kRoom;
    }
    if (walked != records) std::abort();
  }

  // One more record: the first bytes of the file itself, as long as a record.
  std::string record = bytes.substr(0, record_length);
  record.resize(record_length, ' ');
  length = record_length;
  const int16_t inserted = client.Call(torvane::kOpInsert, 0, record, &length);
  if (inserted != 0 && inserted != 5) std::abort();  // 5: a duplicate of a unique key
  if (client.Close() != 0) std::abort();
  if (client.Open() != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Exercise(bytes);
  Exercise(Fitted(bytes));
  return 0;
}
