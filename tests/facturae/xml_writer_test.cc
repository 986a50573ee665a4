// The streaming XML writer over an in-memory file system: line layout,
// escaping, indentation, attributes, modes, unbalanced use and the report of
// whether a document reached its file completely.
#include "facturae/xml_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory_file_system.h"

namespace torvane {
namespace {

constexpr char kPath[] = "C:\\OUT\\DOC.xml";

class XmlWriterTest : public ::testing::Test {
 protected:
  XmlWriterTest() { fs_.SetFile("C:\\OUT\\OTHER.txt", ""); }  // makes the folder
  std::string Written() { return fs_.GetFile(kPath).value_or("<missing>"); }

  MemoryFileSystem fs_;
  XmlWriter xml_{fs_};
};

TEST(EscapeXmlTextTest, Table) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"A \"B\" & <C> D", "A &quot;B&quot; &amp; &lt;C&gt; D"},
      {"L'HOSPITALET", "L'HOSPITALET"},
      {"&amp;", "&amp;amp;"},
      {"A\tB\r\nC", "ABC"},
      {std::string("A\0B", 3), "AB"},
      {"\x1F\x7F", ""},
      {"\x87\x80\xFF ", "\x87\x80\xFF "},
      {"  padded  ", "  padded  "},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeXmlText(c.text), c.expected) << c.text;
}

TEST_F(XmlWriterTest, DeclarationAndNesting) {
  xml_.OpenXmlFile(kPath, "write");
  xml_.AddAttribute("version", "1.0");
  xml_.AddAttribute("encoding", "ibm850");
  xml_.WriteInstruction("xml");
  xml_.StartElement("a");
  xml_.StartElement("b");
  xml_.StartElement("c");
  xml_.WriteElement("d", "text");
  xml_.EndElement();
  EXPECT_TRUE(xml_.CloseXmlFile());
  EXPECT_EQ(Written(),
            "<?xml version=\"1.0\" encoding=\"ibm850\"?>\r\n"
            "<a>\r\n"
            "  <b>\r\n"
            "    <c>\r\n"
            "      <d>text</d>\r\n"
            "    </c>\r\n"
            "  </b>\r\n"
            "</a>\r\n");
}

TEST_F(XmlWriterTest, EmptyTextGivesEmptyElementForm) {
  xml_.OpenXmlFile(kPath, "write");
  xml_.WriteElement("Province", "");
  xml_.WriteElement("Town", "\t\r\n");
  xml_.AddAttribute("k", "v");
  xml_.WriteElement("Town", "");
  xml_.WriteElement("Name", " ");  // a blank is content
  xml_.CloseXmlFile();
  EXPECT_EQ(Written(),
            "<Province />\r\n"
            "<Town />\r\n"
            "<Town k=\"v\" />\r\n"
            "<Name> </Name>\r\n");
}

TEST_F(XmlWriterTest, AttributesAreEscapedAndBelongToTheNextTagOnly) {
  xml_.OpenXmlFile(kPath, "write");
  xml_.AddAttribute("href", "http://h/a?b=1&c=\"2\"<>\t");
  xml_.AddAttribute("x:y", "'");
  xml_.StartElement("root");
  xml_.WriteElement("e", "A&B");
  xml_.AddAttribute("n", "\x87");
  xml_.WriteElement("f", "\x87");
  xml_.WriteElement("g", "plain");
  xml_.CloseXmlFile();
  EXPECT_EQ(Written(),
            "<root href=\"http://h/a?b=1&amp;c=&quot;2&quot;&lt;&gt;\" x:y=\"'\">\r\n"
            "  <e>A&amp;B</e>\r\n"
            "  <f n=\"\x87\">\x87</f>\r\n"
            "  <g>plain</g>\r\n"
            "</root>\r\n");
}

// The document reaches the file whole, when it is closed.
TEST_F(XmlWriterTest, DocumentReachesTheFileWhenClosed) {
  xml_.OpenXmlFile(kPath, "write");
  xml_.StartElement("a");
  xml_.WriteElement("b", "1");
  EXPECT_EQ(Written(), "");
  EXPECT_TRUE(xml_.CloseXmlFile());
  EXPECT_EQ(Written(), "<a>\r\n  <b>1</b>\r\n</a>\r\n");
}

