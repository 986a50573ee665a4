// The program's language file, root + "LOCALE\" + program name + ".LNG":
// records of four comma-separated fields (Catalan key, Galician, Aranese
// Occitan, Spanish). Texts the program holds only in Catalan are looked up
// there for the session language. The file is only ever read: it is read
// once, at the first lookup, and every text looked up is kept for the run.
#ifndef TORVANE_SESSION_LANGUAGE_FILE_H_
#define TORVANE_SESSION_LANGUAGE_FILE_H_

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

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
  // The lookup in the file's data.
  std::string Translate(std::string_view catalan) const;

  FileSystem& fs_;
  std::string root_directory_;
  std::string language_;
  std::string program_name_;
  bool loaded_ = false;
  std::optional<std::string> data_;  // nullopt when the file cannot be read
  std::unordered_map<std::string, std::string> translations_;
};

}  // namespace torvane

#endif  // TORVANE_SESSION_LANGUAGE_FILE_H_
