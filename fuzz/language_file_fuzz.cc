// Fuzzes the language file reader with arbitrary file contents, looked up in
// every language for a few fixed texts and for the file's own first field.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/memory_file_system.h"
#include "session/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  torvane::MemoryFileSystem fs;
  fs.SetFile("ROOT\\LOCALE\\TORVANE1.LNG", bytes);
  const std::string first_field = bytes.substr(0, bytes.find_first_of(",\r"));
  for (const char* language : {"CAT", "GLG", "OCI", "SPA", "FRA"}) {
    torvane::LanguageTexts texts(fs, "ROOT\\", language, "TORVANE1");
    for (const std::string& catalan : {std::string("Rebut"), std::string(), first_field}) {
      const std::string translated = texts.TranslateText(catalan);
      if (std::string(language) == "CAT" && translated != catalan) std::abort();
    }
  }
  if (fs.GetFile("ROOT\\LOCALE\\TORVANE1.LNG") != bytes) std::abort();  // only read
  return 0;
}
