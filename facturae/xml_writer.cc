// The streaming XML writer of the invoice files. Each construct is built in
// one reused line buffer and handed to the file as one write.
#include "facturae/xml_writer.h"

#include <cctype>
#include <memory>
#include <string>
#include <string_view>

namespace torvane {
namespace {

constexpr std::string_view kWriteMode = "WRITE";
constexpr std::string_view kLineEnd = "\r\n";
constexpr size_t kIndentStep = 2;

bool SelectsWriting(std::string_view mode) {
  if (mode.empty() || mode.size() > kWriteMode.size()) return false;
  for (size_t i = 0; i < mode.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(mode[i])) != kWriteMode[i]) return false;
  }
  return true;
}

}  // namespace

void AppendEscapedXmlText(std::string& out, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '"':
        out.append("&quot;");
        break;
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
        if (byte >= 32 && byte != 127) out.push_back(c);
        break;
    }
  }
}

std::string EscapeXmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscapedXmlText(out, text);
  return out;
}

XmlWriter::XmlWriter(FileSystem& fs) : fs_(fs) {}

XmlWriter::~XmlWriter() { CloseXmlFile(); }

void XmlWriter::OpenXmlFile(std::string_view name, std::string_view mode) {
  file_.reset();
  file_name_ = std::string(name);
  pending_attributes_.clear();
  open_names_.clear();
  open_name_starts_.clear();
  indentation_ = 0;
  ok_ = false;
  if (!SelectsWriting(mode)) return;
  file_ = fs_.Open(name, FileAccess::kWrite, FileSharing::kShareAll, FileCreation::kCreateNew);
  ok_ = file_ != nullptr;
}

void XmlWriter::AddAttribute(std::string_view name, std::string_view value) {
  pending_attributes_.push_back(' ');
  pending_attributes_.append(name);
  pending_attributes_.append("=\"");
  AppendEscapedXmlText(pending_attributes_, value);
  pending_attributes_.push_back('"');
}

void XmlWriter::BeginLine() { line_.assign(indentation_, ' '); }

void XmlWriter::EndLine() {
  line_.append(kLineEnd);
  if (!file_->Write(line_)) ok_ = false;
}

void XmlWriter::WriteInstruction(std::string_view target) {
  if (file_ != nullptr) {
    BeginLine();
    line_.append("<?");
    line_.append(target);
    line_.append(pending_attributes_);
    line_.append("?>");
    EndLine();
  }
  pending_attributes_.clear();
}

void XmlWriter::StartElement(std::string_view name) {
  if (file_ != nullptr) {
    BeginLine();
    line_.push_back('<');
    line_.append(name);
    line_.append(pending_attributes_);
    line_.push_back('>');
    EndLine();
    open_name_starts_.push_back(open_names_.size());
    open_names_.append(name);
    indentation_ += kIndentStep;
  }
  pending_attributes_.clear();
}

void XmlWriter::WriteElement(std::string_view name, std::string_view text) {
  if (file_ != nullptr) {
    BeginLine();
    line_.push_back('<');
    line_.append(name);
    line_.append(pending_attributes_);
    const size_t content_start = line_.size() + 1;
    line_.push_back('>');
    AppendEscapedXmlText(line_, text);
    if (line_.size() == content_start) {
      line_.back() = ' ';
      line_.append("/>");
    } else {
      line_.append("</");
      line_.append(name);
      line_.push_back('>');
    }
    EndLine();
  }
  pending_attributes_.clear();
}

void XmlWriter::EndElement() {
  if (file_ == nullptr || open_name_starts_.empty()) return;
  indentation_ -= kIndentStep;
  const size_t start = open_name_starts_.back();
  BeginLine();
  line_.append("</");
  line_.append(open_names_, start, std::string::npos);
  line_.push_back('>');
  EndLine();
  open_names_.resize(start);
  open_name_starts_.pop_back();
}

bool XmlWriter::CloseXmlFile() {
  if (file_ == nullptr) return false;
  while (!open_name_starts_.empty()) EndElement();
  if (!file_->Close()) ok_ = false;
  file_.reset();
  // A document is whole or not at all: what could not be written completely
  // is removed.
  if (!ok_) (void)fs_.RemoveFile(file_name_);
  file_name_.clear();
  pending_attributes_.clear();
  indentation_ = 0;
  return ok_;
}

}  // namespace torvane
