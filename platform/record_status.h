// The 16-bit status of every record request: the record manager's numbering
// (what the embedded engine answers too), shared with the registry's own
// codes (1002 and up). 0 is success.
#ifndef TORVANE_PLATFORM_RECORD_STATUS_H_
#define TORVANE_PLATFORM_RECORD_STATUS_H_

#include <cstdint>
#include <string_view>

namespace torvane {

enum class [[nodiscard]] RecordStatus : int16_t{
    kOk = 0,
    kInvalidOperation = 1,
    kIoError = 2,  // damaged or truncated file
    kNotOpen = 3,  // also: file number not registered
    kKeyNotFound = 4,
    kDuplicateKey = 5,
    kInvalidKeyNumber = 6,
    kDifferentKeyNumber = 7,
    kInvalidPositioning = 8,
    kEndOfFile = 9,
    kInvalidFileName = 11,  // a path the request cannot carry
    kFileNotFound = 12,
    kInactive = 20,  // record manager not loaded
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
    kRecordLocked = 84,
    kFileLocked = 85,
    kIncompatibleMode = 88,
    kPermission = 94,
    kAlreadyRegistered = 1002,
    kNoFreeSlot = 1003,
    kNoSuchKey = 1004,
};

inline constexpr int16_t StatusCode(RecordStatus status) { return static_cast<int16_t>(status); }
inline constexpr RecordStatus ToRecordStatus(int16_t code) {
  return static_cast<RecordStatus>(code);
}

// What a status means, in a few words for a message ("duplicate key"), for
// the statuses that making and reading tables commonly meets; empty for the
// others.
std::string_view RecordStatusText(RecordStatus status);

}  // namespace torvane

#endif  // TORVANE_PLATFORM_RECORD_STATUS_H_
