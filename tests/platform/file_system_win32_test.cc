// The Windows file system on a real disk: the share flags each sharing mode
// stands for, the attributes the directory search reports, paths given with
// "\" as the suite writes them up to the system's limit, and the renames
// that keep or replace a target.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::ReadNativeFile;
using testing::ScopedTempDir;
using testing::WriteNativeFile;

std::string SuitePath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

class Win32FileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<File> Open(const std::string& name, FileAccess access, FileSharing sharing,
                             FileCreation creation = FileCreation::kOpenExisting,
                             FileError* error = nullptr) {
    return fs_.Open(root_ + name, access, sharing, creation, error);
  }
  uint32_t AttributesOf(const std::string& name) {
    const std::vector<DirectoryEntry> entries = fs_.Find(root_ + name);
    return entries.size() == 1 ? entries[0].attributes : 0xFFFFFFFF;
  }

  FileSystem& fs_ = FileSystem::Default();
  ScopedTempDir dir_;
  const std::string root_ = SuitePath(dir_.path());
};

TEST_F(Win32FileSystemTest, SharingModesAdmitTheOpenersTheyName) {
  const struct {
    FileAccess held_access;
    FileSharing held_sharing;
    FileAccess second_access;
    FileSharing second_sharing;
    bool second_opens;
  } cases[] = {
      // Profile reads share everything: any number of readers and writers.
      {FileAccess::kRead, FileSharing::kShareAll, FileAccess::kReadWrite, FileSharing::kShareAll,
       true},
      // Read sharing: other readers come in, writers do not.
      {FileAccess::kRead, FileSharing::kShareRead, FileAccess::kRead, FileSharing::kShareRead,
       true},
      {FileAccess::kRead, FileSharing::kShareRead, FileAccess::kWrite, FileSharing::kShareAll,
       false},
      // A writer that lets others read, and a reader that will not let it write.
      {FileAccess::kWrite, FileSharing::kShareRead, FileAccess::kRead, FileSharing::kShareAll,
       true},
      {FileAccess::kWrite, FileSharing::kShareRead, FileAccess::kRead, FileSharing::kShareRead,
       false},
      // Exclusive use (the file list TAR.LST) keeps every other opener out.
      {FileAccess::kWrite, FileSharing::kExclusive, FileAccess::kRead, FileSharing::kShareAll,
       false},
      {FileAccess::kRead, FileSharing::kShareAll, FileAccess::kRead, FileSharing::kExclusive,
       false},
  };
  WriteNativeFile(dir_.path() + "TAR.LST", "keep");
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    auto held = Open("TAR.LST", cases[i].held_access, cases[i].held_sharing);
    ASSERT_TRUE(held);
    FileError error = FileError::kNone;
    auto second = Open("TAR.LST", cases[i].second_access, cases[i].second_sharing,
                       FileCreation::kOpenExisting, &error);
    EXPECT_EQ(second != nullptr, cases[i].second_opens);
    EXPECT_EQ(error, cases[i].second_opens ? FileError::kNone : FileError::kLocked);
  }
}

TEST_F(Win32FileSystemTest, TruncationWaitsForTheHolder) {
  WriteNativeFile(dir_.path() + "pent.tmp", "29 lines");
  auto holder = Open("pent.tmp", FileAccess::kRead, FileSharing::kShareRead);
  ASSERT_TRUE(holder);
  FileError error = FileError::kNone;
  EXPECT_FALSE(Open("pent.tmp", FileAccess::kWrite, FileSharing::kExclusive,
                    FileCreation::kCreateOrTruncate, &error));
  EXPECT_EQ(error, FileError::kLocked);
  holder->Close();
  EXPECT_EQ(ReadNativeFile(dir_.path() + "pent.tmp"), "29 lines");
  auto emptied = Open("pent.tmp", FileAccess::kWrite, FileSharing::kExclusive,
                      FileCreation::kCreateOrTruncate);
  ASSERT_TRUE(emptied);
  emptied->Close();
  EXPECT_EQ(ReadNativeFile(dir_.path() + "pent.tmp"), "");
}

TEST_F(Win32FileSystemTest, FailedOpensSayWhy) {
  ASSERT_TRUE(fs_.CreateFolder(root_ + "KAVTAR.EXE"));
  const struct {
    const char* name;
    FileAccess access;
    FileCreation creation;
    FileError error;
  } cases[] = {
      {"none.ini", FileAccess::kRead, FileCreation::kOpenExisting, FileError::kNotFound},
      {"nofolder\\x.ini", FileAccess::kWrite, FileCreation::kOpenOrCreate, FileError::kNotFound},
      {"KAVTAR.EXE", FileAccess::kRead, FileCreation::kOpenExisting, FileError::kDenied},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FileError error = FileError::kNone;
    EXPECT_FALSE(Open(c.name, c.access, FileSharing::kShareAll, c.creation, &error));
    EXPECT_EQ(error, c.error);
  }
}

