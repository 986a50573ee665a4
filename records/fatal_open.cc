// The fatal end of a failed table open; see the header.
#include "records/fatal_open.h"

#include <cstdlib>
#include <utility>

namespace torvane {

void PresentFatalOpen(WindowStack& windows, ColourState& colour_state,
                      const ScreenColourTable& colours, const std::string& message) {
  Console& console = windows.console();
  std::string text = message;  // the window replaces it by its wrapped form
  ShowMessageWindow(windows, colour_state, colours, kFatalMessageRow, text);
  console.Beep();
  console.FlushInput();
  console.WaitKey();
  windows.PopWindow();
  console.ReportUnattended(message);
}

TableRegistry::FatalHandler MakeFatalOpenHandler(WindowStack& windows, ColourState& colour_state,
                                                 const ScreenColourTable& colours,
                                                 std::function<void()> close_everything) {
  return [&windows, &colour_state, &colours, close_everything = std::move(close_everything)](
             const std::string& message, RecordStatus /*status*/) {
    PresentFatalOpen(windows, colour_state, colours, message);
    if (close_everything) close_everything();
    std::exit(0);
  };
}

}  // namespace torvane
