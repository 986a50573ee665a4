// Rewrites of profile files: the exact bytes of the new file, the temporary
// copy beside it, and what a failed create, delete or rename leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "session/profile_file.h"
#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::FakeClock;
using testing::ReadNativeFile;
using testing::ScopedTempDir;
using testing::WriteNativeFile;

// The real file system with failures a test switches on, and a record of
// every path opened.
class FaultyFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(std::string_view path, FileAccess access, FileSharing sharing,
                             FileCreation creation, FileError* error) override {
    opened.emplace_back(path);
    if (fail_open && fail_open(path, access)) {
      if (error != nullptr) *error = FileError::kDenied;
      return nullptr;
    }
    return base_.Open(path, access, sharing, creation, error);
  }
  std::vector<DirectoryEntry> Find(std::string_view pattern) override {
    return base_.Find(pattern);
  }
  bool CreateFolder(std::string_view path) override { return base_.CreateFolder(path); }
  bool RemoveFolder(std::string_view path) override { return base_.RemoveFolder(path); }
  bool RemoveFile(std::string_view path) override {
    if (path == undeletable && failed_removes < remove_failures) {
      ++failed_removes;
      if (on_failed_remove) on_failed_remove();
      return false;
    }
    return base_.RemoveFile(path);
  }
  bool Rename(std::string_view from, std::string_view to) override {
    return !fail_rename && base_.Rename(from, to);
  }
  bool ChangeDirectory(std::string_view path) override { return base_.ChangeDirectory(path); }
  PathKind KindOf(std::string_view path) override { return base_.KindOf(path); }

  std::function<bool(std::string_view path, FileAccess access)> fail_open;
  std::string undeletable;
  int remove_failures = 0;
  int failed_removes = 0;
  std::function<void()> on_failed_remove;
  bool fail_rename = false;
  std::vector<std::string> opened;

 private:
  FileSystem& base_ = FileSystem::Default();
};

class WriteProfileValueTest : public ::testing::Test {
 protected:
  std::string Target() const { return dir_.path() + "KAVTAR.INI"; }

  void Write(std::string_view section, std::string_view key, std::string_view value) {
    WriteProfileValue(fs_, clock_, random_, Target(), section, key, value);
  }

  // The names in the folder, sorted.
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // The temporary name a write draws first with the fake clock as it is.
  std::string FirstTemporaryName() {
    RandomGenerator generator;
    generator.Seed(static_cast<uint32_t>(clock_.HundredthsOfDay()));
    std::string name;
    for (int i = 0; i < 8; ++i) name += static_cast<char>('0' + generator.Below(10));
    return name + ".tmp";
  }

  ScopedTempDir dir_;
  FaultyFileSystem fs_;
  FakeClock clock_;
  RandomGenerator random_;
};

