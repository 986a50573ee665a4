// Profile files: INI-style text of sections ("[name]") holding key lines
// ("key=value"). Every line is classified the same way for reads and writes:
//   1. the first ";" and everything after it is a comment and is cut off;
//   2. leading spaces (0x20 only) are removed, giving the line's core;
//   3. an empty or all-space core is a blank line;
//   4. a core starting with "[" is a section header; its name runs to the
//      first "]" (or the end), trimmed of spaces at both ends;
//   5. any other core with "=" is a key line: the key is the text before the
//      first "=" without trailing spaces, the value all the rest, untrimmed;
//   6. anything else is a plain line, ignored by reads, copied by writes.
// Section and key names compare case-insensitively (ProfileUpperCase).
//
// Nothing is cached: every read and write scans the file from its start.
#ifndef TORVANE_SESSION_PROFILE_FILE_H_
#define TORVANE_SESSION_PROFILE_FILE_H_

#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/random.h"

namespace torvane {

enum class ProfileLineKind { kBlank, kSection, kKey, kPlain };

struct ProfileLine {
  ProfileLineKind kind = ProfileLineKind::kBlank;
  std::string_view name;     // section or key name
  std::string_view value;    // key lines only, untrimmed
  size_t equals_offset = 0;  // key lines: offset of the first "=" in the raw line
};

// Classifies one raw line (without its line end). The views point into `line`.
ProfileLine ClassifyProfileLine(std::string_view line);

// The byte as section and key names compare it: a-z as A-Z, and the code
// page 850 letters \x84 \x94 \x81 \x82 \xA4 \x86 \x87 (a o u umlaut, e acute,
// n tilde, a ring, c cedilla) as their capitals; every other byte unchanged.
char ProfileUpperCase(char c);

// True when the two names are equal after trimming spaces at both ends and
// upper-casing a-z and the code page 850 letters the suite knows.
bool ProfileNamesEqual(std::string_view a, std::string_view b);

// The value of the first key `key` in the first section `section` of the
// file, with one pair of enclosing double quotes removed; the empty text when
// the file, section or key is missing.
std::string ReadProfileValue(FileSystem& fs, std::string_view file_name, std::string_view section,
                             std::string_view key);

// Sets `key` in every section `section` of the file to `value`, adding the
// key (and the section) when missing. Rewrites the file through a temporary
// copy beside it, created where nothing stood (never through a link). A
// delete that keeps failing is retried a few times and then given up,
// leaving the old file and no temporary copy. True when the file holds the
// new text.
bool WriteProfileValue(FileSystem& fs, Clock& clock, RandomGenerator& random,
                       std::string_view file_name, std::string_view section, std::string_view key,
                       std::string_view value);

}  // namespace torvane

#endif  // TORVANE_SESSION_PROFILE_FILE_H_
