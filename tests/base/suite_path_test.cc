// The suite's path rules: separators, the trailing separator of a folder and
// the folder, name and extension parts.
#include "base/suite_path.h"

#include <gtest/gtest.h>

namespace torvane {
namespace {

TEST(SuitePathTest, JoinAddsOneSeparatorUnlessTheFolderEndsInOne) {
  const struct {
    const char* folder;
    const char* expected;
  } cases[] = {
      {"", "F.INI"},
      {"C:", "C:F.INI"},
      {"DADES", "DADES\\F.INI"},
      {"DADES\\", "DADES\\F.INI"},
      {"/srv/root/", "/srv/root/F.INI"},
      {"a b ", "a b \\F.INI"},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinPath(c.folder, "F.INI"), c.expected) << c.folder;
  EXPECT_EQ(WithTrailingSeparator(""), "");
  EXPECT_FALSE(EndsFolderPart(""));
}

TEST(SuitePathTest, SplitTakesTheExtensionFromTheFirstDotOfTheName) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
    const char* extension;
  } cases[] = {
      {"DADES\\PropietV", "DADES\\", "PropietV", ""},
      {"DADES\\PropietV.dat", "DADES\\", "PropietV", ".dat"},
      {"C:\\A.B\\name.tar.gz", "C:\\A.B\\", "name", ".tar.gz"},
      {"C:name.x", "C:", "name", ".x"},
      {"/tmp/x/pent.tmp", "/tmp/x/", "pent", ".tmp"},
      {"plain", "", "plain", ""},
      {"DIR\\", "DIR\\", "", ""},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    const PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.folder, c.folder) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
    EXPECT_EQ(parts.extension, c.extension) << c.path;
  }
}

TEST(SuitePathTest, DriveLetter) {
  EXPECT_TRUE(HasDriveLetter("C:\\X"));
  EXPECT_TRUE(HasDriveLetter("z:"));
  EXPECT_FALSE(HasDriveLetter("1:"));
  EXPECT_FALSE(HasDriveLetter("C"));
  EXPECT_FALSE(HasDriveLetter("\\\\srv\\x"));
}

}  // namespace
}  // namespace torvane
