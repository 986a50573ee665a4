// KAVREC32.DLL (KAVREC64.DLL in the 64-bit build): the embedded record
// engine as a Windows record manager library. It exports BTRCALL under that
// undecorated name with the published argument types and the standard
// calling convention, so a program that loads the suite's WBTRV32.DLL can be
// pointed at it instead (KAVBTRV=KAVREC32.DLL). One engine serves the whole
// process; what it has not written yet is written when the library unloads.
// Its table files are the same bytes as the POSIX engine's.
#include <cstdint>

#include "engine/record_engine.h"
#include "platform/file_system.h"

namespace {

torvane::RecordEngine& Engine() {
  static torvane::RecordEngine engine(torvane::FileSystem::Default());
  return engine;
}

}  // namespace

extern "C" __declspec(dllexport) short __stdcall BTRCALL(unsigned short operation,
                                                         void* position_block, void* data_buffer,
                                                         unsigned long* data_length,
                                                         void* key_buffer, unsigned char key_length,
                                                         signed char key_number) {
  uint32_t length = data_length != nullptr ? static_cast<uint32_t>(*data_length) : 0;
  const int16_t status = Engine().Call(operation, position_block, data_buffer, &length, key_buffer,
                                       key_length, key_number);
  if (data_length != nullptr) *data_length = length;
  return status;
}
