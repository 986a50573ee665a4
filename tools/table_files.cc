// Table files: staging, moving into place, reading back.
#include "tools/table_files.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "base/suite_path.h"
#include "tools/record_file.h"

namespace torvane::kavdata {
namespace {

constexpr std::string_view kStagingFolder = "KAVDATA.NEW";
constexpr std::string_view kSetAsideFolder = "OLD";
constexpr std::string_view kTablesFolder = "DADES";
constexpr std::string_view kDefinitionsFolder = "ddf";

// The attributes of the entry at `path`; false when there is none.
bool EntryAt(FileSystem& fs, std::string_view path, uint32_t* attributes) {
  const std::vector<DirectoryEntry> entries = fs.Find(path);
  if (entries.empty()) return false;
  *attributes = entries.front().attributes;
  return true;
}

bool FileExistsAt(FileSystem& fs, std::string_view path) {
  uint32_t attributes = 0;
  return EntryAt(fs, path, &attributes) && (attributes & kAttributeFolder) == 0;
}

// Removes the files of a folder and then the folder; only one level deep,
// which is all the staging folder ever holds besides its set-aside folder.
void RemoveFolderWithFiles(FileSystem& fs, std::string_view folder) {
  for (const DirectoryEntry& entry : fs.Find(JoinPath(folder, "*"))) {
    if ((entry.attributes & kAttributeFolder) == 0)
      (void)fs.RemoveFile(JoinPath(folder, entry.name));
  }
  (void)fs.RemoveFolder(folder);
}

void RemoveStaging(FileSystem& fs, const std::string& staging) {
  RemoveFolderWithFiles(fs, JoinPath(staging, kSetAsideFolder));
  RemoveFolderWithFiles(fs, staging);
}

// Makes one table file complete: Create, Open, Set Owner, the inserts, Close.
bool MakeTableFile(Services& services, const std::string& path, std::string_view owner,
                   const TableSchema& schema, const std::vector<std::string>& records,
                   std::string* error) {
  RecordFile file(services.records);
  auto fail = [&](const std::string& what, RecordStatus status) {
    *error = "table " + std::string(schema.name) + ": " + what + " " + path + " failed with " +
             DescribeStatus(status);
    return false;
  };
  RecordStatus status = file.Create(path, CreateDefinition(schema));
  if (status != RecordStatus::kOk) return fail("creating", status);
  status = file.Open(path, owner, kOpenNormal);
  if (status != RecordStatus::kOk) return fail("opening", status);
  status = file.SetOwner(owner);
  if (status != RecordStatus::kOk) return fail("setting the owner name of", status);
  // Inserted in key order, so that each one lands at the end of the index;
  // equal keys keep the description's order.
  std::vector<size_t> order(records.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return schema.KeyOf(records[a]) < schema.KeyOf(records[b]);
  });
  for (size_t i : order) {
    status = file.Insert(records[i]);
    if (status != RecordStatus::kOk) {
      *error = "table " + std::string(schema.name) + ", record " + std::to_string(i + 1) +
               ": the record manager refused the insert with " + DescribeStatus(status);
      return false;
    }
  }
  status = file.Close();
  if (status != RecordStatus::kOk) return fail("closing", status);
  return true;
}

// One file to move from the staging folder into the installation.
struct Move {
  std::string staged;
  std::string target;
  std::string set_aside;  // where the file it replaces waits
  bool replaced = false;
  bool moved = false;
};

// Puts every staged file in place; on a failure puts everything back.
bool MoveIntoPlace(FileSystem& fs, std::vector<Move>& moves, std::string* error) {
  for (Move& move : moves) {
    if (FileExistsAt(fs, move.target)) {
      if (!fs.Rename(move.target, move.set_aside)) {
        *error = "cannot replace " + move.target;
        break;
      }
      move.replaced = true;
    }
    if (!fs.Rename(move.staged, move.target)) {
      *error = "cannot move the new table file into " + move.target;
      break;
    }
    move.moved = true;
  }
  if (error->empty()) return true;
  for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
    if (it->moved) (void)fs.Rename(it->target, it->staged);
    if (it->replaced) (void)fs.Rename(it->set_aside, it->target);
  }
  return false;
}

}  // namespace

bool IsFolder(FileSystem& fs, std::string_view path) {
  uint32_t attributes = 0;
  return EntryAt(fs, path, &attributes) && (attributes & kAttributeFolder) != 0;
}

bool PathExists(FileSystem& fs, std::string_view path) {
  uint32_t attributes = 0;
  return EntryAt(fs, path, &attributes);
}

