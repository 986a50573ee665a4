// The table registry against a scripted record manager: the Open, Create,
// Stat and Reset requests byte by byte, path splitting, lock retries, the
// status of a failed open, slot limits, and the keyed and sequential reads with their
// buffers, key values and the guard on the caller's record buffer.
#include "records/table_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory_file_system.h"
#include "tests/records/scripted_record_manager.h"
#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::FakeClock;
using testing::ScriptedRecordManager;
using testing::ScriptedReply;
using testing::StatAnswer;

constexpr int16_t kTable = 503;

// What a key buffer holds when it carries `text` zero-terminated.
std::string ZeroTerminated(const std::string& text) {
  return text + std::string(kRequestKeySize - text.size(), '\0');
}

class TableRegistryTest : public ::testing::Test {
 protected:
  TableRegistryTest() {
    fs_.CreateFolder("ROOT");
    fs_.CreateFolder("ROOT\\ddf");
    rm_.stat_answer = StatAnswer(28, {{4}});
  }

  RecordStatus Open(int16_t file_number = kTable, std::string_view path = "DADES\\TVRebut") {
    return registry_.OpenTable(file_number, path, buffer_, 28);
  }
  const TableSlot& SlotOf(int16_t file_number) const {
    return registry_.Slot(registry_.FindTableSlot(file_number));
  }
  const testing::RecordedRequest& Last() const { return rm_.requests.back(); }
  std::string BufferText(size_t length) const {
    return std::string(reinterpret_cast<const char*>(buffer_), length);
  }

  ScriptedRecordManager rm_;
  MemoryFileSystem fs_;
  FakeClock clock_;
  TableRegistry registry_{rm_, fs_, clock_, "ROOT\\"};
  uint8_t buffer_[28] = {};
};

TEST_F(TableRegistryTest, OpenSendsOwnerNameAndPathThenStat) {
  ASSERT_EQ(Open(), RecordStatus::kOk);
  ASSERT_EQ(rm_.Operations(), (std::vector<uint16_t>{kOpOpen, kOpStat}));

  const auto& open = rm_.requests[0];
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(open.data[i] >= '0' && open.data[i] <= '9');
  EXPECT_EQ(open.data[4], '\0');
  EXPECT_EQ(open.data.substr(5), std::string(kRequestDataSize - 5, ' '));
  EXPECT_EQ(open.data_length, 5u);
  EXPECT_EQ(open.key, ZeroTerminated("DADES\\TVRebut.dat"));
  EXPECT_EQ(open.key_length, 17);
  EXPECT_EQ(open.key_number, 0);
  EXPECT_EQ(open.position_block_bytes[0], '\0');

  const auto& stat = rm_.requests[1];
  EXPECT_EQ(stat.key, std::string(255, ' ') + '\0');
  EXPECT_EQ(stat.key_length, 255);
  EXPECT_EQ(stat.data, std::string(kRequestDataSize, ' '));
  EXPECT_EQ(stat.data_length, static_cast<uint32_t>(kRequestDataSize));
  EXPECT_EQ(stat.key_number, 0);

  const TableSlot& slot = SlotOf(kTable);
  EXPECT_EQ(open.position_block, slot.PositionBlock);
  EXPECT_EQ(stat.position_block, slot.PositionBlock);
  EXPECT_EQ(slot.FileNumber, kTable);
  EXPECT_EQ(slot.RecordBuffer, buffer_);
  EXPECT_EQ(slot.RecordLength, 28);
  EXPECT_EQ(slot.KeyNumber, 0);
  EXPECT_EQ(slot.KeyValue, std::string(4, '\0'));
}

