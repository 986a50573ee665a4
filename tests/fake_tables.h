// An in-memory record manager for tests of everything that reads tables
// through the real TableRegistry: each table is a list of fixed-length
// records kept sorted on key 0, its first key_length bytes (byte-wise,
// unsigned). It answers Open, Stat, Get Equal, Get Greater or Equal, Get
// Next, Close and Reset with the published buffer layouts: Get Equal on a
// missing key answers 4, a Get past the last record 9, a Get Next without a
// position 8, and a record longer than the data length is cut with 22. A
// test can make chosen records answer another status (a locked record) and
// reads every request afterwards.
//
// FakeRunTables puts the registry on top of it with the run's record
// buffers, and RecordingInvoiceOutput keeps the receipts a run issues instead
// of writing XML.
//
// The record builders at the end make records of the four read tables.
//
// Everything is inline so that each test file can include it without a
// library of its own.
#ifndef TORVANE_TESTS_FAKE_TABLES_H_
#define TORVANE_TESTS_FAKE_TABLES_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/packed_digits.h"
#include "driver/unit_invoicing.h"
#include "platform/memory_file_system.h"
#include "platform/record_manager.h"
#include "records/concept_layout.h"
#include "records/estate_layout.h"
#include "records/owner_layout.h"
#include "records/table_registry.h"
#include "records/tables.h"
#include "records/unit_layout.h"
#include "tests/test_support.h"

namespace torvane::testing {

struct FakeTable {
  std::string name;  // name part of the path: "PropietV" for "DADES\PropietV.dat"
  int record_length = 0;
  int key_length = 0;                           // key 0, one segment
  std::vector<std::string> records;             // sorted on key 0
  std::map<std::string, int16_t> failing_keys;  // key -> status answered instead

  std::string KeyOf(const std::string& record) const {
    return record.substr(0, static_cast<size_t>(key_length));
  }
};

class FakeRecordManager : public RecordManager {
 public:
  struct Request {
    uint16_t operation;
    std::string table;  // empty for a request with no open table
    std::string key;    // the key bytes sent (key length of the request)
  };

  void AddTable(std::string name, int record_length, int key_length) {
    tables_.push_back(FakeTable{std::move(name), record_length, key_length, {}, {}});
  }

  // Inserts `record` (padded with zero bytes or cut to the record length;
  // pass `stored_length` to keep a longer record) in key order, replacing a
  // record with the same key.
  void PutRecord(std::string_view table_name, std::string record, int stored_length = 0) {
    FakeTable& table = *Find(table_name);
    record.resize(static_cast<size_t>(stored_length > 0 ? stored_length : table.record_length),
                  '\0');
    const std::string key = table.KeyOf(record);
    auto it = std::lower_bound(
        table.records.begin(), table.records.end(), key,
        [&](const std::string& r, const std::string& k) { return table.KeyOf(r) < k; });
    if (it != table.records.end() && table.KeyOf(*it) == key) {
      *it = std::move(record);
    } else {
      table.records.insert(it, std::move(record));
    }
  }

  // A read that would deliver the record with `key` answers `status` instead.
  void FailKey(std::string_view table_name, std::string key, int16_t status) {
    Find(table_name)->failing_keys[std::move(key)] = status;
  }

  // Requests of one operation on one table, in order.
  std::vector<std::string> KeysSent(uint16_t operation, std::string_view table_name) const {
    std::vector<std::string> keys;
    for (const Request& r : requests) {
      if (r.operation == operation && r.table == table_name) keys.push_back(r.key);
    }
    return keys;
  }

  int16_t Call(uint16_t operation, void* position_block, void* data_buffer, uint32_t* data_length,
               void* key_buffer, uint8_t key_length, int8_t /*key_number*/) override {
    auto* block = static_cast<uint8_t*>(position_block);
    auto* key = static_cast<uint8_t*>(key_buffer);
    FakeTable* table = OpenTableOf(block);
    requests.push_back(Request{operation, table != nullptr ? table->name : std::string(),
                               std::string(reinterpret_cast<const char*>(key), key_length)});
    switch (operation) {
      case kOpOpen:
        return Open(block, key, key_length);
      case kOpClose:
      case kOpReset:
        return 0;
      case kOpStat:
        if (table == nullptr) return 3;
        return Stat(*table, static_cast<uint8_t*>(data_buffer), data_length);
      case kOpGetEqual:
      case kOpGetGreaterOrEqual:
      case kOpGetNext:
        if (table == nullptr) return 3;
        return Get(operation, *table, block, static_cast<uint8_t*>(data_buffer), data_length, key,
                   key_length);
      default:
        return 1;
    }
  }

