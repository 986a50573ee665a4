// Reads the run parameter file "pent.tmp" that the suite's menu leaves in the
// session's temporary directory. The file has 29 lines, each a typed value:
//   1      receipt date                    PackDateText
//   2, 3   estate code, unit number        PackCode each, joined: first unit
//   4, 5   estate code, unit number        PackCode each, joined: last unit
//   6      batch reference                 PackDigits
//   7-9    series "A": "S", first and last remittance number
//   10-12  series "B": likewise
//   13-15  series "F": likewise
//   16-29  "S" or not, one line per receipt concept 1 to 14
// Only an exact "S" is yes. A missing file, and every line missing at the
// end of a short one, read as empty lines; nothing after line 29 is read.
#include "session/run_parameters.h"

#include <optional>
#include <string_view>
#include <vector>

#include "base/packed_digits.h"
#include "base/text_lines.h"

namespace torvane {
namespace {

constexpr size_t kParameterLines = 29;
constexpr int kRemittanceDigits = 4;

// The file's data up to the end of line 29 (or its end of data), read in
// chunks so that an oversized file is not held beyond the lines it has.
std::optional<std::string> ReadParameterData(FileSystem& fs, const std::string& path) {
  std::string data;
  auto file = fs.Open(path, FileAccess::kRead, FileSharing::kShareAll, FileCreation::kOpenExisting);
  if (!file) return std::nullopt;
  size_t line_ends = 0;
  char chunk[4096];
  while (line_ends < kParameterLines) {
    const size_t n = file->Read(chunk, sizeof chunk);
    if (n == 0) break;
    const std::string_view piece(chunk, n);
    const size_t end_of_data = piece.find('\x1A');
    data.append(piece.substr(0, end_of_data));
    if (end_of_data != std::string_view::npos) break;
    for (const char c : piece) line_ends += c == '\r' ? 1 : 0;
  }
  file->Close();
  return data;
}

bool IsYes(std::string_view line) { return line == "S"; }

// The series letter followed by the remittance number as exactly four packed
// digits: shorter texts are left-padded with "0", longer ones keep their last
// four characters.
std::string RangeValue(char series_letter, std::string_view line) {
  const size_t width = kRemittanceDigits;
  std::string digits = line.size() >= width
                           ? std::string(line.substr(line.size() - width))
                           : std::string(width - line.size(), '0') + std::string(line);
  return std::string(1, series_letter) + PackDigits(digits);
}

}  // namespace

RunParameters ReadRunParameters(FileSystem& fs, const std::string& temp_directory,
                                int current_year) {
  const std::optional<std::string> data =
      ReadParameterData(fs, temp_directory + std::string(kRunParameterFileName));
  const std::vector<std::string_view> lines =
      data ? SplitLines(*data) : std::vector<std::string_view>();
  // Line numbers count from 1; a line the file does not have is empty.
  auto line = [&lines](size_t number) {
    return number <= lines.size() ? lines[number - 1] : std::string_view();
  };

  RunParameters run;
  run.FileRead = data.has_value();
  run.ReceiptDate = DecodePackedDate(PackDateText(line(1), current_year));
  run.UnitKeyFrom = PackCode(line(2)) + PackCode(line(3));
  run.UnitKeyTo = PackCode(line(4)) + PackCode(line(5));
  run.BatchReference = PackDigits(line(6));
  for (size_t series = 0; series < kSeriesCount; ++series) {
    const size_t first_line = 7 + 3 * series;
    SeriesEntry& entry = run.SeriesSelection[series];
    entry.Selected = IsYes(line(first_line));
    entry.RemittanceFrom = RangeValue(kSeriesLetters[series], line(first_line + 1));
    entry.RemittanceTo = RangeValue(kSeriesLetters[series], line(first_line + 2));
  }
  constexpr size_t kFirstConceptLine = 16;
  static_assert(kFirstConceptLine + kConceptCount - 1 == kParameterLines);
  for (size_t concept_index = 0; concept_index < kConceptCount; ++concept_index) {
    run.ConceptSelected[concept_index] = IsYes(line(kFirstConceptLine + concept_index));
  }
  return run;
}

}  // namespace torvane
