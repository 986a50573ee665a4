// Stand-in for the chain's next programs in the Windows tests: installed in
// the program directory as KAVTAR.EXE and TORVANE2.EXE, it appends to
// chain.log in the session's temporary directory (KAVTMP; without it, the
// working directory) the line the demo's shell stand-ins write, "<name>
// started in <working directory>", and a second line with the number of
// arguments it got and the value of KAVROOT, so a test sees that the program
// ran, where, and with which environment.
#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Variable(const char* name) {
  char value[1024];
  const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// The program's own file name without folder and extension: KAVTAR, TORVANE2.
std::string OwnName() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, length < MAX_PATH ? length : 0);
  const size_t separator = name.find_last_of("\\/");
  if (separator != std::string::npos) name.erase(0, separator + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

}  // namespace

int main(int argc, char**) {
  std::string log = Variable("KAVTMP");
  while (!log.empty() && (log.back() == '\\' || log.back() == '/')) log.pop_back();
  log += log.empty() ? "chain.log" : "\\chain.log";
  char directory[MAX_PATH];
  const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, directory);
  const std::string working(directory, length < MAX_PATH ? length : 0);
  std::FILE* out = std::fopen(log.c_str(), "ab");
  if (out == nullptr) return 1;
  const std::string name = OwnName();
  std::fprintf(out, "%s started in %s\n", name.c_str(), working.c_str());
  std::fprintf(out, "%s arguments=%d KAVROOT=%s\n", name.c_str(), argc - 1,
               Variable("KAVROOT").c_str());
  std::fclose(out);
  return 0;
}
