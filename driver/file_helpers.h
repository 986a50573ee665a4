// Small file-system operations of the run driver, built on the FileSystem
// interface with the suite's "\" paths: the existence test of an ordinary
// file, folder creation along a whole path, deletion of a file or of a
// folder with its files, and the drawing of a file name not yet taken.
// None of them reports an error beyond its result.
#ifndef TORVANE_DRIVER_FILE_HELPERS_H_
#define TORVANE_DRIVER_FILE_HELPERS_H_

#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/random.h"

namespace torvane {

// True when the first directory entry matching `path` is an ordinary file
// the program may use: none of read-only, hidden and system is set, and the
// entry has the archive attribute or none of folder, archive and volume
// label. A read-only file and a folder therefore count as absent.
bool FileExists(FileSystem& fs, std::string_view path);

// Creates the folder `path` and every missing folder above it, after any
// drive letter and ":"; folders that exist already and failures are passed
// over. Trailing blanks of the path are ignored.
void MakeFolderPath(FileSystem& fs, std::string_view path);

// Deletes the file `path`; when that fails, deletes the files directly
// inside a folder of that name and then the folder. Returns whether the last
// step tried succeeded. An empty path deletes nothing.
bool DeleteFileOrFolder(FileSystem& fs, std::string_view path);

// A path in `folder` that FileExists does not report: the folder (trimmed;
// "\" added unless it ends in ":", "\" or "/"), at most three characters of
// the prefix, random characters from 0-9 and A-Z up to eight name
// characters, and "." with up to three characters of the extension unless
// that is empty. The generator is seeded from the time of day before every
// draw, so a name that is taken comes back until the clock moves on; the
// draw waits for the clock in that case. Returns the empty text when no free
// name was found within a very generous number of draws.
std::string UniqueFileName(FileSystem& fs, Clock& clock, RandomGenerator& random,
                           std::string_view folder, std::string_view prefix,
                           std::string_view extension);

}  // namespace torvane

#endif  // TORVANE_DRIVER_FILE_HELPERS_H_