std::string TableFilePath(std::string_view root, const TableSchema& schema) {
  return JoinPath(JoinPath(root, kTablesFolder), std::string(schema.name) + ".dat");
}

bool WriteWholeFile(FileSystem& fs, std::string_view path, std::string_view bytes) {
  auto file =
      fs.Open(path, FileAccess::kWrite, FileSharing::kExclusive, FileCreation::kCreateOrTruncate);
  if (!file) return false;
  const bool written = file->Write(bytes);
  return file->Close() && written;
}

bool EnsureFolder(FileSystem& fs, std::string_view path) {
  uint32_t attributes = 0;
  if (EntryAt(fs, path, &attributes)) return (attributes & kAttributeFolder) != 0;
  return fs.CreateFolder(path);
}

bool WriteTables(Services& services, std::string_view root, std::string_view owner,
                 const TableSet& tables, std::string* error) {
  FileSystem& fs = services.files;
  const std::string tables_folder = JoinPath(root, kTablesFolder);
  const std::string definitions_folder = JoinPath(root, kDefinitionsFolder);
  for (const std::string& folder : {std::string(root), tables_folder, definitions_folder}) {
    if (!EnsureFolder(fs, folder)) {
      *error = "cannot make the folder " + folder;
      return false;
    }
  }
  const std::string staging = JoinPath(root, kStagingFolder);
  RemoveStaging(fs, staging);  // what an interrupted run may have left
  const std::string set_aside = JoinPath(staging, kSetAsideFolder);
  if (!fs.CreateFolder(staging) || !fs.CreateFolder(set_aside)) {
    RemoveStaging(fs, staging);
    *error = "cannot write in " + std::string(root);
    return false;
  }

  std::vector<Move> moves;
  for (const TableSchema& schema : AllTables()) {
    const std::string name(schema.name);
    const std::string definition = JoinPath(staging, name + ".xdf");
    const std::string table = JoinPath(staging, name + ".dat");
    if (!WriteWholeFile(fs, definition, DefinitionFileBytes(schema))) {
      *error = "cannot write " + definition;
      RemoveStaging(fs, staging);
      return false;
    }
    const auto& records = tables.records[static_cast<size_t>(TableIndex(schema))];
    if (!MakeTableFile(services, table, owner, schema, records, error)) {
      RemoveStaging(fs, staging);
      return false;
    }
    moves.push_back({definition, JoinPath(definitions_folder, name + ".xdf"),
                     JoinPath(set_aside, name + ".xdf"), false, false});
    moves.push_back(
        {table, TableFilePath(root, schema), JoinPath(set_aside, name + ".dat"), false, false});
  }
  const bool moved = MoveIntoPlace(fs, moves, error);
  RemoveStaging(fs, staging);
  return moved;
}

bool ReadTable(Services& services, std::string_view path, std::string_view owner,
               const TableSchema& schema, const std::function<void(std::string_view)>& on_record,
               std::string* error) {
  RecordFile file(services.records);
  RecordStatus status = file.Open(path, owner, kOpenReadOnly);
  if (status != RecordStatus::kOk) {
    *error = "cannot open " + std::string(path) + ": " + DescribeStatus(status);
    return false;
  }
  int record_length = 0;
  uint32_t record_count = 0;
  status = file.Stat(&record_length, &record_count);
  if (status != RecordStatus::kOk) {
    *error = "cannot read the statistics of " + std::string(path) + ": " + DescribeStatus(status);
    return false;
  }
  if (record_length != schema.record_length) {
    *error = std::string(path) + " holds records of " + std::to_string(record_length) +
             " bytes; a " + std::string(schema.name) + " record has " +
             std::to_string(schema.record_length);
    return false;
  }
  std::string record;
  size_t number = 0;
  for (status = file.GetFirst(&record); status == RecordStatus::kOk;
       status = file.GetNext(&record)) {
    ++number;
    if (record.size() != static_cast<size_t>(schema.record_length)) {
      *error = std::string(path) + ": record " + std::to_string(number) + " has " +
               std::to_string(record.size()) + " bytes instead of " +
               std::to_string(schema.record_length);
      return false;
    }
    on_record(record);
  }
  if (status != RecordStatus::kEndOfFile) {
    *error = "reading " + std::string(path) + " after record " + std::to_string(number) +
             " failed with " + DescribeStatus(status);
    return false;
  }
  return true;
}

const TableSchema* TableOfFileName(std::string_view path) {
  return FindTableIgnoringCase(SplitPath(path).name);
}

}  // namespace torvane::kavdata
