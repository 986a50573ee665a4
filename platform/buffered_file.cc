#include "platform/buffered_file.h"

namespace torvane {

size_t BufferedFile::Read(void* buffer, size_t size) {
  if (!IsOpen() || !Flush()) return 0;
  return ReadNative(buffer, size);
}

bool BufferedFile::Write(std::string_view bytes) {
  if (!IsOpen() || failed_) return false;
  if (pending_.size() + bytes.size() > kBufferSize && !Flush()) return false;
  // A large write with nothing waiting goes straight to the system: copying
  // it into the buffer first would save no call.
  if (bytes.size() >= kBufferSize || (pending_.empty() && bytes.size() >= kDirectWriteSize)) {
    return WriteThrough(bytes);
  }
  pending_.append(bytes);
  return true;
}

bool BufferedFile::Seek(int64_t offset) {
  if (!IsOpen() || offset < 0 || !Flush()) return false;
  return SeekNative(offset);
}

int64_t BufferedFile::Size() {
  int64_t size = 0;
  if (!IsOpen() || !Flush() || !SizeNative(&size)) return 0;
  return size;
}

bool BufferedFile::Flush() {
  if (failed_) return false;
  if (pending_.empty()) return true;
  const bool ok = WriteThrough(pending_);
  pending_.clear();
  return ok;
}

bool BufferedFile::Close() {
  if (!IsOpen()) return !failed_;
  const bool flushed = Flush();
  const bool closed = CloseNative();
  return flushed && closed;
}

bool BufferedFile::WriteThrough(std::string_view bytes) {
  if (!WriteNative(bytes)) failed_ = true;
  return !failed_;
}

}  // namespace torvane
