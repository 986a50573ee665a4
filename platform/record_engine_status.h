// The statuses the embedded record engine answers, in the numbering of the
// published record manager interface (0 is success). The engine keeps its
// own names for them because it sits below every other folder; the records
// folder names the same numbers for its callers.
#ifndef TORVANE_PLATFORM_RECORD_ENGINE_STATUS_H_
#define TORVANE_PLATFORM_RECORD_ENGINE_STATUS_H_

#include <cstdint>

namespace torvane {

enum class [[nodiscard]] EngineStatus : int16_t{
    kOk = 0,
    kInvalidOperation = 1,
    kIoError = 2,  // damaged or truncated file, or a write that failed
    kNotOpen = 3,
    kKeyNotFound = 4,
    kDuplicateKey = 5,
    kInvalidKeyNumber = 6,
    kDifferentKeyNumber = 7,
    kNoPosition = 8,
    kEndOfFile = 9,
    kInvalidFileName = 11,
    kFileNotFound = 12,
    kKeyBufferShort = 21,
    kDataBufferShort = 22,
    kPositionBlock = 23,
    kPageSize = 24,
    kCreateIo = 25,
    kKeyCount = 26,
    kKeyPosition = 27,
    kRecordLength = 28,
    kKeyLength = 29,
    kNotRecordFile = 30,
    kOperationNotAllowed = 41,
    kInconsistentKeyFlags = 45,
    kAccessDenied = 46,  // a write through a read-only open
    kUnsupportedKeyType = 49,
    kOwnerAlreadySet = 50,
    kOwnerName = 51,
    kFileExists = 59,
    kFileLocked = 85,
    kIncompatibleMode = 88,
    kPermission = 94,
};

inline constexpr int16_t EngineStatusCode(EngineStatus status) {
  return static_cast<int16_t>(status);
}

}  // namespace torvane

#endif  // TORVANE_PLATFORM_RECORD_ENGINE_STATUS_H_
