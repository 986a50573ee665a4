#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::ReadNativeFile;
using testing::ScopedTempDir;
using testing::WriteNativeFile;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  FileSystem& fs_ = FileSystem::Default();
  ScopedTempDir dir_;
};

TEST_F(PosixFileSystemTest, BackslashesNameNativeFolders) {
  ASSERT_TRUE(fs_.CreateFolder(dir_.path() + "DADES"));
  auto file = fs_.Open(dir_.path() + "DADES\\X.dat", FileAccess::kWrite, FileSharing::kShareAll,
                       FileCreation::kCreateOrTruncate);
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->Write(std::string("a\r\nb\x1A\0c", 7)));
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(ReadNativeFile(dir_.path() + "DADES/X.dat"), std::string("a\r\nb\x1A\0c", 7));
}

TEST_F(PosixFileSystemTest, ExclusiveOpenKeepsOthersOut) {
  WriteNativeFile(dir_.path() + "TAR.LST", "");
  auto holder = fs_.Open(dir_.path() + "TAR.LST", FileAccess::kWrite, FileSharing::kExclusive,
                         FileCreation::kOpenExisting);
  ASSERT_TRUE(holder);
  FileError error;
  EXPECT_FALSE(fs_.Open(dir_.path() + "TAR.LST", FileAccess::kRead, FileSharing::kShareRead,
                        FileCreation::kOpenExisting, &error));
  EXPECT_EQ(error, FileError::kLocked);
  // An opener that shares everything takes no lock and is not kept out.
  EXPECT_TRUE(fs_.Open(dir_.path() + "TAR.LST", FileAccess::kRead, FileSharing::kShareAll,
                       FileCreation::kOpenExisting));
  holder->Close();
  EXPECT_TRUE(fs_.Open(dir_.path() + "TAR.LST", FileAccess::kRead, FileSharing::kExclusive,
                       FileCreation::kOpenExisting));
}

TEST_F(PosixFileSystemTest, MissingFileAndFolderAreNotOpened) {
  FileError error;
  EXPECT_FALSE(fs_.Open(dir_.path() + "none", FileAccess::kRead, FileSharing::kShareAll,
                        FileCreation::kOpenExisting, &error));
  EXPECT_EQ(error, FileError::kNotFound);
  EXPECT_FALSE(fs_.Open(dir_.path() + "nofolder\\x", FileAccess::kWrite, FileSharing::kShareAll,
                        FileCreation::kOpenOrCreate, &error));
  ASSERT_TRUE(fs_.CreateFolder(dir_.path() + "sub"));
  EXPECT_FALSE(fs_.Open(dir_.path() + "sub", FileAccess::kRead, FileSharing::kShareAll,
                        FileCreation::kOpenExisting));
}

TEST_F(PosixFileSystemTest, FindReportsAttributes) {
  WriteNativeFile(dir_.path() + "plain.txt", "x");
  WriteNativeFile(dir_.path() + "locked.txt", "x");
  chmod((dir_.path() + "locked.txt").c_str(), 0444);
  ASSERT_TRUE(fs_.CreateFolder(dir_.path() + "folder"));

  auto one = fs_.Find(dir_.path() + "plain.txt");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].attributes, kAttributeArchive);
  auto ro = fs_.Find(dir_.path() + "locked.txt");
  ASSERT_EQ(ro.size(), 1u);
  EXPECT_NE(ro[0].attributes & kAttributeReadOnly, 0u);
  auto folder = fs_.Find(dir_.path() + "folder");
  ASSERT_EQ(folder.size(), 1u);
  EXPECT_EQ(folder[0].attributes, kAttributeFolder);
  EXPECT_EQ(fs_.Find(dir_.path() + "*.*").size(), 3u);
  EXPECT_EQ(fs_.Find(dir_.path() + "*.txt").size(), 2u);
  EXPECT_TRUE(fs_.Find(dir_.path() + "missing").empty());
}

TEST_F(PosixFileSystemTest, NamedPipeOpensWithoutWaitingAndIsNoRegularFile) {
  // Nobody writes to the pipe: an open that waited for a writer would hang.
  ASSERT_EQ(mkfifo((dir_.path() + "pipe").c_str(), 0600), 0);
  WriteNativeFile(dir_.path() + "plain", "x");
  auto pipe = fs_.Open(dir_.path() + "pipe", FileAccess::kRead, FileSharing::kShareRead,
                       FileCreation::kOpenExisting);
  ASSERT_TRUE(pipe);
  EXPECT_FALSE(pipe->IsRegularFile());
  char byte = 0;
  EXPECT_EQ(pipe->Read(&byte, 1), 0u) << "a pipe without a writer reads as empty";
  auto device =
      fs_.Open("/dev/null", FileAccess::kRead, FileSharing::kShareAll, FileCreation::kOpenExisting);
  ASSERT_TRUE(device);
  EXPECT_FALSE(device->IsRegularFile());
  auto plain = fs_.Open(dir_.path() + "plain", FileAccess::kRead, FileSharing::kShareAll,
                        FileCreation::kOpenExisting);
  ASSERT_TRUE(plain);
  EXPECT_TRUE(plain->IsRegularFile());

  auto entries = fs_.Find(dir_.path() + "pipe");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].attributes & (kAttributeDevice | kAttributeArchive), kAttributeDevice);
}

TEST_F(PosixFileSystemTest, RenameNeverReplacesAndRemoveFileSparesFolders) {
  WriteNativeFile(dir_.path() + "a", "1");
  WriteNativeFile(dir_.path() + "b", "2");
  EXPECT_FALSE(fs_.Rename(dir_.path() + "a", dir_.path() + "b"));
  EXPECT_EQ(ReadNativeFile(dir_.path() + "b"), "2");
  EXPECT_TRUE(fs_.Rename(dir_.path() + "a", dir_.path() + "c"));
  ASSERT_TRUE(fs_.CreateFolder(dir_.path() + "d"));
  EXPECT_FALSE(fs_.RemoveFile(dir_.path() + "d"));
  EXPECT_TRUE(fs_.RemoveFolder(dir_.path() + "d"));
}

TEST_F(PosixFileSystemTest, ReadsSeeBufferedWrites) {
  auto file = fs_.Open(dir_.path() + "f", FileAccess::kReadWrite, FileSharing::kShareAll,
                       FileCreation::kCreateOrTruncate);
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->Write("hello"));
  EXPECT_EQ(file->Size(), 5);
  ASSERT_TRUE(file->Seek(1));
  char buffer[8] = {};
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 4u);
  EXPECT_STREQ(buffer, "ello");
  EXPECT_EQ(ReadWholeFile(fs_, dir_.path() + "f").value_or(""), "hello");
}

}  // namespace
}  // namespace torvane
