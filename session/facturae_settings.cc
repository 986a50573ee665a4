// Reads section "Facturae" of the installation profile.
#include "session/facturae_settings.h"

#include <string>
#include <string_view>

#include "session/profile_file.h"

namespace torvane {
namespace {

constexpr char kInstallationProfile[] = "Pexa.ini";
constexpr char kSection[] = "Facturae";

std::string_view TrimSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// "/x", "\x" and "C:..." name a file on their own; anything else is below
// the root directory.
bool IsAbsolutePath(std::string_view path) {
  if (path.empty()) return false;
  if (path[0] == '/' || path[0] == '\\') return true;
  const char drive = path[0];
  const bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
  return path.size() >= 2 && letter && path[1] == ':';
}

}  // namespace

FacturaeSettings ReadFacturaeSettings(FileSystem& fs, const std::string& root_directory) {
  const std::string profile = root_directory + kInstallationProfile;
  FacturaeSettings settings;
  settings.version_text =
      std::string(TrimSpaces(ReadProfileValue(fs, profile, kSection, "Versio")));
  if (settings.version_text.empty() || settings.version_text == "3.0") {
    settings.version = FacturaeVersion::k30;
  } else if (settings.version_text == "3.2.2") {
    settings.version = FacturaeVersion::k322;
  } else {
    settings.version = FacturaeVersion::kUnknown;
  }
  const std::string certificate =
      std::string(TrimSpaces(ReadProfileValue(fs, profile, kSection, "Certificat")));
  if (!certificate.empty()) {
    settings.certificate_path =
        IsAbsolutePath(certificate) ? certificate : root_directory + certificate;
  }
  return settings;
}

}  // namespace torvane
