// The record engine on a real POSIX disk, with paths that name no regular
// file: a named pipe, a device, a folder and a sparse file far larger than
// memory. Each must be refused at once, without waiting or reading.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/record_engine.h"
#include "platform/file_system.h"
#include "tests/engine/record_test_support.h"
#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::ScopedTempDir;
using testing::TableClient;

class RecordEnginePosixTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) { return dir_.path() + name; }

  ScopedTempDir dir_;
  RecordEngine engine_{FileSystem::Default()};
  TableClient client_{engine_};
};

TEST_F(RecordEnginePosixTest, PathsThatNameNoRegularFileAnswerNotARecordFile) {
  // No writer ever opens the pipe: an open that waited for one would hang.
  ASSERT_EQ(::mkfifo(Path("PIPE.dat").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir(Path("FOLDER.dat").c_str(), 0700), 0);
  for (const std::string& path : {Path("PIPE.dat"), std::string("/dev/null"), Path("FOLDER.dat")}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(client_.Open(path), 30);
    EXPECT_EQ(client_.Open(path, "", -4), 30) << "exclusive";
  }
}

TEST_F(RecordEnginePosixTest, SparseFileFarBeyondMemoryIsRefusedUnread) {
  const std::string path = Path("DepartaV.dat");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  const bool grown = ::ftruncate(fd, off_t{100} << 30) == 0;
  ::close(fd);
  if (!grown) GTEST_SKIP() << "this file system holds no 100 GB sparse file";
  EXPECT_EQ(client_.Open(path), 30);
}

}  // namespace
}  // namespace torvane
