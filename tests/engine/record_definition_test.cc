// Creation definitions that the engine must accept or refuse, sent
// through Create as the program sends them (padded with spaces to 1536
// bytes). A refused definition never leaves a file behind.
#include "engine/record_definition.h"

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

struct DefinitionCase {
  const char* name;
  std::string definition;
  int16_t expected;
};

TEST(RecordDefinitionTest, CreateAnswersTheInterfaceStatuses) {
  const std::string key2 = Segment(1, 2);
  const std::vector<DefinitionCase> cases = {
      {"all spaces (an empty definition file)", "", 24},
      {"page size not a multiple of 512", FileDefinition(10, 1, 1000) + key2, 24},
      {"page size 0", FileDefinition(10, 1, 0) + key2, 24},
      {"page size 4096", FileDefinition(10, 1, 4096) + key2, 0},
      {"variable-length records", FileDefinition(10, 1, 512, 0x0001) + key2, 49},
      {"key-only file", FileDefinition(10, 1, 512, 0x0010) + key2, 49},
      {"preallocation is harmless", FileDefinition(10, 1, 512, 0x0004) + key2, 0},
      {"no key", FileDefinition(10, 0), 26},
      {"120 keys", FileDefinition(10, 120) + std::string(1520, '\0'), 26},
      {"record length 0", FileDefinition(0, 1) + key2, 28},
      {"record longer than a page holds", FileDefinition(507, 1, 512) + key2, 28},
      {"record that fills a page", FileDefinition(506, 1, 512) + key2, 0},
      {"key position 0", FileDefinition(10, 1) + Segment(0, 2), 27},
      {"key past the record", FileDefinition(10, 1) + Segment(10, 2), 27},
      {"key at the very end", FileDefinition(10, 1) + Segment(9, 2), 0},
      {"key length 0", FileDefinition(10, 1) + Segment(1, 0), 29},
      {"key of 256 bytes", FileDefinition(300, 1) + Segment(1, 200, 0x0010) + Segment(201, 56), 29},
      {"key of 255 bytes", FileDefinition(300, 1) + Segment(1, 200, 0x0010) + Segment(201, 55), 0},
      {"case-insensitive", FileDefinition(10, 1) + Segment(1, 2, 0x0400), 49},
      {"alternate collating sequence", FileDefinition(10, 1) + Segment(1, 2, 0x0020), 49},
      {"null key", FileDefinition(10, 1) + Segment(1, 2, 0x0008), 49},
      {"extended integer type", FileDefinition(10, 1) + Segment(1, 2, 0x0100, 1), 49},
      {"unsigned binary on two bytes", FileDefinition(10, 1) + Segment(1, 2, 0x0100, 14), 49},
      {"unsigned binary on one byte", FileDefinition(10, 1) + Segment(1, 1, 0x0100, 14), 0},
      {"extended string", FileDefinition(10, 1) + Segment(1, 2, 0x0100, 0), 0},
      {"binary flag", FileDefinition(10, 1) + Segment(1, 2, 0x0004), 0},
      {"segments disagree on duplicates",
       FileDefinition(10, 1) + Segment(1, 2, 0x0011) + Segment(3, 2, 0x0000), 45},
      // Spaces as flags (0x2020) ask for an alternate collating sequence.
      {"a spaces segment", FileDefinition(10, 1) + std::string(16, ' '), 49},
      {"two keys, second all spaces", FileDefinition(10, 2) + key2 + std::string(16, ' '), 49},
  };
  for (const DefinitionCase& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem files;
    RecordEngine engine(files);
    TableClient client(engine);
    EXPECT_EQ(client.Create("T.dat", c.definition), c.expected);
    EXPECT_EQ(files.GetFile("T.dat").has_value(), c.expected == 0);
    EXPECT_EQ(files.Find("*").size(), c.expected == 0 ? 1u : 0u) << "no leftover";
  }
}

TEST(RecordDefinitionTest, SegmentsThatRunPastTheDataGiveDataBufferStatus) {
  MemoryFileSystem files;
  RecordEngine engine(files);
  TableClient client(engine);
  // The key announces a second segment that the data length does not hold.
  std::string definition = FileDefinition(10, 1) + Segment(1, 2, 0x0010);
  uint32_t length = static_cast<uint32_t>(definition.size());
  std::string key = std::string("T.dat") + '\0';
  EXPECT_EQ(engine.Call(kOpCreate, client.block, definition.data(), &length, key.data(), 5, -1),
            22);
  length = 10;
  EXPECT_EQ(engine.Call(kOpCreate, client.block, definition.data(), &length, key.data(), 5, -1),
            22);
  EXPECT_FALSE(files.GetFile("T.dat"));
}

TEST(RecordDefinitionTest, ParsedKeysDescribeTheirSegments) {
  TableDefinition table_definition;
  const std::string bytes = FileDefinition(20, 2) + Segment(3, 2, 0x0010) + Segment(10, 4, 0x0040) +
                            Segment(1, 1, 0x0003);
  ASSERT_EQ(ParseTableDefinition(bytes + std::string(100, ' '), &table_definition),
            RecordStatus::kOk);
  EXPECT_EQ(table_definition.bytes, bytes) << "only the announced segments are kept";
  EXPECT_EQ(table_definition.record_length, 20u);
  ASSERT_EQ(table_definition.keys.size(), 2u);
  EXPECT_EQ(table_definition.keys[0].length, 6u);
  EXPECT_FALSE(table_definition.keys[0].duplicates);
  ASSERT_EQ(table_definition.keys[0].segments.size(), 2u);
  EXPECT_EQ(table_definition.keys[0].segments[1].record_offset, 9u);
  EXPECT_TRUE(table_definition.keys[0].segments[1].descending);
  EXPECT_EQ(table_definition.keys[1].first_segment, 2u);
  EXPECT_TRUE(table_definition.keys[1].duplicates);
}

}  // namespace
}  // namespace torvane
