// The whole run on the demo installation, in memory: its tables made by the
// data tool into a MemoryFileSystem over the embedded engine, its profiles
// and run parameters copied from examples/demo. Outputs that cannot be
// written, a second run at once and a missing run parameter file end with
// exit code 2, never with anything incomplete handed to the archiver.
#include "driver/run_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/record_engine.h"
#include "platform/memory_file_system.h"
#include "tests/console/fake_console.h"
#include "tests/test_support.h"
#include "tools/kavdata_cli.h"

namespace torvane {
namespace {

constexpr char kRoot[] = "R\\";
constexpr char kTemp[] = "T\\";

class RecordingLauncher : public ProcessLauncher {
 public:
  bool RunAndWait(std::string_view program) override {
    started.emplace_back(program);
    return true;
  }
  std::vector<std::string> started;
};

std::string ReadSourceFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class RunProgramTest : public ::testing::Test {
 protected:
  RunProgramTest() {
    const std::filesystem::path demo = std::filesystem::path(TORVANE_SOURCE_DIR) / "examples/demo";
    for (const char* folder : {"R", "R\\LOCALE", "T", "E"}) fs_.CreateFolder(folder);
    for (const char* name : {"Pexa.ini", "Ftp.ini", "KAVTAR.EXE", "LOCALE/TORVANE1.LNG"}) {
      std::string path = std::string(kRoot) + name;
      std::replace(path.begin(), path.end(), '/', '\\');
      fs_.SetFile(path, ReadSourceFile(demo / "root" / name));
    }
    for (const char* name : {"PexaTerm.ini", "pent.tmp"}) {
      fs_.SetFile(std::string(kTemp) + name, ReadSourceFile(demo / "tmp" / name));
    }
    fs_.SetFile("description.json", ReadSourceFile(demo / "description.json"));
    kavdata::Services services{fs_, engine_};
    std::ostringstream out, err;
    const std::vector<std::string> build = {"build", "description.json", "R"};
    EXPECT_EQ(kavdata::RunKavdata(build, services, out, err), 0) << err.str();
    (void)engine_.Call(kOpReset, nullptr, nullptr, nullptr, nullptr, 0, 0);
    environment_.values = {{"KAVROOT", kRoot}, {"KAVEXE", "E\\"}, {"KAVTMP", "T"}};
  }

  int Run() {
    Platform platform{fs_, clock_, environment_, processes_, console_, engine_};
    operator_log_.str("");
    return RunProgram(platform, operator_log_);
  }

  std::string Report() { return fs_.GetFile("T\\TORVANE1.LOG").value_or("<missing>"); }
  size_t ReportLines(std::string_view keyword) {
    size_t count = 0;
    std::istringstream lines(Report());
    for (std::string line; std::getline(lines, line);) count += line.rfind(keyword, 0) == 0;
    return count;
  }
  std::vector<std::string> Invoices() {
    std::vector<std::string> names;
    for (const DirectoryEntry& estate : fs_.Find("R\\DOCUMENT\\VER\\*")) {
      for (const DirectoryEntry& unit : fs_.Find("R\\DOCUMENT\\VER\\" + estate.name + "\\*")) {
        const std::string folder = "R\\DOCUMENT\\VER\\" + estate.name + "\\" + unit.name;
        for (const DirectoryEntry& file : fs_.Find(folder + "\\*")) {
          names.push_back(folder + "\\" + file.name);
        }
      }
    }
    return names;
  }

  MemoryFileSystem fs_;
  RecordEngine engine_{fs_};
  testing::FakeClock clock_;
  testing::FakeEnvironment environment_;
  RecordingLauncher processes_;
  testing::FakeConsole console_{25, 80};
  std::ostringstream operator_log_;
};

TEST_F(RunProgramTest, CompleteRunEndsWithZeroAndStartsTheArchiver) {
  EXPECT_EQ(Run(), 0) << operator_log_.str();
  EXPECT_EQ(Invoices().size(), 9u);
  EXPECT_EQ(ReportLines("INVOICE\t"), 9u);
  EXPECT_EQ(processes_.started, std::vector<std::string>{"E\\KAVTAR"});
  EXPECT_EQ(operator_log_.str(), "");
}

TEST_F(RunProgramTest, SecondRunAtOnceWritesNothing) {
  const std::unique_ptr<File> first_run = TakeRunLock(fs_, kRoot);
  ASSERT_NE(first_run, nullptr);
  EXPECT_EQ(Run(), 2);
  EXPECT_TRUE(Invoices().empty());
  EXPECT_FALSE(fs_.GetFile("T\\TAR.LST").has_value());
  EXPECT_FALSE(fs_.GetFile("T\\TORVANE1.LOG").has_value());
  EXPECT_FALSE(fs_.GetFile("T\\KAVTAR.INI").has_value());
  EXPECT_TRUE(processes_.started.empty());
  EXPECT_NE(operator_log_.str().find("the run lock R\\TORVANE1.LCK is held by another run"),
            std::string::npos);
}

TEST_F(RunProgramTest, FileListThatCannotBeWrittenIsNeverHandedOn) {
  fs_.FailWritesTo("T\\TAR.LST");
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(ReportLines("NOT-LISTED\t"), 4u);  // the four direct debits
  EXPECT_EQ(ReportLines("NOT-COMPLETE\tT\\TAR.LST"), 1u);
  EXPECT_FALSE(fs_.GetFile("T\\KAVTAR.INI").has_value());
  EXPECT_EQ(processes_.started, std::vector<std::string>{"E\\TORVANE2"});
  EXPECT_NE(operator_log_.str().find("the archiver was not started"), std::string::npos);
}

TEST_F(RunProgramTest, FileListThatCannotBeCreatedStopsBeforeTheWalk) {
  fs_.CreateFolder("T\\TAR.LST");  // a folder where the list belongs
  EXPECT_EQ(Run(), 2);
  EXPECT_TRUE(Invoices().empty());
  EXPECT_EQ(ReportLines("NOT-COMPLETE\tT\\TAR.LST"), 1u);
  EXPECT_TRUE(processes_.started.empty());
}

TEST_F(RunProgramTest, ProfileThatCannotBeWrittenLeavesNoProfiles) {
  fs_.SetFile("T\\KAVHTTP.INI", "[URL]\r\nSite=old\r\n");
  fs_.FailRemovesOf("T\\KAVHTTP.INI");
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(ReportLines("NOT-COMPLETE\tT\\KAVHTTP.INI"), 1u);
  EXPECT_FALSE(fs_.GetFile("T\\KAVTAR.INI").has_value());
  EXPECT_EQ(processes_.started, std::vector<std::string>{"E\\TORVANE2"});
  EXPECT_EQ(ReportLines("END\t"), 1u);
}

TEST_F(RunProgramTest, InvoiceThatCannotBeWrittenIsRemovedAndReported) {
  EXPECT_EQ(Run(), 0);
  const std::vector<std::string> invoices = Invoices();
  ASSERT_FALSE(invoices.empty());
  fs_.FailWritesTo(invoices[0]);
  fs_.RemoveFile("R\\TORVANE1.LCK");
  processes_.started.clear();
  EXPECT_EQ(Run(), 2);
  EXPECT_FALSE(fs_.GetFile(invoices[0]).has_value()) << "nothing cut short is left";
  EXPECT_EQ(ReportLines("NOT-WRITTEN\t" + invoices[0]), 1u);
  EXPECT_EQ(Invoices().size(), invoices.size() - 1);
}

TEST_F(RunProgramTest, MissingRunParametersAreReported) {
  fs_.RemoveFile("T\\pent.tmp");
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(ReportLines("NO-PARAMETERS\tT\\pent.tmp"), 1u);
}

TEST_F(RunProgramTest, ReportOfAnEarlierRunNeverSurvives) {
  fs_.SetFile("T\\TORVANE1.LOG", "END\t11\t9\t17087.21\r\n");
  fs_.SetLink("T\\TAR.LST");  // a link at the list's name is replaced, not followed
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Report().rfind("RUN\t", 0), 0u);
  EXPECT_EQ(fs_.KindOf("T\\TAR.LST"), PathKind::kFile);
}

TEST_F(RunProgramTest, LinkedUnitFolderGetsNoInvoice) {
  EXPECT_EQ(Run(), 0);
  const std::vector<std::string> invoices = Invoices();
  const std::string unit_folder = invoices[0].substr(0, invoices[0].rfind('\\'));
  for (const std::string& invoice : invoices) {
    if (invoice.rfind(unit_folder, 0) == 0) fs_.RemoveFile(invoice);
  }
  fs_.RemoveFolder(unit_folder);
  fs_.SetLink(unit_folder);
  fs_.RemoveFile("R\\TORVANE1.LCK");
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(ReportLines("NOT-WRITTEN\t" + unit_folder + "\\"), 1u);
  EXPECT_EQ(fs_.KindOf(unit_folder), PathKind::kLink);
}

}  // namespace
}  // namespace torvane
