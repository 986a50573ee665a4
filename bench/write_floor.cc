// The benchmark's floor: the least work that makes the same invoice files.
//   write_floor pack TREE PACK
//     keeps the folder TREE, its folders and its files, in tree order, in the
//     single file PACK (paths relative to TREE's parent, so TREE's own name
//     comes first).
//   write_floor write PACK DEST
//     makes the folder DEST, which must not exist, loads PACK into memory and
//     then, timed, recreates the tree inside DEST: each folder once with one
//     mkdir, parents before children (a folder, then its files, then its
//     folders), and each file with one open(O_CREAT|O_EXCL|O_WRONLY), one write
//     and one close. Nothing else is called while timed, so under strace the
//     only other calls are the process start and the load of PACK.
//     Prints "floor_seconds=S files=N folders=M user_us=U sys_us=K", the CPU
//     times being those of the timed part.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[] = "torvane-floor-pack 1\n";

// Appends one entry: its kind ('D' folder, 'F' file), its relative path and,
// for a file, its bytes. Lengths are 8-byte integers in the machine's own byte
// order: a pack is only read back on the machine that made it.
void PutEntry(std::string& pack, char kind, const std::string& path, const std::string& bytes) {
  auto put_size = [&pack](std::uint64_t size) {
    pack.append(reinterpret_cast<const char*>(&size), sizeof size);
  };
  pack.push_back(kind);
  put_size(path.size());
  pack += path;
  if (kind == 'F') {
    put_size(bytes.size());
    pack += bytes;
  }
}

bool ReadWhole(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Adds FOLDER (named RELATIVE in the pack), then its files, then each of its
// folders the same way; entries of a folder are taken in name order so that
// the same tree always gives the same pack.
bool PackFolder(const fs::path& folder, const std::string& relative, std::string& pack) {
  PutEntry(pack, 'D', relative, {});
  std::vector<fs::directory_entry> files, folders;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.is_directory()) {
      folders.push_back(entry);
    } else if (entry.is_regular_file()) {
      files.push_back(entry);
    } else {
      std::fprintf(stderr, "write_floor: skipping %s (neither file nor folder)\n",
                   entry.path().c_str());
    }
  }
  if (error) {
    std::fprintf(stderr, "write_floor: %s: %s\n", folder.c_str(), error.message().c_str());
    return false;
  }
  auto by_name = [](const fs::directory_entry& a, const fs::directory_entry& b) {
    return a.path().filename() < b.path().filename();
  };
  std::sort(files.begin(), files.end(), by_name);
  std::sort(folders.begin(), folders.end(), by_name);
  std::string bytes;
  for (const auto& file : files) {
    if (!ReadWhole(file.path(), bytes)) {
      std::perror(file.path().c_str());
      return false;
    }
    PutEntry(pack, 'F', relative + "/" + file.path().filename().string(), bytes);
  }
  for (const auto& child : folders) {
    if (!PackFolder(child.path(), relative + "/" + child.path().filename().string(), pack)) {
      return false;
    }
  }
  return true;
}

int Pack(const fs::path& tree, const fs::path& pack_path) {
  std::string pack = kMagic;
  if (!PackFolder(tree, fs::absolute(tree).lexically_normal().filename().string(), pack)) return 1;
  std::ofstream out(pack_path, std::ios::binary | std::ios::trunc);
  out.write(pack.data(), static_cast<std::streamsize>(pack.size()));
  out.close();
  if (!out) {
    std::perror(pack_path.c_str());
    return 1;
  }
  return 0;
}

struct Step {
  std::string path;  // DEST/relative path, made before timing
  const char* bytes = nullptr;
  std::size_t size = 0;
  bool folder = false;
};

// Loads the whole pack with one open, one fstat, as few reads as the kernel
// needs and one close.
bool LoadPack(const char* path, std::string& pack) {
  const int fd = ::open(path, O_RDONLY);
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0) return false;
  pack.resize(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < pack.size()) {
    const ssize_t got = ::read(fd, pack.data() + done, pack.size() - done);
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return ::close(fd) == 0;
}

bool ParsePack(const std::string& pack, const std::string& dest, std::vector<Step>& steps) {
  const std::size_t magic_size = sizeof kMagic - 1;
  if (pack.compare(0, magic_size, kMagic) != 0) return false;
  std::size_t at = magic_size;
  auto get_size = [&pack, &at](std::uint64_t& size) {
    if (pack.size() - at < sizeof size) return false;
    std::memcpy(&size, pack.data() + at, sizeof size);
    at += sizeof size;
    return true;
  };
  while (at < pack.size()) {
    const char kind = pack[at++];
    std::uint64_t length = 0;
    if ((kind != 'D' && kind != 'F') || !get_size(length) || pack.size() - at < length) {
      return false;
    }
    Step step;
    step.path = dest + "/" + pack.substr(at, length);
    at += length;
    step.folder = kind == 'D';
    if (!step.folder) {
      std::uint64_t size = 0;
      if (!get_size(size) || pack.size() - at < size) return false;
      step.bytes = pack.data() + at;
      step.size = size;
      at += size;
    }
    steps.push_back(std::move(step));
  }
  return true;
}

double Microseconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) * 1e6 + static_cast<double>(time.tv_usec);
}

int Write(const char* pack_path, const char* dest) {
  std::string pack;
  if (!LoadPack(pack_path, pack)) {
    std::perror(pack_path);
    return 1;
  }
  std::vector<Step> steps;
  if (!ParsePack(pack, dest, steps)) {
    std::fprintf(stderr, "write_floor: %s is not a pack\n", pack_path);
    return 1;
  }
  if (::mkdir(dest, 0777) != 0) {
    std::perror(dest);
    return 1;
  }
  std::size_t files = 0;
  std::size_t folders = 0;

  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  const auto start = std::chrono::steady_clock::now();
  for (const Step& step : steps) {
    if (step.folder) {
      if (::mkdir(step.path.c_str(), 0777) != 0) {
        std::perror(step.path.c_str());
        return 1;
      }
      ++folders;
      continue;
    }
    const int fd = ::open(step.path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
    if (fd < 0 || ::write(fd, step.bytes, step.size) != static_cast<ssize_t>(step.size) ||
        ::close(fd) != 0) {
      std::perror(step.path.c_str());
      return 1;
    }
    ++files;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);

  std::printf("floor_seconds=%.3f files=%zu folders=%zu user_us=%.0f sys_us=%.0f\n", seconds, files,
              folders, Microseconds(after.ru_utime) - Microseconds(before.ru_utime),
              Microseconds(after.ru_stime) - Microseconds(before.ru_stime));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "pack") == 0) return Pack(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "write") == 0) return Write(argv[2], argv[3]);
  std::fprintf(stderr, "usage: write_floor pack TREE PACK | write_floor write PACK DEST\n");
  return 2;
}
