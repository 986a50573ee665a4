// The publishing hand-off: the switch, the archiver's presence, and the exact
// profiles handed to the archiver and the uploader.
#include "driver/publishing_handoff.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace torvane {
namespace {

class PublishingHandOffTest : public ::testing::Test {
 protected:
  PublishingHandOffTest() {
    std::filesystem::create_directory(root_);
    std::filesystem::create_directory(temp_);
    firm_.fields[7] = "ESB12345678  ";
  }

  std::string HandOff() {
    return PublishingHandOff(fs_, clock_, random_, root_, temp_, firm_).next_program;
  }
  void InstallArchiver() { testing::WriteNativeFile(root_ + "KAVTAR.EXE", "program"); }
  void WriteFtpProfile(std::string_view bytes) {
    testing::WriteNativeFile(root_ + "Ftp.ini", bytes);
  }
  std::string ArchiverProfile() const { return testing::ReadNativeFile(temp_ + "KAVTAR.INI"); }
  std::string UploaderProfile() const { return testing::ReadNativeFile(temp_ + "KAVHTTP.INI"); }

  // The archive name as the archiver's profile gives it.
  std::string ArchiveName() const {
    const std::string profile = ArchiverProfile();
    const size_t start = profile.find("Archive=") + 8;
    return profile.substr(start, profile.find('\r', start) - start);
  }

  testing::ScopedTempDir dir_;
  const std::string root_ = dir_.path() + "root/";
  const std::string temp_ = dir_.path() + "tmp/";
  FileSystem& fs_ = FileSystem::Default();
  testing::FakeClock clock_;
  RandomGenerator random_;
  FirmIdentity firm_;
};

TEST_F(PublishingHandOffTest, PreparesTheArchiverWhenFtpProfileIsMissing) {
  InstallArchiver();
  ASSERT_EQ(HandOff(), "KAVTAR");

  const std::string archive = ArchiveName();
  const std::string folder = root_ + "CSB\\";
  ASSERT_EQ(archive.size(), folder.size() + 8 + 4) << archive;
  EXPECT_EQ(archive.substr(0, folder.size()), folder);
  EXPECT_EQ(archive.substr(archive.size() - 4), ".TAR");
  for (const char c : archive.substr(folder.size(), 8)) {
    EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) << archive;
  }
  EXPECT_TRUE(std::filesystem::is_directory(root_ + "CSB"));
  EXPECT_FALSE(testing::NativeFileExists(root_ + "CSB/" + archive.substr(folder.size())));

  EXPECT_EQ(ArchiverProfile(),
            "[Tar]\r\n"
            "Archive=" +
                archive +
                "\r\n"
                "FileList=" +
                temp_ +
                "TAR.LST\r\n"
                "Chain=" +
                root_ +
                "TORVANE2\r\n"
                "Send=HTTP\r\n");
  EXPECT_EQ(UploaderProfile(),
            "[URL]\r\n"
            "Site=" +
                std::string(kDefaultPublishingHost) +
                "\r\n"
                "Port=80\r\n"
                "Page=/proves/factsrv.php\r\n"
                "Method=POST\r\n"
                "Show=1\r\n"
                "[Vars]\r\n"
                "1=NIF=ESB12345678\r\n"  // the tax number without its trailing blanks
                "[Files]\r\n"
                "1=" +
                archive + "\r\n");
}

TEST_F(PublishingHandOffTest, RewritesEarlierProfilesFromScratch) {
  InstallArchiver();
  WriteFtpProfile("[Publicar]\r\nRebuts=S\r\nServidor= factures.example.com \r\n");
  testing::WriteNativeFile(temp_ + "KAVTAR.INI", "; old\r\n[Tar]\r\nArchive=old.TAR\r\nKeep=1\r\n");
  testing::WriteNativeFile(temp_ + "KAVHTTP.INI",
                           "[URL]\r\nSite=old.example\r\n[Extra]\r\nA=1\r\n");
  ASSERT_EQ(HandOff(), "KAVTAR");
  const std::string archive = ArchiveName();
  EXPECT_EQ(ArchiverProfile(), "[Tar]\r\nArchive=" + archive + "\r\nFileList=" + temp_ +
                                   "TAR.LST\r\nChain=" + root_ + "TORVANE2\r\nSend=HTTP\r\n");
  EXPECT_EQ(UploaderProfile(),
            "[URL]\r\nSite=factures.example.com\r\nPort=80\r\nPage=/proves/factsrv.php\r\n"
            "Method=POST\r\nShow=1\r\n[Vars]\r\n1=NIF=ESB12345678\r\n[Files]\r\n1=" +
                archive + "\r\n");
}

