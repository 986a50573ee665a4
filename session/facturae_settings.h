// The installation's choice of invoice format, read once from root +
// "Pexa.ini", section "Facturae": key "Versio" ("3.2.2"; absent, empty or
// "3.0" for the suite's own Facturae 3.0) and key "Certificat", the PKCS#12
// file that signs every 3.2.2 invoice (a name relative to the root directory,
// or absolute). Without the section everything stays as it always was.
#ifndef TORVANE_SESSION_FACTURAE_SETTINGS_H_
#define TORVANE_SESSION_FACTURAE_SETTINGS_H_

#include <string>

#include "platform/file_system.h"

namespace torvane {

enum class FacturaeVersion {
  k30,       // Facturae 3.0, code page 850, CR LF
  k322,      // Facturae 3.2.2, UTF-8, LF
  kUnknown,  // a "Versio" value the program does not write: the run stops
};

struct FacturaeSettings {
  FacturaeVersion version = FacturaeVersion::k30;
  std::string version_text;      // "Versio" as read, blanks trimmed
  std::string certificate_path;  // empty: unsigned; otherwise the full name
};

// The environment variable holding the certificate's password.
inline constexpr char kCertificatePasswordVariable[] = "KAVCERTPASS";

FacturaeSettings ReadFacturaeSettings(FileSystem& fs, const std::string& root_directory);

}  // namespace torvane

#endif  // TORVANE_SESSION_FACTURAE_SETTINGS_H_