TEST(TableRegistryPaths, SplitIntoFolderNameAndExtension) {
  struct Case {
    const char* path;
    const char* sent;
    const char* definition;
  };
  const Case cases[] = {
      {"DADES\\TVRebut", "DADES\\TVRebut.dat", "ROOT\\ddf\\TVRebut.xdf"},
      {"DADES\\X.BTR", "DADES\\X.BTR", "ROOT\\ddf\\X.xdf"},
      {"A.B\\C", "A.B\\C.dat", "ROOT\\ddf\\C.xdf"},
      {"TVRebut", "TVRebut.dat", "ROOT\\ddf\\TVRebut.xdf"},
      {"C:X.Y", "C:X.Y", "ROOT\\ddf\\X.xdf"},
      {"D/a.b.c", "D/a.b.c", "ROOT\\ddf\\a.xdf"},
      {"R\\DADES\\Arx.tar.gz", "R\\DADES\\Arx.tar.gz", "ROOT\\ddf\\Arx.xdf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ScriptedRecordManager rm;
    rm.stat_answer = StatAnswer(28, {{1}});
    rm.QueueStatuses({12, 0, 0});  // missing, created, opened
    MemoryFileSystem fs;
    fs.CreateFolder("ROOT");
    fs.CreateFolder("ROOT\\ddf");
    FakeClock clock;
    TableRegistry registry(rm, fs, clock, "ROOT\\");
    uint8_t buffer[28] = {};
    ASSERT_EQ(registry.OpenTable(kTable, c.path, buffer, 28), RecordStatus::kOk);

    ASSERT_EQ(rm.Operations(), (std::vector<uint16_t>{kOpOpen, kOpCreate, kOpOpen, kOpStat}));
    for (int i : {0, 1, 2}) {
      EXPECT_EQ(rm.requests[i].key, ZeroTerminated(c.sent));
      EXPECT_EQ(rm.requests[i].key_length, std::strlen(c.sent));
    }
    // A missing definition file is created empty and the Create carries spaces.
    EXPECT_EQ(fs.GetFile(c.definition), std::string());
    EXPECT_EQ(rm.requests[1].data, std::string(kRequestDataSize, ' '));
  }
}

TEST_F(TableRegistryTest, LockedFileIsTriedAgainEveryThreeSeconds) {
  rm_.QueueStatuses({85, 85, 0});
  ASSERT_EQ(Open(), RecordStatus::kOk);
  EXPECT_EQ(rm_.Operations(), (std::vector<uint16_t>{kOpOpen, kOpOpen, kOpOpen, kOpStat}));
  EXPECT_EQ(clock_.slept_ms, 6000);
  EXPECT_EQ(rm_.requests[2].data.substr(0, 5), rm_.requests[0].data.substr(0, 5));
}

TEST_F(TableRegistryTest, MissingFileIsCreatedFromItsDefinition) {
  fs_.SetFile("ROOT\\ddf\\TVRebut.xdf", std::string("\x03\x00"
                                                    "abcXYZ",
                                                    8));
  rm_.QueueStatuses({12, 0, 0});
  ASSERT_EQ(Open(), RecordStatus::kOk);
  ASSERT_EQ(rm_.Operations(), (std::vector<uint16_t>{kOpOpen, kOpCreate, kOpOpen, kOpStat}));

  const auto& create = rm_.requests[1];
  EXPECT_EQ(create.data, "abc" + std::string(kRequestDataSize - 3, ' '));
  EXPECT_EQ(create.data_length, static_cast<uint32_t>(kRequestDataSize));
  EXPECT_EQ(create.key, ZeroTerminated("DADES\\TVRebut.dat"));
  EXPECT_EQ(create.key_length, 17);
  EXPECT_EQ(create.key_number, -1);
  EXPECT_EQ(create.position_block, SlotOf(kTable).PositionBlock);
  // The Open after the Create is the same request as the first.
  EXPECT_EQ(rm_.requests[2].data, rm_.requests[0].data);
  EXPECT_EQ(rm_.requests[2].data_length, 5u);
  EXPECT_EQ(SlotOf(kTable).RecordLength, 28);
  EXPECT_EQ(SlotOf(kTable).KeyValue, std::string(4, '\0'));
}

TEST_F(TableRegistryTest, DefinitionLongerThanTheDataBufferIsCutToIt) {
  const std::string definition(2000, 'd');
  fs_.SetFile("ROOT\\ddf\\TVRebut.xdf", std::string("\xD0\x07", 2) + definition);
  rm_.QueueStatuses({12, 0, 0});
  ASSERT_EQ(Open(), RecordStatus::kOk);
  EXPECT_EQ(rm_.requests[1].data, std::string(kRequestDataSize, 'd'));
}

TEST_F(TableRegistryTest, FailingCreateReportsItsStatusAndRegistersNothing) {
  rm_.QueueStatuses({12, 25});
  EXPECT_EQ(Open(), RecordStatus::kCreateIo);
  EXPECT_EQ(rm_.Operations(), (std::vector<uint16_t>{kOpOpen, kOpCreate}));
  EXPECT_LT(registry_.FindTableSlot(kTable), 0);  // nothing registered
  EXPECT_EQ(fs_.GetFile("ROOT\\ddf\\TVRebut.xdf"), std::string());
}

TEST_F(TableRegistryTest, FileStillMissingAfterItsCreationIsNotCreatedAgain) {
  rm_.QueueStatuses({12, 0, 12});
  EXPECT_EQ(Open(), RecordStatus::kFileNotFound);
  EXPECT_EQ(rm_.Operations(), (std::vector<uint16_t>{kOpOpen, kOpCreate, kOpOpen}));
}

TEST_F(TableRegistryTest, PathsTheKeyBufferCannotCarryAreNotSent) {
  const std::string longest = std::string(251, 'p');  // + ".dat" = 255
  ASSERT_EQ(registry_.OpenTable(1, longest, buffer_, 28), RecordStatus::kOk);
  EXPECT_EQ(rm_.requests[0].key_length, 255);
  EXPECT_EQ(rm_.requests[0].key, longest + ".dat" + '\0');

  rm_.requests.clear();
  const std::string too_long = "DADES\\" + std::string(300, 'p');
  EXPECT_EQ(registry_.OpenTable(2, too_long, buffer_, 28), RecordStatus::kInvalidFileName);
  EXPECT_TRUE(rm_.requests.empty());
  EXPECT_LT(registry_.FindTableSlot(2), 0);
}

TEST_F(TableRegistryTest, RegisteredNumberGives1002AndKeepsTheFirstRegistration) {
  ASSERT_EQ(Open(), RecordStatus::kOk);
  rm_.requests.clear();
  uint8_t other[28] = {};
  EXPECT_EQ(registry_.OpenTable(kTable, "DADES\\Other", other, 28),
            RecordStatus::kAlreadyRegistered);
  EXPECT_TRUE(rm_.requests.empty());
  EXPECT_EQ(SlotOf(kTable).RecordBuffer, buffer_);
}

TEST_F(TableRegistryTest, FortyFirstTableGives1003) {
  for (int16_t number = 1; number <= kTableSlots; ++number) {
    ASSERT_EQ(Open(number), RecordStatus::kOk);
  }
  EXPECT_EQ(registry_.FindTableSlot(999), 0);
  rm_.requests.clear();
  EXPECT_EQ(Open(999), RecordStatus::kNoFreeSlot);
  EXPECT_TRUE(rm_.requests.empty());
  EXPECT_EQ(registry_.FindTableSlot(1), 40);  // slots are taken from the top
  EXPECT_EQ(registry_.FindTableSlot(40), 1);
}

TEST_F(TableRegistryTest, FindTableSlotAnswersTheHighestFreeSlot) {
  EXPECT_EQ(registry_.FindTableSlot(kTable), -40);
  ASSERT_EQ(Open(), RecordStatus::kOk);  // takes slot 40
  EXPECT_EQ(registry_.FindTableSlot(kTable), 40);
  EXPECT_EQ(registry_.FindTableSlot(505), -39);
}

TEST_F(TableRegistryTest, StatGivesRecordAndKeyLengths) {
  rm_.stat_answer = StatAnswer(100, {{4}, {2, 4, 6}, {1}});
  ASSERT_EQ(Open(), RecordStatus::kOk);
  struct Case {
    int16_t key_number;
    int16_t key_length;
  };
  for (const Case& c : {Case{0, 4}, Case{1, 12}, Case{2, 1}, Case{3, 0}, Case{-1, 0}}) {
    SCOPED_TRACE(c.key_number);
    int16_t key_length = -7;
    int16_t record_length = -7;
    registry_.ReadTableStats(kTable, c.key_number, &key_length, &record_length);
    EXPECT_EQ(key_length, c.key_length);
    EXPECT_EQ(record_length, 100);
  }
  rm_.requests.clear();
  int16_t key_length = -7;
  int16_t record_length = -7;
  registry_.ReadTableStats(999, 0, &key_length, &record_length);
  EXPECT_EQ(key_length, 0);
  EXPECT_EQ(record_length, 0);
  EXPECT_TRUE(rm_.requests.empty());
}

TEST_F(TableRegistryTest, KeyWhoseSegmentsRunPastTheAnswerHasNoLength) {
  std::string answer = StatAnswer(28, {{4}});
  answer[4] = 2;  // claims a second key whose segments never end
  while (answer.size() + 16 <= static_cast<size_t>(kRequestDataSize)) {
    std::string segment(16, '\0');
    segment[2] = 1;     // length
    segment[4] = 0x10;  // another segment follows
    answer += segment;
  }
  rm_.stat_answer = answer;
  ASSERT_EQ(Open(), RecordStatus::kOk);
  int16_t key_length = -7;
  int16_t record_length = 0;
  registry_.ReadTableStats(kTable, 1, &key_length, &record_length);
  EXPECT_EQ(key_length, 0);
  EXPECT_EQ(registry_.ReadByKey(kTable, 1, "", 1), RecordStatus::kNoSuchKey);
}

// A record manager whose record length exceeds the caller's buffer, or whose
// Stat fails and leaves spaces, has its records cut to the buffer's room.
TEST(TableRegistryRoom, RecordsAreCutToTheRoomOfTheBuffer) {
  struct Case {
    const char* name;
    std::string stat_answer;
  };
  const Case cases[] = {
      {"record of 500 bytes", StatAnswer(500, {{4}})},
      {"Stat that answers nothing", ""},  // the lengths come from the spaces sent
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedRecordManager rm;
    rm.stat_answer = c.stat_answer;
    MemoryFileSystem fs;
    FakeClock clock;
    TableRegistry registry(rm, fs, clock, "ROOT\\");
    uint8_t memory[40];
    std::memset(memory, '#', sizeof memory);  // room 28, then a guard area
    ASSERT_EQ(registry.OpenTable(kTable, "T", memory, 28), RecordStatus::kOk);
    const TableSlot& slot = registry.Slot(registry.FindTableSlot(kTable));
    EXPECT_EQ(slot.RecordLength, 28);
    EXPECT_LE(slot.KeyValue.size(), 255u);

    rm.replies.push_back(ScriptedReply{22, std::string(500, 'R'), {}, {}});
    EXPECT_EQ(registry.ReadByKey(kTable, 0, "", 1), RecordStatus::kOk);
    EXPECT_EQ(rm.requests.back().data_length, 28u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(memory), 28), std::string(28, 'R'));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(memory) + 28, 12), std::string(12, '#'));
  }
}

