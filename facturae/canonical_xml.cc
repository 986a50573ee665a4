// The canonical XML builder of the Facturae 3.2.2 documents.
#include "facturae/canonical_xml.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "platform/cp850.h"

namespace torvane {
namespace {

constexpr size_t kIndentStep = 2;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

// What each byte becomes: 0 passes as it is, 1 is left out (control bytes),
// 2 is a code page 850 letter turned into UTF-8, 3 is markup written as an
// entity.
enum ByteClass : unsigned char { kPass, kLeftOut, kConvert, kMarkup };

constexpr std::array<ByteClass, 256> ClassesFor(bool attribute) {
  std::array<ByteClass, 256> classes{};
  for (int byte = 0; byte < 256; ++byte) {
    const auto b = static_cast<unsigned char>(byte);
    classes[b] = b < kFirstPrintable || b == kDelete ? kLeftOut : b >= 0x80 ? kConvert : kPass;
  }
  classes['&'] = kMarkup;
  classes['<'] = kMarkup;
  classes[attribute ? '"' : '>'] = kMarkup;
  return classes;
}
constexpr std::array<ByteClass, 256> kTextClasses = ClassesFor(false);
constexpr std::array<ByteClass, 256> kAttributeClasses = ClassesFor(true);

std::string_view EntityOf(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    default:
      return "&quot;";
  }
}

// Appends `text` escaped by `classes`; runs of bytes that pass are appended
// whole.
void AppendEscaped(std::string& out, std::string_view text,
                   const std::array<ByteClass, 256>& classes, bool from_cp850) {
  size_t run_start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const ByteClass kind = classes[byte];
    if (kind == kPass || (kind == kConvert && !from_cp850)) continue;
    out.append(text.data() + run_start, i - run_start);
    run_start = i + 1;
    if (kind == kMarkup) {
      out.append(EntityOf(text[i]));
    } else if (kind == kConvert) {
      AppendUtf8(Cp850ToCodePoint(byte), &out);
    }
  }
  out.append(text.data() + run_start, text.size() - run_start);
}

void AppendCanonicalAttribute(std::string& out, std::string_view value) {
  AppendEscaped(out, value, kAttributeClasses, false);
}

}  // namespace

void AppendCanonicalText(std::string& out, std::string_view text, bool from_cp850) {
  AppendEscaped(out, text, kTextClasses, from_cp850);
}

void CanonicalXml::Clear(size_t depth) {
  text_.clear();
  pending_attributes_.clear();
  open_names_.clear();
  open_starts_.clear();
  base_depth_ = depth;
  at_line_start_ = true;
}

void CanonicalXml::AddAttribute(std::string_view name, std::string_view value) {
  pending_attributes_.push_back(' ');
  pending_attributes_.append(name);
  pending_attributes_.append("=\"");
  AppendCanonicalAttribute(pending_attributes_, value);
  pending_attributes_.push_back('"');
}

void CanonicalXml::AppendRaw(std::string_view bytes) {
  text_.append(bytes);
  at_line_start_ = false;
}

void CanonicalXml::BeginLine() {
  if (!at_line_start_) {
    text_.push_back('\n');
    text_.append(depth() * kIndentStep, ' ');
  }
  at_line_start_ = false;
}

void CanonicalXml::OpenTag(std::string_view name) {
  BeginLine();
  text_.push_back('<');
  text_.append(name);
  text_.append(pending_attributes_);
  text_.push_back('>');
  pending_attributes_.clear();
}

void CanonicalXml::StartElement(std::string_view name) {
  OpenTag(name);
  open_starts_.push_back(open_names_.size());
  open_names_.append(name);
}

void CanonicalXml::WriteTextElement(std::string_view name, std::string_view text, bool from_cp850) {
  OpenTag(name);
  AppendCanonicalText(text_, text, from_cp850);
  text_.append("</");
  text_.append(name);
  text_.push_back('>');
}

void CanonicalXml::WriteElement(std::string_view name, std::string_view cp850_text) {
  WriteTextElement(name, cp850_text, true);
}

void CanonicalXml::WriteUtf8Element(std::string_view name, std::string_view utf8_text) {
  WriteTextElement(name, utf8_text, false);
}

void CanonicalXml::EndElement() {
  if (open_starts_.empty()) return;
  const size_t start = open_starts_.back();
  open_starts_.pop_back();
  BeginLine();
  text_.append("</");
  text_.append(open_names_, start, std::string::npos);
  text_.push_back('>');
  open_names_.resize(start);
}

}  // namespace torvane
