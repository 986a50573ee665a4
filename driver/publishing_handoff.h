// The hand-off at the end of the run: decides whether the suite's archiver
// and uploader "KAVTAR" runs next, to pack the run's listed invoices and send
// them to the vendor's publishing server before chaining to "TORVANE2", or
// whether "TORVANE2" runs directly. When the archiver runs, its profile
// KAVTAR.INI and the uploader's KAVHTTP.INI are rewritten from scratch in the
// temporary directory. Starting the chosen program is left to the caller.
#ifndef TORVANE_DRIVER_PUBLISHING_HANDOFF_H_
#define TORVANE_DRIVER_PUBLISHING_HANDOFF_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/random.h"
#include "session/tax_settings.h"

namespace torvane {

// The run's file list in the temporary directory, and the chain's next step.
inline constexpr std::string_view kFileListName = "TAR.LST";
inline constexpr std::string_view kNextStepProgramName = "TORVANE2";

// The vendor's publishing server, used when the installation names none.
inline constexpr char kDefaultPublishingHost[] = "publica.kavsoft.es";

// The publishing server's host name: key "Servidor" of section "Publicar" in
// root + "Ftp.ini", trimmed of blanks; kDefaultPublishingHost when empty.
std::string PublishingHost(FileSystem& fs, const std::string& root_directory);

// The uploader's port and page when the installation names none: the values
// every installation had before they could be set.
inline constexpr char kDefaultPublishingPort[] = "80";
inline constexpr char kDefaultPublishingPage[] = "/proves/factsrv.php";

// Where on the publishing server the uploader sends the archive.
struct PublishingTarget {
  std::string port;
  std::string page;
};

// Keys "Port" and "Pagina" of section "Publicar" in root + "Ftp.ini", each
// trimmed of blanks and passed on as written; an absent or blank key gives
// kDefaultPublishingPort or kDefaultPublishingPage.
PublishingTarget UploadTarget(FileSystem& fs, const std::string& root_directory);

// What the hand-off decided: the next program, and the profiles it could
// not write completely (none when the archiver is not prepared).
struct HandOff {
  std::string next_program;
  std::vector<std::string> incomplete_profiles;
};

// Decides the next program, "KAVTAR" or "TORVANE2":
//   1. publishing is wanted unless key "Rebuts" of section "Publicar" in
//      root + "Ftp.ini" is exactly "N";
//   2. the archiver runs when publishing is wanted and root + "KAVTAR.EXE"
//      is an ordinary file (FileExists); then the folder root + "CSB" is
//      made, a free archive name drawn in it, both profiles deleted and
//      written value by value, and "KAVTAR" returned;
//   3. otherwise "TORVANE2" is returned and no profile is touched.
// Should no free archive name be found, the archiver is not prepared and
// "TORVANE2" runs next rather than an earlier archive being overwritten.
// Should a profile not be written completely, both profiles are removed and
// "TORVANE2" runs next: the archiver is never handed an incomplete profile.
HandOff PublishingHandOff(FileSystem& fs, Clock& clock, RandomGenerator& random,
                          const std::string& root_directory, const std::string& temp_directory,
                          const FirmIdentity& firm);

}  // namespace torvane

#endif  // TORVANE_DRIVER_PUBLISHING_HANDOFF_H_
