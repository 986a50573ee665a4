// Helpers over the FileSystem interface, the same on every platform.
#include "platform/file_system.h"

namespace torvane {

std::optional<std::string> ReadWholeFile(FileSystem& fs, std::string_view path) {
  auto file = fs.Open(path, FileAccess::kRead, FileSharing::kShareAll, FileCreation::kOpenExisting);
  if (!file) return std::nullopt;
  std::string data;
  char chunk[16384];
  while (true) {
    const size_t n = file->Read(chunk, sizeof chunk);
    if (n == 0) break;
    data.append(chunk, n);
  }
  return data;
}

}  // namespace torvane
