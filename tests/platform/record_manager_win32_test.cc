// The Windows record manager loader, with our engine's library (built beside
// the tests) standing in for the suite's WBTRV32.DLL: requests and their
// buffers pass through BTRCALL unchanged, the table files are the bytes the
// engine writes in-process, and a library that cannot serve makes every
// request answer status 20 without touching its buffers.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/record_engine.h"
#include "platform/file_system.h"
#include "platform/record_manager_library.h"
#include "tests/engine/record_test_support.h"
#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::FileDefinition;
using testing::ReadLe;
using testing::ReadNativeFile;
using testing::ScopedTempDir;
using testing::Segment;
using testing::TableClient;
using testing::WriteNativeFile;

// Our engine's library beside the tests, as the system names it: fixed while
// the current directory is still the one the tests started in (under Wine
// the build's POSIX path names a folder of the current drive).
std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}
const std::string kEngineLibrary = FullPath(
    std::string(TORVANE_BINARY_DIR) + (sizeof(void*) == 8 ? "/KAVREC64.DLL" : "/KAVREC32.DLL"));

// 6-byte records; key 0 = bytes 1-2, unique; key 1 = bytes 3-4 then 5,
// duplicates allowed.
std::string Definition() {
  return FileDefinition(6, 2) + Segment(1, 2) + Segment(3, 2, 0x0011) + Segment(5, 1, 0x0001);
}

// Creates a table, inserts three records and reads them back through `manager`.
void FillTable(RecordManager& manager, const std::string& path) {
  TableClient client(manager);
  ASSERT_EQ(client.Create(path, Definition()), 0);
  ASSERT_EQ(client.Open(path), 0);
  for (const char* record : {"02bbb1", "01aaa2", "03ccc3"}) {
    ASSERT_EQ(client.Insert(record).status, 0) << record;
  }
  ASSERT_EQ(client.Close(), 0);
}

class RecordManagerLibraryTest : public ::testing::Test {
 protected:
  ScopedTempDir dir_;
};

TEST_F(RecordManagerLibraryTest, RequestsReachTheEngineLibrary) {
  std::unique_ptr<RecordManager> manager = RecordManagerLibrary(kEngineLibrary);
  const std::string path = dir_.path() + "DADES.dat";
  FillTable(*manager, path);

  TableClient client(*manager);
  EXPECT_EQ(client.Open(dir_.path() + "MISSING.dat"), 12);
  ASSERT_EQ(client.Open(path), 0);
  // Data length out: the record's length; key buffer out: the key value.
  testing::Reply first = client.Get(kOpGetFirst, 0);
  ASSERT_EQ(first.status, 0);
  EXPECT_EQ(first.data, "01aaa2");
  EXPECT_EQ(first.data_length, 6u);
  EXPECT_EQ(first.key.substr(0, 2), "01");
  EXPECT_EQ(client.Get(kOpGetNext, 0).data, "02bbb1");
  // Key number 1 travels as a signed byte, the key length as an unsigned one.
  testing::Reply by_second_key = client.Get(kOpGetEqual, 1, "ccc", 1536, 255);
  EXPECT_EQ(by_second_key.status, 0);
  EXPECT_EQ(by_second_key.data, "03ccc3");
  // A room shorter than the record: the engine's status comes back as it is.
  EXPECT_EQ(client.Get(kOpGetFirst, 0, "", 3).status, 22);

  testing::Reply stats = client.Stat();
  ASSERT_EQ(stats.status, 0);
  EXPECT_EQ(ReadLe(stats.data, 0, 2), 6u);  // record length
  EXPECT_EQ(ReadLe(stats.data, 4, 2), 2u);  // keys
  EXPECT_EQ(ReadLe(stats.data, 6, 4), 3u);  // records
  EXPECT_EQ(client.Reset(), 0);
  EXPECT_EQ(client.Get(kOpGetNext, 0).status, 3);  // reset released the handle
}

TEST_F(RecordManagerLibraryTest, LibraryWritesTheBytesOfTheEngineInProcess) {
  std::unique_ptr<RecordManager> library = RecordManagerLibrary(kEngineLibrary);
  RecordEngine engine(FileSystem::Default());
  FillTable(*library, dir_.path() + "A.dat");
  FillTable(engine, dir_.path() + "B.dat");
  const std::string through_library = ReadNativeFile(dir_.path() + "A.dat");
  EXPECT_FALSE(through_library.empty());
  EXPECT_EQ(through_library, ReadNativeFile(dir_.path() + "B.dat"));
}

TEST_F(RecordManagerLibraryTest, UnusableLibraryAnswersInactive) {
  WriteNativeFile(dir_.path() + "NOTALIB.DLL", "MZ this is no library");
  WriteNativeFile(dir_.path() + "EMPTY.DLL", "");
  ASSERT_TRUE(FileSystem::Default().CreateFolder(dir_.path() + "FOLDER.DLL"));
  const std::string cases[] = {
      dir_.path() + "NOSUCH.DLL",   // missing
      dir_.path() + "NOTALIB.DLL",  // a file that is no library
      dir_.path() + "EMPTY.DLL",
      dir_.path() + "FOLDER.DLL",  // a folder of that name
      "KERNEL32.DLL",              // a library without BTRCALL
  };
  for (const std::string& library : cases) {
    SCOPED_TRACE(library);
    std::unique_ptr<RecordManager> manager = RecordManagerLibrary(library);
    TableClient client(*manager);
    EXPECT_EQ(client.Open(dir_.path() + "X.dat"), kRecordManagerInactive);
    EXPECT_EQ(client.Create(dir_.path() + "X.dat", Definition()), kRecordManagerInactive);
    // The buffers come back as they were sent.
    testing::Reply stats = client.Stat(100);
    EXPECT_EQ(stats.status, kRecordManagerInactive);
    EXPECT_EQ(stats.data_length, 100u);
    EXPECT_EQ(stats.data, std::string(100, ' '));
    EXPECT_EQ(client.Reset(), kRecordManagerInactive);
    EXPECT_FALSE(FileSystem::Default().Find(dir_.path() + "X.dat").size() > 0);
  }
}

}  // namespace
}  // namespace torvane
