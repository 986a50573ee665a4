// The record manager of the POSIX build: the embedded record engine over the
// platform's file system, one for the whole process.
#include "engine/record_engine.h"
#include "platform/record_manager.h"

namespace torvane {

RecordManager& RecordManager::Default() {
  static RecordEngine engine(FileSystem::Default());
  return engine;
}

}  // namespace torvane
