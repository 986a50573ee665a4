// What the program does when a table cannot be opened: the one place that
// stops the run. The message (already composed in the session language by
// the table registry) is shown framed and centred on screen row 12, the
// default beep sounds, waiting keystrokes are discarded and the operator's
// key press is awaited; then the window is removed, an unattended run is told
// the message, everything is closed and the process ends with exit code 0.
#ifndef TORVANE_RECORDS_FATAL_OPEN_H_
#define TORVANE_RECORDS_FATAL_OPEN_H_

#include <cstdint>
#include <functional>
#include <string>

#include "console/message_window.h"
#include "console/window_stack.h"
#include "records/table_registry.h"

namespace torvane {

constexpr int16_t kFatalMessageRow = 12;

// Shows the message, waits for the operator and removes the window again;
// returns afterwards. The steps end to end, without stopping the program.
void PresentFatalOpen(WindowStack& windows, ColourState& colour_state,
                      const ScreenColourTable& colours, const std::string& message);

// The registry's fatal handler of the program: PresentFatalOpen, then
// `close_everything` (which closes the program's other open files and then
// runs CloseAllTables), then the process ends with exit code 0. The window
// stack, colour state and colours must outlive the registry.
TableRegistry::FatalHandler MakeFatalOpenHandler(WindowStack& windows, ColourState& colour_state,
                                                 const ScreenColourTable& colours,
                                                 std::function<void()> close_everything);

}  // namespace torvane

#endif  // TORVANE_RECORDS_FATAL_OPEN_H_
