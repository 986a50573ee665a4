// Runs a command and prints its wall time, its CPU times and its peak
// resident memory:
//   measure COMMAND [ARGS...]
//     ->  "wall_seconds=S user_us=U sys_us=K peak_rss_kb=R exit=E"
// Used by the benchmark, so that TORVANE1 is measured as a whole process. The
// CPU times and the peak are those wait4 reports for the child (and for any
// of its own children that it waited for).
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>

extern char** environ;

namespace {

long long Microseconds(const timeval& time) {
  return static_cast<long long>(time.tv_sec) * 1000000 + time.tv_usec;
}

}  // namespace

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
  std::printf("wall_seconds=%.3f user_us=%lld sys_us=%lld peak_rss_kb=%ld exit=%d\n", seconds,
              Microseconds(usage.ru_utime), Microseconds(usage.ru_stime), usage.ru_maxrss,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