TEST_F(TableRegistryTest, ReadRequestsFillTheirBuffers) {
  ASSERT_EQ(Open(), RecordStatus::kOk);
  std::memcpy(buffer_, "record-bytes-of-twenty-eight", 28);
  struct Case {
    const char* name;
    int16_t direction;  // -1: ReadNext
    uint16_t operation;
    char key_fill;
  };
  const Case cases[] = {
      {"get equal", 0, kOpGetEqual, ' '},
      {"get greater or equal", 1, kOpGetGreaterOrEqual, '\0'},
      {"get next", -1, kOpGetNext, ' '},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rm_.replies.push_back(ScriptedReply{0, std::nullopt, 0u, std::string("K001")});
    const RecordStatus status = c.direction < 0
                                    ? registry_.ReadNext(kTable)
                                    : registry_.ReadByKey(kTable, 0, "K001", c.direction);
    EXPECT_EQ(status, RecordStatus::kOk);
    const auto& request = Last();
    EXPECT_EQ(request.operation, c.operation);
    EXPECT_EQ(request.data,
              "record-bytes-of-twenty-eight" + std::string(kRequestDataSize - 28, ' '));
    EXPECT_EQ(request.data_length, 28u);
    EXPECT_EQ(request.key, "K001" + std::string(kRequestKeySize - 4, c.key_fill));
    EXPECT_EQ(request.key_length, 4);
    EXPECT_EQ(request.key_number, 0);
    EXPECT_EQ(request.position_block, SlotOf(kTable).PositionBlock);
  }
}

