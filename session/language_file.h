// The program's language file, root + "LOCALE\" + program name + ".LNG":
// records of four comma-separated fields (Catalan key, Galician, Aranese
// Occitan, Spanish). Texts the program holds only in Catalan are looked up
// there for the session language. No cache: every lookup reads the file.
#ifndef TORVANE_SESSION_LANGUAGE_FILE_H_
#define TORVANE_SESSION_LANGUAGE_FILE_H_

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace torvane {

class LanguageTexts {
 public:
  LanguageTexts(FileSystem& fs, std::string root_directory, std::string language,
                std::string program_name);

  // The text in the session language; the Catalan text itself for a Catalan
  // session, an unknown language, a missing file or a missing record.
  std::string TranslateText(std::string_view catalan);

 private:
  FileSystem& fs_;
  std::string root_directory_;
  std::string language_;
  std::string program_name_;
  std::string file_name_;  // fixed on the first lookup
};

}  // namespace torvane

#endif  // TORVANE_SESSION_LANGUAGE_FILE_H_
