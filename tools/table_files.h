// Making and reading the suite's table files through the record manager
// entry, as kavdata does it.
//
// WriteTables makes all six tables of an installation at once: the tables
// and their definition files are first made complete in a staging folder
// inside the root (KAVDATA.NEW), and only then moved into the root's DADES
// and ddf folders, each existing file set aside until every new one is in
// place. So a description with an error, a record manager that refuses a
// request or a root that cannot be written leaves the existing tables as
// they were.
#ifndef TORVANE_TOOLS_TABLE_FILES_H_
#define TORVANE_TOOLS_TABLE_FILES_H_

#include <functional>
#include <string>
#include <string_view>

#include "base/suite_path.h"
#include "platform/file_system.h"
#include "platform/record_manager.h"
#include "tools/table_catalogue.h"
#include "tools/table_description.h"

namespace torvane::kavdata {

// The services kavdata works through; tests hand in their own.
struct Services {
  FileSystem& files;
  RecordManager& records;
};

// True when a folder stands at `path`; true when anything does.
bool IsFolder(FileSystem& fs, std::string_view path);
bool PathExists(FileSystem& fs, std::string_view path);

// The table file of `schema` under an installation's root: root\DADES\<name>.dat.
std::string TableFilePath(std::string_view root, const TableSchema& schema);

// Creates the folder when it is missing. False when it cannot be made or a
// file stands in its place.
bool EnsureFolder(FileSystem& fs, std::string_view path);

// Creates or empties the file and writes `bytes` into it.
bool WriteWholeFile(FileSystem& fs, std::string_view path, std::string_view bytes);

// Writes root\ddf\<name>.xdf and root\DADES\<name>.dat for the six tables,
// protected by `owner` (four digits). Creates the root folder (one level)
// when it is missing.
bool WriteTables(Services& services, std::string_view root, std::string_view owner,
                 const TableSet& tables, std::string* error);

// Reads every record of the table file at `path` in key 0 order and hands it
// to `on_record`. The file's record length must be the schema's.
bool ReadTable(Services& services, std::string_view path, std::string_view owner,
               const TableSchema& schema, const std::function<void(std::string_view)>& on_record,
               std::string* error);

// The table a file name stands for: its last component up to the first dot,
// matched ignoring letter case ("DADES\propietv.dat" is PropietV); or null.
const TableSchema* TableOfFileName(std::string_view path);

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_TABLE_FILES_H_