TEST_F(WriteProfileValueTest, MissingFileGetsHeaderAndKey) {
  Write("Publicar", "Fitxer", "C:\\TMP\\TAR.LST");
  EXPECT_EQ(ReadNativeFile(Target()), "[Publicar]\r\nFitxer=C:\\TMP\\TAR.LST\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"KAVTAR.INI"});
}

TEST_F(WriteProfileValueTest, Rewrites) {
  struct Case {
    const char* what;
    std::string before;
    std::string section;
    std::string key;
    std::string after;
  };
  // Every case writes the value "v".
  const Case cases[] = {
      {"empty file", "", "A", "k", "[A]\r\nk=v\r\n"},
      {"replace keeps indentation, key and spaces up to =, drops the comment",
       "[A]\r\n  Key  =  old value  ; note\r\n", "A", "key", "[A]\r\n  Key  =v\r\n"},
      {"replace keeps a tab and a header comment", "[A] ; head\r\n\tx=1\r\nk\t= 1\r\n", "a", "K\t",
       "[A] ; head\r\n\tx=1\r\nk\t=v\r\n"},
      {"new key right after the last content line of its section",
       "[A]\r\nk=1\r\n\r\n; next comes B\r\n[B]\r\nx=2\r\n", "A", "j",
       "[A]\r\nk=1\r\nj=v\r\n\r\n; next comes B\r\n[B]\r\nx=2\r\n"},
      {"all-space lines are held like empty ones", "[A]\r\nk=1\r\n   \r\n[B]\r\n", "A", "j",
       "[A]\r\nk=1\r\nj=v\r\n   \r\n[B]\r\n"},
      {"new section after the last content line, ahead of trailing comments",
       "[A]\r\nk=1\r\n\r\n; end\r\n", "B", "k", "[A]\r\nk=1\r\n[B]\r\nk=v\r\n\r\n; end\r\n"},
      {"only comments", "; c\r\n\r\n", "A", "k", "[A]\r\nk=v\r\n; c\r\n\r\n"},
      {"blank lines in a section at the end", "[A]\r\n\r\n", "A", "k", "[A]\r\nk=v\r\n\r\n"},
      {"plain lines are copied", "[A]\r\njunk\r\n", "A", "k", "[A]\r\njunk\r\nk=v\r\n"},
      {"lone CR line ends become CR LF", "[A]\rk=1\r[B]\rx=2", "A", "k",
       "[A]\r\nk=v\r\n[B]\r\nx=2\r\n"},
      {"a lone LF stays inside its line", "[A]\nk=1\n", "A", "k", "[A]\nk=1\n\r\nk=v\r\n"},
      {"nothing from 0x1A on", "[A]\r\nk=1\r\n\x1A[B]\r\nx=2\r\n", "A", "k", "[A]\r\nk=v\r\n"},
      {"0x1A inside a line",
       "[A]\r\nx=12\x1A"
       "34\r\n",
       "A", "k", "[A]\r\nx=12\r\nk=v\r\n"},
      {"every matching key of the section", "[A]\r\nk=1\r\nK=2\r\n", "A", "k",
       "[A]\r\nk=v\r\nK=v\r\n"},
      {"every section of that name", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\n", "A", "k",
       "[A]\r\nk=v\r\n[B]\r\nk=2\r\n[a]\r\nk=v\r\n"},
      {"a header of the same name right after is no new start", "[A]\r\nx=1\r\n[A]\r\nk=2\r\n", "A",
       "k", "[A]\r\nx=1\r\nk=v\r\n[A]\r\nk=2\r\n"},
      {"a key above the first header is not replaced", "k=1\r\n[A]\r\nx=2\r\n", "A", "k",
       "k=1\r\n[A]\r\nx=2\r\nk=v\r\n"},
      {"names in other case and with code page 850 letters", "[usu\x82ri]\r\nidioma=CAT\r\n",
       "USU\x90RI", "IDIOMA", "[usu\x82ri]\r\nidioma=v\r\n"},
      {"no line end on the last line", "[A]\r\nx=1", "A", "k", "[A]\r\nx=1\r\nk=v\r\n"},
  };
  for (const Case& c : cases) {
    WriteNativeFile(Target(), c.before);
    Write(c.section, c.key, "v");
    EXPECT_EQ(ReadNativeFile(Target()), c.after) << c.what;
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"KAVTAR.INI"}) << c.what;
  }
}

TEST_F(WriteProfileValueTest, ValueAndNamesAreWrittenAsGiven) {
  WriteNativeFile(Target(), "[A]\r\nk=1\r\n");
  Write("New Section", " Key ", " \x80 value ");
  EXPECT_EQ(ReadNativeFile(Target()), "[A]\r\nk=1\r\n[New Section]\r\n Key = \x80 value \r\n");
}

TEST_F(WriteProfileValueTest, ReadsBackWhatItWrote) {
  Write("Publicar", "Servidor", "http://example.invalid/put");
  Write("Publicar", "Usuari", "\"quoted\"");
  Write("Encadenar", "Programa", "TORVANE2");
  Write("Publicar", "Servidor", "other");
  FileSystem& fs = FileSystem::Default();
  EXPECT_EQ(ReadProfileValue(fs, Target(), "Publicar", "Servidor"), "other");
  EXPECT_EQ(ReadProfileValue(fs, Target(), "Publicar", "Usuari"), "quoted");
  EXPECT_EQ(ReadProfileValue(fs, Target(), "Encadenar", "Programa"), "TORVANE2");
  EXPECT_EQ(ReadNativeFile(Target()),
            "[Publicar]\r\nServidor=other\r\nUsuari=\"quoted\"\r\n"
            "[Encadenar]\r\nPrograma=TORVANE2\r\n");
}

TEST_F(WriteProfileValueTest, LargeFile) {
  std::string before = "[A]\r\n";
  for (int i = 0; i < 12000; ++i) before += "Key" + std::to_string(i) + "=value  ; c\r\n";
  before += "\r\n[B]\r\n";
  ASSERT_GT(before.size(), 200000u);
  WriteNativeFile(Target(), before);
  Write("A", "Key9999", "new");
  Write("A", "Added", "yes");
  std::string expected = before;
  const std::string old_line = "Key9999=value  ; c\r\n";
  expected.replace(expected.find(old_line), old_line.size(), "Key9999=new\r\n");
  expected.insert(expected.find("\r\n[B]"), "Added=yes\r\n");
  const std::string after = ReadNativeFile(Target());
  // Compared without printing: a failure names the first differing offset.
  const auto difference =
      std::mismatch(after.begin(), after.end(), expected.begin(), expected.end());
  EXPECT_TRUE(after == expected) << "sizes " << after.size() << " and " << expected.size()
                                 << ", first difference at " << (difference.first - after.begin());
}

