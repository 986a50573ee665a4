// The record file's bytes: the layout of a small file field by field, the
// checksum, and what Open answers for files that are damaged, cut short, not
// ours, too large to hold or no regular files at all.
#include "engine/record_file_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
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

// Two-byte unique key at byte 1 of 4-byte records.
std::string SmallDefinition() { return FileDefinition(4, 1) + Segment(1, 2); }

RecordTable SmallTable(const std::vector<std::string>& records, OwnerName owner = {}) {
  TableDefinition table_definition;
  EXPECT_EQ(ParseTableDefinition(SmallDefinition(), &table_definition), RecordStatus::kOk);
  RecordTable table(std::move(table_definition));
  for (const std::string& record : records) table.Append(record);
  table.set_owner(std::move(owner));
  return table;
}

uint32_t BitwiseCrc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char c : bytes) {
    crc ^= static_cast<uint8_t>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1u) != 0 ? 0xEDB88320u : 0u);
  }
  return ~crc;
}

void Reseal(std::string& bytes) {
  bytes.resize(bytes.size() - 4);
  const uint32_t crc = Crc32(bytes);
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((crc >> (8 * i)) & 0xFF);
}

TEST(RecordFileFormatTest, Crc32MatchesTheBitwiseDefinition) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(Crc32(""), 0u);
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>((i * 7919) >> 3);
  for (size_t length : {1u, 7u, 8u, 9u, 63u, 1000u}) {
    EXPECT_EQ(Crc32(std::string_view(bytes).substr(0, length)),
              BitwiseCrc32(std::string_view(bytes).substr(0, length)))
        << length;
  }
}

TEST(RecordFileFormatTest, LayoutOfASmallFile) {
  const std::string bytes = EncodeRecordFile(SmallTable({"ab12"}, {"K9", 0}));
  const std::string expected_header = std::string(
      "TVRF\r\n\x1a\n"              // signature
      "\x01\x00"                    // format version 1
      "\x00\x00"                    // reserved
      "\x20\x00\x00\x00"            // definition length 32
      "\x04\x00\x00\x00"            // record length 4
      "\x01\x00\x00\x00"            // 1 record
      "\x02"                        // owner name length
      "\x00"                        // owner needed for every access
      "K9\x00\x00\x00\x00\x00\x00"  // owner name
      "\x00\x00\x00\x00\x00\x00",   // reserved
      40);
  ASSERT_EQ(bytes.size(), 40u + 32u + 4u + 4u);
  EXPECT_EQ(bytes.substr(0, 40), expected_header);
  EXPECT_EQ(bytes.substr(40, 32), SmallDefinition());
  EXPECT_EQ(bytes.substr(72, 4), "ab12");
  EXPECT_EQ(testing::ReadLe(bytes, 76, 4), BitwiseCrc32(bytes.substr(0, 76)));

  std::optional<RecordTable> table;
  ASSERT_EQ(DecodeRecordFile(bytes, &table), RecordStatus::kOk);
  EXPECT_EQ(table->records(), "ab12");
  EXPECT_EQ(table->owner().name, "K9");
}

struct DamageCase {
  const char* name;
  std::function<void(std::string&)> damage;
  int16_t expected;
};

TEST(RecordFileFormatTest, OpenRefusesDamagedTruncatedAndForeignFiles) {
  const std::string good = EncodeRecordFile(SmallTable({"ab12", "cd34"}));
  constexpr size_t kRecords = 40 + 32;
  const std::vector<DamageCase> cases = {
      {"intact", [](std::string&) {}, 0},
      {"empty", [](std::string& b) { b.clear(); }, 2},
      {"cut inside the signature", [](std::string& b) { b.resize(5); }, 2},
      {"cut inside the header", [](std::string& b) { b.resize(20); }, 2},
      {"cut inside a record", [](std::string& b) { b.resize(kRecords + 6); }, 2},
      {"last byte missing", [](std::string& b) { b.pop_back(); }, 2},
      {"one byte more", [](std::string& b) { b += 'x'; }, 2},
      {"record byte changed", [](std::string& b) { b[kRecords + 5] ^= 0x01; }, 2},
      {"checksum changed", [](std::string& b) { b.back() ^= 0x40; }, 2},
      {"four thousand million records claimed, resealed",
       [](std::string& b) {
         b.replace(20, 4, "\xFF\xFF\xFF\xFF");
         Reseal(b);
       },
       2},
      {"record count changed, resealed",
       [](std::string& b) {
         b[20] = 3;
         Reseal(b);
       },
       2},
      {"invalid page size, resealed",
       [](std::string& b) {
         b[40 + 2] = 1;
         Reseal(b);
       },
       2},
      {"a unique key twice, resealed",
       [](std::string& b) {
         b.replace(kRecords + 4, 2, "ab");
         Reseal(b);
       },
       2},
      {"a zero byte inside the owner name, resealed",
       [](std::string& b) {
         b.replace(24, 4, std::string("\x03\x01\x00K", 4));
         Reseal(b);
       },
       2},
      {"owner name too long, resealed",
       [](std::string& b) {
         b[24] = 9;
         Reseal(b);
       },
       2},
      {"later format version", [](std::string& b) { b[8] = 2; }, 30},
      {"another signature", [](std::string& b) { b[0] = 'X'; }, 30},
      {"a short file of someone else", [](std::string& b) { b = "PK"; }, 30},
      {"a text file", [](std::string& b) { b = "[Rebuts]\r\nPublicar=S\r\n"; }, 30},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = good;
    c.damage(bytes);
    MemoryFileSystem files;
    files.SetFile("DADES\\T.dat", bytes);
    RecordEngine engine(files);
    TableClient client(engine);
    EXPECT_EQ(client.Open("DADES\\T.dat"), c.expected);
    EXPECT_EQ(client.Get(kOpGetFirst, 0).status, c.expected == 0 ? 0 : 3);
    EXPECT_EQ(client.Reset(), 0);
    EXPECT_EQ(files.GetFile("DADES\\T.dat"), bytes) << "a refused file is left alone";
  }
}

