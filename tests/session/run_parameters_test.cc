// The run parameter file: its 29 lines, line ends, end of data, and short,
// long and missing files.
#include "session/run_parameters.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/packed_digits.h"
#include "tests/test_support.h"

namespace torvane {
namespace {

constexpr int kYear = 2009;

class RunParametersTest : public ::testing::Test {
 protected:
  void WriteParameters(std::string_view bytes) {
    testing::WriteNativeFile(dir_.path() + "pent.tmp", bytes);
  }
  RunParameters Read() { return ReadRunParameters(fs_, dir_.path(), kYear); }

  // The lines joined with CR LF, the last one ended too.
  static std::string Lines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
  }

  // A complete file: every series and concept selected.
  static std::vector<std::string> FullLines() {
    return {"15/03/09", "12", "3", "4.5", "60", "123", "S", "5", "12345", "S",
            "0012",     "",   "S", "1",   "9",  "S",   "S", "S", "S",     "S",
            "S",        "S",  "S", "S",   "S",  "S",   "S", "S", "S"};
  }

  static void ExpectEmptyRun(const RunParameters& run) {
    EXPECT_EQ(DateDigits(run.ReceiptDate), "00000000");
    EXPECT_EQ(run.UnitKeyFrom, "");
    EXPECT_EQ(run.UnitKeyTo, "");
    EXPECT_EQ(run.BatchReference, "");
    for (int series = 0; series < kSeriesCount; ++series) {
      const SeriesEntry& entry = run.SeriesSelection[series];
      const std::string empty_range = std::string(1, kSeriesLetters[series]) + "\x80\x80";
      EXPECT_FALSE(entry.Selected) << series;
      EXPECT_EQ(entry.RemittanceFrom, empty_range) << series;
      EXPECT_EQ(entry.RemittanceTo, empty_range) << series;
    }
    for (bool selected : run.ConceptSelected) EXPECT_FALSE(selected);
  }

