// The record engine's writes on an in-memory disk: a failed write leaves the
// old file whole, and a writer rereads a file that another writer replaced
// after it was opened, so that nobody's records are lost.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/record_engine.h"
#include "platform/memory_file_system.h"
#include "tests/engine/record_test_support.h"

namespace torvane {
namespace {

using testing::FileDefinition;
using testing::Segment;
using testing::TableClient;

// Every file opened for writing fails its writes while `fail_writes` is set.
class FailingWritesFileSystem : public MemoryFileSystem {
 public:
  std::unique_ptr<File> Open(std::string_view path, FileAccess access, FileSharing sharing,
                             FileCreation creation, FileError* error = nullptr) override {
    if (fail_writes && access != FileAccess::kRead) FailWritesTo(path);
    return MemoryFileSystem::Open(path, access, sharing, creation, error);
  }
  bool fail_writes = false;
};

std::string Definition() { return FileDefinition(4, 1) + Segment(1, 2); }

std::vector<std::string> Walk(TableClient& client) {
  std::vector<std::string> records;
  for (auto reply = client.Get(kOpGetFirst, 0); reply.status == 0;
       reply = client.Get(kOpGetNext, 0)) {
    records.push_back(reply.data);
  }
  return records;
}

class RecordEngineWriteTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(files_.CreateFolder("DADES")); }

  void MakeTable(const std::string& path, const std::vector<std::string>& records) {
    TableClient client(engine_);
    ASSERT_EQ(client.Create(path, Definition()), 0);
    ASSERT_EQ(client.Open(path), 0);
    for (const std::string& record : records) ASSERT_EQ(client.Insert(record).status, 0);
    ASSERT_EQ(client.Close(), 0);
  }

  FailingWritesFileSystem files_;
  RecordEngine engine_{files_};
};

TEST_F(RecordEngineWriteTest, FailedWriteLeavesTheOldFileWhole) {
  MakeTable("DADES\\T.dat", {"AA01"});
  const std::optional<std::string> before = files_.GetFile("DADES\\T.dat");
  TableClient client(engine_);
  ASSERT_EQ(client.Open("DADES\\T.dat"), 0);
  ASSERT_EQ(client.Insert("BB02").status, 0);
  files_.fail_writes = true;
  EXPECT_EQ(client.Close(), 2) << "the lost insert is reported";
  EXPECT_EQ(files_.GetFile("DADES\\T.dat"), before);
  EXPECT_EQ(files_.Find("DADES\\*").size(), 1u) << "no half-written file left beside it";
  EXPECT_EQ(client.Create("DADES\\U.dat", Definition()), 25);
  EXPECT_FALSE(files_.GetFile("DADES\\U.dat"));
  EXPECT_EQ(files_.Find("DADES\\*").size(), 1u);

  files_.fail_writes = false;
  ASSERT_EQ(client.Open("DADES\\T.dat"), 0);
  EXPECT_EQ(Walk(client), std::vector<std::string>{"AA01"});
}

TEST_F(RecordEngineWriteTest, WriterRereadsAFileReplacedSinceItWasRead) {
  MakeTable("DADES\\T.dat", {"AA01"});
  TableClient writer(engine_);
  ASSERT_EQ(writer.Open("DADES\\T.dat"), 0);
  ASSERT_EQ(writer.Get(kOpGetFirst, 0).status, 0);

  // Another program's writer puts a new file in its place.
  {
    RecordEngine other_engine(files_);
    TableClient other(other_engine);
    ASSERT_EQ(other.Create("DADES\\X.dat", Definition()), 0);
    ASSERT_EQ(other.Open("DADES\\X.dat"), 0);
    ASSERT_EQ(other.Insert("AA01").status, 0);
    ASSERT_EQ(other.Insert("BB02").status, 0);
    ASSERT_EQ(other.Close(), 0);
  }
  files_.SetFile("DADES\\T.dat", *files_.GetFile("DADES\\X.dat"));

  EXPECT_EQ(writer.Insert("BB99").status, 5) << "the newcomer's key is seen";
  EXPECT_EQ(writer.Get(kOpGetNext, 0).status, 8) << "positions do not survive a reread";
  ASSERT_EQ(writer.Insert("CC03").status, 0);
  ASSERT_EQ(writer.Close(), 0);
  ASSERT_EQ(writer.Open("DADES\\T.dat"), 0);
  EXPECT_EQ(Walk(writer), (std::vector<std::string>{"AA01", "BB02", "CC03"}));
}

TEST_F(RecordEngineWriteTest, ReplacingCreateNeedsTheFileFree) {
  MakeTable("DADES\\T.dat", {"AA01"});
  RecordEngine other_engine(files_);
  TableClient other(other_engine);
  ASSERT_EQ(other.Open("DADES\\T.dat"), 0);
  TableClient client(engine_);
  EXPECT_EQ(client.Create("DADES\\T.dat", Definition(), 0), 85);
  ASSERT_EQ(other.Close(), 0);
  EXPECT_EQ(client.Create("DADES\\T.dat", Definition(), 0), 0);
  ASSERT_EQ(client.Open("DADES\\T.dat"), 0);
  EXPECT_TRUE(Walk(client).empty());
  EXPECT_EQ(files_.Find("DADES\\*").size(), 1u);
}

}  // namespace
}  // namespace torvane
