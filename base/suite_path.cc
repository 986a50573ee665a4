// The suite's path rules; they are listed in the header.
#include "base/suite_path.h"

namespace torvane {

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

bool EndsFolderPart(std::string_view path) {
  return !path.empty() && (path.back() == ':' || IsPathSeparator(path.back()));
}

std::string WithTrailingSeparator(std::string folder) {
  if (!folder.empty() && !EndsFolderPart(folder)) folder.push_back(kPathSeparator);
  return folder;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path = WithTrailingSeparator(std::string(folder));
  path += name;
  return path;
}

bool HasDriveLetter(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char c = path[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

PathParts SplitPath(std::string_view path) {
  size_t name_start = path.size();
  while (name_start > 0 && !EndsFolderPart(path.substr(0, name_start))) --name_start;
  const std::string_view file_name = path.substr(name_start);
  const size_t dot = file_name.find('.');
  const size_t name_length = dot == std::string_view::npos ? file_name.size() : dot;
  return PathParts{path.substr(0, name_start), file_name.substr(0, name_length),
                   file_name.substr(name_length)};
}

}  // namespace torvane
