// A record manager for tests that answers what the test scripts and records
// every request. Replies are taken in order for every request but Stat;
// Stat requests are answered with `stat_answer` (when set) without using up
// a reply. A request with no reply left answers status 0 and writes nothing.
//
// It reads and writes the request buffers at the sizes the table registry
// uses for every request: 1536 bytes of data and 256 bytes of key.
#ifndef TORVANE_TESTS_RECORDS_SCRIPTED_RECORD_MANAGER_H_
#define TORVANE_TESTS_RECORDS_SCRIPTED_RECORD_MANAGER_H_

#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/record_manager.h"
#include "records/table_registry.h"

namespace torvane::testing {

struct ScriptedReply {
  int16_t status = 0;
  std::optional<std::string> data;      // written at the data buffer's start
  std::optional<uint32_t> data_length;  // returned length; else data's size
  std::optional<std::string> key;       // written at the key buffer's start
};

struct RecordedRequest {
  uint16_t operation = 0;
  const void* position_block = nullptr;
  std::string position_block_bytes;  // the 128 bytes as sent
  std::string data;                  // the whole data buffer as sent
  uint32_t data_length = 0;          // as sent
  std::string key;                   // the whole key buffer as sent
  uint8_t key_length = 0;
  int8_t key_number = 0;
};

class ScriptedRecordManager : public RecordManager {
 public:
  int16_t Call(uint16_t operation, void* position_block, void* data_buffer, uint32_t* data_length,
               void* key_buffer, uint8_t key_length, int8_t key_number) override {
    RecordedRequest request;
    request.operation = operation;
    request.position_block = position_block;
    request.position_block_bytes.assign(static_cast<const char*>(position_block),
                                        kPositionBlockSize);
    request.data.assign(static_cast<const char*>(data_buffer), kRequestDataSize);
    request.data_length = *data_length;
    request.key.assign(static_cast<const char*>(key_buffer), kRequestKeySize);
    request.key_length = key_length;
    request.key_number = key_number;
    requests.push_back(request);

    ScriptedReply reply;
    if (operation == kOpStat && stat_answer) {
      reply.data = stat_answer;
    } else if (!replies.empty()) {
      reply = replies.front();
      replies.pop_front();
    }
    if (reply.data) {
      std::memcpy(data_buffer, reply.data->data(), reply.data->size());
      *data_length = static_cast<uint32_t>(reply.data->size());
    }
    if (reply.data_length) *data_length = *reply.data_length;
    if (reply.key) std::memcpy(key_buffer, reply.key->data(), reply.key->size());
    return reply.status;
  }

  // Queues replies that carry only a status.
  void QueueStatuses(std::initializer_list<int16_t> statuses) {
    for (int16_t status : statuses) replies.push_back(ScriptedReply{status, {}, {}, {}});
  }

  std::vector<uint16_t> Operations() const {
    std::vector<uint16_t> operations;
    for (const auto& request : requests) operations.push_back(request.operation);
    return operations;
  }

  std::deque<ScriptedReply> replies;
  std::optional<std::string> stat_answer;
  std::vector<RecordedRequest> requests;
};

// A Stat answer: the file definition with the record length and the
// number of keys, then one 16-byte segment per entry of `keys`, each key a
// list of segment lengths (all but a key's last segment flagged 0x10).
inline std::string StatAnswer(int16_t record_length, const std::vector<std::vector<int>>& keys) {
  std::string answer(16, '\0');
  answer[0] = static_cast<char>(record_length & 0xFF);
  answer[1] = static_cast<char>((record_length >> 8) & 0xFF);
  answer[4] = static_cast<char>(keys.size());
  for (const auto& key : keys) {
    for (size_t i = 0; i < key.size(); ++i) {
      std::string segment(16, '\0');
      segment[0] = 1;  // position
      segment[2] = static_cast<char>(key[i] & 0xFF);
      segment[3] = static_cast<char>((key[i] >> 8) & 0xFF);
      segment[4] = static_cast<char>(i + 1 < key.size() ? 0x10 : 0x00);
      answer += segment;
    }
  }
  return answer;
}

}  // namespace torvane::testing

#endif  // TORVANE_TESTS_RECORDS_SCRIPTED_RECORD_MANAGER_H_
