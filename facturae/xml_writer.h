// A small XML writer for the invoice files: one construct per line
// (processing instruction, start tag, end tag, or element with its text),
// two blanks of indentation per open element, CR LF after every line, and
// element text and attribute values escaped. It writes one document at a time
// and always starts a new file.
//
// The document is built in memory and goes to the file in one write when it
// is closed (an invoice is a few kilobytes); the buffer keeps its room for
// the next document. Text is written byte for byte as held (code page 850):
// nothing is converted.
//
// Use:
//  1. OpenXmlFile(name, "write");
//  2. AddAttribute calls followed by the construct that carries them
//     (WriteInstruction, StartElement or WriteElement), and EndElement calls;
//  3. CloseXmlFile, which closes every element still open, innermost first.
// Names and targets are written unchanged: callers pass names without blanks
// or markup. Texts keep their leading and trailing blanks.
//
// The file is created anew under its name, never through a link (whatever
// stood there is replaced). Failures never stop the caller: when the file
// cannot be created or written the operations go on without output. ok()
// (and the result of CloseXmlFile) tells whether the document was created
// and every byte of it was written; a document that was not is removed when
// it is closed.
#ifndef TORVANE_FACTURAE_XML_WRITER_H_
#define TORVANE_FACTURAE_XML_WRITER_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace torvane {

// Escapes a text for element content and attribute values: " & < > become
// &quot; &amp; &lt; &gt;, control bytes (0 to 31 and 127) are dropped, every
// other byte (the apostrophe and bytes from 128 up included) stays as it is.
std::string EscapeXmlText(std::string_view text);
// The same, appended to `out`.
void AppendEscapedXmlText(std::string& out, std::string_view text);

class XmlWriter {
 public:
  explicit XmlWriter(FileSystem& fs);
  ~XmlWriter();
  XmlWriter(const XmlWriter&) = delete;
  XmlWriter& operator=(const XmlWriter&) = delete;

  // Records the name and, when `mode` selects writing, creates the file or
  // empties it and starts at indentation 0. A mode selects writing when it is
  // a non-empty beginning of "WRITE" compared without regard to case ("w",
  // "Wr", "write"); any other mode opens nothing. A document still open is
  // abandoned: its file is closed as it stands, without end tags.
  void OpenXmlFile(std::string_view name, std::string_view mode);

  // Keeps ` name="escaped value"` for the next instruction or tag.
  void AddAttribute(std::string_view name, std::string_view value);
  // `<?target attributes?>`
  void WriteInstruction(std::string_view target);
  // `<name attributes>`; the element stays open and indents what follows.
  void StartElement(std::string_view name);
  // `<name attributes>escaped text</name>`, or `<name attributes />` when the
  // escaped text is empty.
  void WriteElement(std::string_view name, std::string_view text);
  // `</innermost>`; nothing when no element or no document is open.
  void EndElement();
  // Ends every open element, closes the file and resets the writer. Returns
  // ok() for the document just closed, whose file is removed unless it was
  // written completely; with no document open, does nothing and returns
  // false.
  bool CloseXmlFile();

  bool is_open() const { return file_ != nullptr; }
  // True when the last document opened was created and every line of it, and
  // its closing, were written. False before any document and after an
  // OpenXmlFile that opened nothing.
  bool ok() const { return ok_; }
  const std::string& file_name() const { return file_name_; }

 private:
  // Makes room for a line of `content_room` bytes at most, writes its
  // indentation and returns where its content goes.
  char* BeginLine(size_t content_room);
  // Ends the line whose content ends at `out`.
  void EndLine(char* out);
  std::string_view document() const { return std::string_view(buffer_).substr(0, length_); }

  FileSystem& fs_;
  std::unique_ptr<File> file_;
  std::string file_name_;
  std::string pending_attributes_;
  std::string open_names_;                // open element names, outermost first, back to back
  std::vector<size_t> open_name_starts_;  // where each open name starts in open_names_
  size_t indentation_ = 0;
  bool ok_ = false;
  // The document being built is the first length_ bytes of buffer_, whose
  // room is kept for the next.
  std::string buffer_;
  size_t length_ = 0;
};

}  // namespace torvane

#endif  // TORVANE_FACTURAE_XML_WRITER_H_
