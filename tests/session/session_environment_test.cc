// Session set-up from the environment variables and the session, terminal
// and installation profiles, on real files in a scratch folder.
#include "session/session_environment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::FakeEnvironment;
using testing::ScopedTempDir;
using testing::WriteNativeFile;

class SessionEnvironmentTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& relative) const { return dir_.path() + relative; }

  SessionEnvironment Establish() { return EstablishSession(FileSystem::Default(), env_); }

  // A session whose temporary folder is "tmp" with the given PexaTerm.ini.
  SessionEnvironment WithTerminalProfile(const std::string& pexa_term) {
    env_.values["KAVTMP"] = Path("tmp");
    WriteNativeFile(Path("tmp/PexaTerm.ini"), pexa_term);
    return Establish();
  }

  ScopedTempDir dir_;
  FakeEnvironment env_;
};

TEST_F(SessionEnvironmentTest, NothingSet) {
  // No variable and (in this scratch folder) no profile at all.
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  const SessionEnvironment session = Establish();
  std::filesystem::current_path(previous);
  EXPECT_EQ(session.RootDirectory, "");
  EXPECT_EQ(session.ProgramDirectory, "");
  EXPECT_EQ(session.TempDirectory, "");
  EXPECT_EQ(session.Language, "   ");
  const int16_t expected[kColourRoles][2] = {{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}};
  for (int role = 0; role < kColourRoles; ++role) {
    EXPECT_EQ(session.ScreenColours[role][0], expected[role][0]) << role;
    EXPECT_EQ(session.ScreenColours[role][1], expected[role][1]) << role;
  }
}

TEST_F(SessionEnvironmentTest, Directories) {
  struct Case {
    std::string kavtmp;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\KAV\\TMP", "C:\\KAV\\TMP\\"},
      {"C:\\KAV\\TMP\\", "C:\\KAV\\TMP\\"},
      {"D:", "D:"},                // a bare drive gets no separator
      {"/tmp/kav/", "/tmp/kav/"},  // "/" ends a folder as "\" does
  };
  for (const Case& c : cases) {
    env_.values = {{"KAVROOT", "C:\\KAV"}, {"KAVEXE", "C:\\KAV\\EXE"}, {"KAVTMP", c.kavtmp}};
    const SessionEnvironment session = Establish();
    EXPECT_EQ(session.TempDirectory, c.expected) << c.kavtmp;
    EXPECT_EQ(session.RootDirectory, "C:\\KAV");  // never changed
    EXPECT_EQ(session.ProgramDirectory, "C:\\KAV\\EXE");
  }
}

TEST_F(SessionEnvironmentTest, TerminalDirectoryFromSessionProfileWhenNoTemporaryDirectory) {
  WriteNativeFile(Path("Sessio.ini"), "[Terminal]\r\nDir=" + Path("term") + "\r\n");
  WriteNativeFile(Path("term/PexaTerm.ini"), "[Sistema]\r\nIdioma=GLG\r\n");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  const SessionEnvironment session = Establish();
  std::filesystem::current_path(previous);
  EXPECT_EQ(session.TempDirectory, Path("term") + "\\");
  EXPECT_EQ(session.Language, "GLG");
}

TEST_F(SessionEnvironmentTest, SessionProfileInTemporaryDirectoryLeavesItInPlace) {
  env_.values["KAVTMP"] = Path("tmp");
  WriteNativeFile(Path("tmp/Sessio.ini"), "[Terminal]\r\nDir=" + Path("term") + "\r\n");
  WriteNativeFile(Path("tmp/PexaTerm.ini"), "[Sistema]\r\nIdioma=OCI\r\n");
  WriteNativeFile(Path("term/PexaTerm.ini"), "[Sistema]\r\nIdioma=GLG\r\n");
  const SessionEnvironment session = Establish();
  EXPECT_EQ(session.TempDirectory, Path("tmp") + "\\");
  EXPECT_EQ(session.Language, "OCI");
}

TEST_F(SessionEnvironmentTest, TerminalDirectoryFromTermVariable) {
  env_.values["TERM"] = Path("term");
  WriteNativeFile(Path("term/PexaTerm.ini"), "[Sistema]\r\nIdioma=SPA\r\n");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());  // holds no Sessio.ini
  const SessionEnvironment session = Establish();
  std::filesystem::current_path(previous);
  EXPECT_EQ(session.TempDirectory, Path("term") + "\\");
  EXPECT_EQ(session.Language, "SPA");
}

