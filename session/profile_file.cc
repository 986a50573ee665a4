// Profile files: the one line classification shared by reads and writes, the
// read of one value, and the rewrite of a file with one value set.
//
// A write never edits the file in place. It builds the complete new text in
// memory, writes it to a temporary file beside the target, deletes the
// target and renames the copy into its place, so a reader sees either the
// old file or the new one. When the target cannot be deleted (another
// program holds it), the copy is remade from the then current file a few
// times and then given up: the old file stays and the copy is removed.
#include "session/profile_file.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/suite_path.h"
#include "base/text_lines.h"

namespace torvane {
namespace {

constexpr char kLineEnd[] = "\r\n";

// How often the old file's delete is tried before the write is given up,
// and the pause before each new try.
constexpr int kDeleteAttempts = 5;
constexpr int kDeleteRetryMilliseconds = 100;

// How many temporary names are drawn before the write is given up, and the
// pause that lets the clock (and with it the generator's seed) move on.
constexpr int kTemporaryNameAttempts = 100;
constexpr int kTemporaryNameRetryMilliseconds = 10;
constexpr int kTemporaryNameDigits = 8;

// A value in enclosing double quotes loses them; nothing else is unquoted.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// A name that is taken: it opens for exclusive reading, or it exists but
// cannot be opened (locked or denied), so creating it would empty another
// user's file.
bool TemporaryNameTaken(FileSystem& fs, const std::string& name) {
  FileError error = FileError::kNone;
  auto file = fs.Open(name, FileAccess::kRead, FileSharing::kExclusive, FileCreation::kOpenExisting,
                      &error);
  return file != nullptr || error != FileError::kNotFound;
}

// The directory part + eight random digits + ".tmp", the generator seeded
// from the time of day before each draw; nullopt when no free name turns up.
std::optional<std::string> ChooseTemporaryName(FileSystem& fs, Clock& clock,
                                               RandomGenerator& random,
                                               std::string_view directory) {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    if (attempt > 0) clock.SleepMilliseconds(kTemporaryNameRetryMilliseconds);
    random.Seed(static_cast<uint32_t>(clock.HundredthsOfDay()));
    std::string name(directory);
    for (int digit = 0; digit < kTemporaryNameDigits; ++digit) {
      name += static_cast<char>('0' + random.Below(10));
    }
    name += ".tmp";
    if (!TemporaryNameTaken(fs, name)) return name;
  }
  return std::nullopt;
}

// The new text of a profile file whose old data is `old_data`, with `key`
// set to `value` in every section `section` that the copy enters. Blank
// lines are held back until the next content line, so a key or section that
// has to be added lands right after the last content line before them.
std::string RewriteProfile(std::string_view old_data, std::string_view section,
                           std::string_view key, std::string_view value) {
  std::string out;
  out.reserve(old_data.size() + section.size() + key.size() + value.size() + 16);
  bool inside = false;
  bool done = false;
  std::vector<std::string_view> held;

  const auto write_line = [&out](std::string_view text) {
    out.append(text);
    out.append(kLineEnd);
  };
  const auto pending_key_step = [&]() {
    if (!done) {
      if (!inside) {
        out.append("[").append(section).append("]").append(kLineEnd);
      }
      out.append(key).append("=").append(value).append(kLineEnd);
    }
    done = true;
  };

  for (const std::string_view raw : SplitLines(old_data)) {
    const ProfileLine line = ClassifyProfileLine(raw);
    if (line.kind == ProfileLineKind::kBlank) {
      held.push_back(raw);
      continue;
    }
    std::string replaced;
    bool is_replaced = false;
    if (!inside) {
      if (line.kind == ProfileLineKind::kSection && ProfileNamesEqual(line.name, section)) {
        inside = true;
      }
    } else if (line.kind == ProfileLineKind::kSection) {
      // Any header ends the section; it is not examined as a new start.
      pending_key_step();
      inside = false;
    } else if (line.kind == ProfileLineKind::kKey && ProfileNamesEqual(line.name, key)) {
      replaced.assign(raw.substr(0, line.equals_offset + 1)).append(value);
      is_replaced = true;
      done = true;
    }
    for (const std::string_view blank : held) write_line(blank);
    held.clear();
    write_line(is_replaced ? std::string_view(replaced) : raw);
  }
  pending_key_step();
  for (const std::string_view blank : held) write_line(blank);
  return out;
}

// Creates a file for writing, without sharing, never through a link:
// `creation` is kCreateUnique for a temporary copy (nothing may stand at its
// name) and kCreateNew for the profile itself.
std::unique_ptr<File> CreateExclusive(FileSystem& fs, std::string_view name,
                                      FileCreation creation) {
  return fs.Open(name, FileAccess::kWrite, FileSharing::kExclusive, creation);
}

// Writes the whole text and closes the file; false on any failure.
bool WriteAndClose(File& file, std::string_view text) {
  const bool written = file.Write(text);
  const bool closed = file.Close();
  return written && closed;
}

// The target's text; empty when it is missing, nullopt when it is there but
// cannot be read.
std::optional<std::string> ReadTarget(FileSystem& fs, std::string_view file_name) {
  // A missing file reads as empty; nothing is created at its name, so a
  // dangling link there is never followed.
  if (fs.KindOf(file_name) == PathKind::kMissing) return std::string();
  return ReadWholeFile(fs, file_name);
}

}  // namespace