TEST_F(PublishingHandOffTest, PortAndPageComeFromTheFtpProfile) {
  InstallArchiver();
  const struct {
    std::string keys;
    std::string url_lines;
  } cases[] = {
      {"", "Port=80\r\nPage=/proves/factsrv.php\r\n"},
      {"Port=443\r\nPagina=/factures/rebre.php\r\n", "Port=443\r\nPage=/factures/rebre.php\r\n"},
      {"Port= 8443 \r\n", "Port=8443\r\nPage=/proves/factsrv.php\r\n"},
      {"Pagina=/in\r\nPort=\r\n", "Port=80\r\nPage=/in\r\n"},
  };
  for (const auto& c : cases) {
    WriteFtpProfile("[Publicar]\r\nServidor=h.example\r\n" + c.keys);
    ASSERT_EQ(HandOff(), "KAVTAR") << c.keys;
    const std::string profile = UploaderProfile();
    EXPECT_EQ(profile.substr(0, profile.find("Method=")),
              "[URL]\r\nSite=h.example\r\n" + c.url_lines)
        << c.keys;
  }
}

TEST_F(PublishingHandOffTest, OnlyAnExactNTurnsPublishingOff) {
  InstallArchiver();
  const struct {
    std::string value;
    std::string next;
  } cases[] = {
      {"N", "TORVANE2"}, {"n", "KAVTAR"}, {" N", "KAVTAR"}, {"NO", "KAVTAR"},
      {"", "KAVTAR"},    {"S", "KAVTAR"}, {"N ", "KAVTAR"},
  };
  for (const auto& c : cases) {
    WriteFtpProfile("[Publicar]\r\nRebuts=" + c.value + "\r\n");
    EXPECT_EQ(HandOff(), c.next) << "Rebuts='" << c.value << "'";
  }
}

TEST_F(PublishingHandOffTest, NotPublishingLeavesEarlierProfilesAlone) {
  InstallArchiver();
  WriteFtpProfile("[Publicar]\r\nRebuts=N\r\n");
  testing::WriteNativeFile(temp_ + "KAVTAR.INI", "earlier run\r\n");
  EXPECT_EQ(HandOff(), "TORVANE2");
  EXPECT_EQ(ArchiverProfile(), "earlier run\r\n");
  EXPECT_FALSE(testing::NativeFileExists(temp_ + "KAVHTTP.INI"));
  EXPECT_FALSE(testing::NativeFileExists(root_ + "CSB"));
}

TEST_F(PublishingHandOffTest, UnusableArchiverRunsTheNextStepDirectly) {
  EXPECT_EQ(HandOff(), "TORVANE2");  // absent

  std::filesystem::create_directory(root_ + "KAVTAR.EXE");
  EXPECT_EQ(HandOff(), "TORVANE2");  // a folder
  std::filesystem::remove(root_ + "KAVTAR.EXE");

  InstallArchiver();
  ::chmod((root_ + "KAVTAR.EXE").c_str(), 0444);
  EXPECT_EQ(HandOff(), "TORVANE2");  // read-only
  EXPECT_FALSE(testing::NativeFileExists(temp_ + "KAVTAR.INI"));
  EXPECT_FALSE(testing::NativeFileExists(root_ + "CSB"));
}

TEST_F(PublishingHandOffTest, DrawsAnotherArchiveNameWhenTheFirstIsTaken) {
  InstallArchiver();
  ASSERT_EQ(HandOff(), "KAVTAR");
  const std::string first = ArchiveName();
  const std::string folder = root_ + "CSB\\";
  testing::WriteNativeFile(root_ + "CSB/" + first.substr(folder.size()), "earlier archive");

  clock_.hundredths = testing::FakeClock().hundredths;  // the same time of day again
  ASSERT_EQ(HandOff(), "KAVTAR");
  EXPECT_NE(ArchiveName(), first);
  EXPECT_EQ(testing::ReadNativeFile(root_ + "CSB/" + first.substr(folder.size())),
            "earlier archive");
}

TEST(PublishingHostTest, FallsBackToTheVendorsServer) {
  const struct {
    std::string profile;  // empty: no Ftp.ini
    std::string host;
  } cases[] = {
      {"", kDefaultPublishingHost},
      {"[Publicar]\r\nRebuts=S\r\n", kDefaultPublishingHost},
      {"[Publicar]\r\nServidor=\r\n", kDefaultPublishingHost},
      {"[Publicar]\r\nServidor=   \r\n", kDefaultPublishingHost},
      {"[Publicar]\r\nServidor=factures.example.com\r\n", "factures.example.com"},
      {"[publicar]\r\nservidor =  10.0.0.7  \r\n", "10.0.0.7"},
      {"[Altres]\r\nServidor=other.example\r\n", kDefaultPublishingHost},
  };
  for (const auto& c : cases) {
    testing::ScopedTempDir dir;
    if (!c.profile.empty()) testing::WriteNativeFile(dir.path() + "Ftp.ini", c.profile);
    EXPECT_EQ(PublishingHost(FileSystem::Default(), dir.path()), c.host) << c.profile;
  }
}

}  // namespace
}  // namespace torvane
