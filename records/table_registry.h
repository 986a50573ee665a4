// The registry of open tables: 40 slots over the record manager, each with
// the record manager's position block, the caller's record buffer (lent for
// the whole run), the record length and the current key. It opens a table
// (creating a missing file from root + "ddf\" + name + ".xdf"), learns the
// lengths from Stat, serves the keyed and sequential reads, and resets the
// record manager at the end.
//
// A table that cannot be opened is reported to the caller by its status;
// stopping the run and telling the operator are the caller's.
#ifndef TORVANE_RECORDS_TABLE_REGISTRY_H_
#define TORVANE_RECORDS_TABLE_REGISTRY_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/record_manager.h"
#include "platform/record_status.h"

namespace torvane {

constexpr int kTableSlots = 40;
constexpr int kRequestDataSize = 1536;  // data buffer of every request
constexpr int kRequestKeySize = 256;    // key buffer of every request

struct TableSlot {
  int16_t FileNumber = 0;  // 0: slot free
  uint8_t PositionBlock[kPositionBlockSize] = {};
  uint8_t* RecordBuffer = nullptr;
  int BufferRoom = 0;  // bytes the caller's buffer can hold
  int32_t RecordLength = 0;
  int16_t KeyNumber = 0;
  std::string KeyValue;
};

class TableRegistry {
 public:
  TableRegistry(RecordManager& record_manager, FileSystem& fs, Clock& clock,
                std::string root_directory);

  // Slot number holding `file_number`; else minus the highest free slot;
  // else 0.
  int16_t FindTableSlot(int16_t file_number) const;

  // Registers and opens the table. kOk, kAlreadyRegistered or kNoFreeSlot;
  // any other status says the table could not be opened (TableOpenFailed),
  // and nothing is registered. `buffer_room` is the room of
  // `record_buffer`; reads never write past it: the table's RecordLength is
  // the record manager's, cut to the room (and to the 1536-byte data buffer).
  // A path longer than 255 characters is not sent: status 11.
  RecordStatus OpenTable(int16_t file_number, std::string_view path, uint8_t* record_buffer,
                         int buffer_room);

  // Record length and the total length of key `key_number`; both 0 for an
  // unregistered table, key length 0 for a key the table does not have.
  void ReadTableStats(int16_t file_number, int16_t key_number, int16_t* key_length,
                      int16_t* record_length);

  // Reads the record whose key equals `key_text` (direction 0) or the first
  // one greater or equal (direction > 0) into the table's record buffer.
  // 3 for an unregistered table, 1004 for a key it does not have, 1 for a
  // negative direction (not offered); the record manager's 22 becomes 0.
  RecordStatus ReadByKey(int16_t file_number, int16_t key_number, std::string key_text,
                         int16_t direction);
  // Steps one record forward along the current key.
  RecordStatus ReadNext(int16_t file_number);

  // Sends Reset; on success frees every slot, otherwise keeps them.
  RecordStatus CloseAllTables();

  const TableSlot& Slot(int slot_number) const {
    return slots_[static_cast<size_t>(slot_number - 1)];
  }

 private:
  // Slot number of a registered table; 0 when `file_number` is not one.
  int RegisteredSlot(int16_t file_number) const;
  RecordStatus SendOpen(TableSlot& slot, const std::string& table_path);
  RecordStatus SendTableRequest(int slot_number, uint16_t operation);
  RecordStatus CreateFromDefinition(TableSlot& slot, std::string_view name,
                                    const std::string& table_path);

  RecordManager& record_manager_;
  FileSystem& fs_;
  Clock& clock_;
  std::string root_directory_;
  std::array<TableSlot, kTableSlots> slots_;
  uint8_t spare_position_block_[kPositionBlockSize] = {};
};

// True for an OpenTable status that says the table could not be opened.
inline bool TableOpenFailed(RecordStatus status) {
  return status != RecordStatus::kOk && status != RecordStatus::kAlreadyRegistered &&
         status != RecordStatus::kNoFreeSlot;
}

}  // namespace torvane

#endif  // TORVANE_RECORDS_TABLE_REGISTRY_H_
