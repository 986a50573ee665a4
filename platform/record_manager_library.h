// The record manager of a Windows library that exports the published
// BTRCALL entry point (the suite's WBTRV32.DLL, or our engine's KAVREC32.DLL).
// RecordManager::Default() on Windows is the one of the library that the
// environment variable KAVBTRV names, else of WBTRV32.DLL. Not built on POSIX,
// where the embedded engine answers.
#ifndef TORVANE_PLATFORM_RECORD_MANAGER_LIBRARY_H_
#define TORVANE_PLATFORM_RECORD_MANAGER_LIBRARY_H_

#include <memory>
#include <string>

#include "platform/record_manager.h"

namespace torvane {

// Status of every request when the library cannot be used.
constexpr int16_t kRecordManagerInactive = 20;

// Loads `library` (a file name the system searches for, or a path) at the
// first request. When it cannot be loaded or has no BTRCALL, every request
// answers kRecordManagerInactive and touches none of its buffers.
std::unique_ptr<RecordManager> RecordManagerLibrary(std::string library);

}  // namespace torvane

#endif  // TORVANE_PLATFORM_RECORD_MANAGER_LIBRARY_H_
