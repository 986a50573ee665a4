// The kavdata command line as people type it: help and version, the option
// spellings getopt_long takes, generate's refusal to overwrite an
// installation, and dump keeping the owner name to itself.
#include "tools/kavdata_cli.h"

#include <gtest/gtest.h>

#include "tests/tools/kavdata_test_support.h"

namespace torvane::testing {
namespace {

class KavdataCliTest : public KavdataTest {};

TEST_F(KavdataCliTest, HelpAndVersionGoToStandardOutput) {
  const struct {
    std::vector<std::string> arguments;
    std::vector<std::string> expected;
  } cases[] = {
      {{"-h"}, {"usage: kavdata COMMAND", "build", "dump", "generate", "Exit codes"}},
      {{"--help"}, {"usage: kavdata COMMAND"}},
      {{"help"}, {"usage: kavdata COMMAND"}},
      {{"--version"}, {"kavdata 1."}},
      {{"build", "--help"}, {"usage: kavdata build", "Example:\n  kavdata build "}},
      {{"dump", "-h"}, {"usage: kavdata dump", "--show-owner", "Example:\n  kavdata dump "}},
      {{"help", "generate"},
       {"usage: kavdata generate", "--force", "Example:\n  kavdata generate"}},
      // Help wins over what else is on the line.
      {{"generate", "x", "--units=0", "--help"}, {"usage: kavdata generate"}},
  };
  for (const auto& c : cases) {
    const KavdataResult result = Run(c.arguments);
    EXPECT_EQ(result.exit_code, kavdata::kExitSuccess) << c.arguments[0] << "\n" << result.err;
    EXPECT_EQ(result.err, "") << c.arguments[0];
    for (const std::string& text : c.expected) {
      EXPECT_NE(result.out.find(text), std::string::npos) << c.arguments[0] << ": " << text;
    }
  }
}

TEST_F(KavdataCliTest, OptionsTakeTheirValueEitherWay) {
  ASSERT_EQ(Run({"generate", "--units=3", "--seed", "7", "--language=CAT", "a"}).exit_code, 0);
  ASSERT_EQ(Run({"generate", "b", "--units", "3", "--seed=7", "--language", "CAT"}).exit_code, 0);
  std::map<std::string, std::string> renamed;
  for (auto& [path, bytes] : FilesUnder("b")) renamed["a" + path.substr(1)] = bytes;
  EXPECT_EQ(FilesUnder("a"), renamed);
}

TEST_F(KavdataCliTest, BadCommandLinesExitTwoWithTheCommandsUsage) {
  const struct {
    std::vector<std::string> arguments;
    std::string expected;
  } cases[] = {
      {{"--units=3"}, "unknown command --units=3"},
      {{"generate", "--units"}, "--units needs a value"},
      {{"generate", "--colour=red", "x"}, "unknown option --colour"},
      {{"generate", "-x", "x"}, "unknown option -x"},
      {{"generate", "--units=3", "--units=4", "--seed=1", "x"}, "--units is given twice"},
      {{"dump", "--show-owner=yes", "x"}, "--show-owner takes no value"},
      {{"help", "bild"}, "help takes one of"},
  };
  for (const auto& c : cases) {
    const KavdataResult result = Run(c.arguments);
    EXPECT_EQ(result.exit_code, kavdata::kExitUsage) << c.expected;
    EXPECT_EQ(result.err.rfind("kavdata: " + c.expected, 0), 0u) << result.err;
    EXPECT_NE(result.err.find("usage: kavdata"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
}

TEST_F(KavdataCliTest, GenerateRefusesAnInstallationUnlessForced) {
  ASSERT_EQ(Run({"generate", "--units=20", "--seed=1", "inst"}).exit_code, 0);
  // What a run leaves behind.
  fs_.SetFile("inst\\root\\DOCUMENT\\VER\\0001\\0001\\A.xml", "<x/>");
  fs_.SetFile("inst\\tmp\\TAR.LST", "inst\\root\\DOCUMENT\\VER\\0001\\0001\\A.xml\r\n");
  const std::map<std::string, std::string> before = FilesUnder("inst");

  const KavdataResult refused = Run({"generate", "--units=2", "--seed=1", "inst"});
  EXPECT_EQ(refused.exit_code, kavdata::kExitFailure);
  EXPECT_EQ(refused.err,
            "kavdata: inst: already holds an installation; give --force to replace it\n");
  EXPECT_EQ(FilesUnder("inst"), before);
  // An installation's root itself is refused as well.
  EXPECT_EQ(Run({"generate", "--units=2", "--seed=1", "inst\\root"}).exit_code,
            kavdata::kExitFailure);

  ASSERT_EQ(Run({"generate", "--units=2", "--seed=1", "--force", "inst"}).exit_code, 0);
  ASSERT_EQ(Run({"generate", "--units=2", "--seed=1", "fresh"}).exit_code, 0);
  std::map<std::string, std::string> fresh;
  for (auto& [path, bytes] : FilesUnder("fresh")) fresh["inst" + path.substr(5)] = bytes;
  EXPECT_EQ(FilesUnder("inst"), fresh) << "the earlier run's outputs are gone";
}

TEST_F(KavdataCliTest, DumpShowsTheOwnerNameOnlyWhenAsked) {
  ASSERT_EQ(Run({"generate", "--units=1", "--seed=1", "inst"}).exit_code, 0);
  const std::string owner = "\"owner\": \"" + std::string(kavdata::DefaultOwnerName()) + "\"";
  const KavdataResult hidden = Run({"dump", "inst\\root"});
  ASSERT_EQ(hidden.exit_code, 0) << hidden.err;
  EXPECT_EQ(hidden.out.find("owner\""), std::string::npos) << hidden.out.substr(0, 80);
  const KavdataResult shown = Run({"dump", "--show-owner", "inst\\root"});
  ASSERT_EQ(shown.exit_code, 0) << shown.err;
  EXPECT_EQ(shown.out.rfind("{\n  " + owner + ",\n", 0), 0u) << shown.out.substr(0, 80);
}

}  // namespace
}  // namespace torvane::testing
