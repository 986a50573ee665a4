// The record manager's single entry point, with the call shape of the
// published interface: operation, 128-byte position block, data buffer, data
// length (in: room or length sent; out: length returned), key buffer, key
// length and key number. It answers a 16-bit status, 0 for success.
//
// On POSIX the embedded engine answers; tests put a scripted record manager
// in its place.
#ifndef TORVANE_PLATFORM_RECORD_MANAGER_H_
#define TORVANE_PLATFORM_RECORD_MANAGER_H_

#include <cstdint>

namespace torvane {

constexpr int kPositionBlockSize = 128;

// Operation codes of the published interface.
enum RecordOperation : uint16_t {
  kOpOpen = 0,
  kOpClose = 1,
  kOpInsert = 2,
  kOpGetEqual = 5,
  kOpGetNext = 6,
  kOpGetGreaterOrEqual = 9,
  kOpGetFirst = 12,
  kOpCreate = 14,
  kOpStat = 15,
  kOpReset = 28,
  kOpSetOwner = 29,
};

class RecordManager {
 public:
  virtual ~RecordManager() = default;
  virtual int16_t Call(uint16_t operation, void* position_block, void* data_buffer,
                       uint32_t* data_length, void* key_buffer, uint8_t key_length,
                       int8_t key_number) = 0;

  static RecordManager& Default();
};

}  // namespace torvane

#endif  // TORVANE_PLATFORM_RECORD_MANAGER_H_
