// Profile line classification, name comparison and value reads.
#include "session/profile_file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace torvane {
namespace {

using testing::ScopedTempDir;
using testing::WriteNativeFile;

const char* KindName(ProfileLineKind kind) {
  switch (kind) {
    case ProfileLineKind::kBlank:
      return "blank";
    case ProfileLineKind::kSection:
      return "section";
    case ProfileLineKind::kKey:
      return "key";
    case ProfileLineKind::kPlain:
      return "plain";
  }
  return "?";
}

TEST(ProfileLineTest, Classification) {
  struct Case {
    std::string line;
    ProfileLineKind kind;
    std::string name;
    std::string value;
    size_t equals_offset;
  };
  using K = ProfileLineKind;
  const Case cases[] = {
      {"", K::kBlank, "", "", 0},
      {"    ", K::kBlank, "", "", 0},
      {"; a comment [x] k=v", K::kBlank, "", "", 0},
      {"   ; indented comment", K::kBlank, "", "", 0},
      {"[Pantalla]", K::kSection, "Pantalla", "", 0},
      {"  [ Pantalla ]  ; note", K::kSection, "Pantalla", "", 0},
      {"[Pantalla", K::kSection, "Pantalla", "", 0},  // no closing bracket
      {"[Pan]talla]", K::kSection, "Pan", "", 0},
      {"[a;b]", K::kSection, "a", "", 0},  // the comment cuts the name
      {"[]", K::kSection, "", "", 0},
      {"\t[Pantalla]", K::kPlain, "", "", 0},  // a tab is text, not a space
      {"[x=y]", K::kSection, "x=y", "", 0},
      {"Dir=C:\\TMP", K::kKey, "Dir", "C:\\TMP", 3},
      {"  Dir  =  C:\\TMP  ; comment", K::kKey, "Dir", "  C:\\TMP  ", 7},
      {"Dir=", K::kKey, "Dir", "", 3},
      {"=value", K::kKey, "", "value", 0},
      {"a=b=c", K::kKey, "a", "b=c", 1},
      {"\tKey=v", K::kKey, "\tKey", "v", 4},
      {"Key\t=v", K::kKey, "Key\t", "v", 4},
      {"Key;=v", K::kPlain, "", "", 0},  // the "=" is inside the comment
      {"just text", K::kPlain, "", "", 0},
      {"\t", K::kPlain, "", "", 0},
  };
  for (const Case& c : cases) {
    const ProfileLine got = ClassifyProfileLine(c.line);
    SCOPED_TRACE("line: " + ::testing::PrintToString(c.line));
    EXPECT_STREQ(KindName(got.kind), KindName(c.kind));
    EXPECT_EQ(got.name, c.name);
    EXPECT_EQ(got.value, c.value);
    if (c.kind == K::kKey) {
      EXPECT_EQ(got.equals_offset, c.equals_offset);
      EXPECT_EQ(c.line[got.equals_offset], '=');
    }
  }
}

TEST(ProfileNamesTest, Equality) {
  struct Case {
    std::string a;
    std::string b;
    bool equal;
  };
  const Case cases[] = {
      {"Pantalla", "PANTALLA", true},
      {"pantalla", "Pantalla", true},
      {"  Dir ", "dir", true},
      {"Dir", "Dirs", false},
      {"\tDir", "Dir", false},
      {"Di r", "Dir", false},
      {"", "  ", true},
      // Code page 850 lower-case letters against their capitals.
      {"\x84\x94\x81\x82\xA4\x86\x87", "\x8E\x99\x9A\x90\xA5\x8F\x80", true},
      {"Idioma\x87", "IDIOMA\x80", true},
      // Letters outside the list stand for themselves.
      {"\x85", "\xB7", false},  // a grave against A grave
      {"\xA0", "\xB5", false},  // a acute against A acute
      {"[", "{", false},
      {"@", "`", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProfileNamesEqual(c.a, c.b), c.equal)
        << ::testing::PrintToString(c.a) << " vs " << ::testing::PrintToString(c.b);
    EXPECT_EQ(ProfileNamesEqual(c.b, c.a), c.equal);
  }
}

TEST(ProfileNamesTest, UpperCaseMapsOnlyTheKnownLetters) {
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    const char upper = ProfileUpperCase(c);
    if (byte >= 'a' && byte <= 'z') {
      EXPECT_EQ(upper, static_cast<char>(byte - 32)) << byte;
    } else if (byte != 0x84 && byte != 0x94 && byte != 0x81 && byte != 0x82 && byte != 0xA4 &&
               byte != 0x86 && byte != 0x87) {
      EXPECT_EQ(upper, c) << byte;
    }
  }
}

class ReadProfileValueTest : public ::testing::Test {
 protected:
  std::string Read(const std::string& contents, const std::string& section,
                   const std::string& key) {
    WriteNativeFile(dir_.path() + "Test.ini", contents);
    return ReadProfileValue(FileSystem::Default(), dir_.path() + "Test.ini", section, key);
  }
  ScopedTempDir dir_;
};