  testing::ScopedTempDir dir_;
  FileSystem& fs_ = FileSystem::Default();
};

TEST_F(RunParametersTest, ReadsEveryLine) {
  WriteParameters(Lines(FullLines()));
  const RunParameters run = Read();
  EXPECT_EQ(DateDigits(run.ReceiptDate), "20090315");
  EXPECT_EQ(run.UnitKeyFrom, "\x80\x8C\x80\x83");          // estate 0012, unit 0003
  EXPECT_EQ(UnpackDigits(run.UnitKeyTo), "000400050060");  // "4.5" gives two groups
  EXPECT_EQ(UnpackDigits(run.BatchReference), "1230");
  EXPECT_TRUE(run.SeriesSelection[0].Selected);
  EXPECT_EQ(run.SeriesSelection[0].RemittanceFrom, "A\x80\x85");  // 0005
  EXPECT_EQ(run.SeriesSelection[0].RemittanceTo, "A\x97\xAD");    // last four: 2345
  EXPECT_TRUE(run.SeriesSelection[1].Selected);
  EXPECT_EQ(run.SeriesSelection[1].RemittanceFrom, "B\x80\x8C");  // 0012
  EXPECT_EQ(run.SeriesSelection[1].RemittanceTo, "B\x80\x80");    // empty: 0000
  EXPECT_TRUE(run.SeriesSelection[2].Selected);
  EXPECT_EQ(run.SeriesSelection[2].RemittanceFrom, "F\x80\x81");
  EXPECT_EQ(run.SeriesSelection[2].RemittanceTo, "F\x80\x89");
  for (bool selected : run.ConceptSelected) EXPECT_TRUE(selected);
}

TEST_F(RunParametersTest, OnlyAnExactCapitalSIsYes) {
  const std::string answers[] = {"s", "S ", " S", "SI", "", "N", "S\n"};
  for (const std::string& answer : answers) {
    std::vector<std::string> lines = FullLines();
    lines[6] = answer;   // series "A"
    lines[28] = answer;  // concept 14
    WriteParameters(Lines(lines));
    const RunParameters run = Read();
    EXPECT_FALSE(run.SeriesSelection[0].Selected) << "'" << answer << "'";
    EXPECT_FALSE(run.ConceptSelected[13]) << "'" << answer << "'";
    EXPECT_TRUE(run.ConceptSelected[12]);
  }
}

TEST_F(RunParametersTest, EmptyUnitLinesShortenTheKeys) {
  std::vector<std::string> lines = FullLines();
  lines[1] = "";
  lines[2] = "";
  lines[4] = "";
  WriteParameters(Lines(lines));
  const RunParameters run = Read();
  EXPECT_EQ(run.UnitKeyFrom, "");
  EXPECT_EQ(run.UnitKeyTo, "\x80\x84\x80\x85");  // the estate code 4.5 alone
}

TEST_F(RunParametersTest, MissingFileReadsAsEmptyLines) { ExpectEmptyRun(Read()); }

TEST_F(RunParametersTest, EmptyOrCutShortFilesReadAsEmptyLines) {
  const std::string contents[] = {
      "",
      "\x1A" + Lines(FullLines()),  // the data ends before the first line
      "\r\n\r\n\r\n",
  };
  for (const std::string& bytes : contents) {
    WriteParameters(bytes);
    ExpectEmptyRun(Read());
  }
}

TEST_F(RunParametersTest, ShortFileLeavesTheMissingLinesEmpty) {
  WriteParameters("15/03/09\r\n12\r\n3");  // three lines, the last one unended
  const RunParameters run = Read();
  EXPECT_EQ(DateDigits(run.ReceiptDate), "20090315");
  EXPECT_EQ(run.UnitKeyFrom, "\x80\x8C\x80\x83");
  EXPECT_EQ(run.UnitKeyTo, "");
  EXPECT_FALSE(run.SeriesSelection[0].Selected);
  EXPECT_EQ(run.SeriesSelection[2].RemittanceTo, "F\x80\x80");
}

TEST_F(RunParametersTest, EndOfDataByteCutsTheFile) {
  std::string bytes = Lines(FullLines());
  // The data ends right after line 7.
  const size_t line8 = bytes.find("\r\n5\r\n") + 2;
  bytes.insert(line8, "\x1A");
  WriteParameters(bytes);
  const RunParameters run = Read();
  EXPECT_TRUE(run.SeriesSelection[0].Selected);
  EXPECT_EQ(run.SeriesSelection[0].RemittanceFrom, "A\x80\x80");
  EXPECT_FALSE(run.SeriesSelection[1].Selected);
  EXPECT_FALSE(run.ConceptSelected[0]);
}

TEST_F(RunParametersTest, LoneCarriageReturnsEndLinesAndLoneLineFeedsDoNot) {
  std::string cr_only;
  for (const std::string& line : FullLines()) cr_only += line + "\r";
  WriteParameters(cr_only);
  EXPECT_TRUE(Read().ConceptSelected[13]);

  // With LF alone the whole file is one line: a date with other characters.
  std::string lf_only;
  for (const std::string& line : FullLines()) lf_only += line + "\n";
  WriteParameters(lf_only);
  ExpectEmptyRun(Read());
}

TEST_F(RunParametersTest, NothingAfterLineTwentyNineCounts) {
  std::vector<std::string> lines = FullLines();
  for (int i = 0; i < 3000; ++i) lines.push_back(i % 2 ? "garbage\x1A" : "S");
  WriteParameters(Lines(lines));
  const RunParameters run = Read();
  EXPECT_EQ(UnpackDigits(run.BatchReference), "1230");
  for (bool selected : run.ConceptSelected) EXPECT_TRUE(selected);
}

TEST_F(RunParametersTest, VeryLongLinesAreTakenWhole) {
  std::vector<std::string> lines = FullLines();
  lines[0] = std::string(20000, ' ') + "15/03/09";
  lines[5] = std::string(10001, '9');
  lines[7] = std::string(9000, '1') + "0042";
  WriteParameters(Lines(lines));
  const RunParameters run = Read();
  EXPECT_EQ(DateDigits(run.ReceiptDate), "20090315");
  EXPECT_EQ(run.BatchReference.size(), 5001u);
  EXPECT_EQ(run.SeriesSelection[0].RemittanceFrom, "A\x80\xAA");  // last four: 0042
  for (bool selected : run.ConceptSelected) EXPECT_TRUE(selected);
}

TEST_F(RunParametersTest, NulBytesAndCodePageLettersAreOrdinaryCharacters) {
  std::vector<std::string> lines = FullLines();
  lines[1] = std::string(
      "1\0"
      "2",
      3);  // 1, a non-digit, 2
  lines[5] = "\x82\xA4";
  WriteParameters(Lines(lines));
  const RunParameters run = Read();
  EXPECT_EQ(UnpackDigits(run.UnitKeyFrom), "00010003");
  EXPECT_EQ(run.BatchReference, "\x80");
}

}  // namespace
}  // namespace torvane