TEST_F(TableRegistryTest, KeyValueFollowsTheRecordsRead) {
  rm_.stat_answer = StatAnswer(28, {{4}, {6}});
  ASSERT_EQ(Open(), RecordStatus::kOk);

  rm_.replies.push_back(ScriptedReply{0, {}, 0u, std::string("K001")});
  ASSERT_EQ(registry_.ReadByKey(kTable, 0, "AB", 1), RecordStatus::kOk);
  EXPECT_EQ(Last().key.substr(0, 4), std::string("AB\0\0", 4));  // padded with zero bytes
  EXPECT_EQ(SlotOf(kTable).KeyValue, "K001");

  rm_.replies.push_back(ScriptedReply{0, {}, 0u, std::string("K002XYZ")});
  ASSERT_EQ(registry_.ReadNext(kTable), RecordStatus::kOk);
  EXPECT_EQ(Last().key.substr(0, 4), "K001");  // the key of the record last read
  EXPECT_EQ(SlotOf(kTable).KeyValue, "K002");  // keeps its length

  ASSERT_EQ(registry_.ReadByKey(kTable, 1, "ABCDEFGHIJ", 0), RecordStatus::kOk);
  EXPECT_EQ(Last().key.substr(0, 7), "ABCDEF ");  // cut to the key's length
  EXPECT_EQ(Last().key_length, 6);
  EXPECT_EQ(Last().key_number, 1);
  EXPECT_EQ(SlotOf(kTable).KeyNumber, 1);

  ASSERT_EQ(registry_.ReadByKey(kTable, 0, "", 1), RecordStatus::kOk);
  EXPECT_EQ(Last().key, std::string(kRequestKeySize, '\0'));  // the first record of the key
}

