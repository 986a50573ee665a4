// Starting the next program on Windows: CreateProcess of the suite's path,
// to which the system adds ".exe", with no arguments, in this console (no
// new one), at normal priority, with this environment and current directory
// and no inherited handles; then an unlimited wait for its end.
//
// The path goes in quotes as the whole command line. Unquoted, a program
// directory with a space in it ("C:\Program Files\...") would make the
// system try "C:\Program.exe" first, so another program could be started
// in place of the chain's.
#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "platform/process.h"

namespace torvane {
namespace {

class Win32ProcessLauncher : public ProcessLauncher {
 public:
  bool RunAndWait(std::string_view program) override {
    if (program.empty() || program.find('"') != std::string_view::npos) return false;
    std::string command_line;
    command_line.reserve(program.size() + 2);
    command_line.append(1, '"').append(program).append(1, '"');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, command_line.data(), nullptr, nullptr,
                          /*bInheritHandles=*/FALSE, NORMAL_PRIORITY_CLASS,
                          /*lpEnvironment=*/nullptr, /*lpCurrentDirectory=*/nullptr, &startup,
                          &process)) {
      return false;
    }
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hProcess);
    return true;
  }
};

}  // namespace

ProcessLauncher& ProcessLauncher::Default() {
  static Win32ProcessLauncher launcher;
  return launcher;
}

}  // namespace torvane
