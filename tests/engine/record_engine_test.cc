// The record engine through its published call shape, on a real disk: round
// trips, the statuses of every request, ordering rules, owner names, and two
// engines of one process standing in for two programs of the suite.
#include "engine/record_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/engine/record_test_support.h"
#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::FileDefinition;
using testing::ReadLe;
using testing::ReadNativeFile;
using testing::Reply;
using testing::ScopedTempDir;
using testing::Segment;
using testing::TableClient;

// Table T: 8-byte records; key 0 = bytes 1-2, unique; key 1 = byte 3, duplicates.
std::string TableT() { return FileDefinition(8, 2) + Segment(1, 2) + Segment(3, 1, 0x0001); }

std::string Rec(std::string_view key0, char key1, std::string_view payload = "") {
  std::string record = std::string(key0) + key1 + std::string(payload);
  record.resize(8, '.');
  return record;
}

class RecordEngineTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) { return dir_.path() + name; }

  // Creates T at `name` holding `records` and leaves `client` closed.
  void MakeT(const std::string& name, const std::vector<std::string>& records) {
    ASSERT_EQ(client_.Create(Path(name), TableT()), 0);
    ASSERT_EQ(client_.Open(Path(name)), 0);
    for (const std::string& record : records) ASSERT_EQ(client_.Insert(record).status, 0);
    ASSERT_EQ(client_.Close(), 0);
  }

  // The records along `key` from its first one.
  std::vector<std::string> Walk(TableClient& client, int8_t key) {
    std::vector<std::string> records;
    for (Reply reply = client.Get(kOpGetFirst, key); reply.status == 0;
         reply = client.Get(kOpGetNext, key)) {
      records.push_back(reply.data);
    }
    return records;
  }

  ScopedTempDir dir_;
  RecordEngine engine_{FileSystem::Default()};
  TableClient client_{engine_};
};

TEST_F(RecordEngineTest, InsertedRecordsComeBackInKeyOrderAfterReopen) {
  // The suite's own spelling of the path.
  ASSERT_TRUE(FileSystem::Default().CreateFolder(Path("DADES")));
  MakeT("DADES\\T.dat", {Rec("CC", 'b', "three"), Rec("AA", 'a', "one"), Rec("BB", 'c', "two")});
  EXPECT_TRUE(testing::NativeFileExists(Path("DADES/T.dat")));
  RecordEngine other(FileSystem::Default());
  TableClient reader(other);
  ASSERT_EQ(reader.Open(Path("DADES\\T.dat")), 0);
  EXPECT_EQ(Walk(reader, 0), (std::vector<std::string>{Rec("AA", 'a', "one"), Rec("BB", 'c', "two"),
                                                       Rec("CC", 'b', "three")}));
  EXPECT_EQ(Walk(reader, 1),
            (std::vector<std::string>{Rec("AA", 'a', "one"), Rec("CC", 'b', "three"),
                                      Rec("BB", 'c', "two")}));

  Reply equal = reader.Get(kOpGetEqual, 0, "BB");
  EXPECT_EQ(equal.status, 0);
  EXPECT_EQ(equal.data, Rec("BB", 'c', "two"));
  EXPECT_EQ(equal.key.substr(0, 2), "BB");
  Reply next = reader.Get(kOpGetNext, 0, equal.key);
  EXPECT_EQ(next.data, Rec("CC", 'b', "three"));
  EXPECT_EQ(next.key.substr(0, 2), "CC");

  // Greater or equal with a value between keys, and with all zero bytes.
  EXPECT_EQ(reader.Get(kOpGetGreaterOrEqual, 0, "AB").data, Rec("BB", 'c', "two"));
  EXPECT_EQ(reader.Get(kOpGetGreaterOrEqual, 0, std::string(2, '\0')).data, Rec("AA", 'a', "one"));
}