TEST_F(TableRegistryTest, KeyTheTableDoesNotHaveGives1004AfterOnlyAStat) {
  ASSERT_EQ(Open(), RecordStatus::kOk);
  rm_.replies.push_back(ScriptedReply{0, {}, 0u, std::string("K001")});
  ASSERT_EQ(registry_.ReadByKey(kTable, 0, "K", 1), RecordStatus::kOk);
  rm_.requests.clear();

  EXPECT_EQ(registry_.ReadByKey(kTable, 1, "X", 0), RecordStatus::kNoSuchKey);
  EXPECT_EQ(rm_.Operations(), (std::vector<uint16_t>{kOpStat}));
  EXPECT_EQ(SlotOf(kTable).KeyNumber, 0);
  EXPECT_EQ(SlotOf(kTable).KeyValue, "K001");
}

TEST_F(TableRegistryTest, UnregisteredTableGives3AndSendsNothing) {
  ASSERT_EQ(Open(), RecordStatus::kOk);
  rm_.requests.clear();
  EXPECT_EQ(registry_.ReadByKey(999, 0, "", 1), RecordStatus::kNotOpen);
  EXPECT_EQ(registry_.ReadNext(999), RecordStatus::kNotOpen);
  EXPECT_EQ(registry_.ReadNext(0), RecordStatus::kNotOpen);  // 0 marks a free slot
  EXPECT_EQ(registry_.ReadByKey(kTable, 0, "", -1), RecordStatus::kInvalidOperation);
  EXPECT_TRUE(rm_.requests.empty());
}

