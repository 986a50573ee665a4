// The benchmark's floor: the least work that produces the same invoice files.
//   write_floor TREE
// reads every file under TREE into memory, removes the tree, and then, timed,
// creates the same folders and writes the same files with the same bytes (one
// create, one write and one close per file). Prints "floor_seconds=S files=N".
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Prepared {
  std::string path;
  std::string bytes;
};

// Creates the folder and its parents, one mkdir per level, as a program that
// knows nothing of what exists would.
void MakeFolders(const std::string& folder) {
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    ::mkdir(folder.substr(0, slash).c_str(), 0777);
  }
  ::mkdir(folder.c_str(), 0777);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_floor TREE\n");
    return 2;
  }
  const fs::path tree = fs::absolute(argv[1]);
  std::vector<Prepared> files;
  for (const auto& entry : fs::recursive_directory_iterator(tree)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files.push_back({entry.path().string(), bytes.str()});
  }
  fs::remove_all(tree);

  const auto start = std::chrono::steady_clock::now();
  for (const Prepared& file : files) {
    MakeFolders(file.path.substr(0, file.path.rfind('/')));
    const int fd = ::open(file.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || ::write(fd, file.bytes.data(), file.bytes.size()) !=
                      static_cast<ssize_t>(file.bytes.size())) {
      std::perror(file.path.c_str());
      return 1;
    }
    ::close(fd);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("floor_seconds=%.3f files=%zu\n", seconds, files.size());
  return 0;
}