  std::vector<Request> requests;

 private:
  // Position block: byte 0 = 1 when open, bytes 1-2 the table index, byte 3
  // = 1 when positioned, bytes 4-7 the record index.
  static constexpr uint8_t kOpenMark = 1;

  FakeTable* Find(std::string_view name) {
    for (FakeTable& table : tables_) {
      if (table.name == name) return &table;
    }
    return nullptr;
  }

  FakeTable* OpenTableOf(const uint8_t* block) {
    if (block == nullptr || block[0] != kOpenMark) return nullptr;
    const size_t index = static_cast<size_t>(block[1] | (block[2] << 8));
    return index < tables_.size() ? &tables_[index] : nullptr;
  }

  static int32_t Position(const uint8_t* block) {
    int32_t position = 0;
    std::memcpy(&position, block + 4, sizeof position);
    return position;
  }
  static void SetPosition(uint8_t* block, int32_t position) {
    block[3] = 1;
    std::memcpy(block + 4, &position, sizeof position);
  }

  int16_t Open(uint8_t* block, const uint8_t* key, uint8_t key_length) {
    std::string path(reinterpret_cast<const char*>(key), key_length);
    path = path.substr(0, path.find('\0'));
    const size_t slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    for (size_t i = 0; i < tables_.size(); ++i) {
      if (tables_[i].name != name) continue;
      block[0] = kOpenMark;
      block[1] = static_cast<uint8_t>(i & 0xFF);
      block[2] = static_cast<uint8_t>(i >> 8);
      block[3] = 0;
      return 0;
    }
    return 12;
  }

  static int16_t Stat(const FakeTable& table, uint8_t* data, uint32_t* data_length) {
    std::memset(data, 0, 32);
    PutInt16(data, 0, static_cast<int16_t>(table.record_length));
    PutInt16(data, 4, 1);                                            // one key
    PutInt16(data, 16 + 2, static_cast<int16_t>(table.key_length));  // its one segment
    *data_length = 32;
    return 0;
  }

  int16_t Get(uint16_t operation, FakeTable& table, uint8_t* block, uint8_t* data,
              uint32_t* data_length, uint8_t* key, uint8_t key_length) {
    const auto& records = table.records;
    int32_t found = -1;
    if (operation == kOpGetNext) {
      if (block[3] == 0) return 8;
      found = Position(block) + 1;
      if (found >= static_cast<int32_t>(records.size())) return 9;
    } else {
      std::string wanted(reinterpret_cast<const char*>(key),
                         std::min<size_t>(key_length, static_cast<size_t>(table.key_length)));
      wanted.resize(static_cast<size_t>(table.key_length), '\0');
      for (size_t i = 0; i < records.size() && found < 0; ++i) {
        const std::string record_key = table.KeyOf(records[i]);
        if (operation == kOpGetEqual ? record_key == wanted : record_key >= wanted) {
          found = static_cast<int32_t>(i);
        }
      }
      if (found < 0) return operation == kOpGetEqual ? 4 : 9;
    }
    const std::string& record = records[static_cast<size_t>(found)];
    auto failing = table.failing_keys.find(table.KeyOf(record));
    if (failing != table.failing_keys.end()) return failing->second;

    SetPosition(block, found);
    const size_t room = *data_length;
    const size_t delivered = std::min(room, record.size());
    std::memcpy(data, record.data(), delivered);
    *data_length = static_cast<uint32_t>(delivered);
    std::memcpy(key, record.data(), static_cast<size_t>(table.key_length));
    return delivered < record.size() ? 22 : 0;
  }