TEST_F(Win32FileSystemTest, DevicesOpenButAreNoRegularFiles) {
  WriteNativeFile(dir_.path() + "plain.txt", "x");
  auto plain = Open("plain.txt", FileAccess::kRead, FileSharing::kShareAll);
  ASSERT_TRUE(plain);
  EXPECT_TRUE(plain->IsRegularFile());
  auto device =
      fs_.Open("NUL", FileAccess::kRead, FileSharing::kShareAll, FileCreation::kOpenExisting);
  ASSERT_TRUE(device);
  EXPECT_FALSE(device->IsRegularFile());
}

TEST_F(Win32FileSystemTest, FindReportsTheSystemsAttributes) {
  const struct {
    const char* name;
    DWORD native;
    uint32_t expected;
  } cases[] = {
      {"plain.txt", FILE_ATTRIBUTE_ARCHIVE, kAttributeArchive},
      {"normal.txt", FILE_ATTRIBUTE_NORMAL, 0},
      {"KAVTAR.EXE", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE,
       kAttributeReadOnly | kAttributeArchive},
      {"hidden.txt", FILE_ATTRIBUTE_HIDDEN, kAttributeHidden},
      {"system.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN,
       kAttributeSystem | kAttributeHidden},
  };
  for (const auto& c : cases) {
    WriteNativeFile(dir_.path() + c.name, "x");
    ASSERT_TRUE(::SetFileAttributesA((root_ + c.name).c_str(), c.native)) << c.name;
  }
  ASSERT_TRUE(fs_.CreateFolder(root_ + "CSB"));
  // Wine keeps no archive bit and shows every file with it: the bit must be
  // there where it was set, and every other bit exactly as set.
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const uint32_t found = AttributesOf(c.name);
    EXPECT_EQ(found & ~uint32_t{kAttributeArchive}, c.expected & ~uint32_t{kAttributeArchive});
    if (c.expected & kAttributeArchive) {
      EXPECT_NE(found & kAttributeArchive, 0u);
    }
  }
  EXPECT_EQ(AttributesOf("CSB") & kAttributeFolder, kAttributeFolder);
  EXPECT_EQ(fs_.Find(root_ + "*.*").size(), std::size(cases) + 1);  // no "." or ".."
  EXPECT_EQ(fs_.Find(root_ + "*.txt").size(), 4u);
  EXPECT_EQ(fs_.Find(root_ + "?????.txt").size(), 1u);
  EXPECT_TRUE(fs_.Find(root_ + "missing").empty());
  EXPECT_TRUE(fs_.Find(root_ + "nofolder\\*.*").empty());
  for (const auto& c : cases) ::SetFileAttributesA((root_ + c.name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The suite's paths go unchanged to the system, which takes 259 characters
// at most; a path of 255 works end to end.
TEST_F(Win32FileSystemTest, PathsOfTwoHundredFiftyFiveCharacters) {
  std::string folder = root_ + std::string(100, 'D');
  ASSERT_TRUE(fs_.CreateFolder(folder));
  const std::string path = folder + "\\" + std::string(255 - folder.size() - 1, 'f');
  ASSERT_EQ(path.size(), 255u);
  auto file =
      fs_.Open(path, FileAccess::kWrite, FileSharing::kExclusive, FileCreation::kCreateOrTruncate);
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->Write("long"));
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(ReadWholeFile(fs_, path).value_or(""), "long");
  EXPECT_EQ(fs_.Find(path).size(), 1u);
  EXPECT_TRUE(fs_.RemoveFile(path));
  // Past the limit the system refuses, and nothing is made.
  FileError error = FileError::kNone;
  EXPECT_FALSE(fs_.Open(folder + "\\" + std::string(300, 'g'), FileAccess::kWrite,
                        FileSharing::kShareAll, FileCreation::kOpenOrCreate, &error));
  EXPECT_NE(error, FileError::kNone);
  EXPECT_TRUE(fs_.RemoveFolder(folder));
}

TEST_F(Win32FileSystemTest, RenameKeepsTargetsAndReplaceFileReplacesThem) {
  WriteNativeFile(dir_.path() + "KAVTAR.INI", "old");
  WriteNativeFile(dir_.path() + "12345678.tmp", "new");
  EXPECT_FALSE(fs_.Rename(root_ + "12345678.tmp", root_ + "KAVTAR.INI"));
  EXPECT_EQ(ReadNativeFile(dir_.path() + "KAVTAR.INI"), "old");
  EXPECT_TRUE(fs_.ReplaceFile(root_ + "12345678.tmp", root_ + "KAVTAR.INI"));
  EXPECT_EQ(ReadNativeFile(dir_.path() + "KAVTAR.INI"), "new");
  EXPECT_TRUE(fs_.Rename(root_ + "KAVTAR.INI", root_ + "KAVHTTP.INI"));
  EXPECT_EQ(ReadNativeFile(dir_.path() + "KAVHTTP.INI"), "new");

  ASSERT_TRUE(fs_.CreateFolder(root_ + "CSB"));
  EXPECT_FALSE(fs_.CreateFolder(root_ + "CSB"));
  EXPECT_FALSE(fs_.RemoveFile(root_ + "CSB"));
  EXPECT_TRUE(fs_.RemoveFolder(root_ + "CSB"));
  EXPECT_TRUE(fs_.RemoveFile(root_ + "KAVHTTP.INI"));
  EXPECT_FALSE(fs_.RemoveFile(root_ + "KAVHTTP.INI"));
}

TEST_F(Win32FileSystemTest, WritesAreBufferedAndSeenByReads) {
  auto file = Open("WinPush.tmp", FileAccess::kReadWrite, FileSharing::kShareAll,
                   FileCreation::kOpenOrCreate);
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->Write(std::string("\x05\0\0\0frame", 9)));
  EXPECT_EQ(file->Size(), 9);
  ASSERT_TRUE(file->Seek(4));
  char buffer[8] = {};
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 5u);
  EXPECT_STREQ(buffer, "frame");
  ASSERT_TRUE(file->Seek(0));
  ASSERT_TRUE(file->Write("\x0E"));
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(ReadNativeFile(dir_.path() + "WinPush.tmp"), std::string("\x0E\0\0\0frame", 9));
  // Opening again without truncating keeps the bytes.
  EXPECT_EQ(Open("WinPush.tmp", FileAccess::kReadWrite, FileSharing::kShareAll,
                 FileCreation::kOpenOrCreate)
                ->Size(),
            9);
}

