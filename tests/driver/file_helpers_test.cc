// The run driver's file helpers: the attribute rule of FileExists, folder
// creation along a path, deletion of files and folders, and unique names.
#include "driver/file_helpers.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace torvane {
namespace {

// A file system that answers every search with scripted entries and records
// the folder and delete calls made on it.
class ScriptedFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(std::string_view, FileAccess, FileSharing, FileCreation,
                             FileError* error) override {
    if (error != nullptr) *error = FileError::kNotFound;
    return nullptr;
  }
  std::vector<DirectoryEntry> Find(std::string_view pattern) override {
    searches.emplace_back(pattern);
    return entries;
  }
  bool CreateFolder(std::string_view path) override {
    created.emplace_back(path);
    return true;
  }
  bool RemoveFolder(std::string_view path) override {
    removed.emplace_back(path);
    return false;
  }
  bool RemoveFile(std::string_view path) override {
    removed.emplace_back(path);
    return false;
  }
  bool Rename(std::string_view, std::string_view) override { return false; }
  bool ChangeDirectory(std::string_view) override { return false; }
  PathKind KindOf(std::string_view) override { return PathKind::kMissing; }

  std::vector<DirectoryEntry> entries;
  std::vector<std::string> searches;
  std::vector<std::string> created;
  std::vector<std::string> removed;
};

TEST(FileExistsTest, AppliesTheAttributeRuleToTheFirstEntry) {
  const struct {
    uint32_t attributes;
    bool exists;
  } cases[] = {
      {kAttributeArchive, true},
      {0, true},
      {kAttributeFolder, false},
      {kAttributeVolumeLabel, false},
      {kAttributeFolder | kAttributeArchive, true},  // the archive attribute wins
      {kAttributeReadOnly | kAttributeArchive, false},
      {kAttributeHidden | kAttributeArchive, false},
      {kAttributeSystem, false},
      {kAttributeReadOnly, false},
  };
  ScriptedFileSystem fs;
  for (const auto& c : cases) {
    fs.entries = {{"KAVTAR.EXE", c.attributes}, {"KAVTAR.EXE", kAttributeArchive}};
    EXPECT_EQ(FileExists(fs, "root\\KAVTAR.EXE"), c.exists) << "attributes " << c.attributes;
  }
  fs.entries.clear();
  EXPECT_FALSE(FileExists(fs, "root\\KAVTAR.EXE"));
}

class FileHelpersDiskTest : public ::testing::Test {
 protected:
  std::string Native(const std::string& name) const { return dir_.path() + name; }
  testing::ScopedTempDir dir_;
  FileSystem& fs_ = FileSystem::Default();
};

TEST_F(FileHelpersDiskTest, OnlyWritableOrdinaryFilesExist) {
  testing::WriteNativeFile(Native("plain.exe"), "x");
  testing::WriteNativeFile(Native("locked.exe"), "x");
  ::chmod(Native("locked.exe").c_str(), 0444);
  std::filesystem::create_directory(Native("folder.exe"));
  EXPECT_TRUE(FileExists(fs_, dir_.path() + "plain.exe"));
  EXPECT_FALSE(FileExists(fs_, dir_.path() + "locked.exe"));
  EXPECT_FALSE(FileExists(fs_, dir_.path() + "folder.exe"));
  EXPECT_FALSE(FileExists(fs_, dir_.path() + "missing.exe"));
}

TEST(MakeFolderPathTest, CreatesEveryFolderAlongThePath) {
  const struct {
    std::string path;
    std::vector<std::string> created;
  } cases[] = {
      {"DOCUMENT\\VER\\0012\\0003",
       {"DOCUMENT", "DOCUMENT\\VER", "DOCUMENT\\VER\\0012", "DOCUMENT\\VER\\0012\\0003"}},
      {"C:\\KAV\\CSB", {"C:\\KAV", "C:\\KAV\\CSB"}},  // the drive itself is not made
      {"C:KAV\\CSB", {"C:KAV", "C:KAV\\CSB"}},
      {"\\KAV\\CSB", {"\\KAV", "\\KAV\\CSB"}},
      {"KAV\\CSB\\", {"KAV", "KAV\\CSB", "KAV\\CSB\\"}},
      {"KAV\\CSB  ", {"KAV", "KAV\\CSB"}},  // trailing blanks are not part of it
      {"CSB", {"CSB"}},
      {"", {}},
      {"   ", {}},
      {"C:", {}},
  };
  for (const auto& c : cases) {
    ScriptedFileSystem fs;
    MakeFolderPath(fs, c.path);
    EXPECT_EQ(fs.created, c.created) << "path '" << c.path << "'";
  }
}

