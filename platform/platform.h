// The operating-system services one run uses, bundled so that tests can
// hand the program fakes of any of them.
#ifndef TORVANE_PLATFORM_PLATFORM_H_
#define TORVANE_PLATFORM_PLATFORM_H_

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/record_manager.h"

namespace torvane {

struct Platform {
  FileSystem& files;
  Clock& clock;
  Environment& environment;
  ProcessLauncher& processes;
  Console& console;
  RecordManager& record_manager;

  static Platform Default() {
    return Platform{FileSystem::Default(),      Clock::Default(),   Environment::Default(),
                    ProcessLauncher::Default(), Console::Default(), RecordManager::Default()};
  }
};

}  // namespace torvane

#endif  // TORVANE_PLATFORM_PLATFORM_H_
