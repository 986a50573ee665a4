// Lookups in the program's language file. The file is a stream of fields,
// four to a record (Catalan key, Galician, Aranese Occitan, Spanish):
//   1. spaces in front of a field are skipped;
//   2. a field that starts with a double quote runs to the next double quote
//      (commas and spaces included); after it, spaces, tabs and LF are
//      skipped, then a comma or a line end ends the field, and any other
//      character starts the next field;
//   3. any other field runs to the next comma or CR, without its tabs and
//      LF characters, its trailing spaces kept;
//   4. a line end (CR, or CR LF) ends a field as a comma does, so records
//      follow the count of fields, not the lines;
//   5. a byte 0x1A or the end of the file ends the data.
#include "session/language_file.h"

#include <optional>
#include <utility>

#include "base/text_lines.h"

namespace torvane {
namespace {

// Reads the fields of the language file's data one after the other.
class FieldReader {
 public:
  explicit FieldReader(std::string_view data) : data_(CutAtEndOfData(data)) {}

  bool AtEnd() const { return position_ >= data_.size(); }

  // The next field; the empty text beyond the end of the data.
  std::string Next() {
    while (!AtEnd() && data_[position_] == ' ') ++position_;
    if (AtEnd()) return std::string();
    return data_[position_] == '"' ? Quoted() : Unquoted();
  }

 private:
  std::string Quoted() {
    ++position_;  // the opening quote
    const size_t close = data_.find('"', position_);
    if (close == std::string_view::npos) {  // unterminated: the rest of the data
      std::string field(data_.substr(position_));
      position_ = data_.size();
      return field;
    }
    std::string field(data_.substr(position_, close - position_));
    position_ = close + 1;
    while (!AtEnd() &&
           (data_[position_] == ' ' || data_[position_] == '\t' || data_[position_] == '\n')) {
      ++position_;
    }
    if (!AtEnd()) {
      if (data_[position_] == ',') {
        ++position_;
      } else if (data_[position_] == '\r') {
        SkipLineEnd();
      }
    }
    return field;
  }

  std::string Unquoted() {
    std::string field;
    while (!AtEnd()) {
      const char c = data_[position_];
      if (c == ',') {
        ++position_;
        break;
      }
      if (c == '\r') {
        SkipLineEnd();
        break;
      }
      if (c != '\t' && c != '\n') field += c;
      ++position_;
    }
    return field;
  }

  // At a CR: passes it and an LF right behind it.
  void SkipLineEnd() {
    ++position_;
    if (!AtEnd() && data_[position_] == '\n') ++position_;
  }

  std::string_view data_;
  size_t position_ = 0;
};

// The field of a record that holds the language's text: 2 Galician,
// 3 Aranese Occitan, 4 Spanish; nullopt for any other language.
std::optional<int> FieldOfLanguage(std::string_view language) {
  if (language == "GLG") return 2;
  if (language == "OCI") return 3;
  if (language == "SPA") return 4;
  return std::nullopt;
}

}  // namespace

LanguageTexts::LanguageTexts(FileSystem& fs, std::string root_directory, std::string language,
                             std::string program_name)
    : fs_(fs),
      root_directory_(std::move(root_directory)),
      language_(std::move(language)),
      program_name_(std::move(program_name)) {}

std::string LanguageTexts::TranslateText(std::string_view catalan) {
  if (language_ == "CAT") return std::string(catalan);
  if (!loaded_) {
    loaded_ = true;
    const std::string file_name = root_directory_ + "LOCALE\\" + program_name_ + ".LNG";
    data_ = ReadWholeFile(fs_, file_name);
    // A missing file is created empty, once, for the installation to fill in.
    if (!data_ && fs_.KindOf(file_name) == PathKind::kMissing) {
      if (auto file = fs_.Open(file_name, FileAccess::kReadWrite, FileSharing::kShareAll,
                               FileCreation::kOpenOrCreate)) {
        file->Close();
      }
      data_ = ReadWholeFile(fs_, file_name);
    }
  }
  const std::string key(catalan);
  if (const auto known = translations_.find(key); known != translations_.end()) {
    return known->second;
  }
  std::string text = Translate(catalan);
  translations_.emplace(key, text);
  return text;
}

std::string LanguageTexts::Translate(std::string_view catalan) const {
  if (!data_) return std::string(catalan);
  FieldReader reader(*data_);
  while (!reader.AtEnd()) {
    const std::string key = reader.Next();
    if (reader.AtEnd()) break;
    std::string fields[3];  // Galician, Aranese Occitan, Spanish
    for (std::string& field : fields) field = reader.Next();
    if (key == catalan) {
      const std::optional<int> wanted = FieldOfLanguage(language_);
      return wanted ? std::move(fields[*wanted - 2]) : std::string(catalan);
    }
  }
  return std::string(catalan);
}

}  // namespace torvane
