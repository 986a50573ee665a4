// The canonical XML builder of the Facturae 3.2.2 documents.
#include "facturae/canonical_xml.h"

#include <string>
#include <string_view>
#include <utility>

#include "platform/cp850.h"

namespace torvane {
namespace {

constexpr size_t kIndentStep = 2;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

bool IsLeftOut(unsigned char byte) { return byte < kFirstPrintable || byte == kDelete; }

void AppendCanonicalAttribute(std::string& out, std::string_view value) {
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsLeftOut(byte)) continue;
    switch (c) {
      case '&':
        out.append("&amp;");
        break;
      case '<':
        out.append("&lt;");
        break;
      case '"':
        out.append("&quot;");
        break;
      default:
        out.push_back(c);
    }
  }
}

}  // namespace

void AppendCanonicalText(std::string& out, std::string_view text, bool from_cp850) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsLeftOut(byte)) continue;
    switch (c) {
      case '&':
        out.append("&amp;");
        break;
      case '<':
        out.append("&lt;");
        break;
      case '>':
        out.append("&gt;");
        break;
      default:
        if (from_cp850 && byte >= 0x80) {
          AppendUtf8(Cp850ToCodePoint(byte), &out);
        } else {
          out.push_back(c);
        }
    }
  }
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
