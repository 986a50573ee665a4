// The session set-up: the directories from the suite's environment
// variables, the terminal directory from the session profile, and the colour
// set and language from the terminal profile, with the installation profile
// as the language's fallback. Each value is read once, in a fixed order,
// because later steps read their files from the directories found earlier.
#include "session/session_environment.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/packed_digits.h"
#include "base/suite_path.h"
#include "session/profile_file.h"

namespace torvane {
namespace {

// Four digits per colour role: foreground, then background.
constexpr char kDefaultColours[] = "15000700000700070007";
constexpr int kDigitsPerColour = 2;
constexpr size_t kLanguageLength = 3;

std::string ThreeCharacters(std::string text) {
  text.resize(kLanguageLength, ' ');
  return text;
}

// The number of the colour set: the value's leading number as a 16-bit
// integer, held to that range.
int16_t ColourSetNumber(std::string_view text) {
  const long long number = std::clamp<long long>(LeadingNumber(text), INT16_MIN, INT16_MAX);
  return static_cast<int16_t>(number);
}

// The colour number in the two characters at `offset`: leading spaces, then
// digits; 0 when the pair is missing or holds no number.
int16_t ColourAt(std::string_view colours, size_t offset) {
  if (offset >= colours.size()) return 0;
  std::string_view pair = colours.substr(offset, kDigitsPerColour);
  while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
  int16_t value = 0;
  for (const char c : pair) {
    if (c < '0' || c > '9') break;
    value = static_cast<int16_t>(value * 10 + (c - '0'));
  }
  return value;
}

}  // namespace

SessionEnvironment EstablishSession(FileSystem& fs, Environment& environment) {
  SessionEnvironment session;
  session.RootDirectory = environment.Get("KAVROOT");
  session.ProgramDirectory = environment.Get("KAVEXE");
  session.TempDirectory = WithTrailingSeparator(environment.Get("KAVTMP"));

  std::string terminal_directory =
      ReadProfileValue(fs, session.TempDirectory + "Sessio.ini", "Terminal", "Dir");
  if (terminal_directory.empty()) terminal_directory = environment.Get("TERM");
  terminal_directory = WithTrailingSeparator(std::move(terminal_directory));
  if (session.TempDirectory.empty()) session.TempDirectory = terminal_directory;

  const std::string terminal_profile = session.TempDirectory + "PexaTerm.ini";
  const int16_t colour_set =
      ColourSetNumber(ReadProfileValue(fs, terminal_profile, "Pantalla", "Seleccio"));
  std::string colours =
      ReadProfileValue(fs, terminal_profile, "Pantalla", "Col" + std::to_string(colour_set));
  if (colours.empty()) colours = kDefaultColours;
  for (int role = 0; role < kColourRoles; ++role) {
    const size_t offset = static_cast<size_t>(role) * 2 * kDigitsPerColour;
    session.ScreenColours[role][0] = ColourAt(colours, offset);
    session.ScreenColours[role][1] = ColourAt(colours, offset + kDigitsPerColour);
  }

  session.Language = ThreeCharacters(ReadProfileValue(fs, terminal_profile, "Sistema", "Idioma"));
  if (session.Language.find_first_not_of(' ') == std::string::npos) {
    session.Language = ThreeCharacters(
        ReadProfileValue(fs, session.RootDirectory + "Pexa.ini", "Usuari", "Idioma"));
  }
  return session;
}

}  // namespace torvane
