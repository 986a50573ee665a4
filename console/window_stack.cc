// The window stack over the console and the stack file; layout and rules in
// the header. Frames are decoded field by field from their digit texts and
// checked against the file's size before any byte is used.
#include "console/window_stack.h"

#include <optional>
#include <utility>

#include "base/packed_digits.h"

namespace torvane {
namespace {

constexpr int kPointerSize = 4;                   // top pointer, int32
constexpr int64_t kFramesOffset = kPointerSize;   // first frame
constexpr int64_t kEmptyTop = kFramesOffset + 1;  // P of an empty stack
constexpr int kCoordinateDigits = 2;
constexpr int kHeaderFields = 10;  // cursor (2), previous window (4), rectangle (4)
constexpr int kHeaderSize = kHeaderFields * kCoordinateDigits;
constexpr int kLengthDigits = 5;
constexpr int kFrameOverhead = kHeaderSize + kLengthDigits;  // L without the cells
constexpr int kMaxCoordinate = 99;                           // what two digits hold

// Border characters of code page 850, single line.
constexpr char kTopLeft = '\xDA';
constexpr char kTopRight = '\xBF';
constexpr char kBottomLeft = '\xC0';
constexpr char kBottomRight = '\xD9';
constexpr char kHorizontal = '\xC4';
constexpr char kVertical = '\xB3';

std::string EncodeInt32(int64_t value) {
  const auto v = static_cast<uint32_t>(value);
  std::string bytes(kPointerSize, '\0');
  for (int i = 0; i < kPointerSize; ++i) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return bytes;
}

int32_t DecodeInt32(std::string_view bytes) {
  uint32_t v = 0;
  for (int i = kPointerSize - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
  return static_cast<int32_t>(v);
}

// The value of a text made only of decimal digits; nullopt otherwise.
std::optional<int> DigitsValue(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Reads exactly `size` bytes at `offset`; nullopt when the file has fewer.
std::optional<std::string> ReadAt(File& file, int64_t offset, size_t size) {
  std::string bytes(size, '\0');
  if (!file.Seek(offset)) return std::nullopt;
  size_t done = 0;
  while (done < size) {
    const size_t n = file.Read(bytes.data() + done, size - done);
    if (n == 0) return std::nullopt;
    done += n;
  }
  return bytes;
}

// The top pointer of a stack file, kEmptyTop when the file holds no usable
// pointer (too short, pointing before the frames or beyond the file).
int64_t ReadTopPointer(File& file) {
  const int64_t size = file.Size();
  if (size < kPointerSize) return kEmptyTop;
  const auto bytes = ReadAt(file, 0, kPointerSize);
  if (!bytes) return kEmptyTop;
  const int64_t top = DecodeInt32(*bytes);
  if (top < kEmptyTop || top - 1 > size) return kEmptyTop;
  return top;
}

struct Frame {
  int64_t offset = 0;  // where the frame starts in the file
  int fields[kHeaderFields] = {};
  std::string cells;  // character, attribute, ...
};

enum HeaderField {
  kCursorRow,
  kCursorColumn,
  kPreviousTop,
  kPreviousLeft,
  kPreviousBottom,
  kPreviousRight,
  kSavedTop,
  kSavedLeft,
  kSavedBottom,
  kSavedRight,
};

// The frame that ends just before offset top - 1, when it is whole and
// consistent; nullopt for an empty or damaged stack.
std::optional<Frame> ReadTopFrame(File& file, int64_t top) {
  const int64_t length_offset = top - 1 - kLengthDigits;
  if (length_offset < kFramesOffset) return std::nullopt;
  const auto length_text = ReadAt(file, length_offset, kLengthDigits);
  if (!length_text) return std::nullopt;
  const auto length = DigitsValue(*length_text);
  if (!length || *length < kFrameOverhead + 2) return std::nullopt;
  Frame frame;
  frame.offset = top - 1 - *length;
  if (frame.offset < kFramesOffset) return std::nullopt;
  const auto bytes = ReadAt(file, frame.offset, static_cast<size_t>(*length));
  if (!bytes) return std::nullopt;
  for (int i = 0; i < kHeaderFields; ++i) {
    const auto value = DigitsValue(std::string_view(*bytes).substr(
        static_cast<size_t>(i * kCoordinateDigits), kCoordinateDigits));
    if (!value) return std::nullopt;
    frame.fields[i] = *value;
  }
  const int rows = frame.fields[kSavedBottom] - frame.fields[kSavedTop] + 1;
  const int columns = frame.fields[kSavedRight] - frame.fields[kSavedLeft] + 1;
  if (rows < 1 || columns < 1 || *length != kFrameOverhead + 2 * rows * columns) {
    return std::nullopt;
  }
  frame.cells = bytes->substr(kHeaderSize, static_cast<size_t>(2 * rows * columns));
  return frame;
}

}  // namespace

WindowStack::WindowStack(Console& console, FileSystem& fs, std::string temp_directory)
    : console_(console), fs_(fs), temp_directory_(std::move(temp_directory)) {}

int16_t WindowStack::ScreenRows() { return static_cast<int16_t>(console_.Rows()); }

int16_t WindowStack::ScreenColumns() { return static_cast<int16_t>(console_.Columns()); }

void WindowStack::PushWindow(int16_t top, int16_t left, int16_t bottom, int16_t right) {
  const int rows = ScreenRows();
  const int columns = ScreenColumns();
  const auto inside = [](int value, int limit) { return value >= 1 && value <= limit; };
  if (!inside(top, rows) || !inside(left, columns) || !inside(bottom, rows) ||
      !inside(right, columns)) {
    return;
  }
  if (top > bottom || left > right) return;
  if (bottom > kMaxCoordinate || right > kMaxCoordinate) return;

  int cursor_row = 0;
  int cursor_column = 0;
  console_.CursorPosition(&cursor_row, &cursor_column);
  const int cells = (bottom - top + 1) * (right - left + 1);
  const int length = kFrameOverhead + 2 * cells;

  std::string frame;
  frame.reserve(static_cast<size_t>(length));
  for (int value : {cursor_row, cursor_column, int{state_.WindowTop}, int{state_.WindowLeft},
                    int{state_.WindowBottom}, int{state_.WindowRight}, int{top}, int{left},
                    int{bottom}, int{right}}) {
    frame += ZeroPad(value, kCoordinateDigits);
  }
  for (int row = top; row <= bottom; ++row) {
    for (int column = left; column <= right; ++column) {
      const ConsoleCell cell = console_.ReadCell(row, column);
      frame.push_back(static_cast<char>(cell.character));
      frame.push_back(static_cast<char>(cell.attribute));
    }
  }
  frame += ZeroPad(length, kLengthDigits);

  auto file = fs_.Open(StackFilePath(), FileAccess::kReadWrite, FileSharing::kShareAll,
                       FileCreation::kOpenOrCreate);
  if (file) {
    const int64_t frame_offset = ReadTopPointer(*file) - 1;
    if (file->Seek(frame_offset) && file->Write(frame) && file->Seek(0)) {
      (void)file->Write(EncodeInt32(frame_offset + length + 1));
    }
    (void)file->Close();
  }

  state_.WindowTop = top;
  state_.WindowLeft = left;
  state_.WindowBottom = bottom;
  state_.WindowRight = right;
  ++state_.WindowDepth;
}

void WindowStack::PopWindow() {
  auto file = fs_.Open(StackFilePath(), FileAccess::kReadWrite, FileSharing::kShareAll,
                       FileCreation::kOpenExisting);
  if (!file) return;  // no stack: nothing to restore, nothing to delete

  int64_t top = kEmptyTop;
  const int64_t stored_top = ReadTopPointer(*file);
  if (const auto frame = ReadTopFrame(*file, stored_top)) {
    --state_.WindowDepth;
    state_.WindowTop = static_cast<int16_t>(frame->fields[kPreviousTop]);
    state_.WindowLeft = static_cast<int16_t>(frame->fields[kPreviousLeft]);
    state_.WindowBottom = static_cast<int16_t>(frame->fields[kPreviousBottom]);
    state_.WindowRight = static_cast<int16_t>(frame->fields[kPreviousRight]);
    size_t cell = 0;
    for (int row = frame->fields[kSavedTop]; row <= frame->fields[kSavedBottom]; ++row) {
      for (int column = frame->fields[kSavedLeft]; column <= frame->fields[kSavedRight]; ++column) {
        const char character = frame->cells[cell];
        const auto attribute = static_cast<unsigned char>(frame->cells[cell + 1]);
        cell += 2;
        console_.SetTextColour(attribute % 16, attribute / 16);
        console_.MoveCursor(row, column);
        console_.Write(std::string_view(&character, 1));
      }
    }
    console_.MoveCursor(frame->fields[kCursorRow], frame->fields[kCursorColumn]);
    top = frame->offset + 1;
    if (file->Seek(0)) (void)file->Write(EncodeInt32(top));
  }
  (void)file->Close();
  if (top < kEmptyTop + 1) (void)fs_.RemoveFile(StackFilePath());
}

void WindowStack::LocateInWindow(int16_t row, int16_t column) {
  if (state_.WindowDepth == 0) {
    console_.MoveCursor(row, column);
  } else {
    console_.MoveCursor(row + state_.WindowTop, column + state_.WindowLeft);
  }
}

void WindowStack::DrawWindowFrame() {
  if (state_.WindowDepth == 0) return;
  const int inner = state_.WindowRight - state_.WindowLeft - 1;
  const size_t width = inner > 0 ? static_cast<size_t>(inner) : 0;
  const auto line = [width](char first, char middle, char last) {
    std::string text(width + 2, middle);
    text.front() = first;
    text.back() = last;
    return text;
  };
  console_.MoveCursor(state_.WindowTop, state_.WindowLeft);
  console_.Write(line(kTopLeft, kHorizontal, kTopRight));
  const std::string middle = line(kVertical, ' ', kVertical);
  for (int row = state_.WindowTop + 1; row < state_.WindowBottom; ++row) {
    console_.MoveCursor(row, state_.WindowLeft);
    console_.Write(middle);
  }
  console_.MoveCursor(state_.WindowBottom, state_.WindowLeft);
  console_.Write(line(kBottomLeft, kHorizontal, kBottomRight));
}

}  // namespace torvane
