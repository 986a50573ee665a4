// File helpers of the run driver over the FileSystem interface. Paths are
// the suite's, with "\" separators; the platform layer maps them.
#include "driver/file_helpers.h"

#include <cstdint>
#include <vector>

#include "base/suite_path.h"
#include "base/text_lines.h"

namespace torvane {
namespace {

constexpr char kNameCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kNameCharacterCount = sizeof kNameCharacters - 1;
constexpr size_t kNameLength = 8;
constexpr size_t kMaxPrefixLength = 3;
constexpr size_t kMaxExtensionLength = 3;

// Bounds that only a broken clock or a folder flooded with names can reach:
// draws of a name in all, and consecutive waits for a clock that has not
// moved (each of kClockWaitMilliseconds, about ten seconds together).
constexpr int kMaxNameDraws = 10000;
constexpr int kMaxClockWaits = 1000;
constexpr int kClockWaitMilliseconds = 10;

std::string DrawName(RandomGenerator& random, uint32_t seed, std::string_view folder,
                     std::string_view prefix, std::string_view extension) {
  random.Seed(seed);
  std::string path(folder);
  path += prefix;
  for (size_t i = prefix.size(); i < kNameLength; ++i) {
    path.push_back(kNameCharacters[random.Below(kNameCharacterCount)]);
  }
  if (!extension.empty()) {
    path.push_back('.');
    path += extension.substr(0, kMaxExtensionLength);
  }
  return path;
}

}  // namespace

bool FileExists(FileSystem& fs, std::string_view path) {
  const std::vector<DirectoryEntry> entries = fs.Find(path);
  if (entries.empty()) return false;
  const uint32_t attributes = entries.front().attributes;
  if (attributes & (kAttributeReadOnly | kAttributeHidden | kAttributeSystem)) return false;
  return (attributes & kAttributeArchive) != 0 ||
         (attributes & (kAttributeFolder | kAttributeArchive | kAttributeVolumeLabel)) == 0;
}

void MakeFolderPath(FileSystem& fs, std::string_view path) {
  const size_t start = HasDriveLetter(path) ? 2 : 0;
  const size_t last = path.find_last_not_of(' ');
  if (last == std::string_view::npos || last < start) return;
  const size_t end = last + 1;
  // Each folder along the way, then the whole path; a separator right at the
  // start names no folder of its own.
  for (size_t i = start + 1; i < end; ++i) {
    if (IsPathSeparator(path[i]) && !IsPathSeparator(path[i - 1])) {
      fs.CreateFolder(path.substr(0, i));
    }
  }
  fs.CreateFolder(path.substr(0, end));
}

bool DeleteFileOrFolder(FileSystem& fs, std::string_view path) {
  // An empty path would turn the folder step into "\*.*", the top folder.
  if (path.empty()) return false;
  if (fs.RemoveFile(path)) return true;
  const std::string folder(path);
  bool files_deleted = true;
  for (const DirectoryEntry& entry : fs.Find(folder + kPathSeparator + "*.*")) {
    if (entry.attributes & kAttributeFolder) continue;
    if (!fs.RemoveFile(folder + kPathSeparator + entry.name)) files_deleted = false;
  }
  if (!files_deleted) return false;
  return fs.RemoveFolder(folder);
}

std::string UniqueFileName(FileSystem& fs, Clock& clock, RandomGenerator& random,
                           std::string_view folder, std::string_view prefix,
                           std::string_view extension) {
  // An empty folder stays empty and names the current directory.
  const std::string clean_folder = WithTrailingSeparator(std::string(TrimBlanks(folder)));
  const std::string_view clean_prefix = TrimBlanks(prefix.substr(0, kMaxPrefixLength));
  std::string_view clean_extension = TrimBlanks(extension);
  if (!clean_extension.empty() && clean_extension.front() == '.') clean_extension.remove_prefix(1);

  // The name depends on the seed alone, so a seed that has not changed since
  // a taken name would only bring that name back: wait for the clock instead.
  bool have_seed = false;
  uint32_t last_seed = 0;
  for (int draw = 0; draw < kMaxNameDraws; ++draw) {
    uint32_t seed = static_cast<uint32_t>(clock.HundredthsOfDay());
    for (int wait = 0; have_seed && seed == last_seed; ++wait) {
      if (wait == kMaxClockWaits) return {};
      clock.SleepMilliseconds(kClockWaitMilliseconds);
      seed = static_cast<uint32_t>(clock.HundredthsOfDay());
    }
    have_seed = true;
    last_seed = seed;
    std::string path = DrawName(random, seed, clean_folder, clean_prefix, clean_extension);
    if (!FileExists(fs, path)) return path;
  }
  return {};
}

}  // namespace torvane