  std::vector<FakeTable> tables_;
};

// The six run tables over the fake record manager, opened through the real
// registry, with zero-filled record buffers of the run's sizes.
class FakeRunTables {
 public:
  FakeRunTables() : registry(manager, files, clock, "") {
    manager.AddTable("TVRebut", concept_record::kRecordLength, 1);
    manager.AddTable("TRemeses", kRemittanceRecordLength, 4);
    manager.AddTable("PropietV", owner::kRecordLength, 2);
    manager.AddTable("FinquesV", estate::kRecordLength, 2);
    manager.AddTable("DepartaV", unit::kRecordLength, 4);
    manager.AddTable("CobramV", kCollectionRecordLength, 4);
    for (const TableInfo& info : kRunTables) {
      (void)registry.OpenTable(info.file_number, "DADES\\" + std::string(info.name),
                               Buffer(info.file_number), info.buffer_room);
    }
    manager.requests.clear();
  }

  RunRecordBuffers buffers() {
    return RunRecordBuffers{concept_buffer.data(), owner_buffer.data(), estate_buffer.data(),
                            unit_buffer.data()};
  }

  FakeRecordManager manager;
  MemoryFileSystem files;
  FakeClock clock;
  TableRegistry registry;
  std::array<uint8_t, concept_record::kBufferRoom> concept_buffer = {};
  std::array<uint8_t, kRemittanceBufferRoom> remittance_buffer = {};
  std::array<uint8_t, owner::kBufferRoom> owner_buffer = {};
  std::array<uint8_t, estate::kBufferRoom> estate_buffer = {};
  std::array<uint8_t, unit::kBufferRoom> unit_buffer = {};
  std::array<uint8_t, kCollectionBufferRoom> collection_buffer = {};

 private:
  uint8_t* Buffer(int16_t file_number) {
    switch (file_number) {
      case kConceptsTable:
        return concept_buffer.data();
      case kRemittancesTable:
        return remittance_buffer.data();
      case kOwnersTable:
        return owner_buffer.data();
      case kEstatesTable:
        return estate_buffer.data();
      case kUnitsTable:
        return unit_buffer.data();
      default:
        return collection_buffer.data();
    }
  }
};

// Keeps every receipt issued; answers written and listed unless told
// otherwise. The file name is "INVOICE<n>.xml", n counting from 1.
class RecordingInvoiceOutput : public InvoiceOutput {
 public:
  InvoiceOutcome Issue(const Receipt& receipt) override {
    receipts.push_back(receipt);
    InvoiceOutcome outcome;
    outcome.file_name = "INVOICE" + std::to_string(receipts.size()) + ".xml";
    outcome.written = written;
    outcome.listed = listed;
    return outcome;
  }

