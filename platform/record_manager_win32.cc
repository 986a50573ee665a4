// The record manager on Windows: every request goes to BTRCALL of the
// suite's record manager library, WBTRV32.DLL, or of the library that the
// environment variable KAVBTRV names instead (our engine is KAVREC32.DLL,
// KAVREC64.DLL in the 64-bit test build). The library is loaded at the
// first request, once; it stays loaded until the process ends.
//
// When the library cannot be loaded (missing, no library, built for the
// other word size) or has no BTRCALL, every request answers status 20, the
// record manager is inactive, and the caller reports it like any other
// status. The system shows no dialog box of its own meanwhile.
#include "platform/record_manager_library.h"

#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "platform/environment.h"
#include "platform/record_manager.h"

namespace torvane {
namespace {

constexpr char kLibraryVariable[] = "KAVBTRV";
constexpr char kDefaultLibrary[] = "WBTRV32.DLL";

// The published entry point: 16-bit operation, position block, data
// buffer, 32-bit data length, key buffer, one-byte key length and key
// number, the standard calling convention (stdcall; x64 has only one).
using BtrCallFunction = short(__stdcall*)(unsigned short operation, void* position_block,
                                          void* data_buffer, unsigned long* data_length,
                                          void* key_buffer, unsigned char key_length,
                                          signed char key_number);
static_assert(sizeof(unsigned long) == 4, "the data length is 32 bits on Windows");

class Win32RecordManager : public RecordManager {
 public:
  // An empty `library` is resolved at the first request: KAVBTRV, else
  // WBTRV32.DLL.
  explicit Win32RecordManager(std::string library) : library_(std::move(library)) {}

  int16_t Call(uint16_t operation, void* position_block, void* data_buffer, uint32_t* data_length,
               void* key_buffer, uint8_t key_length, int8_t key_number) override {
    if (!loaded_) Load();
    if (entry_ == nullptr) return kRecordManagerInactive;
    unsigned long length = data_length != nullptr ? *data_length : 0;
    const short status =
        entry_(operation, position_block, data_buffer, &length, key_buffer, key_length, key_number);
    if (data_length != nullptr) *data_length = static_cast<uint32_t>(length);
    return status;
  }

 private:
  void Load() {
    loaded_ = true;
    if (library_.empty()) library_ = Environment::Default().Get(kLibraryVariable);
    if (library_.empty()) library_ = kDefaultLibrary;
    // No "cannot find" or "bad image" box: a failure is our status 20.
    const UINT saved_mode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = ::LoadLibraryA(library_.c_str());
    ::SetErrorMode(saved_mode);
    if (module == nullptr) return;
    FARPROC address = ::GetProcAddress(module, "BTRCALL");
    if (address == nullptr) {
      ::FreeLibrary(module);
      return;
    }
    // GetProcAddress hands every entry back as FARPROC; the library's
    // export is the function above.
    entry_ = reinterpret_cast<BtrCallFunction>(reinterpret_cast<void*>(address));
  }

  std::string library_;
  bool loaded_ = false;
  BtrCallFunction entry_ = nullptr;
};

}  // namespace

std::unique_ptr<RecordManager> RecordManagerLibrary(std::string library) {
  if (library.empty()) return std::make_unique<Win32RecordManager>(kDefaultLibrary);
  return std::make_unique<Win32RecordManager>(std::move(library));
}

RecordManager& RecordManager::Default() {
  static Win32RecordManager record_manager{std::string()};
  return record_manager;
}

}  // namespace torvane