TEST_F(XmlWriterTest, UnbalancedUseIsTolerated) {
  xml_.EndElement();  // nothing open
  EXPECT_FALSE(xml_.CloseXmlFile());
  EXPECT_FALSE(fs_.GetFile(kPath).has_value());

  xml_.OpenXmlFile(kPath, "write");
  xml_.EndElement();
  xml_.StartElement("a");
  xml_.EndElement();
  xml_.EndElement();
  xml_.WriteElement("b", "");
  EXPECT_TRUE(xml_.CloseXmlFile());
  EXPECT_EQ(Written(), "<a>\r\n</a>\r\n<b />\r\n");
  xml_.EndElement();
  EXPECT_FALSE(xml_.CloseXmlFile());
  EXPECT_EQ(Written(), "<a>\r\n</a>\r\n<b />\r\n");
}

TEST_F(XmlWriterTest, ModesThatSelectWriting) {
  for (const char* mode : {"W", "w", "wR", "Wri", "write", "Write", "WRITE"}) {
    fs_.SetFile(kPath, "old contents that must go");
    xml_.OpenXmlFile(kPath, mode);
    EXPECT_TRUE(xml_.is_open()) << mode;
    xml_.WriteElement("x", "1");
    EXPECT_TRUE(xml_.CloseXmlFile()) << mode;
    EXPECT_EQ(Written(), "<x>1</x>\r\n") << mode;
  }
}

TEST_F(XmlWriterTest, OtherModesOpenNothing) {
  for (const char* mode : {"writes", "", "read", "a", "wx", "WRITE "}) {
    xml_.OpenXmlFile(kPath, mode);
    EXPECT_FALSE(xml_.is_open()) << mode;
    EXPECT_FALSE(xml_.ok()) << mode;
    EXPECT_EQ(xml_.file_name(), kPath);
    xml_.StartElement("a");
    xml_.WriteElement("b", "c");
    EXPECT_FALSE(xml_.CloseXmlFile()) << mode;
    EXPECT_FALSE(fs_.GetFile(kPath).has_value()) << mode;
  }
}

TEST_F(XmlWriterTest, ReopenedWriterStartsAtIndentationZero) {
  xml_.OpenXmlFile(kPath, "write");
  xml_.StartElement("a");
  xml_.AddAttribute("left", "over");
  xml_.CloseXmlFile();
  EXPECT_EQ(xml_.file_name(), "");
  xml_.OpenXmlFile("C:\\OUT\\TWO.xml", "write");
  xml_.WriteElement("b", "1");
  EXPECT_TRUE(xml_.CloseXmlFile());
  EXPECT_EQ(fs_.GetFile("C:\\OUT\\TWO.xml").value_or(""), "<b>1</b>\r\n");
}

TEST_F(XmlWriterTest, ReportsADocumentThatCouldNotBeCreated) {
  xml_.OpenXmlFile("C:\\MISSING\\DOC.xml", "write");
  EXPECT_FALSE(xml_.is_open());
  EXPECT_FALSE(xml_.ok());
  xml_.StartElement("a");
  EXPECT_FALSE(xml_.CloseXmlFile());
}

TEST_F(XmlWriterTest, ReportsAFailedWrite) {
  fs_.FailWritesTo(kPath);
  xml_.OpenXmlFile(kPath, "write");
  EXPECT_TRUE(xml_.ok());       // created; nothing written yet
  xml_.WriteElement("a", "1");  // held until the close
  EXPECT_FALSE(xml_.CloseXmlFile());
  EXPECT_FALSE(xml_.ok());
  EXPECT_FALSE(fs_.GetFile(kPath).has_value()) << "a document cut short is removed";
}

TEST_F(XmlWriterTest, ReportsALockedFile) {
  auto holder =
      fs_.Open(kPath, FileAccess::kWrite, FileSharing::kExclusive, FileCreation::kCreateOrTruncate);
  ASSERT_NE(holder, nullptr);
  xml_.OpenXmlFile(kPath, "write");
  EXPECT_FALSE(xml_.ok());
  EXPECT_FALSE(xml_.CloseXmlFile());
}

}  // namespace
}  // namespace torvane