TEST_F(ReadProfileValueTest, Values) {
  struct Case {
    const char* what;
    std::string contents;
    std::string section;
    std::string key;
    std::string expected;
  };
  const Case cases[] = {
      {"plain", "[Terminal]\r\nDir=C:\\TERM\r\n", "Terminal", "Dir", "C:\\TERM"},
      {"no line end at the end", "[Terminal]\r\nDir=x", "Terminal", "Dir", "x"},
      {"lone CR line ends", "[A]\rk=1\r[B]\rk=2\r", "B", "k", "2"},
      {"lone LF is text", "[A]\nk=1\n", "A", "k", ""},
      {"missing section", "[A]\r\nk=1\r\n", "B", "k", ""},
      {"missing key", "[A]\r\nk=1\r\n", "A", "j", ""},
      {"empty file", "", "A", "k", ""},
      {"section and key in other case", "[pantalla]\r\nSELECCIO=3\r\n", "PANTALLA", "seleccio",
       "3"},
      {"spaced header with comment", "  [  Pantalla  ]  ; colours\r\nCol0=1\r\n", "pantalla",
       "col0", "1"},
      {"header without closing bracket", "[Pantalla\r\nCol0=1\r\n", "Pantalla", "Col0", "1"},
      {"tab before the bracket is no header", "\t[Pantalla]\r\nCol0=1\r\n", "Pantalla", "Col0", ""},
      {"tab before the key name", "[A]\r\n\tKey=1\r\n", "A", "Key", ""},
      {"spaces around = and a comment", "[A]\r\n  Key  =  v w  ; note\r\n", "A", "Key", "  v w  "},
      {"blank and comment lines inside", "[A]\r\n\r\n; c\r\n   \r\nk=v\r\n", "A", "k", "v"},
      {"plain lines inside are passed over", "[A]\r\njunk\r\nk=v\r\n", "A", "k", "v"},
      {"requested names are trimmed", "[A]\r\nk=v\r\n", " A ", " k ", "v"},
      {"two quotes read as empty", "[A]\r\nk=\"\"\r\n", "A", "k", ""},
      {"one quote stays", "[A]\r\nk=\"\r\n", "A", "k", "\""},
      {"quotes are removed", "[A]\r\nk=\" v \"\r\n", "A", "k", " v "},
      {"quotes then space and comment stay", "[A]\r\nk=\"v\" ; c\r\n", "A", "k", "\"v\" "},
      {"only one pair of quotes goes", "[A]\r\nk=\"\"v\"\"\r\n", "A", "k", "\"v\""},
      {"key above the first header", "k=top\r\n[A]\r\nj=1\r\n", "A", "k", ""},
      {"key above the first header, no section", "k=top\r\n", "", "k", ""},
      {"first of two keys", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "1"},
      {"only the first section", "[A]\r\nx=1\r\n[B]\r\n[A]\r\nk=2\r\n", "A", "k", ""},
      {"first section wins", "[A]\r\nk=1\r\n[A]\r\nk=2\r\n", "A", "k", "1"},
      {"next header ends the section", "[A]\r\n[B]\r\nk=1\r\n", "A", "k", ""},
      {"0x1A ends the data", "[A]\r\n\x1Ak=1\r\n", "A", "k", ""},
      {"value before 0x1A",
       "[A]\r\nk=12\x1A"
       "34\r\n",
       "A", "k", "12"},
      {"code page 850 passes through", "[A]\r\nk=\x80\xA5\xFF\r\n", "A", "k", "\x80\xA5\xFF"},
      {"code page 850 names", "[Usu\x82ri]\r\nk=1\r\n", "USU\x90RI", "K", "1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.contents, c.section, c.key), c.expected) << c.what;
  }
}

TEST_F(ReadProfileValueTest, MissingFileReadsEmpty) {
  EXPECT_EQ(ReadProfileValue(FileSystem::Default(), dir_.path() + "Missing.ini", "A", "k"), "");
  EXPECT_EQ(ReadProfileValue(FileSystem::Default(), dir_.path() + "no\\such\\Pexa.ini", "A", "k"),
            "");
}

TEST_F(ReadProfileValueTest, BackslashPathsAndLargeFiles) {
  // A key far behind the first 32 KB is still found.
  std::string contents = "[A]\r\n";
  for (int i = 0; i < 10000; ++i) contents += "Key" + std::to_string(i) + "=value\r\n";
  contents += "Last=found\r\n";
  WriteNativeFile(dir_.path() + "Big.ini", contents);
  std::string path = dir_.path() + "Big.ini";
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  EXPECT_EQ(ReadProfileValue(FileSystem::Default(), path, "a", "last"), "found");
}

}  // namespace
}  // namespace torvane