TEST_F(Win32FileSystemTest, ChangeDirectoryMakesRelativePathsStartThere) {
  char saved[MAX_PATH];
  ASSERT_GT(::GetCurrentDirectoryA(MAX_PATH, saved), 0u);
  ASSERT_TRUE(fs_.CreateFolder(root_ + "DADES"));
  ASSERT_TRUE(fs_.ChangeDirectory(root_));
  WriteNativeFile(dir_.path() + "DADES/TVRebut.dat", "t");
  EXPECT_EQ(ReadWholeFile(fs_, "DADES\\TVRebut.dat").value_or(""), "t");
  EXPECT_FALSE(fs_.ChangeDirectory(root_ + "none"));
  ASSERT_TRUE(::SetCurrentDirectoryA(saved));
}

// A new file replaces what stood at its name, a unique one refuses it, and
// KindOf tells files, folders and missing names apart.
TEST_F(Win32FileSystemTest, NewAndUniqueFiles) {
  WriteNativeFile(root_ + "OLD.XML", "earlier run");
  auto file = Open("OLD.XML", FileAccess::kWrite, FileSharing::kShareAll, FileCreation::kCreateNew);
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->Write("new"));
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(ReadNativeFile(root_ + "OLD.XML"), "new");
  EXPECT_FALSE(
      Open("OLD.XML", FileAccess::kWrite, FileSharing::kShareAll, FileCreation::kCreateUnique));
  EXPECT_EQ(ReadNativeFile(root_ + "OLD.XML"), "new");
  ASSERT_TRUE(fs_.CreateFolder(root_ + "FOLDER"));
  EXPECT_FALSE(
      Open("FOLDER", FileAccess::kWrite, FileSharing::kShareAll, FileCreation::kCreateNew));
  EXPECT_EQ(fs_.KindOf(root_ + "OLD.XML"), PathKind::kFile);
  EXPECT_EQ(fs_.KindOf(root_ + "FOLDER"), PathKind::kFolder);
  EXPECT_EQ(fs_.KindOf(root_ + "NONE"), PathKind::kMissing);
}

}  // namespace
}  // namespace torvane
