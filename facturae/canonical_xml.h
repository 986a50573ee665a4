// A builder of XML text already in canonical form (inclusive C14N 1.0), for
// the Facturae 3.2.2 documents: what it writes is what a canonicalizer
// makes of the parsed document, so a digest of its bytes is the digest of
// the document. One construct per line, two blanks of indentation per open
// element, LF line ends; empty elements as start and end tag; attributes
// in the order the caller gives them, which must be the canonical order
// (namespace declarations by prefix, then the others by name).
//
// Element text comes in one of two kinds: code page 850 text from the
// suite's tables, converted to UTF-8 here, and ASCII or UTF-8 text made by
// the program (digests, names from a certificate). Control bytes are left
// out of both, as in the 3.0 invoices; markup characters are escaped the
// canonical way (text: & < >; attribute values: & < ").
#ifndef TORVANE_FACTURAE_CANONICAL_XML_H_
#define TORVANE_FACTURAE_CANONICAL_XML_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

class CanonicalXml {
 public:
  // Starts anew at indentation `depth` (the nesting of the first construct).
  void Clear(size_t depth = 0);

  // Keeps ` name="value"` for the next start tag; the value is ASCII or UTF-8.
  void AddAttribute(std::string_view name, std::string_view value);
  // `<name attributes>` on its own line; the element stays open.
  void StartElement(std::string_view name);
  // `<name attributes>text</name>`, the text converted from code page 850.
  void WriteElement(std::string_view name, std::string_view cp850_text);
  // The same with text that is already ASCII or UTF-8.
  void WriteUtf8Element(std::string_view name, std::string_view utf8_text);
  // `<name attributes></name>` on one line.
  void WriteEmptyElement(std::string_view name) { WriteTextElement(name, "", false); }
  // `</innermost>`; nothing when no element is open.
  void EndElement();
  // Bytes appended as they are: an instruction, or a fragment built by
  // another CanonicalXml (whose first construct has no line break or
  // indentation of its own).
  void AppendRaw(std::string_view bytes);
  // A line break and the indentation of the next construct, for the place of
  // a fragment appended later. The first construct after Clear gets neither:
  // its caller has placed it.
  void BeginLine();

  const std::string& text() const { return text_; }
  size_t depth() const { return open_starts_.size() + base_depth_; }

 private:
  void OpenTag(std::string_view name);
  void WriteTextElement(std::string_view name, std::string_view text, bool from_cp850);

  std::string text_;
  std::string pending_attributes_;
  std::string open_names_;           // open element names, outermost first, back to back
  std::vector<size_t> open_starts_;  // where each open name starts in open_names_
  size_t base_depth_ = 0;
  bool at_line_start_ = true;
};

// Text content escaped the canonical way, from code page 850 or UTF-8.
void AppendCanonicalText(std::string& out, std::string_view text, bool from_cp850);

}  // namespace torvane

#endif  // TORVANE_FACTURAE_CANONICAL_XML_H_
