// Helpers for the record engine's tests: builders for the creation
// definition's bytes and a client that sends requests with the published
// call shape, the way the program and the data tool send them.
#ifndef TORVANE_TESTS_ENGINE_RECORD_TEST_SUPPORT_H_
#define TORVANE_TESTS_ENGINE_RECORD_TEST_SUPPORT_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/record_manager.h"

namespace torvane::testing {

inline std::string Le16(uint32_t value) {
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

inline uint32_t ReadLe(std::string_view bytes, size_t offset, size_t size) {
  uint32_t value = 0;
  for (size_t i = size; i > 0; --i) {
    value = (value << 8) | static_cast<uint8_t>(bytes[offset + i - 1]);
  }
  return value;
}

// A 16-byte file definition.
inline std::string FileDefinition(uint32_t record_length, uint8_t keys, uint32_t page_size = 512,
                                  uint32_t file_flags = 0) {
  return Le16(record_length) + Le16(page_size) + std::string(1, static_cast<char>(keys)) +
         std::string(5, '\0') + Le16(file_flags) + std::string(4, '\0');
}

// A 16-byte key segment definition.
inline std::string Segment(uint32_t position, uint32_t length, uint32_t flags = 0,
                           uint8_t extended_type = 0) {
  return Le16(position) + Le16(length) + Le16(flags) + std::string(4, '\0') +
         std::string(1, static_cast<char>(extended_type)) + std::string(5, '\0');
}

struct Reply {
  int16_t status = 0;
  std::string data;  // as many bytes as the data length returned
  std::string key;   // the key buffer's first key_length bytes
  uint32_t data_length = 0;
};

// One position block and the requests on it.
class TableClient {
 public:
  static constexpr uint32_t kBufferSize = 1536;

  explicit TableClient(RecordManager& manager) : manager_(manager) {}

  // Sends the definition as the program does: padded with spaces to 1536
  // bytes, data length 1536.
  int16_t Create(const std::string& path, std::string definition, int8_t mode = -1) {
    definition.resize(kBufferSize, ' ');
    uint32_t length = kBufferSize;
    std::string key = path + '\0';
    return manager_.Call(kOpCreate, block, definition.data(), &length, key.data(),
                         static_cast<uint8_t>(path.size()), mode);
  }

  int16_t Open(const std::string& path, const std::string& owner = "", int8_t mode = 0) {
    block[0] = 0;
    std::string data = owner + '\0';
    uint32_t length = static_cast<uint32_t>(data.size());
    std::string key = path + '\0';
    return manager_.Call(kOpOpen, block, data.data(), &length, key.data(),
                         static_cast<uint8_t>(path.size()), mode);
  }

  int16_t Close() { return Simple(kOpClose); }
  int16_t Reset() { return Simple(kOpReset); }

  Reply Insert(std::string record, int8_t key_number = 0) {
    Reply reply;
    uint32_t length = static_cast<uint32_t>(record.size());
    char key[256] = {};
    reply.status = manager_.Call(kOpInsert, block, record.data(), &length, key, 255, key_number);
    reply.key.assign(key, 255);
    return reply;
  }

  Reply Get(uint16_t operation, int8_t key_number, std::string_view key_value = "",
            uint32_t room = kBufferSize, uint8_t key_length = 255) {
    Reply reply;
    std::string data(kBufferSize, ' ');
    char key[256] = {};
    std::memcpy(key, key_value.data(), key_value.size());
    uint32_t length = room;
    reply.status =
        manager_.Call(operation, block, data.data(), &length, key, key_length, key_number);
    reply.data_length = length;
    reply.data = data.substr(0, length);
    reply.key.assign(key, key_length);
    return reply;
  }

  Reply Stat(uint32_t room = kBufferSize) {
    Reply reply;
    std::string data(kBufferSize, ' ');
    std::string key(255, ' ');
    key += '\0';
    uint32_t length = room;
    reply.status = manager_.Call(kOpStat, block, data.data(), &length, key.data(), 255, 0);
    reply.data_length = length;
    reply.data = data.substr(0, length);
    return reply;
  }

  int16_t SetOwner(const std::string& name, int8_t access = 0) {
    return SetOwner(name, name, access);
  }
  int16_t SetOwner(const std::string& data_name, const std::string& key_name, int8_t access) {
    std::string data = data_name + '\0';
    std::string key = key_name + '\0';
    uint32_t length = static_cast<uint32_t>(data.size());
    return manager_.Call(kOpSetOwner, block, data.data(), &length, key.data(),
                         static_cast<uint8_t>(key.size()), access);
  }

  uint8_t block[kPositionBlockSize] = {};

 private:
  int16_t Simple(uint16_t operation) {
    uint32_t length = 0;
    return manager_.Call(operation, block, nullptr, &length, nullptr, 0, 0);
  }

  RecordManager& manager_;
};

}  // namespace torvane::testing

#endif  // TORVANE_TESTS_ENGINE_RECORD_TEST_SUPPORT_H_
