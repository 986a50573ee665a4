// Encoding and checking of record files. The checksum is CRC-32 (IEEE,
// reflected, as in zip and PNG), computed eight bytes at a time so that a
// 50 MB table is checked in a few tens of milliseconds.
#include "engine/record_file_format.h"

#include <array>
#include <utility>

namespace torvane {
namespace {

using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t crc = i;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1u) != 0 ? 0xEDB88320u : 0u);
    tables[0][i] = crc;
  }
  for (uint32_t i = 0; i < 256; ++i) {
    for (size_t t = 1; t < 8; ++t) {
      tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFFu];
    }
  }
  return tables;
}

constexpr CrcTables kCrcTables = MakeCrcTables();

uint32_t ByteAt(std::string_view bytes, size_t offset) {
  return static_cast<uint8_t>(bytes[offset]);
}

}  // namespace

uint32_t Crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    const uint32_t low = crc ^ (ByteAt(bytes, i) | ByteAt(bytes, i + 1) << 8 |
                                ByteAt(bytes, i + 2) << 16 | ByteAt(bytes, i + 3) << 24);
    crc = kCrcTables[7][low & 0xFFu] ^ kCrcTables[6][(low >> 8) & 0xFFu] ^
          kCrcTables[5][(low >> 16) & 0xFFu] ^ kCrcTables[4][low >> 24] ^
          kCrcTables[3][ByteAt(bytes, i + 4)] ^ kCrcTables[2][ByteAt(bytes, i + 5)] ^
          kCrcTables[1][ByteAt(bytes, i + 6)] ^ kCrcTables[0][ByteAt(bytes, i + 7)];
  }
  for (; i < bytes.size(); ++i) crc = (crc >> 8) ^ kCrcTables[0][(crc ^ ByteAt(bytes, i)) & 0xFFu];
  return crc ^ 0xFFFFFFFFu;
}

std::string EncodeRecordFile(const RecordTable& table) {
  const TableDefinition& table_definition = table.definition();
  std::string bytes(record_file::kHeaderSize, '\0');
  bytes.replace(0, record_file::kSignatureBytes.size(), record_file::kSignatureBytes);
  WriteLayoutField(bytes, record_file::kFormatVersion, record_file::kVersion);
  WriteLayoutField(bytes, record_file::kDefinitionLength, table_definition.bytes.size());
  WriteLayoutField(bytes, record_file::kRecordLength, table_definition.record_length);
  WriteLayoutField(bytes, record_file::kRecordCount, table.record_count());
  const OwnerName& owner = table.owner();
  WriteLayoutField(bytes, record_file::kOwnerLength, owner.name.size());
  WriteLayoutField(bytes, record_file::kOwnerAccess, owner.access);
  bytes.replace(record_file::kOwnerName.offset, owner.name.size(), owner.name);
  bytes.reserve(bytes.size() + table_definition.bytes.size() + table.records().size() +
                record_file::kChecksumSize);
  bytes += table_definition.bytes;
  bytes += table.records();
  const uint32_t crc = Crc32(bytes);
  bytes.resize(bytes.size() + record_file::kChecksumSize);
  WriteLayoutField(bytes, {bytes.size() - record_file::kChecksumSize, record_file::kChecksumSize},
                   crc);
  return bytes;
}

RecordStatus CheckRecordFileSize(std::string_view start, uint64_t file_size) {
  using namespace record_file;
  if (start.size() < kSignatureBytes.size()) {
    // What is left of our own signature is a file of ours cut short.
    return kSignatureBytes.substr(0, start.size()) == start ? RecordStatus::kIoError
                                                            : RecordStatus::kNotRecordFile;
  }
  if (start.substr(0, kSignatureBytes.size()) != kSignatureBytes) {
    return RecordStatus::kNotRecordFile;
  }
  if (start.size() < kHeaderSize || file_size < kHeaderSize + kChecksumSize) {
    return RecordStatus::kIoError;
  }
  if (ReadLayoutField(start, kFormatVersion) != kVersion) return RecordStatus::kNotRecordFile;
  // Each part is at most 32 bits wide, so the sum cannot overflow.
  const uint64_t expected_size =
      kHeaderSize + ReadLayoutField(start, kDefinitionLength) +
      ReadLayoutField(start, kRecordCount) * ReadLayoutField(start, kRecordLength) + kChecksumSize;
  if (expected_size != file_size || file_size > kMaxFileSize) return RecordStatus::kIoError;
  return RecordStatus::kOk;
}

RecordStatus DecodeRecordFile(std::string bytes, std::optional<RecordTable>* table) {
  using namespace record_file;
  const std::string_view start = std::string_view(bytes).substr(0, kHeaderSize);
  const RecordStatus fits = CheckRecordFileSize(start, bytes.size());
  if (fits != RecordStatus::kOk) return fits;
  const size_t body_size = bytes.size() - kChecksumSize;
  if (Crc32(std::string_view(bytes).substr(0, body_size)) !=
      ReadLayoutField(bytes, {body_size, kChecksumSize})) {
    return RecordStatus::kIoError;
  }

  const uint64_t definition_length = ReadLayoutField(bytes, kDefinitionLength);
  if (definition_length > body_size - kHeaderSize) return RecordStatus::kIoError;
  TableDefinition table_definition;
  const std::string_view definition_bytes =
      std::string_view(bytes).substr(kHeaderSize, static_cast<size_t>(definition_length));
  if (ParseTableDefinition(definition_bytes, &table_definition) != RecordStatus::kOk ||
      table_definition.bytes.size() != definition_length) {
    return RecordStatus::kIoError;
  }
  const uint64_t record_length = ReadLayoutField(bytes, kRecordLength);
  const uint64_t record_count = ReadLayoutField(bytes, kRecordCount);
  const uint64_t records_size = body_size - kHeaderSize - definition_length;
  if (record_length != table_definition.record_length ||
      records_size != record_count * record_length) {
    return RecordStatus::kIoError;
  }
  OwnerName owner;
  const uint64_t owner_length = ReadLayoutField(bytes, kOwnerLength);
  owner.access = static_cast<uint8_t>(ReadLayoutField(bytes, kOwnerAccess));
  if (owner_length > kMaxOwnerLength || owner.access > 1) return RecordStatus::kIoError;
  owner.name = bytes.substr(kOwnerName.offset, static_cast<size_t>(owner_length));
  // Names end at a zero byte where they are given, so a name holding one
  // could never be given: no writer makes such a file.
  if (owner.name.find('\0') != std::string::npos) return RecordStatus::kIoError;

  bytes.resize(body_size);
  bytes.erase(0, kHeaderSize + static_cast<size_t>(definition_length));
  RecordTable result(std::move(table_definition));
  if (!result.Load(std::move(bytes))) return RecordStatus::kIoError;
  result.set_owner(std::move(owner));
  table->emplace(std::move(result));
  return RecordStatus::kOk;
}

}  // namespace torvane
