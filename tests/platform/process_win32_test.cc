// Starting the next program on Windows, with the chain's stand-in program
// (chain_probe.exe, built beside the tests) copied under the suite's names:
// it must run from its path without extension and without arguments, in
// this current directory and with this environment, and a program folder
// with a space in its name must not start another program on the way.
#include "platform/process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::ReadNativeFile;
using testing::ScopedTempDir;

// The build folder as the system names it, fixed while the current
// directory is still the one the tests started in (under Wine the build's
// POSIX path names a folder of the current drive).
std::string FullPath(const char* path) {
  char full[MAX_PATH];
  const DWORD length = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(full, length) : std::string(path);
}
const std::string kProbe = FullPath(TORVANE_BINARY_DIR "/chain_probe.exe");

// A path as the suite writes it, with "\".
std::string SuitePath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string CurrentDirectory() {
  char directory[MAX_PATH];
  const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, directory);
  return std::string(directory, length < MAX_PATH ? length : 0);
}

// Sets the session's variables and the current directory for one test and
// puts the old ones back.
class ProcessLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_directory_ = CurrentDirectory();
    ASSERT_TRUE(::SetCurrentDirectoryA(root_.c_str()));
    ASSERT_TRUE(::SetEnvironmentVariableA("KAVTMP", root_.c_str()));
    ASSERT_TRUE(::SetEnvironmentVariableA("KAVROOT", "C:\\FINQUES\\"));
  }
  void TearDown() override {
    ::SetEnvironmentVariableA("KAVTMP", nullptr);
    ::SetEnvironmentVariableA("KAVROOT", nullptr);
    ::SetCurrentDirectoryA(saved_directory_.c_str());
  }

  void InstallProbe(const std::string& native_path) {
    ASSERT_TRUE(::CopyFileA(kProbe.c_str(), native_path.c_str(), FALSE)) << native_path;
  }

  std::string ChainLog() { return ReadNativeFile(root_ + "chain.log"); }

  ScopedTempDir dir_;
  const std::string root_ = SuitePath(dir_.path());
  std::string saved_directory_;
  ProcessLauncher& launcher_ = ProcessLauncher::Default();
};

TEST_F(ProcessLauncherTest, RunsProgramWithoutExtensionHereAndWaits) {
  ASSERT_TRUE(::CreateDirectoryA((root_ + "BIN").c_str(), nullptr));
  InstallProbe(root_ + "BIN\\TORVANE2.EXE");
  EXPECT_TRUE(launcher_.RunAndWait(root_ + "BIN\\TORVANE2"));
  // The log is complete as soon as the call returns: it waited for the end.
  EXPECT_EQ(ChainLog(), "TORVANE2 started in " + CurrentDirectory() +
                            "\nTORVANE2 arguments=0 KAVROOT=C:\\FINQUES\\\n");
}

TEST_F(ProcessLauncherTest, ProgramThatCannotStartIsReported) {
  ASSERT_TRUE(::CreateDirectoryA((root_ + "KAVTAR.EXE").c_str(), nullptr));
  EXPECT_FALSE(launcher_.RunAndWait(root_ + "NOSUCH"));
  EXPECT_FALSE(launcher_.RunAndWait(root_ + "KAVTAR"));  // a folder of that name
  EXPECT_FALSE(launcher_.RunAndWait(""));
  EXPECT_EQ(ChainLog(), "");
}

TEST_F(ProcessLauncherTest, SpaceInProgramFolderStartsNoOtherProgram) {
  ASSERT_TRUE(::CreateDirectoryA((root_ + "my progs").c_str(), nullptr));
  InstallProbe(root_ + "my progs\\KAVTAR.EXE");
  // What an unquoted command line would start first.
  InstallProbe(root_ + "my.exe");
  EXPECT_TRUE(launcher_.RunAndWait(root_ + "my progs\\KAVTAR"));
  const std::string log = ChainLog();
  EXPECT_EQ(log.rfind("KAVTAR started in ", 0), 0u) << log;
  EXPECT_EQ(log.find("my started"), std::string::npos) << log;
}

}  // namespace
}  // namespace torvane
