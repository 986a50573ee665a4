// The publishing hand-off: the switch in "Ftp.ini", the archiver's presence,
// and the two profiles that tell the archiver what to pack and chain to and
// the uploader where and how to send the archive.
#include "driver/publishing_handoff.h"

#include <string_view>

#include "driver/file_helpers.h"
#include "session/profile_file.h"

#include "base/text_lines.h"

namespace torvane {
namespace {

constexpr char kPublishingProfile[] = "Ftp.ini";
constexpr char kPublishingSection[] = "Publicar";
constexpr char kArchiverProgram[] = "KAVTAR";
constexpr char kArchiverProfile[] = "KAVTAR.INI";
constexpr char kUploaderProfile[] = "KAVHTTP.INI";

}  // namespace

std::string PublishingHost(FileSystem& fs, const std::string& root_directory) {
  const std::string value =
      ReadProfileValue(fs, root_directory + kPublishingProfile, kPublishingSection, "Servidor");
  const std::string_view host = TrimBlanks(value);
  return host.empty() ? std::string(kDefaultPublishingHost) : std::string(host);
}

PublishingTarget UploadTarget(FileSystem& fs, const std::string& root_directory) {
  const std::string profile = root_directory + kPublishingProfile;
  const std::string port = ReadProfileValue(fs, profile, kPublishingSection, "Port");
  const std::string page = ReadProfileValue(fs, profile, kPublishingSection, "Pagina");
  const std::string_view trimmed_port = TrimBlanks(port);
  const std::string_view trimmed_page = TrimBlanks(page);
  return {trimmed_port.empty() ? std::string(kDefaultPublishingPort) : std::string(trimmed_port),
          trimmed_page.empty() ? std::string(kDefaultPublishingPage) : std::string(trimmed_page)};
}

HandOff PublishingHandOff(FileSystem& fs, Clock& clock, RandomGenerator& random,
                          const std::string& root_directory, const std::string& temp_directory,
                          const FirmIdentity& firm) {
  HandOff hand_off{std::string(kNextStepProgramName), {}};
  const bool publishing_wanted = ReadProfileValue(fs, root_directory + kPublishingProfile,
                                                  kPublishingSection, "Rebuts") != "N";
  if (!publishing_wanted || !FileExists(fs, root_directory + "KAVTAR.EXE")) return hand_off;

  MakeFolderPath(fs, root_directory + "CSB");
  const std::string archive_name =
      UniqueFileName(fs, clock, random, root_directory + "CSB\\", "", "TAR");
  if (archive_name.empty()) return hand_off;

  const std::string archiver_profile = temp_directory + kArchiverProfile;
  const std::string uploader_profile = temp_directory + kUploaderProfile;
  DeleteFileOrFolder(fs, archiver_profile);
  DeleteFileOrFolder(fs, uploader_profile);

  auto write = [&](const std::string& profile, std::string_view section, std::string_view key,
                   std::string_view value) {
    if (WriteProfileValue(fs, clock, random, profile, section, key, value)) return;
    std::vector<std::string>& incomplete = hand_off.incomplete_profiles;
    if (incomplete.empty() || incomplete.back() != profile) incomplete.push_back(profile);
  };
  write(archiver_profile, "Tar", "Archive", archive_name);
  write(archiver_profile, "Tar", "FileList", temp_directory + std::string(kFileListName));
  write(archiver_profile, "Tar", "Chain", root_directory + std::string(kNextStepProgramName));
  write(archiver_profile, "Tar", "Send", "HTTP");

  const PublishingTarget target = UploadTarget(fs, root_directory);
  write(uploader_profile, "URL", "Site", PublishingHost(fs, root_directory));
  write(uploader_profile, "URL", "Port", target.port);
  write(uploader_profile, "URL", "Page", target.page);
  write(uploader_profile, "URL", "Method", "POST");
  write(uploader_profile, "URL", "Show", "1");
  write(uploader_profile, "Vars", "1", "NIF=" + std::string(TrimTrailingBlanks(firm.Field(7))));
  write(uploader_profile, "Files", "1", archive_name);
  if (!hand_off.incomplete_profiles.empty()) {
    DeleteFileOrFolder(fs, archiver_profile);
    DeleteFileOrFolder(fs, uploader_profile);
    return hand_off;
  }
  hand_off.next_program = kArchiverProgram;
  return hand_off;
}

}  // namespace torvane