TEST_F(SessionEnvironmentTest, ColourSets) {
  struct Case {
    const char* what;
    std::string pantalla;  // the lines of section [Pantalla]
    int16_t colours[kColourRoles][2];
  };
  const Case cases[] = {
      {"no colour set: the default", "", {{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}}},
      {"no Seleccio selects Col0",
       "Col0=01020304050607080910\r\nCol1=11111111111111111111\r\n",
       {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}}},
      {"empty Seleccio selects Col0",
       "Seleccio=\r\nCol0=01020304050607080910\r\n",
       {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}}},
      {"Seleccio picks its set",
       "Seleccio=2\r\nCol0=01020304050607080910\r\n"
       "Col2=15011402130312041105\r\n",
       {{15, 1}, {14, 2}, {13, 3}, {12, 4}, {11, 5}}},
      {"number at the start of Seleccio",
       "Seleccio= 12 x\r\nCol12=99999999999999999999\r\n",
       {{99, 99}, {99, 99}, {99, 99}, {99, 99}, {99, 99}}},
      {"Seleccio that is no number selects Col0",
       "Seleccio=x1\r\nCol0=01010101010101010101\r\n",
       {{1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}}},
      {"selected set missing: the default",
       "Seleccio=3\r\nCol0=01010101010101010101\r\n",
       {{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}}},
      {"short colour text leaves black",
       "Col0=1407030\r\n",
       {{14, 7}, {3, 0}, {0, 0}, {0, 0}, {0, 0}}},
      {"pairs that are no number give 0",
       "Col0=xx07 1AB-3.41 \r\n",
       {{0, 7}, {1, 0}, {0, 0}, {1, 0}, {0, 0}}},
      {"huge Seleccio stays a 16-bit number",
       "Seleccio=99999999999\r\n"
       "Col32767=02020202020202020202\r\n",
       {{2, 2}, {2, 2}, {2, 2}, {2, 2}, {2, 2}}},
  };
  for (const Case& c : cases) {
    const SessionEnvironment session = WithTerminalProfile("[Pantalla]\r\n" + c.pantalla);
    for (int role = 0; role < kColourRoles; ++role) {
      EXPECT_EQ(session.ScreenColours[role][0], c.colours[role][0]) << c.what << ", role " << role;
      EXPECT_EQ(session.ScreenColours[role][1], c.colours[role][1]) << c.what << ", role " << role;
    }
  }
}

TEST_F(SessionEnvironmentTest, Languages) {
  struct Case {
    const char* what;
    std::string session_language;  // value of [Sistema] Idioma, "-" for no key
    std::string installation_language;
    std::string expected;
  };
  const Case cases[] = {
      {"session language", "SPA", "GLG", "SPA"},
      {"cut to three", "CATALA", "", "CAT"},
      {"padded to three", "ES", "", "ES "},
      {"installation language when the session has none", "-", "OCI", "OCI"},
      {"installation language when the session's is blank", "   ", "GLG", "GLG"},
      {"installation language is cut and padded too", "", "G", "G  "},
      {"leading space keeps the session's value", " SP", "GLG", " SP"},
      {"none at all", "-", "", "   "},
  };
  for (const Case& c : cases) {
    env_.values["KAVROOT"] = Path("root\\");
    WriteNativeFile(Path("root/Pexa.ini"),
                    "[Usuari]\r\nIdioma=" + c.installation_language + "\r\n");
    const std::string sistema =
        c.session_language == "-" ? "[Sistema]\r\n" : "[Sistema]\r\nIdioma=" + c.session_language;
    EXPECT_EQ(WithTerminalProfile(sistema).Language, c.expected) << c.what;
  }
}

TEST_F(SessionEnvironmentTest, RootDirectoryIsUsedAsGiven) {
  // Without a final separator the installation profile's name is glued on.
  env_.values["KAVROOT"] = Path("root");
  WriteNativeFile(Path("rootPexa.ini"), "[Usuari]\r\nIdioma=SPA\r\n");
  WriteNativeFile(Path("root/Pexa.ini"), "[Usuari]\r\nIdioma=GLG\r\n");
  EXPECT_EQ(WithTerminalProfile("").Language, "SPA");
}

}  // namespace
}  // namespace torvane
