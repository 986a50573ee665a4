#include "tests/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace torvane::testing {

// A random name, created only when it is new (create_directory answers
// false for one that exists), so parallel tests never share a folder.
ScopedTempDir::ScopedTempDir() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) std::abort();
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "torvane-test-%012llx",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    const std::filesystem::path candidate = base / name;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate.string() + "/";
      return;
    }
  }
  std::abort();
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadNativeFile(const std::string& native_path) {
  std::ifstream in(native_path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteNativeFile(const std::string& native_path, std::string_view bytes) {
  std::filesystem::path p(native_path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(native_path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool NativeFileExists(const std::string& native_path) {
  return std::filesystem::exists(native_path);
}

}  // namespace torvane::testing