// A file of `size` bytes that begins with `start` and holds zeros after it,
// none of them in memory; it counts the bytes read from it.
class ClaimedSizeFile : public File {
 public:
  ClaimedSizeFile(std::string start, uint64_t size, uint64_t* bytes_read)
      : start_(std::move(start)), size_(size), bytes_read_(bytes_read) {}
  size_t Read(void* buffer, size_t size) override {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(size, size_ - position_));
    auto* out = static_cast<char*>(buffer);
    for (size_t i = 0; i < n; ++i, ++position_) {
      out[i] = position_ < start_.size() ? start_[static_cast<size_t>(position_)] : '\0';
    }
    *bytes_read_ += n;
    return n;
  }
  bool Write(std::string_view) override { return false; }
  bool Seek(int64_t offset) override {
    position_ = static_cast<uint64_t>(offset);
    return offset >= 0;
  }
  int64_t Size() override { return static_cast<int64_t>(size_); }
  bool Flush() override { return true; }
  bool Close() override { return true; }
  bool IsRegularFile() override { return true; }

 private:
  std::string start_;
  uint64_t size_;
  uint64_t position_ = 0;
  uint64_t* bytes_read_;
};

// Every path opens as one ClaimedSizeFile.
class ClaimedSizeFileSystem : public MemoryFileSystem {
 public:
  ClaimedSizeFileSystem(std::string start, uint64_t size) : start_(std::move(start)), size_(size) {}
  std::unique_ptr<File> Open(std::string_view, FileAccess, FileSharing, FileCreation,
                             FileError*) override {
    return std::make_unique<ClaimedSizeFile>(start_, size_, &bytes_read);
  }
  uint64_t bytes_read = 0;

 private:
  std::string start_;
  uint64_t size_;
};

TEST(RecordFileFormatTest, OpenReadsOnlyTheHeaderOfAFileItWillNotHold) {
  constexpr uint64_t kGiB = uint64_t{1} << 30;
  const std::string small_header = EncodeRecordFile(SmallTable({"ab12"})).substr(0, 40);
  // The small table's header with a record count whose records (4 bytes
  // each, after the 32-byte definition) add up to a file beyond any limit.
  constexpr uint32_t kHugeCount = 0x7FFFFFFF;
  std::string huge_header = small_header;
  for (int i = 0; i < 4; ++i)
    huge_header[20 + i] = static_cast<char>((kHugeCount >> (8 * i)) & 0xFF);
  const struct {
    const char* name;
    std::string start;
    uint64_t size;
    int16_t expected;
  } cases[] = {
      {"100 GB of zero bytes", "", 100 * kGiB, 30},
      {"2 GB behind the header of a one-record table", small_header, 2 * kGiB, 2},
      {"a header whose sizes add up to the file's 8 GB", huge_header,
       40 + 32 + uint64_t{4} * kHugeCount + 4, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClaimedSizeFileSystem files(c.start, c.size);
    RecordEngine engine(files);
    TableClient client(engine);
    EXPECT_EQ(client.Open("DADES\\T.dat"), c.expected);
    EXPECT_LE(files.bytes_read, 40u);
  }
}

TEST(RecordFileFormatTest, OpenRefusesWhatIsNoRegularFile) {
  const std::string good = EncodeRecordFile(SmallTable({"ab12"}));
  MemoryFileSystem files;
  files.SetFile("DADES\\PIPE.dat", good, kAttributeDevice);
  ASSERT_TRUE(files.CreateFolder("DADES\\FOLDER.dat"));
  RecordEngine engine(files);
  TableClient client(engine);
  for (const char* path : {"DADES\\PIPE.dat", "DADES\\FOLDER.dat"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(client.Open(path), 30);
    EXPECT_EQ(client.Get(kOpGetFirst, 0).status, 3);
  }
}

}  // namespace
}  // namespace torvane
