// The Facturae settings of Pexa.ini: which format, and where the
// certificate is.
#include "session/facturae_settings.h"

#include <gtest/gtest.h>

#include "platform/memory_file_system.h"

namespace torvane {
namespace {

struct SettingsCase {
  const char* profile;
  FacturaeVersion version;
  const char* certificate_path;
};

TEST(FacturaeSettingsTest, VersionAndCertificateFromTheProfile) {
  const SettingsCase cases[] = {
      {"[Iva0]\r\nNom=IVA\r\n", FacturaeVersion::k30, ""},
      {"[Facturae]\r\nVersio=3.0\r\nCertificat=firma.p12\r\n", FacturaeVersion::k30,
       "C:\\KAV\\firma.p12"},
      {"[facturae]\r\nVersio = 3.2.2 \r\n", FacturaeVersion::k322, ""},
      {"[Facturae]\r\nVersio=3.2.2\r\nCertificat=CERT\\firma.pfx\r\n", FacturaeVersion::k322,
       "C:\\KAV\\CERT\\firma.pfx"},
      {"[Facturae]\r\nVersio=3.2.2\r\nCertificat=D:\\firma.p12\r\n", FacturaeVersion::k322,
       "D:\\firma.p12"},
      {"[Facturae]\r\nVersio=3.2.2\r\nCertificat=/srv/firma.p12\r\n", FacturaeVersion::k322,
       "/srv/firma.p12"},
      {"[Facturae]\r\nVersio=3.2\r\n", FacturaeVersion::kUnknown, ""},
      {"[Facturae]\r\nVersio=322\r\n", FacturaeVersion::kUnknown, ""},
  };
  for (const SettingsCase& c : cases) {
    SCOPED_TRACE(c.profile);
    MemoryFileSystem fs;
    fs.SetFile("C:\\KAV\\Pexa.ini", c.profile);
    const FacturaeSettings settings = ReadFacturaeSettings(fs, "C:\\KAV\\");
    EXPECT_EQ(settings.version, c.version);
    EXPECT_EQ(settings.certificate_path, c.certificate_path);
  }
}

}  // namespace
}  // namespace torvane
