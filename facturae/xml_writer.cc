// The XML writer of the invoice files. The document is built in one buffer,
// kept from document to document, and handed to the file in one write.
#include "facturae/xml_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace torvane {
namespace {

constexpr std::string_view kWriteMode = "WRITE";
constexpr std::string_view kLineEnd = "\r\n";
constexpr size_t kIndentStep = 2;
constexpr std::string_view kIndentBlanks = "                                ";

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

// The longest entity a byte can become.
constexpr size_t kLongestEscape = std::string_view("&quot;").size();

namespace {

// Copies `bytes` to `out` and returns the end. The pieces of a document are
// mostly a few bytes long: those are moved in at most two overlapping words
// instead of a call.
inline char* Put(char* out, std::string_view bytes) {
  const size_t size = bytes.size();
  const char* from = bytes.data();
  if (size >= 8 && size <= 16) {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + size - 8, 8);
    std::memcpy(out, &head, 8);
    std::memcpy(out + size - 8, &tail, 8);
  } else if (size >= 4 && size < 8) {
    std::uint32_t head = 0;
    std::uint32_t tail = 0;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + size - 4, 4);
    std::memcpy(out, &head, 4);
    std::memcpy(out + size - 4, &tail, 4);
  } else if (size > 0 && size < 4) {
    out[0] = from[0];
    out[size / 2] = from[size / 2];
    out[size - 1] = from[size - 1];
  } else if (size > 16) {
    std::memcpy(out, from, size);
  }
  return out + size;
}

// Writes `text` escaped at `out`, which has room for kLongestEscape bytes per
// byte of text; returns the end. Runs of bytes that pass unchanged are copied
// whole.
char* PutEscaped(char* out, std::string_view text) {
  size_t run_start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (!kSpecialBytes[byte]) continue;
    out = Put(out, text.substr(run_start, i - run_start));
    run_start = i + 1;
    switch (byte) {
      case '"':
        out = Put(out, "&quot;");
        break;
      case '&':
        out = Put(out, "&amp;");
        break;
      case '<':
        out = Put(out, "&lt;");
        break;
      case '>':
        out = Put(out, "&gt;");
        break;
      default:
        break;  // control bytes are left out
    }
  }
  return Put(out, text.substr(run_start));
}

}  // namespace

void AppendEscapedXmlText(std::string& out, std::string_view text) {
  const size_t start = out.size();
  out.resize(start + text.size() * kLongestEscape);
  char* end = PutEscaped(out.data() + start, text);
  out.resize(static_cast<size_t>(end - out.data()));
}

std::string EscapeXmlText(std::string_view text) {
  std::string out;
  AppendEscapedXmlText(out, text);
  return out;
}

XmlWriter::XmlWriter(FileSystem& fs) : fs_(fs) {}

XmlWriter::~XmlWriter() { CloseXmlFile(); }

void XmlWriter::OpenXmlFile(std::string_view name, std::string_view mode) {
  if (file_ != nullptr) (void)file_->Write(document());  // abandoned as it stands
  file_.reset();
  length_ = 0;
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

inline char* XmlWriter::BeginLine(size_t content_room) {
  const size_t room = indentation_ + content_room + kLineEnd.size();
  if (buffer_.size() - length_ < room) buffer_.resize(std::max(2 * buffer_.size(), length_ + room));
  char* out = buffer_.data() + length_;
  for (size_t left = indentation_; left > 0;) {
    const size_t blanks = std::min(left, kIndentBlanks.size());
    out = Put(out, kIndentBlanks.substr(0, blanks));
    left -= blanks;
  }
  return out;
}

inline void XmlWriter::EndLine(char* out) {
  out = Put(out, kLineEnd);
  length_ = static_cast<size_t>(out - buffer_.data());
}

void XmlWriter::WriteInstruction(std::string_view target) {
  if (file_ != nullptr) {
    char* out = BeginLine(target.size() + pending_attributes_.size() + 4);
    out = Put(out, "<?");
    out = Put(out, target);
    out = Put(out, pending_attributes_);
    out = Put(out, "?>");
    EndLine(out);
  }
  pending_attributes_.clear();
}

void XmlWriter::StartElement(std::string_view name) {
  if (file_ != nullptr) {
    char* out = BeginLine(name.size() + pending_attributes_.size() + 2);
    *out++ = '<';
    out = Put(out, name);
    out = Put(out, pending_attributes_);
    *out++ = '>';
    EndLine(out);
    open_name_starts_.push_back(open_names_.size());
    open_names_.append(name);
    indentation_ += kIndentStep;
  }
  pending_attributes_.clear();
}

void XmlWriter::WriteElement(std::string_view name, std::string_view text) {
  if (file_ != nullptr) {
    char* out =
        BeginLine(2 * name.size() + pending_attributes_.size() + text.size() * kLongestEscape + 5);
    *out++ = '<';
    out = Put(out, name);
    out = Put(out, pending_attributes_);
    char* const content = out + 1;
    *out++ = '>';
    out = PutEscaped(out, text);
    if (out == content) {
      out[-1] = ' ';
      out = Put(out, "/>");
    } else {
      out = Put(out, "</");
      out = Put(out, name);
      *out++ = '>';
    }
    EndLine(out);
  }
  pending_attributes_.clear();
}

void XmlWriter::EndElement() {
  if (file_ == nullptr || open_name_starts_.empty()) return;
  indentation_ -= kIndentStep;
  const size_t start = open_name_starts_.back();
  const std::string_view name = std::string_view(open_names_).substr(start);
  char* out = BeginLine(name.size() + 3);
  out = Put(out, "</");
  out = Put(out, name);
  *out++ = '>';
  EndLine(out);
  open_names_.resize(start);
  open_name_starts_.pop_back();
}

bool XmlWriter::CloseXmlFile() {
  if (file_ == nullptr) return false;
  while (!open_name_starts_.empty()) EndElement();
  if (!file_->Write(document())) ok_ = false;
  length_ = 0;
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
