// The meanings of the record manager's statuses.
#include "platform/record_status.h"

namespace torvane {

std::string_view RecordStatusText(RecordStatus status) {
  switch (status) {
    case RecordStatus::kOk:
      return "success";
    case RecordStatus::kInvalidOperation:
      return "operation not supported";
    case RecordStatus::kIoError:
      return "damaged or truncated file";
    case RecordStatus::kNotOpen:
      return "file not open";
    case RecordStatus::kDuplicateKey:
      return "duplicate key";
    case RecordStatus::kEndOfFile:
      return "end of file";
    case RecordStatus::kFileNotFound:
      return "file not found";
    case RecordStatus::kDataBufferShort:
      return "data buffer too short";
    case RecordStatus::kPageSize:
      return "page size refused";
    case RecordStatus::kCreateIo:
      return "the file cannot be created";
    case RecordStatus::kKeyCount:
      return "number of keys refused";
    case RecordStatus::kKeyPosition:
      return "key position refused";
    case RecordStatus::kRecordLength:
      return "record length refused";
    case RecordStatus::kKeyLength:
      return "key length refused";
    case RecordStatus::kNotRecordFile:
      return "not a table file";
    case RecordStatus::kUnsupportedKeyType:
      return "key type not supported";
    case RecordStatus::kOwnerName:
      return "wrong owner name";
    case RecordStatus::kFileExists:
      return "the file exists already";
    case RecordStatus::kFileLocked:
      return "the file is locked by another program";
    default:
      return {};
  }
}

}  // namespace torvane