TEST_F(WriteProfileValueTest, TemporaryFileBesideTheTarget) {
  const std::string temporary = FirstTemporaryName();
  Write("A", "k", "v");
  const std::string expected = dir_.path() + temporary;
  EXPECT_NE(std::find(fs_.opened.begin(), fs_.opened.end(), expected), fs_.opened.end());

  // The same with "\" separators: the copy is made in that folder.
  fs_.opened.clear();
  std::string backslashed = Target();
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  WriteProfileValue(fs_, clock_, random_, backslashed, "A", "k", "w");
  std::string expected_backslashed = expected;
  std::replace(expected_backslashed.begin(), expected_backslashed.end(), '/', '\\');
  EXPECT_NE(std::find(fs_.opened.begin(), fs_.opened.end(), expected_backslashed),
            fs_.opened.end());
  EXPECT_EQ(ReadNativeFile(Target()), "[A]\r\nk=w\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"KAVTAR.INI"});
}

TEST_F(WriteProfileValueTest, FileNameWithoutFolderUsesCurrentDirectory) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  const std::string temporary = FirstTemporaryName();
  WriteProfileValue(fs_, clock_, random_, "KAVHTTP.INI", "A", "k", "v");
  std::filesystem::current_path(previous);
  EXPECT_NE(std::find(fs_.opened.begin(), fs_.opened.end(), temporary), fs_.opened.end());
  EXPECT_EQ(ReadNativeFile(dir_.path() + "KAVHTTP.INI"), "[A]\r\nk=v\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"KAVHTTP.INI"});
}

TEST_F(WriteProfileValueTest, TakenTemporaryNameIsLeftAlone) {
  const std::string taken = FirstTemporaryName();
  WriteNativeFile(dir_.path() + taken, "someone else's");
  Write("A", "k", "v");
  EXPECT_EQ(ReadNativeFile(dir_.path() + taken), "someone else's");
  EXPECT_EQ(ReadNativeFile(Target()), "[A]\r\nk=v\r\n");
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{taken, "KAVTAR.INI"}));
}

TEST_F(WriteProfileValueTest, UndeletableTargetIsKeptAndCopyRemoved) {
  WriteNativeFile(Target(), "[A]\r\nk=old\r\n");
  fs_.undeletable = Target();
  fs_.remove_failures = INT_MAX;
  Write("A", "k", "new");  // returns: no endless retry
  EXPECT_EQ(ReadNativeFile(Target()), "[A]\r\nk=old\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"KAVTAR.INI"});
  EXPECT_GT(fs_.failed_removes, 1);
}

TEST_F(WriteProfileValueTest, CopyIsRemadeAfterAFailedDelete) {
  WriteNativeFile(Target(), "[A]\r\nk=old\r\n");
  fs_.undeletable = Target();
  fs_.remove_failures = 2;
  // The program holding the file changes it before letting go.
  fs_.on_failed_remove = [this] { WriteNativeFile(Target(), "[A]\r\nk=old\r\nx=theirs\r\n"); };
  Write("A", "k", "new");
  EXPECT_EQ(fs_.failed_removes, 2);
  EXPECT_EQ(ReadNativeFile(Target()), "[A]\r\nk=new\r\nx=theirs\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"KAVTAR.INI"});
}

TEST_F(WriteProfileValueTest, FailedRenameStillLeavesTheNewFile) {
  WriteNativeFile(Target(), "[A]\r\nk=old\r\n");
  fs_.fail_rename = true;
  Write("A", "k", "new");
  EXPECT_EQ(ReadNativeFile(Target()), "[A]\r\nk=new\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"KAVTAR.INI"});
}

TEST_F(WriteProfileValueTest, TemporaryFileThatCannotBeCreatedChangesNothing) {
  WriteNativeFile(Target(), "[A]\r\nk=old\r\n");
  fs_.fail_open = [](std::string_view path, FileAccess access) {
    return access == FileAccess::kWrite && path.ends_with(".tmp");
  };
  Write("A", "k", "new");
  EXPECT_EQ(ReadNativeFile(Target()), "[A]\r\nk=old\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"KAVTAR.INI"});
}

TEST_F(WriteProfileValueTest, UnreadableTargetIsNotReplaced) {
  WriteNativeFile(Target(), "[A]\r\nk=old\r\n");
  const std::string target = Target();
  fs_.fail_open = [target](std::string_view path, FileAccess access) {
    return access == FileAccess::kRead && path == target;
  };
  Write("A", "k", "new");
  EXPECT_EQ(ReadNativeFile(Target()), "[A]\r\nk=old\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"KAVTAR.INI"});
}

TEST_F(WriteProfileValueTest, MissingFolderCreatesNothing) {
  WriteProfileValue(fs_, clock_, random_, dir_.path() + "no\\such\\KAVTAR.INI", "A", "k", "v");
  EXPECT_TRUE(FolderNames().empty());
}

}  // namespace
}  // namespace torvane
