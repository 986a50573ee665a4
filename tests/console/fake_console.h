// An in-memory console for tests: a grid of cells that Write fills in the
// current colour, a cursor, and a log of the keyboard, beep and report calls
// in the order they came.
#ifndef TORVANE_TESTS_CONSOLE_FAKE_CONSOLE_H_
#define TORVANE_TESTS_CONSOLE_FAKE_CONSOLE_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"

namespace torvane::testing {

class FakeConsole : public Console {
 public:
  explicit FakeConsole(int rows = 25, int columns = 80)
      : rows_(rows), columns_(columns), cells_(static_cast<size_t>(rows * columns)) {}

  void HideCursor() override { events.push_back("hide"); }
  int Rows() override { return rows_; }
  int Columns() override { return columns_; }
  void CursorPosition(int* row, int* column) override {
    *row = row_;
    *column = column_;
  }
  void MoveCursor(int row, int column) override {
    row_ = row;
    column_ = column;
  }
  void SetTextColour(int foreground, int background) override {
    attribute_ = static_cast<uint8_t>((foreground & 0x0F) | ((background & 0x0F) << 4));
  }
  ConsoleCell ReadCell(int row, int column) override {
    return Inside(row, column) ? cells_[Index(row, column)] : ConsoleCell{};
  }
  void Write(std::string_view text) override {
    for (char c : text) {
      if (Inside(row_, column_)) {
        cells_[Index(row_, column_)] = ConsoleCell{static_cast<uint8_t>(c), attribute_};
      }
      ++column_;
    }
    ++writes;
  }
  void Beep() override { events.push_back("beep"); }
  void FlushInput() override { events.push_back("flush"); }
  void WaitKey() override {
    events.push_back("key");
    if (on_wait_key) on_wait_key();
  }
  void ReportUnattended(std::string_view message) override {
    events.push_back("report:" + std::string(message));
  }

  // Test helpers.
  void Put(int row, int column, char character, uint8_t attribute) {
    cells_[Index(row, column)] = ConsoleCell{static_cast<uint8_t>(character), attribute};
  }
  // The characters of `length` cells of a row from `column` on.
  std::string Text(int row, int column, int length) const {
    std::string text;
    for (int c = column; c < column + length; ++c) {
      text.push_back(static_cast<char>(cells_[Index(row, c)].character));
    }
    return text;
  }
  uint8_t Attribute(int row, int column) const { return cells_[Index(row, column)].attribute; }
  uint8_t attribute() const { return attribute_; }
  // Every cell, for comparing whole screens.
  const std::vector<ConsoleCell>& cells() const { return cells_; }

  std::vector<std::string> events;
  int writes = 0;
  std::function<void()> on_wait_key;  // runs while the "operator" is asked for a key

 private:
  bool Inside(int row, int column) const {
    return row >= 1 && row <= rows_ && column >= 1 && column <= columns_;
  }
  size_t Index(int row, int column) const {
    return static_cast<size_t>((row - 1) * columns_ + (column - 1));
  }

  int rows_;
  int columns_;
  std::vector<ConsoleCell> cells_;
  int row_ = 1;
  int column_ = 1;
  uint8_t attribute_ = 0x07;
};

}  // namespace torvane::testing

namespace torvane {
inline bool operator==(const ConsoleCell& a, const ConsoleCell& b) {
  return a.character == b.character && a.attribute == b.attribute;
}
}  // namespace torvane

#endif  // TORVANE_TESTS_CONSOLE_FAKE_CONSOLE_H_