TEST_F(RecordEngineTest, StatAnswersDefinitionWithCounts) {
  MakeT("T.dat", {Rec("AA", 'x'), Rec("BB", 'x'), Rec("CC", 'y')});
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  const Reply stat = client_.Stat();
  ASSERT_EQ(stat.status, 0);
  ASSERT_EQ(stat.data_length, 16u + 2 * 16u);
  const std::string table_definition = TableT();
  EXPECT_EQ(stat.data.substr(0, 6),
            table_definition.substr(0, 6));  // record length, page size, keys, version
  EXPECT_EQ(ReadLe(stat.data, 6, 4), 3u);    // records
  EXPECT_EQ(ReadLe(stat.data, 14, 2), 0u);   // unused pages
  EXPECT_EQ(stat.data.substr(16, 6),
            table_definition.substr(16, 6));    // key 0: position, length, flags
  EXPECT_EQ(ReadLe(stat.data, 16 + 6, 4), 3u);  // key 0: distinct values
  EXPECT_EQ(ReadLe(stat.data, 32 + 6, 4), 2u);  // key 1: "x" and "y"

  const Reply short_stat = client_.Stat(47);
  EXPECT_EQ(short_stat.status, 22);
  EXPECT_EQ(short_stat.data_length, 0u);
}

TEST_F(RecordEngineTest, RequestStatuses) {
  MakeT("T.dat", {Rec("AA", 'a'), Rec("BB", 'b')});
  struct Case {
    const char* name;
    uint16_t positioning_operation;  // 0: none
    uint16_t operation;
    int8_t key_number;
    std::string key;
    uint8_t key_length;
    int16_t expected;
  };
  const std::vector<Case> cases = {
      {"no record with the key", 0, kOpGetEqual, 0, "AB", 255, 4},
      {"key number past the keys", 0, kOpGetFirst, 2, "", 255, 6},
      {"negative key number", 0, kOpGetGreaterOrEqual, -1, "", 255, 6},
      {"next before any position", 0, kOpGetNext, 0, "AA", 255, 8},
      {"next after a failed read", kOpGetEqual, kOpGetNext, 0, "ZZ", 255, 8},
      {"next on another key", kOpGetFirst, kOpGetNext, 1, "AA", 255, 7},
      {"greater or equal past the last", 0, kOpGetGreaterOrEqual, 0, "BC", 255, 9},
      {"key buffer shorter than the key", 0, kOpGetFirst, 0, "", 1, 21},
      {"unknown operation", 0, 99, 0, "", 255, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TableClient client(engine_);
    ASSERT_EQ(client.Open(Path("T.dat")), 0);
    if (c.positioning_operation != 0) client.Get(c.positioning_operation, 0, c.key);
    EXPECT_EQ(client.Get(c.operation, c.key_number, c.key, 1536, c.key_length).status, c.expected);
    EXPECT_EQ(client.Close(), 0);
  }

  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  EXPECT_EQ(client_.Get(kOpGetEqual, 0, "BB").status, 0);
  EXPECT_EQ(client_.Get(kOpGetNext, 0).status, 9);
  EXPECT_EQ(client_.Get(kOpGetNext, 0).status, 9) << "end of file stays the end";
  EXPECT_EQ(client_.Insert(Rec("AA", 'z')).status, 5);
  EXPECT_EQ(client_.Insert(Rec("CC", 'z').substr(0, 7)).status, 22);
  EXPECT_EQ(client_.Insert(Rec("CC", 'z'), 2).status, 6);
  EXPECT_EQ(Walk(client_, 0).size(), 2u) << "refused inserts add nothing";
}

TEST_F(RecordEngineTest, UnopenedPositionBlockAnswersNotOpen) {
  MakeT("T.dat", {Rec("AA", 'a')});
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  TableClient spaces(engine_);
  std::memset(spaces.block, ' ', sizeof spaces.block);
  TableClient zeroed(engine_);
  std::memcpy(zeroed.block, client_.block, sizeof zeroed.block);
  zeroed.block[0] = 0;  // as the registry does before every Open
  for (TableClient* client : {&spaces, &zeroed}) {
    EXPECT_EQ(client->Get(kOpGetFirst, 0).status, 3);
    EXPECT_EQ(client->Stat().status, 3);
    EXPECT_EQ(client->Insert(Rec("BB", 'b')).status, 3);
    EXPECT_EQ(client->SetOwner("1234"), 3);
    EXPECT_EQ(client->Close(), 3);
  }
  EXPECT_EQ(client_.Close(), 0);
  EXPECT_EQ(client_.Close(), 3) << "a closed block stays closed";
}

TEST_F(RecordEngineTest, EqualKeysKeepInsertionOrder) {
  MakeT("T.dat", {Rec("01", 'k', "first"), Rec("02", 'a'), Rec("03", 'k', "second"),
                  Rec("00", 'k', "third")});
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  ASSERT_EQ(client_.Insert(Rec("04", 'k', "fourth"), 1).status, 0);
  const std::vector<std::string> expected = {Rec("02", 'a'), Rec("01", 'k', "first"),
                                             Rec("03", 'k', "second"), Rec("00", 'k', "third"),
                                             Rec("04", 'k', "fourth")};
  EXPECT_EQ(Walk(client_, 1), expected);
  EXPECT_EQ(client_.Get(kOpGetEqual, 1, "k").data, Rec("01", 'k', "first"));
  EXPECT_EQ(client_.Get(kOpGetGreaterOrEqual, 1, "b").data, Rec("01", 'k', "first"));
  ASSERT_EQ(client_.Close(), 0);
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  EXPECT_EQ(Walk(client_, 1), expected) << "the order survives the file";
}

TEST_F(RecordEngineTest, ManyEqualKeysKeepInsertionOrderThroughTheFile) {
  // Enough records that an unstable sort of the index would show.
  std::vector<std::string> records;
  std::vector<std::string> expected_p, expected_q;
  for (int i = 0; i < 200; ++i) {
    const std::string key0 = {static_cast<char>('A' + (i * 37) % 26), static_cast<char>(i)};
    const char key1 = (i * 7) % 3 == 0 ? 'q' : 'p';
    records.push_back(Rec(key0, key1, std::to_string(i)));
    (key1 == 'p' ? expected_p : expected_q).push_back(records.back());
  }
  MakeT("T.dat", records);
  std::vector<std::string> expected = expected_p;
  expected.insert(expected.end(), expected_q.begin(), expected_q.end());
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  EXPECT_EQ(Walk(client_, 1), expected);
}

TEST_F(RecordEngineTest, DescendingSegmentsCompareInReverse) {
  // Key 0: byte 1 ascending, byte 2 descending. Key 1: byte 3 descending.
  const std::string table_definition =
      FileDefinition(4, 2) + Segment(1, 1, 0x0010) + Segment(2, 1, 0x0040) + Segment(3, 1, 0x0041);
  ASSERT_EQ(client_.Create(Path("D.dat"), table_definition), 0);
  ASSERT_EQ(client_.Open(Path("D.dat")), 0);
  for (const char* record : {"a1x.", "b9y.", "a5z.", "b\xF0y."}) {
    ASSERT_EQ(client_.Insert(record).status, 0) << record;
  }
  EXPECT_EQ(Walk(client_, 0), (std::vector<std::string>{"a5z.", "a1x.", "b\xF0y.", "b9y."}));
  EXPECT_EQ(Walk(client_, 1), (std::vector<std::string>{"a5z.", "b9y.", "b\xF0y.", "a1x."}));
  // Greater or equal follows the key's own order: after "a" + "3" comes "a1".
  EXPECT_EQ(client_.Get(kOpGetGreaterOrEqual, 0, "a3").data, "a1x.");
  EXPECT_EQ(client_.Get(kOpGetEqual, 0, "b\xF0").data, "b\xF0y.");
}

TEST_F(RecordEngineTest, ShortDataBufferGetsRecordCutToIt) {
  MakeT("T.dat", {Rec("AA", 'a', "12345"), Rec("BB", 'b', "67890")});
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  const Reply first = client_.Get(kOpGetFirst, 0, "", 5);
  EXPECT_EQ(first.status, 22);
  EXPECT_EQ(first.data_length, 5u);
  EXPECT_EQ(first.data, "AAa12");
  EXPECT_EQ(first.key.substr(0, 2), "AA");
  const Reply next = client_.Get(kOpGetNext, 0, first.key, 5);
  EXPECT_EQ(next.status, 22) << "the position moved all the same";
  EXPECT_EQ(next.data, "BBb67");
}

TEST_F(RecordEngineTest, CreateKeepsOrReplacesAnExistingFile) {
  MakeT("T.dat", {Rec("AA", 'a')});
  const std::string before = ReadNativeFile(Path("T.dat"));
  EXPECT_EQ(client_.Create(Path("T.dat"), TableT(), -1), 59);
  EXPECT_EQ(ReadNativeFile(Path("T.dat")), before);
  EXPECT_EQ(client_.Create(Path("T.dat"), TableT(), 0), 0);
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  EXPECT_EQ(client_.Get(kOpGetFirst, 0).status, 9) << "the new file is empty";
  EXPECT_EQ(client_.Create(Path("T.dat"), TableT(), 0), 85) << "not while it is open";
  EXPECT_EQ(client_.Close(), 0);

  EXPECT_EQ(client_.Create(Path("missing/T.dat"), TableT()), 25);
  EXPECT_FALSE(testing::NativeFileExists(Path("missing")));
  EXPECT_EQ(client_.Create("", TableT()), 11);
}

TEST_F(RecordEngineTest, OpenFailures) {
  EXPECT_EQ(client_.Open(Path("none.dat")), 12);
  EXPECT_EQ(client_.Open(""), 11);
  testing::WriteNativeFile(Path("foreign.dat"), "PK\x03\x04 not ours at all, but long enough");
  EXPECT_EQ(client_.Open(Path("foreign.dat")), 30);
  MakeT("T.dat", {Rec("AA", 'a')});
  EXPECT_EQ(client_.Open(Path("T.dat"), "", 7), 88) << "no such open mode";
}

TEST_F(RecordEngineTest, OwnerNameGuardsTheFile) {
  MakeT("T.dat", {Rec("AA", 'a')});
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  EXPECT_EQ(client_.SetOwner("7351", "7352", 0), 51) << "data and key names differ";
  EXPECT_EQ(client_.SetOwner("123456789"), 51) << "longer than 8";
  EXPECT_EQ(client_.SetOwner("7351", 2), 41) << "encryption is not offered";
  EXPECT_EQ(client_.SetOwner("7351"), 0);
  EXPECT_EQ(client_.SetOwner("7351"), 50);
  ASSERT_EQ(client_.Close(), 0);

  EXPECT_EQ(client_.Open(Path("T.dat")), 51);
  EXPECT_EQ(client_.Open(Path("T.dat"), "7350"), 51);
  EXPECT_EQ(client_.Open(Path("T.dat"), "73510"), 51);
  ASSERT_EQ(client_.Open(Path("T.dat"), "7351"), 0);
  EXPECT_EQ(client_.Get(kOpGetFirst, 0).data, Rec("AA", 'a')) << "records kept";
  EXPECT_EQ(client_.Close(), 0);
}

TEST_F(RecordEngineTest, ReadOnlyOwnerAccessOpensWithoutTheName) {
  MakeT("T.dat", {Rec("AA", 'a')});
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  ASSERT_EQ(client_.SetOwner("K9", 1), 0);
  ASSERT_EQ(client_.Close(), 0);
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  EXPECT_EQ(client_.Get(kOpGetFirst, 0).status, 0);
  EXPECT_EQ(client_.Insert(Rec("BB", 'b')).status, 46);
  EXPECT_EQ(client_.Open(Path("T.dat"), "K8"), 51) << "a wrong name is still wrong";
  ASSERT_EQ(client_.Open(Path("T.dat"), "K9"), 0);
  EXPECT_EQ(client_.Insert(Rec("BB", 'b')).status, 0);
  EXPECT_EQ(client_.Close(), 0);
}

TEST_F(RecordEngineTest, ReadOnlyOpenRefusesWrites) {
  MakeT("T.dat", {Rec("AA", 'a')});
  ASSERT_EQ(client_.Open(Path("T.dat"), "", -2), 0);
  EXPECT_EQ(client_.Insert(Rec("BB", 'b')).status, 46);
  EXPECT_EQ(client_.SetOwner("7351"), 46);
  EXPECT_EQ(client_.Get(kOpGetFirst, 0).status, 0);
}

TEST_F(RecordEngineTest, ExclusiveOpenIsSeenByAnotherOpener) {
  MakeT("T.dat", {Rec("AA", 'a')});
  RecordEngine other_engine(FileSystem::Default());
  TableClient other(other_engine);

  ASSERT_EQ(client_.Open(Path("T.dat"), "", -4), 0);
  EXPECT_EQ(other.Open(Path("T.dat")), 85);
  EXPECT_EQ(other.Open(Path("T.dat"), "", -2), 85);
  TableClient same_engine(engine_);
  EXPECT_EQ(same_engine.Open(Path("T.dat")), 85) << "exclusive means no second handle";
  ASSERT_EQ(client_.Close(), 0);
  EXPECT_EQ(other.Open(Path("T.dat")), 0);

  // Now the other holds it normally: no exclusive open, no writer here.
  EXPECT_EQ(client_.Open(Path("T.dat"), "", -4), 85);
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  EXPECT_EQ(client_.Insert(Rec("BB", 'b')).status, 85);
  EXPECT_EQ(client_.Get(kOpGetFirst, 0).status, 0) << "the refused writer still reads";
  ASSERT_EQ(other.Close(), 0);
  EXPECT_EQ(client_.Insert(Rec("BB", 'b')).status, 0);
  EXPECT_EQ(other.Open(Path("T.dat")), 85) << "a writer holds the file until it closes";
  ASSERT_EQ(client_.Close(), 0);
  ASSERT_EQ(other.Open(Path("T.dat")), 0);
  EXPECT_EQ(Walk(other, 0).size(), 2u);
}

TEST_F(RecordEngineTest, HandlesOfOneEngineShareTheFile) {
  MakeT("T.dat", {Rec("AA", 'a'), Rec("CC", 'c')});
  TableClient second(engine_);
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  ASSERT_EQ(second.Open(Path("T.dat")), 0);
  ASSERT_EQ(second.Get(kOpGetFirst, 0).data, Rec("AA", 'a'));
  ASSERT_EQ(client_.Insert(Rec("BB", 'b')).status, 0);
  // The second cursor stays on its record and steps onto the newcomer.
  EXPECT_EQ(second.Get(kOpGetNext, 0).data, Rec("BB", 'b'));
  EXPECT_EQ(second.Get(kOpGetNext, 0).data, Rec("CC", 'c'));
  ASSERT_EQ(client_.Close(), 0);
  EXPECT_TRUE(testing::NativeFileExists(Path("T.dat")));
  ASSERT_EQ(second.Close(), 0) << "the last close writes the file";
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  EXPECT_EQ(Walk(client_, 0).size(), 3u);
}

TEST_F(RecordEngineTest, ResetClosesEveryFileAndWritesChanges) {
  MakeT("T.dat", {});
  MakeT("U.dat", {});
  TableClient second(engine_);
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  ASSERT_EQ(second.Open(Path("U.dat")), 0);
  ASSERT_EQ(second.Insert(Rec("UU", 'u')).status, 0);
  TableClient spare(engine_);
  std::memset(spare.block, ' ', sizeof spare.block);
  EXPECT_EQ(spare.Reset(), 0);
  EXPECT_EQ(client_.Get(kOpGetFirst, 0).status, 3);
  EXPECT_EQ(second.Get(kOpGetFirst, 0).status, 3);
  RecordEngine other_engine(FileSystem::Default());
  TableClient other(other_engine);
  ASSERT_EQ(other.Open(Path("U.dat"), "", -4), 0) << "no lock left behind";
  EXPECT_EQ(other.Get(kOpGetFirst, 0).data, Rec("UU", 'u'));
}

TEST_F(RecordEngineTest, OpenIntoAnOpenBlockClosesItsFileFirst) {
  MakeT("T.dat", {});
  MakeT("U.dat", {});
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  ASSERT_EQ(client_.Insert(Rec("TT", 't')).status, 0);
  client_.block[0] = 'T';  // the block still names its handle
  uint32_t length = 1;
  char owner[1] = {0};
  std::string key = Path("U.dat") + '\0';
  ASSERT_EQ(engine_.Call(kOpOpen, client_.block, owner, &length, key.data(), 0, 0), 0);
  RecordEngine other_engine(FileSystem::Default());
  TableClient other(other_engine);
  ASSERT_EQ(other.Open(Path("T.dat"), "", -4), 0);
  EXPECT_EQ(other.Get(kOpGetFirst, 0).data, Rec("TT", 't'));
}

TEST_F(RecordEngineTest, UnwrittenChangesReachTheDiskWhenTheEngineEnds) {
  {
    RecordEngine engine(FileSystem::Default());
    TableClient client(engine);
    ASSERT_EQ(client.Create(Path("T.dat"), TableT()), 0);
    ASSERT_EQ(client.Open(Path("T.dat")), 0);
    ASSERT_EQ(client.Insert(Rec("AA", 'a')).status, 0);
  }
  ASSERT_EQ(client_.Open(Path("T.dat")), 0);
  EXPECT_EQ(Walk(client_, 0), std::vector<std::string>{Rec("AA", 'a')});
}

}  // namespace
}  // namespace torvane
