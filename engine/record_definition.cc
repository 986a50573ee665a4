// Validation of a record file's creation definition; the rules are listed
// in the header, in the order they are checked.
#include "engine/record_definition.h"

namespace torvane {
namespace {

// A data page keeps 6 bytes of its own, so a record holds at most page size - 6.
constexpr size_t kDataPageOverhead = 6;
constexpr size_t kMaxKeys = 119;
constexpr size_t kMaxSegments = 119;
constexpr size_t kMaxKeyLength = 255;

// Preallocation and the free-space thresholds change how pages are kept, not
// what a record is, so they are accepted and have no effect here.
constexpr uint64_t kFilePreallocate = 0x0004;
constexpr uint64_t kFileFreeSpaceThresholds = 0x0040 | 0x0080;
constexpr uint64_t kSupportedFileFlags = kFilePreallocate | kFileFreeSpaceThresholds;

constexpr uint64_t kSupportedKeyFlags = kKeyDuplicates | kKeyModifiable | kKeyBinary |
                                        kKeySegmented | kKeyDescending | kKeyExtendedType;

// Extended types that compare byte-wise: strings, and unsigned binary on one
// byte (where little-endian order and byte order agree).
constexpr uint64_t kTypeString = 0;
constexpr uint64_t kTypeUnsignedBinary = 14;

bool ValidPageSize(uint64_t page_size) {
  if (page_size == 8192 || page_size == 16384) return true;
  return page_size >= 512 && page_size <= 4096 && page_size % 512 == 0;
}

}  // namespace

uint64_t ReadLayoutField(std::string_view bytes, LayoutField field) {
  uint64_t value = 0;
  for (size_t i = field.size; i > 0; --i) {
    value = (value << 8) | static_cast<uint8_t>(bytes[field.offset + i - 1]);
  }
  return value;
}

void WriteLayoutField(std::span<char> bytes, LayoutField field, uint64_t value) {
  for (size_t i = 0; i < field.size; ++i) {
    bytes[field.offset + i] = static_cast<char>(static_cast<uint8_t>(value >> (8 * i)));
  }
}

RecordStatus ParseTableDefinition(std::string_view buffer, TableDefinition* table_definition) {
  if (buffer.size() < file_layout::kSize) return RecordStatus::kDataBufferShort;
  const uint64_t page_size = ReadLayoutField(buffer, file_layout::kPageSize);
  if (!ValidPageSize(page_size)) return RecordStatus::kPageSize;
  if ((ReadLayoutField(buffer, file_layout::kFileFlags) & ~kSupportedFileFlags) != 0) {
    return RecordStatus::kUnsupportedKeyType;
  }
  const uint64_t key_count = ReadLayoutField(buffer, file_layout::kKeyCount);
  if (key_count == 0 || key_count > kMaxKeys) return RecordStatus::kKeyCount;
  const uint64_t record_length = ReadLayoutField(buffer, file_layout::kRecordLength);
  if (record_length == 0 || record_length + kDataPageOverhead > page_size) {
    return RecordStatus::kRecordLength;
  }

  TableDefinition result;
  result.record_length = static_cast<size_t>(record_length);
  size_t segment = 0;
  for (uint64_t k = 0; k < key_count; ++k) {
    KeyDefinition key;
    key.first_segment = segment;
    uint64_t key_flags = 0;
    bool more = true;
    while (more) {
      if (segment >= kMaxSegments) return RecordStatus::kKeyCount;
      const size_t offset = DefinitionSize(segment);
      if (buffer.size() < offset + segment_layout::kSize) return RecordStatus::kDataBufferShort;
      const std::string_view bytes = buffer.substr(offset, segment_layout::kSize);
      const uint64_t flags = ReadLayoutField(bytes, segment_layout::kFlags);
      const uint64_t position = ReadLayoutField(bytes, segment_layout::kPosition);
      const uint64_t length = ReadLayoutField(bytes, segment_layout::kLength);
      if ((flags & ~kSupportedKeyFlags) != 0) return RecordStatus::kUnsupportedKeyType;
      if (length == 0 || key.length + length > kMaxKeyLength) return RecordStatus::kKeyLength;
      if (position == 0 || position - 1 + length > record_length) {
        return RecordStatus::kKeyPosition;
      }
      if ((flags & kKeyExtendedType) != 0) {
        const uint64_t type = ReadLayoutField(bytes, segment_layout::kExtendedType);
        const bool byte_wise = type == kTypeString || (type == kTypeUnsignedBinary && length == 1);
        if (!byte_wise) return RecordStatus::kUnsupportedKeyType;
      }
      const uint64_t consistent = kKeyDuplicates | kKeyModifiable;
      if (!key.segments.empty() && (flags & consistent) != (key_flags & consistent)) {
        return RecordStatus::kInconsistentKeyFlags;
      }
      key_flags = flags;
      key.segments.push_back({static_cast<size_t>(position - 1), static_cast<size_t>(length),
                              (flags & kKeyDescending) != 0});
      key.length += static_cast<size_t>(length);
      more = (flags & kKeySegmented) != 0;
      ++segment;
    }
    key.duplicates = (key_flags & kKeyDuplicates) != 0;
    result.keys.push_back(std::move(key));
  }
  result.segment_count = segment;
  result.bytes = std::string(buffer.substr(0, DefinitionSize(segment)));
  *table_definition = std::move(result);
  return RecordStatus::kOk;
}

}  // namespace torvane
