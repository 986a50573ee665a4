// The fatal end of a failed table open; see the header.
#include "driver/fatal_open.h"

#include <cstdlib>

#include "driver/exit_codes.h"

namespace torvane {

std::string FatalOpenMessage(std::string_view language, std::string_view path,
                             RecordStatus status) {
  std::string message;
  if (language == "SPA") {
    message = "NO SE PUEDE ACCEDER AL FICHERO ";
  } else if (language == "GLG") {
    message = "NOM SE PODE ACEDER AO FICHEIRO ";
  } else if (language == "OCI") {
    message = "NON SE P\xD2T ACCEDIR ATH FICH\xC8R ";
  } else {
    message = "NO ES POT ACCEDIR AL FITXER ";
  }
  message.append(path);
  message += " (" + std::to_string(StatusCode(status)) + ")";
  return message;
}

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

void EndRunAfterFailedOpen(WindowStack& windows, ColourState& colour_state,
                           const ScreenColourTable& colours, const std::string& message,
                           const std::function<void()>& close_everything) {
  PresentFatalOpen(windows, colour_state, colours, message);
  if (close_everything) close_everything();
  std::exit(kExitTableFailed);
}

}  // namespace torvane
