// The XML writer of the invoice files. The document is built in one buffer,
// kept from document to document, and handed to the file in one write.
#include "facturae/xml_writer.h"

#include <array>
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

// Bytes that are not written as they are: markup characters, written as
// entities, and control bytes, left out.
constexpr std::array<bool, 256> kSpecialBytes = [] {
  std::array<bool, 256> special{};
  for (int byte = 0; byte < 32; ++byte) special[static_cast<size_t>(byte)] = true;
  for (const unsigned char byte : {'"', '&', '<', '>', '\x7F'}) special[byte] = true;
  return special;
}();

void AppendEscapedXmlText(std::string& out, std::string_view text) {
  // Runs of bytes that pass unchanged are appended whole.
  size_t run_start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (!kSpecialBytes[byte]) continue;
    out.append(text.data() + run_start, i - run_start);
    run_start = i + 1;
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
        break;  // control bytes are left out
    }
  }
  out.append(text.data() + run_start, text.size() - run_start);
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
  if (file_ != nullptr) (void)file_->Write(document_);  // abandoned as it stands
  file_.reset();
  document_.clear();
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

void XmlWriter::BeginLine() { document_.append(indentation_, ' '); }

void XmlWriter::EndLine() { document_.append(kLineEnd); }

void XmlWriter::WriteInstruction(std::string_view target) {
  if (file_ != nullptr) {
    BeginLine();
    document_.append("<?");
    document_.append(target);
    document_.append(pending_attributes_);
    document_.append("?>");
    EndLine();
  }
  pending_attributes_.clear();
}

void XmlWriter::StartElement(std::string_view name) {
  if (file_ != nullptr) {
    BeginLine();
    document_.push_back('<');
    document_.append(name);
    document_.append(pending_attributes_);
    document_.push_back('>');
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
    document_.push_back('<');
    document_.append(name);
    document_.append(pending_attributes_);
    const size_t content_start = document_.size() + 1;
    document_.push_back('>');
    AppendEscapedXmlText(document_, text);
    if (document_.size() == content_start) {
      document_.back() = ' ';
      document_.append("/>");
    } else {
      document_.append("</");
      document_.append(name);
      document_.push_back('>');
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
  document_.append("</");
  document_.append(open_names_, start, std::string::npos);
  document_.push_back('>');
  EndLine();
  open_names_.resize(start);
  open_name_starts_.pop_back();
}

bool XmlWriter::CloseXmlFile() {
  if (file_ == nullptr) return false;
  while (!open_name_starts_.empty()) EndElement();
  if (!file_->Write(document_)) ok_ = false;
  document_.clear();
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
