// Lookups in the language file: the field syntax, the grouping into records
// and the choice of field by session language.
#include "session/language_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/test_support.h"

namespace torvane {
namespace {

using namespace std::string_literals;
using testing::NativeFileExists;
using testing::ReadNativeFile;
using testing::ScopedTempDir;
using testing::WriteNativeFile;

class LanguageTextsTest : public ::testing::Test {
 protected:
  std::string FilePath() const { return dir_.path() + "LOCALE/TORVANE1.LNG"; }

  std::string Translate(const std::string& language, const std::string& catalan) {
    LanguageTexts texts(FileSystem::Default(), dir_.path(), language, "TORVANE1");
    return texts.TranslateText(catalan);
  }

  std::string TranslateIn(const std::string& file, const std::string& language,
                          const std::string& catalan) {
    WriteNativeFile(FilePath(), file);
    return Translate(language, catalan);
  }

  ScopedTempDir dir_;
};

TEST_F(LanguageTextsTest, CatalanSessionTouchesNoFile) {
  std::filesystem::create_directory(dir_.path() + "LOCALE");
  EXPECT_EQ(Translate("CAT", "MENSUAL"), "MENSUAL");
  EXPECT_FALSE(NativeFileExists(FilePath()));
}

TEST_F(LanguageTextsTest, MissingFileIsCreatedEmpty) {
  std::filesystem::create_directory(dir_.path() + "LOCALE");
  EXPECT_EQ(Translate("SPA", "MENSUAL"), "MENSUAL");
  ASSERT_TRUE(NativeFileExists(FilePath()));
  EXPECT_EQ(ReadNativeFile(FilePath()), "");
}

TEST_F(LanguageTextsTest, MissingFolderIsNoError) {
  EXPECT_EQ(Translate("SPA", " VEN\x80UT"), " VEN\x80UT");
  EXPECT_FALSE(NativeFileExists(dir_.path() + "LOCALE"));
}

TEST_F(LanguageTextsTest, ExistingFileIsLeftUnchanged) {
  const std::string file = "MENSUAL,MENSUAL GLG,MENSUAL OCI,MENSUAL SPA\r\n\x1A junk";
  EXPECT_EQ(TranslateIn(file, "SPA", "MENSUAL"), "MENSUAL SPA");
  EXPECT_EQ(ReadNativeFile(FilePath()), file);
}

TEST_F(LanguageTextsTest, ChoiceByLanguage) {
  const std::string file = "MENSUAL,MENSUAL GLG,MENSUAL OCI,MENSUAL SPA\r\n";
  struct Case {
    std::string language;
    std::string expected;
  };
  const Case cases[] = {
      {"SPA", "MENSUAL SPA"}, {"GLG", "MENSUAL GLG"}, {"OCI", "MENSUAL OCI"},
      {"   ", "MENSUAL"},     {"ES ", "MENSUAL"},     {"spa", "MENSUAL"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TranslateIn(file, c.language, "MENSUAL"), c.expected) << c.language;
  }
}

TEST_F(LanguageTextsTest, Records) {
  struct Case {
    const char* what;
    std::string file;
    std::string catalan;
    std::string expected;  // the Spanish result
  };
  const Case cases[] = {
      {"second record", "A,a2,a3,a4\r\nB,b2,b3,b4\r\n", "B", "b4"},
      {"no line end at the end", "A,a2,a3,a4\r\nB,b2,b3,b4", "B", "b4"},
      {"lone CR line ends", "A,a2,a3,a4\rB,b2,b3,b4\r", "B", "b4"},
      {"no matching record", "A,a2,a3,a4\r\n", "B", "B"},
      {"first matching record only", "A,1,2,3\r\nA,4,5,6\r\n", "A", "3"},
      {"empty field for the language", "A,a2,a3,\r\n", "A", ""},
      {"incomplete last record", "A,a2\r\n", "A", ""},
      {"data ends right after the key", "A", "A", "A"},
      {"record over two lines", "A,a2\r\na3,a4\r\nB,b2\r\nb3,b4\r\n", "B", "b4"},
      {"leading spaces of a field are skipped", "   A,  a2,  a3,  a4  \r\n", "A", "a4  "},
      {"unquoted key loses its leading space", " VEN\x80UT,g,o,s\r\n", " VEN\x80UT", " VEN\x80UT"},
      {"quoted key keeps its leading space", "\" VEN\x80UT\",g,o,\" VENCIDO\"\r\n", " VEN\x80UT",
       " VENCIDO"},
      {"key in other letter case", "mensual,g,o,s\r\n", "MENSUAL", "MENSUAL"},
      {"C cedilla of another code page", " VEN\xC7UT,g,o,s\r\n", " VEN\x80UT", " VEN\x80UT"},
      {"quoted field holds commas", "\"A,B\",g,o,\"x, y\"\r\n", "A,B", "x, y"},
      {"after the closing quote spaces, tabs and LF are skipped", "\"A\" \t\n,g,o,\"s\"  \r\n", "A",
       "s"},
      {"a character after the closing quote starts the next field", "\"A\"g,o,s\r\n", "A", "s"},
      {"tabs and LF dropped inside unquoted fields", "A,g,o,s\tp\na\r\n", "A", "spa"},
      {"LF alone is no line end", "A,g,o,s\nB,x,y,z\r\n", "A", "sB"},
      {"unterminated quote runs to the end", "A,g,o,\"s,t\r\nB,1,2,3", "A", "s,t\r\nB,1,2,3"},
      {"0x1A ends the data", "A,g,o,s\x1Atail\r\n", "A", "s"},
      {"record after 0x1A is not read",
       "A,1,2,3\r\n\x1A"
       "B,b2,b3,b4\r\n",
       "B", "B"},
      {"binary bytes pass through", "K\x01\xFF,g,o,\x00\xB7\xFE\r\n"s, "K\x01\xFF",
       "\x00\xB7\xFE"s},
      {"empty file", "", "A", "A"},
      {"only line ends", "\r\n\r\n\r\n\r\n\r\n", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TranslateIn(c.file, "SPA", c.catalan), c.expected) << c.what;
  }
}

TEST_F(LanguageTextsTest, LargeFile) {
  std::string file;
  for (int i = 0; i < 10000; ++i) {
    const std::string n = std::to_string(i);
    file += "\"KEY " + n + "\",g" + n + ",o" + n + ",s" + n + "\r\n";
  }
  EXPECT_EQ(TranslateIn(file, "OCI", "KEY 9999"), "o9999");
  EXPECT_EQ(TranslateIn(file, "GLG", "KEY 10000"), "KEY 10000");
}

TEST_F(LanguageTextsTest, GarbageNeverHangs) {
  std::string file;
  unsigned state = 12345;
  for (int i = 0; i < 100000; ++i) {
    state = state * 1103515245u + 12345u;
    file += static_cast<char>((state >> 16) & 0xFF);
  }
  EXPECT_EQ(TranslateIn(file, "SPA", "MENSUAL"), "MENSUAL");
  EXPECT_EQ(TranslateIn("\"\"\"\",,,\"\r\n\"", "SPA", "MENSUAL"), "MENSUAL");
}

// One run reads the file once: a change during the run is not seen, and the
// texts of the first read serve every lookup.
TEST_F(LanguageTextsTest, FileIsReadOncePerRun) {
  LanguageTexts texts(FileSystem::Default(), dir_.path(), "SPA", "TORVANE1");
  WriteNativeFile(FilePath(), "ANYAL,g,o,ANUAL\r\nMENSUAL,g,o,MENSUAL ES\r\n");
  EXPECT_EQ(texts.TranslateText("ANYAL"), "ANUAL");
  WriteNativeFile(FilePath(), "ANYAL,g,o,ANUAL 2\r\n");
  EXPECT_EQ(texts.TranslateText("ANYAL"), "ANUAL");
  EXPECT_EQ(texts.TranslateText("MENSUAL"), "MENSUAL ES");
  EXPECT_EQ(texts.TranslateText("UNKNOWN"), "UNKNOWN");
}

}  // namespace
}  // namespace torvane
