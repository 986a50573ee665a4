// A named field of a fixed-length record: its 1-based position and length as
// the record tables list them, and its encoding. Code reads every field
// through these descriptors; the offset is derived in exactly one place.
// Integers are little-endian; nothing is cast over a buffer.
#ifndef TORVANE_RECORDS_FIELD_H_
#define TORVANE_RECORDS_FIELD_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

enum class FieldEncoding {
  kText,      // code page 850, padded with spaces on the right
  kPacked,    // packed digits, two per byte
  kInt16,     // signed, little-endian
  kInt32,     // signed, little-endian
  kFlag,      // one character, "S" for yes
  kByte,      // one raw byte
  kComposite  // a group with a layout of its own (lists, concept groups)
};

struct Field {
  std::string_view name;
  int position;  // 1-based, as in the record tables
  int length;
  FieldEncoding encoding;

  constexpr size_t offset() const { return static_cast<size_t>(position - 1); }
  constexpr size_t end() const { return offset() + static_cast<size_t>(length); }
};

// A read-only view of one record buffer.
class RecordView {
 public:
  RecordView(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // The field's raw bytes (texts keep their padding).
  std::string_view Bytes(const Field& field) const {
    return std::string_view(reinterpret_cast<const char*>(data_) + field.offset(),
                            static_cast<size_t>(field.length));
  }
  int16_t Int16(const Field& field) const { return Int16At(field.offset()); }
  int32_t Int32(const Field& field) const { return Int32At(field.offset()); }
  bool Flag(const Field& field) const { return Bytes(field) == "S"; }
  char Char(const Field& field) const { return static_cast<char>(data_[field.offset()]); }

  // Little-endian integers at an offset inside a composite field.
  int16_t Int16At(size_t offset) const {
    return static_cast<int16_t>(static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8)));
  }
  int32_t Int32At(size_t offset) const {
    return static_cast<int32_t>(static_cast<uint32_t>(data_[offset]) |
                                (static_cast<uint32_t>(data_[offset + 1]) << 8) |
                                (static_cast<uint32_t>(data_[offset + 2]) << 16) |
                                (static_cast<uint32_t>(data_[offset + 3]) << 24));
  }
  std::string_view BytesAt(size_t offset, size_t length) const {
    return std::string_view(reinterpret_cast<const char*>(data_) + offset, length);
  }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  const uint8_t* data_;
  size_t size_;
};

// Writers for tests and the data tool.
inline void PutInt16(uint8_t* data, size_t offset, int16_t value) {
  const auto v = static_cast<uint16_t>(value);
  data[offset] = static_cast<uint8_t>(v & 0xFF);
  data[offset + 1] = static_cast<uint8_t>(v >> 8);
}
inline void PutInt32(uint8_t* data, size_t offset, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) data[offset + i] = static_cast<uint8_t>((v >> (8 * i)) & 0xFF);
}
// Copies `bytes` into the field, padding with `pad` (cut when longer).
inline void PutBytes(uint8_t* data, const Field& field, std::string_view bytes, char pad = ' ') {
  for (int i = 0; i < field.length; ++i) {
    data[field.offset() + i] = static_cast<uint8_t>(
        static_cast<size_t>(i) < bytes.size() ? bytes[static_cast<size_t>(i)] : pad);
  }
}

}  // namespace torvane

#endif  // TORVANE_RECORDS_FIELD_H_