char ProfileUpperCase(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 'a' + 'A');
  switch (byte) {
    case 0x84:
      return '\x8E';  // a umlaut
    case 0x94:
      return '\x99';  // o umlaut
    case 0x81:
      return '\x9A';  // u umlaut
    case 0x82:
      return '\x90';  // e acute
    case 0xA4:
      return '\xA5';  // n tilde
    case 0x86:
      return '\x8F';  // a ring
    case 0x87:
      return '\x80';  // c cedilla
    default:
      return c;
  }
}

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
  a = TrimBlanks(a);
  b = TrimBlanks(b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ProfileUpperCase(a[i]) != ProfileUpperCase(b[i])) return false;
  }
  return true;
}

ProfileLine ClassifyProfileLine(std::string_view line) {
  ProfileLine result;
  const std::string_view uncommented = line.substr(0, line.find(';'));
  const std::string_view core = TrimLeadingBlanks(uncommented);
  if (core.empty()) return result;  // blank (comment-only lines included)
  if (core.front() == '[') {
    const std::string_view after_bracket = core.substr(1);
    result.kind = ProfileLineKind::kSection;
    result.name = TrimBlanks(after_bracket.substr(0, after_bracket.find(']')));
    return result;
  }
  const size_t equals = core.find('=');
  if (equals == std::string_view::npos) {
    result.kind = ProfileLineKind::kPlain;
    return result;
  }
  result.kind = ProfileLineKind::kKey;
  result.name = TrimTrailingBlanks(core.substr(0, equals));
  result.value = core.substr(equals + 1);
  // The core is a tail of the raw line, so its offsets shift by the spaces cut.
  result.equals_offset = static_cast<size_t>(core.data() - line.data()) + equals;
  return result;
}

std::string ReadProfileValue(FileSystem& fs, std::string_view file_name, std::string_view section,
                             std::string_view key) {
  const std::optional<std::string> data = ReadWholeFile(fs, file_name);
  if (!data) return std::string();
  bool inside = false;
  for (const std::string_view raw : SplitLines(*data)) {
    const ProfileLine line = ClassifyProfileLine(raw);
    if (line.kind == ProfileLineKind::kBlank) continue;
    if (!inside) {
      inside = line.kind == ProfileLineKind::kSection && ProfileNamesEqual(line.name, section);
      continue;
    }
    if (line.kind == ProfileLineKind::kSection) break;  // only the first such section counts
    if (line.kind == ProfileLineKind::kKey && ProfileNamesEqual(line.name, key)) {
      return std::string(Unquote(line.value));
    }
  }
  return std::string();
}

bool WriteProfileValue(FileSystem& fs, Clock& clock, RandomGenerator& random,
                       std::string_view file_name, std::string_view section, std::string_view key,
                       std::string_view value) {
  const std::optional<std::string> temporary_name =
      ChooseTemporaryName(fs, clock, random, SplitPath(file_name).folder);
  if (!temporary_name) return false;

  for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
    if (attempt > 0) {
      clock.SleepMilliseconds(kDeleteRetryMilliseconds);
      fs.RemoveFile(*temporary_name);  // our copy of the last attempt
    }
    auto temporary = CreateExclusive(fs, *temporary_name, FileCreation::kCreateUnique);
    if (!temporary) {
      if (attempt == 0) return false;  // nothing of ours exists yet
      break;
    }
    // The copy is remade on every attempt: the file that could not be
    // deleted may have been changed by the program that held it.
    const std::optional<std::string> old_data = ReadTarget(fs, file_name);
    if (!old_data) break;  // never replace a file that could not be read
    const std::string new_data = RewriteProfile(*old_data, section, key, value);
    if (!WriteAndClose(*temporary, new_data)) break;
    if (fs.KindOf(file_name) != PathKind::kMissing && !fs.RemoveFile(file_name)) continue;
    if (fs.Rename(*temporary_name, file_name)) return true;
    // The old file is gone and the copy does not move into its place: write
    // the new text under the file's own name instead, and keep the copy
    // unless that worked, so the text is never lost.
    auto target = CreateExclusive(fs, file_name, FileCreation::kCreateNew);
    if (target && WriteAndClose(*target, new_data)) {
      fs.RemoveFile(*temporary_name);
      return true;
    }
    return false;
  }
  // Given up: the old file stays as it was, and no copy is left behind.
  fs.RemoveFile(*temporary_name);
  return false;
}

}  // namespace torvane