TEST_F(TableRegistryTest, RecordBufferKeepsItsContentsWhenNothingIsDelivered) {
  ASSERT_EQ(Open(), RecordStatus::kOk);
  std::memcpy(buffer_, "the last record, kept intact", 28);
  rm_.replies.push_back(ScriptedReply{9, std::string(28, 'Z'), 0u, {}});
  EXPECT_EQ(registry_.ReadNext(kTable), RecordStatus::kEndOfFile);
  EXPECT_EQ(BufferText(28), "the last record, kept intact");
}

TEST_F(TableRegistryTest, ShortDeliveryReplacesOnlyWhatCame) {
  ASSERT_EQ(Open(), RecordStatus::kOk);
  std::memset(buffer_, '.', 28);
  rm_.replies.push_back(ScriptedReply{0, std::string("abcdef"), {}, {}});
  EXPECT_EQ(registry_.ReadNext(kTable), RecordStatus::kOk);
  EXPECT_EQ(BufferText(28), "abcdef" + std::string(22, '.'));
}

TEST_F(TableRegistryTest, ReadsTurnOnlyStatus22IntoSuccess) {
  ASSERT_EQ(Open(), RecordStatus::kOk);
  const std::pair<int16_t, RecordStatus> cases[] = {
      {22, RecordStatus::kOk},         {4, RecordStatus::kKeyNotFound},
      {9, RecordStatus::kEndOfFile},   {84, RecordStatus::kRecordLocked},
      {85, RecordStatus::kFileLocked},
  };
  for (const auto& [answer, expected] : cases) {
    SCOPED_TRACE(answer);
    rm_.QueueStatuses({answer});
    EXPECT_EQ(registry_.ReadByKey(kTable, 0, "K", 0), expected);
    rm_.QueueStatuses({answer});
    EXPECT_EQ(registry_.ReadNext(kTable), expected);
  }
  EXPECT_EQ(clock_.slept_ms, 0);  // reads never wait
}

TEST_F(TableRegistryTest, FailingResetKeepsEverySlot) {
  ASSERT_EQ(Open(505), RecordStatus::kOk);
  ASSERT_EQ(Open(506), RecordStatus::kOk);
  rm_.QueueStatuses({20});
  EXPECT_EQ(registry_.CloseAllTables(), RecordStatus::kInactive);

  const auto& reset = Last();
  EXPECT_EQ(reset.operation, kOpReset);
  EXPECT_EQ(reset.position_block_bytes, std::string(kPositionBlockSize, ' '));
  EXPECT_NE(reset.position_block, SlotOf(505).PositionBlock);
  EXPECT_NE(reset.position_block, SlotOf(506).PositionBlock);
  EXPECT_EQ(reset.data_length, 0u);
  EXPECT_EQ(reset.key_length, 0);
  EXPECT_EQ(reset.key_number, 0);
  EXPECT_GT(registry_.FindTableSlot(505), 0);
  EXPECT_GT(registry_.FindTableSlot(506), 0);
}

TEST_F(TableRegistryTest, ResetFreesEverySlot) {
  ASSERT_EQ(Open(505), RecordStatus::kOk);
  ASSERT_EQ(Open(506), RecordStatus::kOk);
  EXPECT_EQ(registry_.CloseAllTables(), RecordStatus::kOk);
  for (int number = 1; number <= kTableSlots; ++number) {
    EXPECT_EQ(registry_.Slot(number).FileNumber, 0);
    EXPECT_EQ(registry_.Slot(number).RecordBuffer, nullptr);
    EXPECT_TRUE(registry_.Slot(number).KeyValue.empty());
  }
  EXPECT_EQ(Open(505), RecordStatus::kOk);
}

}  // namespace
}  // namespace torvane
