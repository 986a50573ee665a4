// The suite's paths as the program builds them: folders separated by "\"
// (a "/" typed by a user counts as a separator too), an optional drive
// letter and ":", and file names whose extension starts at their first dot.
// Only the platform layer turns them into the operating system's form.
#ifndef TORVANE_BASE_SUITE_PATH_H_
#define TORVANE_BASE_SUITE_PATH_H_

#include <string>
#include <string_view>

namespace torvane {

// The separator the program writes.
inline constexpr char kPathSeparator = '\\';

// "\" or "/".
bool IsPathSeparator(char c);

// True when names can be appended to `path` as it is: it ends in a
// separator or in the ":" of a drive. False for the empty path.
bool EndsFolderPart(std::string_view path);

// `folder` with a separator added unless it is empty or EndsFolderPart.
std::string WithTrailingSeparator(std::string folder);

// WithTrailingSeparator(folder) + name.
std::string JoinPath(std::string_view folder, std::string_view name);

// "C:" and the like at the start.
bool HasDriveLetter(std::string_view path);

// A path taken apart: the folder part up to and including its last
// separator or ":" (empty when it has none), the name up to the first dot
// after it, and the extension from that dot on (empty when there is none).
// folder + name + extension is the path again.
struct PathParts {
  std::string_view folder;
  std::string_view name;
  std::string_view extension;
};
PathParts SplitPath(std::string_view path);

}  // namespace torvane

#endif  // TORVANE_BASE_SUITE_PATH_H_
