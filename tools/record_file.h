// One table file seen through the record manager entry: the requests that
// kavdata sends (Create, Open, Set Owner, Insert, Stat, Get First, Get Next,
// Close) with the buffers the published interface lays down, each answering
// the record manager's status. The file is closed when the object goes.
#ifndef TORVANE_TOOLS_RECORD_FILE_H_
#define TORVANE_TOOLS_RECORD_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/record_manager.h"
#include "platform/record_status.h"

namespace torvane::kavdata {

// Open modes of the published interface.
constexpr int8_t kOpenNormal = 0;
constexpr int8_t kOpenReadOnly = -2;

// Create: the key number that refuses to replace an existing file.
constexpr int8_t kCreateKeepExisting = -1;

// Room of the data buffer of a read: the longest record the suite has.
constexpr uint32_t kReadRoom = 1536;

class RecordFile {
 public:
  explicit RecordFile(RecordManager& record_manager) : record_manager_(record_manager) {}
  ~RecordFile() { (void)Close(); }  // nothing to tell anyone on the way out
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Makes a new file from a creation definition; fails (59) when one exists.
  RecordStatus Create(std::string_view path, std::string_view definition);
  // Opens with the owner name (four digits) in the given mode.
  RecordStatus Open(std::string_view path, std::string_view owner, int8_t mode);
  // Protects the open file with the owner name for every access.
  RecordStatus SetOwner(std::string_view owner);
  RecordStatus Insert(std::string_view record);
  // The record length and number of records from Stat.
  RecordStatus Stat(int* record_length, uint32_t* record_count);
  // Reads along key 0; *record holds the bytes delivered.
  RecordStatus GetFirst(std::string* record);
  RecordStatus GetNext(std::string* record);
  // Closes when open; the status of the Close request, kOk when not open.
  RecordStatus Close();

 private:
  RecordStatus Read(uint16_t operation, std::string* record);

  RecordManager& record_manager_;
  uint8_t position_block_[kPositionBlockSize] = {};
  uint8_t key_buffer_[256] = {};
  bool open_ = false;
};

// "status 5 (duplicate key)" and the like, for messages.
std::string DescribeStatus(RecordStatus status);

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_RECORD_FILE_H_
