// The write buffering every platform's File shares: writes collect in a
// 64 KiB buffer (one of 4 KiB or more with nothing waiting goes straight
// through) and reach the operating system when it is full, on Flush(),
// before any read, seek or size query, and on Close(). A write that fails
// makes every later write and the closing report fail.
//
// A platform file supplies the native operations. Its destructor must call
// Close() itself: the base destructor can no longer reach them.
#ifndef TORVANE_PLATFORM_BUFFERED_FILE_H_
#define TORVANE_PLATFORM_BUFFERED_FILE_H_

#include <string>

#include "platform/file_system.h"

namespace torvane {

class BufferedFile : public File {
 public:
  size_t Read(void* buffer, size_t size) final;
  bool Write(std::string_view bytes) final;
  bool Seek(int64_t offset) final;
  int64_t Size() final;
  bool Flush() final;
  bool Close() final;

 protected:
  // Called only while the file is open.
  virtual bool IsOpen() const = 0;
  // Reads until `size` bytes, the end of the file or an error.
  virtual size_t ReadNative(void* buffer, size_t size) = 0;
  // Writes every byte; false when not all were written.
  virtual bool WriteNative(std::string_view bytes) = 0;
  virtual bool SeekNative(int64_t offset) = 0;
  // The size; false when it cannot be had.
  virtual bool SizeNative(int64_t* size) = 0;
  // Closes the native handle (releasing any lock); the file is closed after.
  virtual bool CloseNative() = 0;

 private:
  static constexpr size_t kBufferSize = 64 * 1024;
  static constexpr size_t kDirectWriteSize = 4 * 1024;
  bool WriteThrough(std::string_view bytes);

  std::string pending_;
  bool failed_ = false;
};

}  // namespace torvane

#endif  // TORVANE_PLATFORM_BUFFERED_FILE_H_
