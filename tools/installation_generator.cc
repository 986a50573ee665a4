// The synthetic installation: tables, profiles, language file, session.
#include "tools/installation_generator.h"

#include <initializer_list>

#include "platform/cp850.h"
#include "tools/synthetic_tables.h"

namespace torvane::kavdata {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Lines written in UTF-8 here, stored in code page 850 with CR LF.
std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    std::string bytes;
    (void)Utf8ToCp850(line, &bytes);  // the texts below are all in the code page
    text += bytes;
    text += kLineEnd;
  }
  return text;
}

}  // namespace

std::string MainProfileText() {
  return Lines({
      "[Usuari]",
      "Idioma=CAT",
      "[Iva0]",
      "Nom=IVA",
      "Locals=21",
      "Vivendes=10",
      "[Iva1]",
      "Nom=IGIC",
      "Locals=7",
      "Vivendes=3",
      "[Ret0]",
      "Locals=19",
      "[Ret1]",
      "Locals=15",
      "[Empresa]",
      "1=FINQUES I ADMINISTRACIÓ DEMO",
      "2=C/ BALMES, 123, 2N",
      "3=08008 BARCELONA",
      "4=BARCELONA",
      "5=",
      "6=GESTIÓ PATRIMONIAL DEMO, S.L.",
      "7=ESB64717838",
      "8=",
  });
}

std::string PublishingProfileText() {
  return Lines({"[Publicar]", "Rebuts=S", "Servidor=factures.example.com"});
}

std::string LanguageFileText() {
  // Catalan key, Galician, Aranese Occitan, Spanish. Texts with a leading
  // blank must be quoted to keep it.
  return Lines({
      "MENSUAL,MENSUAL,MENSAU,MENSUAL",
      "BIMESTRAL,BIMESTRAL,BIMESTRAU,BIMESTRAL",
      "TRIMESTRAL,TRIMESTRAL,TRIMESTRAU,TRIMESTRAL",
      "QUADRIMESTRAL,CUADRIMESTRAL,QUADRIMESTRAU,CUATRIMESTRAL",
      "SEMESTRAL,SEMESTRAL,SEMESTRAU,SEMESTRAL",
      "ANYAL,ANUAL,ANNAU,ANUAL",
      "\" VENÇUT\",\" VENCIDO\",\" VENÇUT\",\" VENCIDO\"",
      "\" A MIG TERMINI\",\" A MEDIO PRAZO\",\" A MIÈI TÈRMINI\",\" A MEDIO PLAZO\"",
      "\" ANTICIPAT\",\" ANTICIPADO\",\" ANTICIPAT\",\" ANTICIPADO\"",
  });
}

std::string TerminalProfileText(std::string_view language) {
  const std::string idioma = "Idioma=" + std::string(language);
  return Lines({"[Sistema]", idioma, "[Pantalla]", "Seleccio=0", "Col0=15000700000700070007"});
}

std::string RunParameterText() {
  return Lines({
      kGeneratedReceiptDate,  // receipt date
      "0000",
      "0000",  // first estate and unit
      "9999",
      "9999",                    // last estate and unit
      kGeneratedBatchReference,  // batch reference
      "S",
      "0",
      "9999",  // series A and its remittances
      "S",
      "0",
      "9999",  // series B
      "S",
      "0",
      "9999",  // series F
      "S",
      "S",
      "S",
      "S",
      "S",
      "S",
      "S",
      "S",
      "S",
      "S",
      "S",
      "S",
      "S",
      "S",  // concepts 1-14
  });
}

bool HoldsInstallation(FileSystem& fs, std::string_view dir) {
  for (std::string_view name : {"root", "tmp", "DADES", "Pexa.ini"}) {
    if (PathExists(fs, JoinPath(dir, name))) return true;
  }
  return false;
}

namespace {

bool RemoveTree(FileSystem& fs, const std::string& path, std::string* error) {
  const PathKind kind = fs.KindOf(path);
  if (kind == PathKind::kMissing) return true;
  if (kind == PathKind::kFolder) {
    for (const DirectoryEntry& entry : fs.Find(JoinPath(path, "*"))) {
      if (!RemoveTree(fs, JoinPath(path, entry.name), error)) return false;
    }
    if (fs.RemoveFolder(path)) return true;
  } else if (fs.RemoveFile(path)) {
    return true;
  }
  *error = "cannot remove " + path;
  return false;
}

}  // namespace

bool RemoveEarlierOutputs(FileSystem& fs, std::string_view dir, std::string* error) {
  const std::string root = JoinPath(dir, "root");
  const std::string temp = JoinPath(dir, "tmp");
  const std::string outputs[] = {
      JoinPath(root, "DOCUMENT"),   JoinPath(root, "CSB"),         JoinPath(temp, "TAR.LST"),
      JoinPath(temp, "KAVTAR.INI"), JoinPath(temp, "KAVHTTP.INI"), JoinPath(temp, "TORVANE1.LOG"),
  };
  for (const std::string& path : outputs) {
    if (!RemoveTree(fs, path, error)) return false;
  }
  return true;
}

bool GenerateInstallation(Services& services, std::string_view dir, const GeneratorOptions& options,
                          std::string* error) {
  if (options.units < 1 || options.units > kMaxSyntheticUnits) {
    *error = "--units must lie between 1 and " + std::to_string(kMaxSyntheticUnits);
    return false;
  }
  FileSystem& fs = services.files;
  const std::string root = JoinPath(dir, "root");
  const std::string temp = JoinPath(dir, "tmp");
  const std::string locale = JoinPath(root, "LOCALE");
  for (const std::string& folder : {std::string(dir), root, temp}) {
    if (!EnsureFolder(fs, folder)) {
      *error = "cannot make the folder " + folder;
      return false;
    }
  }
  const TableSet tables = MakeSyntheticTables(options.units, options.seed);
  if (!WriteTables(services, root, options.owner, tables, error)) return false;
  if (!EnsureFolder(fs, locale)) {
    *error = "cannot make the folder " + locale;
    return false;
  }
  const struct {
    std::string path;
    std::string bytes;
  } files[] = {
      {JoinPath(root, "Pexa.ini"), MainProfileText()},
      {JoinPath(root, "Ftp.ini"), PublishingProfileText()},
      {JoinPath(locale, "TORVANE1.LNG"), LanguageFileText()},
      {JoinPath(temp, "PexaTerm.ini"), TerminalProfileText(options.language)},
      {JoinPath(temp, "pent.tmp"), RunParameterText()},
  };
  for (const auto& file : files) {
    if (!WriteWholeFile(fs, file.path, file.bytes)) {
      *error = "cannot write " + file.path;
      return false;
    }
  }
  return true;
}

}  // namespace torvane::kavdata
