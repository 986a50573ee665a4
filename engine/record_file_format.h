// The bytes of a record file on disk (docs/record-file-format.md tells the
// same for people). Integers are little-endian.
//
//   OFFSET      SIZE   DESCRIPTION
//   0           8      signature "TVRF" CR LF 0x1A LF
//   8           2      format version, 1
//   10          2      reserved, 0
//   12          4      definition length S (16 + 16 × segments)
//   16          4      record length R
//   20          4      number of records N
//   24          1      owner name length, 0 to 8 (0: no owner)
//   25          1      owner access: 0 name needed for every access,
//                      1 read-only without it
//   26          8      owner name (no zero byte in it), padded with
//                      zero bytes
//   34          6      reserved, 0
//   40          S      the creation definition, as given to Create
//   40+S        N × R  the records, in insertion order
//   40+S+N×R    4      CRC-32 (IEEE) of every byte before it
//
// A reader checks the header against the file's size before it reads the
// rest, then reads the file whole and checks it before anything of it is
// used; a writer always writes a whole new file.
#ifndef TORVANE_ENGINE_RECORD_FILE_FORMAT_H_
#define TORVANE_ENGINE_RECORD_FILE_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/record_table.h"
#include "platform/record_status.h"

namespace torvane {

namespace record_file {
inline constexpr LayoutField kSignature{0, 8};
inline constexpr LayoutField kFormatVersion{8, 2};
inline constexpr LayoutField kDefinitionLength{12, 4};
inline constexpr LayoutField kRecordLength{16, 4};
inline constexpr LayoutField kRecordCount{20, 4};
inline constexpr LayoutField kOwnerLength{24, 1};
inline constexpr LayoutField kOwnerAccess{25, 1};
inline constexpr LayoutField kOwnerName{26, 8};
inline constexpr size_t kHeaderSize = 40;
inline constexpr size_t kChecksumSize = 4;
inline constexpr std::string_view kSignatureBytes{"TVRF\r\n\x1a\n", 8};
inline constexpr uint64_t kVersion = 1;
inline constexpr size_t kMaxOwnerLength = 8;
// The largest file a reader takes on: the engine holds a file whole in
// memory, with an index per key beside it, inside the address space of a
// 32-bit program on Windows.
inline constexpr uint64_t kMaxFileSize = sizeof(size_t) < 8 ? uint64_t{1} << 30 : uint64_t{4} << 30;
}  // namespace record_file

uint32_t Crc32(std::string_view bytes);

// The whole file for `table`.
std::string EncodeRecordFile(const RecordTable& table);

// Checks the start of a file (its first kHeaderSize bytes, or all of it
// when shorter) against the file's size, so that a reader never takes more
// memory than a file of this size can justify. Answers kNotRecordFile (30)
// for another signature or a later format version, and kIoError (2) for a
// file too short for its header and checksum, for one whose definition
// length, record length and record count do not add up to `file_size`, and
// for one larger than kMaxFileSize.
RecordStatus CheckRecordFileSize(std::string_view start, uint64_t file_size);

// Reads a whole file. On kOk *table holds it. Answers kNotRecordFile (30)
// for bytes that are not a record file of this engine (another signature or
// a later format version) and kIoError (2) for one that is damaged or cut
// short, including a file too short to hold its signature.
RecordStatus DecodeRecordFile(std::string bytes, std::optional<RecordTable>* table);

}  // namespace torvane

#endif  // TORVANE_ENGINE_RECORD_FILE_FORMAT_H_
