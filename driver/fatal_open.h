// What the program does when a table cannot be opened: the one place that
// stops the run. The message, in the session language, is shown framed and
// centred on screen row 12, the default beep sounds, waiting keystrokes are
// discarded and the operator's key press is awaited; then the window is
// removed, an unattended run is told the message, everything is closed and
// the process ends with exit code 1.
#ifndef TORVANE_DRIVER_FATAL_OPEN_H_
#define TORVANE_DRIVER_FATAL_OPEN_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "console/message_window.h"
#include "console/window_stack.h"
#include "platform/record_status.h"

namespace torvane {

constexpr int16_t kFatalMessageRow = 12;

// The operator's message: the session language's prefix ("NO SE PUEDE
// ACCEDER AL FICHERO " for "SPA", Galician for "GLG", Occitan for "OCI",
// Catalan for anything else), the table path as given, and " (status)".
std::string FatalOpenMessage(std::string_view language, std::string_view path, RecordStatus status);

// Shows the message, waits for the operator and removes the window again;
// returns afterwards. The steps end to end, without stopping the program.
void PresentFatalOpen(WindowStack& windows, ColourState& colour_state,
                      const ScreenColourTable& colours, const std::string& message);

// PresentFatalOpen, then `close_everything` (which closes the program's open
// files and then runs CloseAllTables), then the process ends with exit code 1.
[[noreturn]] void EndRunAfterFailedOpen(WindowStack& windows, ColourState& colour_state,
                                        const ScreenColourTable& colours,
                                        const std::string& message,
                                        const std::function<void()>& close_everything);

}  // namespace torvane

#endif  // TORVANE_DRIVER_FATAL_OPEN_H_
