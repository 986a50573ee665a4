// The fatal end of a table that cannot be opened: the framed message on row
// 12, beep, flush, key, the screen put back, the unattended report, then
// everything closed and exit code 0.
#include "records/fatal_open.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

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

TEST_F(FatalOpenTest, FailedOpenClosesEverythingAndEndsWithExitCodeZero) {
  ::testing::FLAGS_gtest_death_test_style = "threadsafe";
  testing::ScriptedRecordManager rm;
  testing::FakeClock clock;
  TableRegistry* registry_in_use = nullptr;
  TableRegistry registry(
      rm, fs_, clock, "ROOT\\", "SPA", MakeFatalOpenHandler(windows_, colour_state_, kColours, [&] {
        const RecordStatus reset = registry_in_use->CloseAllTables();
        const bool reported =
            console_.events.back() == "report:NO SE PUEDE ACCEDER AL FICHERO DADES\\PropietV (2)";
        std::fprintf(stderr, "reset=%d last=%d reported=%d\n", StatusCode(reset),
                     rm.requests.back().operation, reported ? 1 : 0);
      }));
  registry_in_use = &registry;
  uint8_t buffer[324] = {};
  EXPECT_EXIT(
      {
        rm.QueueStatuses({2});
        (void)registry.OpenTable(505, "DADES\\PropietV", buffer, 324);
      },
      ::testing::ExitedWithCode(0), "reset=0 last=28 reported=1");
}

}  // namespace
}  // namespace torvane
