// One record file held in memory: its definition, its owner name, its
// fixed-length records in insertion order, and one sorted index per key.
// Everything the engine reads is answered from here in O(log n) or O(1);
// the file on disk is only read at open and written as a whole.
//
// Ordering rules:
//   1. A key value is the concatenation of its segments' bytes.
//   2. Key values compare byte-wise unsigned; a descending segment compares
//      in reverse. Each index keeps, per record, the key value with the
//      bytes of descending segments complemented, so one memcmp orders it.
//   3. Records with equal key values keep the order they were inserted in.
// Record ids are insertion numbers from 0 and never change: records are only
// ever added.
#ifndef TORVANE_ENGINE_RECORD_TABLE_H_
#define TORVANE_ENGINE_RECORD_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/record_definition.h"

namespace torvane {

struct OwnerName {
  std::string name;    // empty: the file has no owner
  uint8_t access = 0;  // 0: the name is needed for every access; 1: read-only without it
};

class RecordTable {
 public:
  explicit RecordTable(TableDefinition table_definition);

  // Replaces the records by `records` (record_count × record_length bytes).
  // False, leaving the table empty, when a key without duplicates would hold
  // one value twice.
  bool Load(std::string records);

  const TableDefinition& definition() const { return definition_; }
  size_t record_length() const { return definition_.record_length; }
  size_t key_count() const { return indexes_.size(); }
  size_t key_length(size_t key) const { return definition_.keys[key].length; }
  uint32_t record_count() const { return static_cast<uint32_t>(records_.size() / record_length()); }
  const std::string& records() const { return records_; }
  const OwnerName& owner() const { return owner_; }
  void set_owner(OwnerName owner) { owner_ = std::move(owner); }

  std::string_view Record(uint32_t id) const;
  // The key value of record `id` as stored in the record.
  std::string KeyValue(size_t key, uint32_t id) const;
  // The same, copied to `out`, which has room for the key's length.
  void CopyKeyValue(size_t key, uint32_t id, char* out) const;

  // The key that `record` would duplicate, if any.
  std::optional<size_t> DuplicateKey(std::string_view record) const;
  // Adds a record and returns its id. REQUIRES: record.size() == record_length()
  // and !DuplicateKey(record).
  uint32_t Append(std::string_view record);

  // Positions in key order, 0 to record_count() - 1.
  uint32_t RecordAt(size_t key, size_t index) const { return indexes_[key].order[index]; }
  // The first position whose key value is at least `value` (key_length bytes,
  // as stored in records); record_count() when there is none.
  size_t LowerBound(size_t key, std::string_view value) const;
  // Whether the record at `index` has key value `value`.
  bool KeyEquals(size_t key, size_t index, std::string_view value) const;
  // The position of record `id` in key order.
  size_t IndexOf(size_t key, uint32_t id) const;
  uint32_t DistinctValues(size_t key) const { return indexes_[key].distinct; }

  // The Stat answer: the definition with the record count and, in every
  // segment, its key's number of distinct values; no unused pages.
  std::string StatBytes() const;
  // The same, written to `out`, which has room for stat_size() bytes.
  void WriteStatBytes(std::span<char> out) const;
  size_t stat_size() const { return definition_.bytes.size(); }

 private:
  struct Index {
    std::string ordered_keys;     // record_count × key length, descending bytes complemented
    std::vector<uint32_t> order;  // record ids sorted by (ordered key, id)
    uint32_t distinct = 0;
  };

  std::string OrderedKey(size_t key, std::string_view record) const;
  std::string_view OrderedKeyOf(size_t key, uint32_t id) const;
  size_t UpperBound(size_t key, std::string_view ordered) const;
  void BuildIndex(size_t key);

  TableDefinition definition_;
  OwnerName owner_;
  std::string records_;
  std::vector<Index> indexes_;
};

}  // namespace torvane

#endif  // TORVANE_ENGINE_RECORD_TABLE_H_
