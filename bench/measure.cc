// Runs a command and prints its wall time and peak resident memory:
//   measure COMMAND [ARGS...]   ->   "wall_seconds=S peak_rss_kb=K"
// Used by the benchmark, so that TORVANE1 is measured as a whole process.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: measure COMMAND [ARGS...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  pid_t child;
  if (posix_spawn(&child, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
    std::perror("measure: cannot start the command");
    return 2;
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) {
    std::perror("measure: wait");
    return 2;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("wall_seconds=%.3f peak_rss_kb=%ld exit=%d\n", seconds, usage.ru_maxrss,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
