// The fatal end of a table that cannot be opened: the framed message on row
// 12, beep, flush, key, the screen put back, the unattended report, then
// everything closed and exit code 1.
#include "driver/fatal_open.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/run_program.h"
#include "platform/memory_file_system.h"
#include "tests/console/fake_console.h"
#include "tests/records/scripted_record_manager.h"
#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::FakeConsole;

constexpr ScreenColourTable kColours = {{7, 0}, {7, 1}, {0, 7}, {14, 4}, {11, 3}};

class FatalOpenTest : public ::testing::Test {
 protected:
  FatalOpenTest() { fs_.CreateFolder("TMP"); }

  FakeConsole console_{25, 80};
  MemoryFileSystem fs_;
  WindowStack windows_{console_, fs_, "TMP\\"};
  ColourState colour_state_;
};

TEST_F(FatalOpenTest, ShowsWaitsAndRestores) {
  console_.Put(10, 30, 'Q', 0x4F);
  const auto before = console_.cells();
  const std::string message = "NO SE PUEDE ACCEDER AL FICHERO C:\\KAV\\DADES\\TVRebut (2)";
  std::string shown_row;
  bool stack_saved = false;
  console_.on_wait_key = [&] {
    shown_row = console_.Text(10, 1, 80);
    stack_saved = fs_.GetFile("TMP\\WinPush.tmp").has_value();
  };

  PresentFatalOpen(windows_, colour_state_, kColours, message);

  // 55 characters: the window spans columns 11 to 69, the text from 13 on.
  EXPECT_EQ(shown_row, std::string(10, ' ') + "\xB3 " + message + " \xB3" + std::string(11, ' '));
  EXPECT_TRUE(stack_saved);
  EXPECT_EQ(console_.events,
            (std::vector<std::string>{"beep", "flush", "key", "report:" + message}));
  EXPECT_EQ(console_.cells(), before);
  EXPECT_FALSE(fs_.GetFile("TMP\\WinPush.tmp").has_value());
  EXPECT_EQ(windows_.state().WindowDepth, 0);
}

// The operator's message names the path as given and the status, after the
// prefix of the session language (Catalan for anything unknown).
TEST(FatalOpenMessageTest, PrefixOfTheSessionLanguage) {
  struct Case {
    const char* language;
    const char* prefix;
  };
  const Case cases[] = {
      {"SPA", "NO SE PUEDE ACCEDER AL FICHERO "},      {"GLG", "NOM SE PODE ACEDER AO FICHEIRO "},
      {"OCI", "NON SE P\xD2T ACCEDIR ATH FICH\xC8R "}, {"CAT", "NO ES POT ACCEDIR AL FITXER "},
      {"   ", "NO ES POT ACCEDIR AL FITXER "},         {"spa", "NO ES POT ACCEDIR AL FITXER "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FatalOpenMessage(c.language, "C:\\KAV\\DADES\\PropietV", RecordStatus::kIoError),
              std::string(c.prefix) + "C:\\KAV\\DADES\\PropietV (2)")
        << c.language;
  }
  EXPECT_EQ(FatalOpenMessage("CAT", "DADES\\TVRebut", RecordStatus::kCreateIo),
            "NO ES POT ACCEDIR AL FITXER DADES\\TVRebut (25)");
  EXPECT_EQ(FatalOpenMessage("CAT", "DADES\\TVRebut", RecordStatus::kInvalidFileName),
            "NO ES POT ACCEDIR AL FITXER DADES\\TVRebut (11)");
}

// The run's tables through the driver: the first table that cannot be
// opened shows its message, closes the tables and ends the process with 1.
TEST_F(FatalOpenTest, FailedOpenClosesEverythingAndEndsWithExitCodeOne) {
  ::testing::FLAGS_gtest_death_test_style = "threadsafe";
  testing::ScriptedRecordManager rm;
  testing::FakeClock clock;
  TableRegistry registry(rm, fs_, clock, "ROOT\\");
  RunBuffers buffers;
  EXPECT_EXIT(
      {
        rm.QueueStatuses({2});
        OpenRunTables(
            registry, buffers, "ROOT\\", [&](const std::string& path, RecordStatus status) {
              EndRunAfterFailedOpen(
                  windows_, colour_state_, kColours, FatalOpenMessage("SPA", path, status), [&] {
                    const RecordStatus reset = registry.CloseAllTables();
                    const bool reported =
                        console_.events.back() ==
                        "report:NO SE PUEDE ACCEDER AL FICHERO ROOT\\DADES\\TVRebut (2)";
                    std::fprintf(stderr, "reset=%d last=%d reported=%d\n", StatusCode(reset),
                                 rm.requests.back().operation, reported ? 1 : 0);
                  });
            });
      },
      ::testing::ExitedWithCode(1), "reset=0 last=28 reported=1");
}

}  // namespace
}  // namespace torvane