TEST_F(FileHelpersDiskTest, MakeFolderPathCreatesNestedFoldersAndKeepsExistingOnes) {
  std::filesystem::create_directory(Native("DOCUMENT"));
  testing::WriteNativeFile(Native("DOCUMENT/keep.txt"), "kept");
  MakeFolderPath(fs_, dir_.path() + "DOCUMENT\\VER\\0012\\0003");
  EXPECT_TRUE(std::filesystem::is_directory(Native("DOCUMENT/VER/0012/0003")));
  EXPECT_EQ(testing::ReadNativeFile(Native("DOCUMENT/keep.txt")), "kept");
  MakeFolderPath(fs_, dir_.path() + "DOCUMENT\\VER");  // already there: nothing happens
  EXPECT_TRUE(std::filesystem::is_directory(Native("DOCUMENT/VER/0012")));
}

TEST_F(FileHelpersDiskTest, DeletesAFile) {
  testing::WriteNativeFile(Native("KAVTAR.INI"), "[Tar]\r\n");
  testing::WriteNativeFile(Native("other.ini"), "x");
  EXPECT_TRUE(DeleteFileOrFolder(fs_, dir_.path() + "KAVTAR.INI"));
  EXPECT_FALSE(testing::NativeFileExists(Native("KAVTAR.INI")));
  EXPECT_TRUE(testing::NativeFileExists(Native("other.ini")));
}

TEST_F(FileHelpersDiskTest, DeletesAFolderWithItsFiles) {
  testing::WriteNativeFile(Native("KAVTAR.INI/a.txt"), "a");
  testing::WriteNativeFile(Native("KAVTAR.INI/B.DAT"), "b");
  EXPECT_TRUE(DeleteFileOrFolder(fs_, dir_.path() + "KAVTAR.INI"));
  EXPECT_FALSE(testing::NativeFileExists(Native("KAVTAR.INI")));
}

TEST_F(FileHelpersDiskTest, KeepsAFolderThatHoldsAFolder) {
  testing::WriteNativeFile(Native("old/a.txt"), "a");
  testing::WriteNativeFile(Native("old/inner/b.txt"), "b");
  EXPECT_FALSE(DeleteFileOrFolder(fs_, dir_.path() + "old"));
  EXPECT_FALSE(testing::NativeFileExists(Native("old/a.txt")));
  EXPECT_TRUE(testing::NativeFileExists(Native("old/inner/b.txt")));
}

TEST_F(FileHelpersDiskTest, MissingPathDeletesNothing) {
  testing::WriteNativeFile(Native("other.ini"), "x");
  EXPECT_FALSE(DeleteFileOrFolder(fs_, dir_.path() + "KAVTAR.INI"));
  EXPECT_TRUE(testing::NativeFileExists(Native("other.ini")));
}

TEST(DeleteFileOrFolderTest, EmptyPathNeverReachesTheTopFolder) {
  ScriptedFileSystem fs;
  fs.entries = {{"everything", kAttributeArchive}};
  EXPECT_FALSE(DeleteFileOrFolder(fs, ""));
  EXPECT_TRUE(fs.searches.empty());
  EXPECT_TRUE(fs.removed.empty());
}

