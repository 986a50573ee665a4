// The creation definition of a record file in the published interface's
// layout, and its validation. A definition is a 16-byte file definition
// followed by one 16-byte segment definition per key segment; Create takes
// it, and Stat answers the same layout with counts filled in. Every field is
// named below, once, with its offset and size, and is an unsigned
// little-endian integer; the bytes between fields are unused.
//
// ParseTableDefinition accepts what this engine can honour exactly and answers the
// interface's status for the first thing that makes no sense or that it
// would have to order otherwise than asked:
//   1. fewer than 16 bytes, or fewer than the segments the keys announce: 22;
//   2. a page size other than 512 to 4096 in steps of 512, 8192 or 16384: 24;
//   3. file flags other than preallocation and free-space thresholds: 49;
//   4. no key, or more than 119 keys or segments: 26;
//   5. a record length of 0 or longer than a data page holds: 28;
//   6. a segment length of 0, or a key longer than 255 bytes: 29;
//   7. a segment that starts at 0 or ends past the record: 27;
//   8. key flags other than duplicates, modifiable, binary, segmented,
//      descending and extended type; extended types other than string (0)
//      and one-byte unsigned binary (14): 49;
//   9. segments of one key that disagree on duplicates or modifiable: 45.
// Every accepted key compares byte-wise unsigned over its segments, with
// descending segments in reverse order.
#ifndef TORVANE_ENGINE_RECORD_DEFINITION_H_
#define TORVANE_ENGINE_RECORD_DEFINITION_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/record_status.h"

namespace torvane {

// An unsigned little-endian integer of `size` bytes at `offset`.
struct LayoutField {
  size_t offset;
  size_t size;

  constexpr size_t End() const { return offset + size; }
};

// The file definition, at the start of a definition.
namespace file_layout {
inline constexpr LayoutField kRecordLength{0, 2};
inline constexpr LayoutField kPageSize{2, 2};
inline constexpr LayoutField kKeyCount{4, 1};
inline constexpr LayoutField kFileVersion{5, 1};  // 0: the engine's own
// Stat: the number of records; reserved in Create.
inline constexpr LayoutField kRecordCount{6, 4};
inline constexpr LayoutField kFileFlags{10, 2};
inline constexpr LayoutField kDuplicatePointers{12, 1};  // duplicate pointers to reserve
// Byte 13 is unused.
// Stat: the number of unused pages; Create: the pages to preallocate.
inline constexpr LayoutField kUnusedPages{14, 2};
inline constexpr size_t kSize = 16;
}  // namespace file_layout

// A key segment definition; offsets count from the segment's start.
namespace segment_layout {
inline constexpr LayoutField kPosition{0, 2};  // in the record, counted from 1
inline constexpr LayoutField kLength{2, 2};
inline constexpr LayoutField kFlags{4, 2};  // KeyFlag values
// Stat: the number of distinct key values; reserved in Create.
inline constexpr LayoutField kDistinctValues{6, 4};
// With kKeyExtendedType: 0 string, 14 unsigned binary.
inline constexpr LayoutField kExtendedType{10, 1};
inline constexpr LayoutField kNullValue{11, 1};
// Bytes 12-13 are reserved.
inline constexpr LayoutField kManualKeyNumber{14, 1};
inline constexpr LayoutField kCollatingSequence{15, 1};
inline constexpr size_t kSize = 16;
}  // namespace segment_layout

// The length of a definition with `segments` key segments.
constexpr size_t DefinitionSize(size_t segments) {
  return file_layout::kSize + segments * segment_layout::kSize;
}

// `field` (a segment_layout field) of the segment definition with that index
// (0 for the first), as a field of the whole definition.
constexpr LayoutField SegmentField(size_t segment, LayoutField field) {
  return {DefinitionSize(segment) + field.offset, field.size};
}

enum KeyFlag : uint16_t {
  kKeyDuplicates = 0x0001,
  kKeyModifiable = 0x0002,
  kKeyBinary = 0x0004,
  kKeyNull = 0x0008,
  kKeySegmented = 0x0010,
  kKeyAlternateCollation = 0x0020,
  kKeyDescending = 0x0040,
  kKeyExtendedType = 0x0100,
  kKeyCaseInsensitive = 0x0400,
};

// REQUIRES: field.offset + field.size <= bytes.size(), field.size <= 8.
uint64_t ReadLayoutField(std::string_view bytes, LayoutField field);
void WriteLayoutField(std::span<char> bytes, LayoutField field, uint64_t value);

struct KeySegment {
  size_t record_offset = 0;  // 0-based start of the segment in the record
  size_t length = 0;
  bool descending = false;
};

struct KeyDefinition {
  std::vector<KeySegment> segments;
  size_t length = 0;  // the key value's length: the sum of its segments
  bool duplicates = false;
  size_t first_segment = 0;  // index of its first segment definition
};

struct TableDefinition {
  std::string bytes;  // the definition as created: 16 + 16 × segments bytes
  size_t record_length = 0;
  std::vector<KeyDefinition> keys;
  size_t segment_count = 0;
};

// Validates a definition that starts at the front of `buffer` (bytes
// after the last segment are ignored). On kOk fills *table_definition; otherwise leaves
// it unspecified.
RecordStatus ParseTableDefinition(std::string_view buffer, TableDefinition* table_definition);

}  // namespace torvane

#endif  // TORVANE_ENGINE_RECORD_DEFINITION_H_
