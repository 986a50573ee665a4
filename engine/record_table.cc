// The in-memory record file: records in one contiguous string, and per key
// a sorted vector of record ids beside the ordered key values.
#include "engine/record_table.h"

#include <algorithm>
#include <numeric>

namespace torvane {

RecordTable::RecordTable(TableDefinition table_definition)
    : definition_(std::move(table_definition)), indexes_(definition_.keys.size()) {}

bool RecordTable::Load(std::string records) {
  records_ = std::move(records);
  for (size_t key = 0; key < indexes_.size(); ++key) {
    BuildIndex(key);
    if (!definition_.keys[key].duplicates && indexes_[key].distinct != record_count()) {
      records_.clear();
      for (size_t k = 0; k < indexes_.size(); ++k) BuildIndex(k);
      return false;
    }
  }
  return true;
}

std::string_view RecordTable::Record(uint32_t id) const {
  return std::string_view(records_).substr(static_cast<size_t>(id) * record_length(),
                                           record_length());
}

std::string RecordTable::KeyValue(size_t key, uint32_t id) const {
  std::string value(key_length(key), '\0');
  CopyKeyValue(key, id, value.data());
  return value;
}

void RecordTable::CopyKeyValue(size_t key, uint32_t id, char* out) const {
  const std::string_view record = Record(id);
  for (const KeySegment& segment : definition_.keys[key].segments) {
    out = std::copy_n(record.data() + segment.record_offset, segment.length, out);
  }
}

std::string RecordTable::OrderedKey(size_t key, std::string_view record) const {
  std::string value;
  value.reserve(key_length(key));
  for (const KeySegment& segment : definition_.keys[key].segments) {
    const size_t start = value.size();
    value.append(record.substr(segment.record_offset, segment.length));
    if (segment.descending) {
      for (size_t i = start; i < value.size(); ++i) value[i] = static_cast<char>(~value[i]);
    }
  }
  return value;
}

std::string_view RecordTable::OrderedKeyOf(size_t key, uint32_t id) const {
  const size_t length = key_length(key);
  return std::string_view(indexes_[key].ordered_keys)
      .substr(static_cast<size_t>(id) * length, length);
}

void RecordTable::BuildIndex(size_t key) {
  Index& index = indexes_[key];
  const uint32_t count = record_count();
  index.ordered_keys.clear();
  index.ordered_keys.reserve(static_cast<size_t>(count) * key_length(key));
  for (uint32_t id = 0; id < count; ++id) index.ordered_keys.append(OrderedKey(key, Record(id)));
  index.order.resize(count);
  std::iota(index.order.begin(), index.order.end(), 0u);
  // Stable, so that equal keys stay in id order, which is insertion order.
  std::stable_sort(index.order.begin(), index.order.end(), [&](uint32_t a, uint32_t b) {
    return OrderedKeyOf(key, a) < OrderedKeyOf(key, b);
  });
  index.distinct = 0;
  for (size_t i = 0; i < index.order.size(); ++i) {
    if (i == 0 || OrderedKeyOf(key, index.order[i - 1]) != OrderedKeyOf(key, index.order[i])) {
      ++index.distinct;
    }
  }
}

size_t RecordTable::UpperBound(size_t key, std::string_view ordered) const {
  const std::vector<uint32_t>& order = indexes_[key].order;
  auto it = std::upper_bound(
      order.begin(), order.end(), ordered,
      [&](std::string_view value, uint32_t id) { return value < OrderedKeyOf(key, id); });
  return static_cast<size_t>(it - order.begin());
}

std::optional<size_t> RecordTable::DuplicateKey(std::string_view record) const {
  for (size_t key = 0; key < indexes_.size(); ++key) {
    if (definition_.keys[key].duplicates) continue;
    const std::string ordered = OrderedKey(key, record);
    const size_t after = UpperBound(key, ordered);
    if (after > 0 && OrderedKeyOf(key, indexes_[key].order[after - 1]) == ordered) return key;
  }
  return std::nullopt;
}

uint32_t RecordTable::Append(std::string_view record) {
  const uint32_t id = record_count();
  for (size_t key = 0; key < indexes_.size(); ++key) {
    Index& index = indexes_[key];
    const std::string ordered = OrderedKey(key, record);
    // After every equal key: the newest record comes last among equals.
    const size_t position = UpperBound(key, ordered);
    if (position == 0 || OrderedKeyOf(key, index.order[position - 1]) != ordered) {
      ++index.distinct;
    }
    index.order.insert(index.order.begin() + static_cast<std::ptrdiff_t>(position), id);
    index.ordered_keys.append(ordered);
  }
  records_.append(record);
  return id;
}

size_t RecordTable::LowerBound(size_t key, std::string_view value) const {
  // The ordered form of a bare key value: its segments lie one after the
  // other, so the descending ones are complemented in place.
  const std::string_view bare = value.substr(0, key_length(key));
  std::string complemented;
  std::string_view wanted = bare;
  const std::vector<KeySegment>& segments = definition_.keys[key].segments;
  if (std::any_of(segments.begin(), segments.end(),
                  [](const KeySegment& segment) { return segment.descending; })) {
    complemented.assign(bare);
    size_t at = 0;
    for (const KeySegment& segment : segments) {
      if (segment.descending) {
        for (size_t i = at; i < at + segment.length; ++i) {
          complemented[i] = static_cast<char>(~complemented[i]);
        }
      }
      at += segment.length;
    }
    wanted = complemented;
  }
  const std::vector<uint32_t>& order = indexes_[key].order;
  auto it = std::lower_bound(
      order.begin(), order.end(), wanted,
      [&](uint32_t id, std::string_view target) { return OrderedKeyOf(key, id) < target; });
  return static_cast<size_t>(it - order.begin());
}

bool RecordTable::KeyEquals(size_t key, size_t index, std::string_view value) const {
  const std::string_view record = Record(indexes_[key].order[index]);
  const std::string_view wanted = value.substr(0, key_length(key));
  size_t at = 0;
  for (const KeySegment& segment : definition_.keys[key].segments) {
    if (record.substr(segment.record_offset, segment.length) != wanted.substr(at, segment.length)) {
      return false;
    }
    at += segment.length;
  }
  return at == wanted.size();
}

size_t RecordTable::IndexOf(size_t key, uint32_t id) const {
  const std::vector<uint32_t>& order = indexes_[key].order;
  auto it =
      std::lower_bound(order.begin(), order.end(), id, [&](uint32_t element, uint32_t target) {
        const std::string_view element_key = OrderedKeyOf(key, element);
        const std::string_view target_key = OrderedKeyOf(key, target);
        return element_key < target_key || (element_key == target_key && element < target);
      });
  return static_cast<size_t>(it - order.begin());
}

std::string RecordTable::StatBytes() const {
  std::string bytes(stat_size(), '\0');
  WriteStatBytes(bytes);
  return bytes;
}

void RecordTable::WriteStatBytes(std::span<char> bytes) const {
  std::copy(definition_.bytes.begin(), definition_.bytes.end(), bytes.begin());
  WriteLayoutField(bytes, file_layout::kRecordCount, record_count());
  WriteLayoutField(bytes, file_layout::kUnusedPages, 0);
  for (size_t key = 0; key < definition_.keys.size(); ++key) {
    const KeyDefinition& key_definition = definition_.keys[key];
    for (size_t s = 0; s < key_definition.segments.size(); ++s) {
      WriteLayoutField(
          bytes, SegmentField(key_definition.first_segment + s, segment_layout::kDistinctValues),
          indexes_[key].distinct);
    }
  }
}

}  // namespace torvane