bool IsNameCharacter(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

TEST(UniqueFileNameTest, BuildsFolderPrefixRandomCharactersAndExtension) {
  const struct {
    std::string folder, prefix, extension;
    std::string start;  // what comes before the random characters
    size_t random_characters;
    std::string end;
  } cases[] = {
      {"root\\CSB\\", "", "TAR", "root\\CSB\\", 8, ".TAR"},
      {"  root\\CSB  ", "", "TAR", "root\\CSB\\", 8, ".TAR"},
      {"root/CSB/", "", "TAR", "root/CSB/", 8, ".TAR"},
      {"C:", "", "TAR", "C:", 8, ".TAR"},
      {"dir", "FACTURES", " .xml ", "dir\\FAC", 5, ".xml"},
      {"dir", " AB", "TARX", "dir\\AB", 6, ".TAR"},
      {"dir", "", "", "dir\\", 8, ""},
      {"dir", "", ".", "dir\\", 8, ""},
      {"", "", "TAR", "", 8, ".TAR"},  // the current directory
  };
  for (const auto& c : cases) {
    ScriptedFileSystem fs;  // nothing exists
    testing::FakeClock clock;
    RandomGenerator random;
    const std::string name = UniqueFileName(fs, clock, random, c.folder, c.prefix, c.extension);
    const std::string label = "folder '" + c.folder + "' prefix '" + c.prefix + "'";
    ASSERT_EQ(name.size(), c.start.size() + c.random_characters + c.end.size()) << label;
    EXPECT_EQ(name.substr(0, c.start.size()), c.start) << label;
    for (size_t i = c.start.size(); i < c.start.size() + c.random_characters; ++i) {
      EXPECT_TRUE(IsNameCharacter(name[i])) << label << ": " << name;
    }
    EXPECT_EQ(name.substr(name.size() - c.end.size()), c.end) << label;
    EXPECT_EQ(clock.slept_ms, 0) << label;
  }
}

TEST(UniqueFileNameTest, SameTimeOfDayGivesTheSameName) {
  ScriptedFileSystem fs;
  testing::FakeClock clock;
  RandomGenerator random;
  const std::string first = UniqueFileName(fs, clock, random, "CSB\\", "", "TAR");
  const std::string again = UniqueFileName(fs, clock, random, "CSB\\", "", "TAR");
  clock.hundredths += 1;
  const std::string later = UniqueFileName(fs, clock, random, "CSB\\", "", "TAR");
  EXPECT_EQ(first, again);
  EXPECT_NE(first, later);
}

TEST_F(FileHelpersDiskTest, TakenNameIsDrawnAgainOnceTheClockMoves) {
  testing::FakeClock clock;
  RandomGenerator random;
  const std::string folder = dir_.path() + "CSB\\";
  std::filesystem::create_directory(Native("CSB"));
  const std::string first = UniqueFileName(fs_, clock, random, folder, "", "TAR");
  const std::string first_native = Native("CSB/") + first.substr(folder.size());
  testing::WriteNativeFile(first_native, "an earlier archive");

  const std::string second = UniqueFileName(fs_, clock, random, folder, "", "TAR");
  EXPECT_NE(second, first);
  EXPECT_GT(clock.slept_ms, 0);  // waited for the time of day to change
  EXPECT_EQ(testing::ReadNativeFile(first_native), "an earlier archive");

  // A read-only file of that name counts as absent, like any FileExists user.
  ::chmod(first_native.c_str(), 0444);
  clock.hundredths = testing::FakeClock().hundredths;
  EXPECT_EQ(UniqueFileName(fs_, clock, random, folder, "", "TAR"), first);
}

// A clock whose time of day never moves.
class StoppedClock : public testing::FakeClock {
 public:
  void SleepMilliseconds(int milliseconds) override { slept_ms += milliseconds; }
};

TEST(UniqueFileNameTest, GivesUpWhenTheClockNeverMoves) {
  ScriptedFileSystem fs;
  fs.entries = {{"taken", kAttributeArchive}};  // every name is taken
  StoppedClock clock;
  RandomGenerator random;
  EXPECT_EQ(UniqueFileName(fs, clock, random, "CSB\\", "", "TAR"), "");
  EXPECT_GT(clock.slept_ms, 0);
}

TEST(UniqueFileNameTest, GivesUpWhenEveryNameIsTaken) {
  ScriptedFileSystem fs;
  fs.entries = {{"taken", kAttributeArchive}};
  testing::FakeClock clock;  // moves one hundredth per wait
  RandomGenerator random;
  EXPECT_EQ(UniqueFileName(fs, clock, random, "CSB\\", "", "TAR"), "");
}

}  // namespace
}  // namespace torvane