  std::vector<Receipt> receipts;
  bool written = true;
  bool listed = true;
};

// Records of the four read tables, built field by field. Bytes that no
// field names are zero; texts are padded with blanks.
struct UnitFields {
  int estate = 12;
  int number = 3;
  int16_t period_months = 1;
  char timing = ' ';
  char series = 'A';
  uint8_t remittance_high = 0x80;
  uint8_t remittance_low = 0x81;  // remittance 0001
  bool premises = false;
  bool withholding = false;
  std::array<int32_t, 10> fixed = {};
  std::array<std::pair<int16_t, int32_t>, 3> extra = {};  // code, amount
  int16_t instalment_code = 0;
  int16_t instalment_count = 0;
  int32_t instalment_amount = 0;
  std::string door = "1r 2a";
  std::string street;  // the unit's own address
  std::string post_code_town;
  std::string province;
};

inline std::string PackedNumber(int number, int digits) {
  return PackDigits(ZeroPad(number, digits));
}

inline std::string UnitRecord(const UnitFields& fields) {
  std::string record(unit::kRecordLength, '\0');
  auto* data = reinterpret_cast<uint8_t*>(record.data());
  PutBytes(data, unit::kUnitKey, PackedNumber(fields.estate, 4) + PackedNumber(fields.number, 4));
  PutBytes(data, unit::kTenantName, "TENANT*TEST");
  PutBytes(data, unit::kUnitDoor, fields.door);
  PutBytes(data, unit::kUnitStreet, fields.street);
  PutBytes(data, unit::kUnitPostCodeTown, fields.post_code_town);
  PutBytes(data, unit::kUnitProvince, fields.province);
  PutBytes(data, unit::kPremisesFlag, fields.premises ? "S" : "N");
  data[unit::kRemittanceNumberHigh.offset()] = fields.remittance_high;
  PutBytes(data, unit::kReceiptSeries, std::string(1, fields.series));
  data[unit::kRemittanceNumberLow.offset()] = fields.remittance_low;
  PutInt16(data, unit::kBillingPeriodMonths.offset(), fields.period_months);
  size_t position = unit::kFixedConceptAmounts.offset();
  for (int32_t amount : fields.fixed) {
    PutInt32(data, position, amount);
    position += unit::kFixedAmountLength;
  }
  for (const auto& [code, amount] : fields.extra) {
    PutInt16(data, position, code);
    PutInt32(data, position + unit::kExtraCodeLength, amount);
    position += unit::kExtraConceptLength;
  }
  PutInt16(data, position, fields.instalment_code);
  PutInt16(data, position + 2, fields.instalment_count);
  PutInt32(data, position + 4, fields.instalment_amount);
  PutBytes(data, unit::kWithholdingFlag, fields.withholding ? "S" : "N");
  PutBytes(data, unit::kBillingTiming, std::string(1, fields.timing));
  PutBytes(data, unit::kTenantTaxNumber, "ES12345678Z");
  PutBytes(data, unit::kTenantIban, "ES9121000418450200051332");
  return record;
}

struct EstateEntry {
  int estate;
  int16_t vat_class;
};

// Unused list entries hold `filler` bytes.
inline std::string OwnerRecord(int code, int last_invoice, const std::vector<EstateEntry>& estates,
                               std::string_view tax_number = "ES12345678Z", char filler = '\0') {
  std::string record(owner::kRecordLength, '\0');
  auto* data = reinterpret_cast<uint8_t*>(record.data());
  PutBytes(data, owner::kOwnerCode, PackedNumber(code, 4));
  PutBytes(data, owner::kOwnerName, "OWNER*TEST");
  PutBytes(data, owner::kLastInvoiceNumber, PackedNumber(last_invoice, 8));
  PutBytes(data, owner::kEstateList, "", filler);
  for (size_t i = 0; i < estates.size(); ++i) {
    const size_t offset = owner::EstateEntryOffset(static_cast<int>(i));
    const std::string code_bytes = PackedNumber(estates[i].estate, 4);
    std::memcpy(data + offset, code_bytes.data(), code_bytes.size());
    PutInt16(data, offset + owner::kEstateEntryCodeLength, estates[i].vat_class);
  }
  PutBytes(data, owner::kOwnerTaxNumber, tax_number);
  return record;
}

inline std::string EstateRecord(int code, std::string_view street = "MAJOR*C.",
                                std::string_view post_code_town = "08001 BARCELONA",
                                std::string_view province = "BARCELONA", char address_mode = ' ') {
  std::string record(estate::kRecordLength, '\0');
  auto* data = reinterpret_cast<uint8_t*>(record.data());
  PutBytes(data, estate::kEstateCode, PackedNumber(code, 4));
  PutBytes(data, estate::kEstateStreet, street);
  PutBytes(data, estate::kEstatePostCodeTown, post_code_town);
  PutBytes(data, estate::kEstateProvince, province);
  PutBytes(data, estate::kUnitAddressMode, std::string(1, address_mode));
  return record;
}

inline std::string ConceptRecord(uint8_t key, std::string_view name, bool vat, bool withholding) {
  std::string record(concept_record::kRecordLength, '\0');
  auto* data = reinterpret_cast<uint8_t*>(record.data());
  data[0] = key;
  PutBytes(data, concept_record::kConceptName, name);
  PutBytes(data, concept_record::kVatApplies, vat ? "S" : "N");
  PutBytes(data, concept_record::kWithholdingApplies, withholding ? "S" : "N");
  return record;
}

}  // namespace torvane::testing

#endif  // TORVANE_TESTS_FAKE_TABLES_H_
