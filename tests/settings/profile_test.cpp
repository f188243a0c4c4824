#include "settings/profile.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <filesystem>
#include <string>

#include "platform/private_profile.h"
#include "profile_environment.h"
#include "support/child_process.h"

namespace {

using ProfileTest = ProfileEnvironment;

bool FileHasLine(const std::string& file, const std::string& line) {
  return ("\n" + ReadFileText(file)).find("\n" + line + "\n") != std::string::npos;
}

// Counts the opens of one file, watched by the kernel from outside the code
// under test.
class OpenCounter {
 public:
  explicit OpenCounter(const std::string& file) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    // Closes are watched too: the kernel merges an event into an identical one
    // still unread, so opens alone would count as one.
    if (fd_ >= 0) watch_ = inotify_add_watch(fd_, file.c_str(), IN_OPEN | IN_CLOSE);
  }
  ~OpenCounter() {
    if (fd_ >= 0) close(fd_);
  }
  OpenCounter(const OpenCounter&) = delete;
  OpenCounter& operator=(const OpenCounter&) = delete;

  bool Watching() const { return fd_ >= 0 && watch_ >= 0; }
  int Opens() {
    alignas(inotify_event) std::array<char, 4096> buffer;
    ssize_t length;
    while ((length = read(fd_, buffer.data(), buffer.size())) > 0) {
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
        if (event->mask & (IN_OPEN | IN_Q_OVERFLOW)) ++opens_;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return opens_;
  }

 private:
  int fd_;
  int watch_ = -1;
  int opens_ = 0;
};

TEST_F(ProfileTest, FreshSaveWritesNoKeyAtAll) {
  TProfile profile;
  EXPECT_TRUE(profile.Save());
  EXPECT_EQ(profile.File(), ViewerFile());
  EXPECT_EQ(ReadFileText(ViewerFile()), "");

  profile.Set(IntKey::Effect, 4);
  profile.Set(StringKey::CopyImageTo, "/tmp/pics");
  ASSERT_TRUE(profile.Save());
  EXPECT_EQ(ReadFileText(ViewerFile()), "[zentrope]\nEffect=4\nCopyImageTo=/tmp/pics\n");

  profile.Defaults();
  ASSERT_TRUE(profile.Save());
  EXPECT_EQ(ReadFileText(ViewerFile()), "[zentrope]\n");
}

TEST_F(ProfileTest, ReadsHandWrittenFilesAsThePrivateProfileFunctionsDo) {
  ASSERT_TRUE(WriteFileText(ViewerFile(),
                            "; written by hand\r\n"
                            "[other]\r\n"
                            "Effect=9\r\n"
                            "[ ZENTROPE ]\r\n"
                            "  delaybetweenimages =  -3  \r\n"
                            "GIFColors=1000\r\n"
                            "MImage=5\r\n"
                            "Brightness=abc\r\n"
                            "Contrast=7 steps\r\n"
                            "Effect=3\r\n"
                            "Effect=4\r\n"
                            "copyimageto = \"/media/my pics\" \r\n"
                            "[zentrope]\r\n"
                            "Rotate=6\r\n"));
  TProfile profile;
  EXPECT_EQ(profile.Get(IntKey::DelayBetweenImages), 0);
  EXPECT_EQ(profile.Get(IntKey::GIFColors), 256);
  EXPECT_EQ(profile.Get(IntKey::MImage), 1);
  EXPECT_EQ(profile.Get(IntKey::Brightness), 5) << "not a number keeps the value";
  EXPECT_EQ(profile.Get(IntKey::Contrast), 7);
  EXPECT_EQ(profile.Get(IntKey::Effect), 3) << "the first of duplicate keys counts";
  EXPECT_EQ(profile.Get(IntKey::Rotate), 0) << "a duplicate section is not read";
  EXPECT_EQ(profile.Get(StringKey::CopyImageTo), "/media/my pics");

  // Saving rewrites only its own keys and keeps the rest, line ends included.
  profile.Set(IntKey::Rotate, 2);
  ASSERT_TRUE(profile.Save());
  const std::string saved = ReadFileText(ViewerFile());
  EXPECT_NE(saved.find("; written by hand\r\n[other]\r\nEffect=9\r\n"), std::string::npos);
  EXPECT_NE(saved.find("delaybetweenimages=0\r\n"), std::string::npos);
  EXPECT_NE(saved.find("Rotate=2\r\n[zentrope]\r\nRotate=6\r\n"), std::string::npos);
  EXPECT_EQ(saved.find("Brightness"), std::string::npos);
}

TEST_F(ProfileTest, StringCaseCountsOnSettingButNotOnSaving) {
  TProfile profile;
  const std::string same_but_case = "~/PICTURES/...";
  ASSERT_NE(same_but_case, TProfile::BuiltInDefault(StringKey::FileSpec));

  profile.Set(StringKey::FileSpec, same_but_case);
  EXPECT_TRUE(profile.HasOwnedCopy(StringKey::FileSpec));
  EXPECT_EQ(profile.Get(StringKey::FileSpec), same_but_case);
  ASSERT_TRUE(profile.Save());
  EXPECT_EQ(ReadFileText(ViewerFile()).find("FileSpec"), std::string::npos);
  EXPECT_EQ(profile.Get(StringKey::FileSpec), same_but_case);

  // Written by hand, the case-different text is read as an owned copy.
  ASSERT_TRUE(
      WritePrivateProfileString("zentrope", "FileSpec", same_but_case.c_str(), ViewerFile()));
  profile.Restore();
  EXPECT_TRUE(profile.HasOwnedCopy(StringKey::FileSpec));

  profile.Set(StringKey::FileSpec, TProfile::BuiltInDefault(StringKey::FileSpec));
  EXPECT_FALSE(profile.HasOwnedCopy(StringKey::FileSpec));
}

TEST_F(ProfileTest, RestoreKeepsInMemoryValuesOfMissingKeys) {
  ASSERT_TRUE(WritePrivateProfileString("zentrope", "DelayBetweenImages", "9", ViewerFile()));
  ASSERT_TRUE(WritePrivateProfileString("zentrope", "CopyImageTo", "/a", ViewerFile()));
  TProfile profile;
  EXPECT_EQ(profile.Get(IntKey::DelayBetweenImages), 9);
  profile.Set(IntKey::DelayBetweenImages, 20);
  profile.Set(IntKey::Effect, 40);  // out of range in memory: clamped by Restore

  ASSERT_TRUE(WritePrivateProfileString("zentrope", "DelayBetweenImages", nullptr, ViewerFile()));
  ASSERT_TRUE(WritePrivateProfileString("zentrope", "CopyImageTo", nullptr, ViewerFile()));
  profile.Restore();
  EXPECT_EQ(profile.Get(IntKey::DelayBetweenImages), 20);
  EXPECT_EQ(profile.Get(IntKey::Effect), 12);
  EXPECT_EQ(profile.Get(StringKey::CopyImageTo), "") << "strings fall back to the built-in default";
}

TEST_F(ProfileTest, ViewerSaverAndSaverOptionsKeepSeparateFilesAndTables) {
  TProfile viewer;
  EXPECT_EQ(viewer.Section(), "zentrope");
  EXPECT_EQ(viewer.Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(viewer.Get(IntKey::DelayBetweenImages), 5);

  SetRunMode(RunMode::Saver);
  SetProgramPath("/opt/screensavers/Zentsv32.SCR");
  TProfile saver;
  EXPECT_EQ(saver.Section(), "Zentsv32");
  EXPECT_EQ(saver.File(), windir_.File("Zentsv32.ini"));
  EXPECT_EQ(saver.Get(IntKey::RunSlideshow), 1);
  EXPECT_EQ(saver.Get(IntKey::DelayBetweenImages), 15);
  EXPECT_EQ(saver.Get(IntKey::KeystrokeEvent), 9);

  SetRunMode(RunMode::SaverOptions);
  TProfile options;
  EXPECT_EQ(options.Section(), "zentsv32");
  EXPECT_EQ(options.File(), windir_.File("zentsv32.ini"));
  EXPECT_EQ(options.Get(IntKey::ThumbnailsEnable), 1);

  // Saving a changed value in one leaves the other's file alone.
  saver.Set(IntKey::Effect, 11);
  ASSERT_TRUE(saver.Save());
  EXPECT_TRUE(FileHasLine(windir_.File("Zentsv32.ini"), "Effect=11"));
  EXPECT_EQ(ReadFileText(ViewerFile()), "");
}

TEST_F(ProfileTest, PrefersASettingsFileInTheCurrentDirectory) {
  ASSERT_TRUE(WriteFileText(work_.File("zentrope.ini"), "[zentrope]\nInvert=1\n"));
  TProfile profile;
  EXPECT_EQ(profile.File(), work_.File("zentrope.ini"));
  EXPECT_EQ(profile.Get(IntKey::Invert), 1);
}

TEST_F(ProfileTest, OldPlatformsLowerCaseTheSection) {
  SetPlatformMajorVersion(3);
  SetProgramPath("/usr/bin/ZENTROPE");
  TProfile profile;
  EXPECT_EQ(profile.Section(), "zentrope");
}

TEST_F(ProfileTest, SetByNameTakesTheFirstKeyWithThatBeginning) {
  TProfile profile;
  EXPECT_TRUE(profile.SetIntByName("Delay", 100000));
  EXPECT_EQ(profile.Get(IntKey::DelayBetweenImages), 32767);
  EXPECT_TRUE(profile.SetIntByName("delaybetweens", -4));
  EXPECT_EQ(profile.Get(IntKey::DelayBetweenSounds), 0);
  EXPECT_TRUE(profile.SetIntByName("mimage", -9));
  EXPECT_EQ(profile.Get(IntKey::MImage), -1);
  EXPECT_FALSE(profile.SetIntByName("Nonsense", 1));
  EXPECT_FALSE(profile.SetIntByName("MImageX", 1)) << "a name longer than the key";

  EXPECT_TRUE(profile.SetStringByName("wavp", "play wav %s wait"));
  EXPECT_EQ(profile.Get(StringKey::WAVPlayCommand), "play wav %s wait");
  EXPECT_TRUE(profile.SetStringByName("MCI", "close all"));
  EXPECT_FALSE(profile.HasOwnedCopy(StringKey::MCICloseCommand));
}

TEST_F(ProfileTest, TwoPassQuantizationIsTheDefaultOnPaletteDisplays) {
  SetDisplayBitsPerPixel(8);
  TProfile palette_display;
  EXPECT_EQ(palette_display.Get(IntKey::JPEGTwoPass), 1);
  ASSERT_TRUE(palette_display.Save());
  EXPECT_EQ(ReadFileText(ViewerFile()), "") << "1 is the default there";

  SetDisplayBitsPerPixel(16);
  TProfile true_colour;
  EXPECT_EQ(true_colour.Get(IntKey::JPEGTwoPass), 0);
}

TEST_F(ProfileTest, SnapshotPutsTheIntegersBack) {
  TProfile profile;
  profile.ReleaseSnapshot();  // not held: changes nothing
  profile.Set(IntKey::Effect, 3);
  profile.HoldSnapshot();
  EXPECT_TRUE(profile.SnapshotHeld());
  profile.Set(IntKey::Effect, 7);
  profile.Set(IntKey::ImageDisplayEvent, 2);
  profile.ReleaseSnapshot();
  EXPECT_FALSE(profile.SnapshotHeld());
  EXPECT_EQ(profile.Get(IntKey::Effect), 3);
  EXPECT_EQ(profile.Get(IntKey::ImageDisplayEvent), 0);
  profile.Set(IntKey::Effect, 5);
  profile.ReleaseSnapshot();
  EXPECT_EQ(profile.Get(IntKey::Effect), 5);
}

TEST_F(ProfileTest, SingleKeyWritesDirectoriesAndCurrentImage) {
  TProfile profile;
  profile.Set(IntKey::AutoResume, 0);
  profile.Set(IntKey::StartupPassword, 3);
  ASSERT_TRUE(profile.WriteInt(IntKey::AutoResume));
  ASSERT_TRUE(profile.WriteInt(IntKey::StartupPassword));
  EXPECT_EQ(profile.Get(IntKey::StartupPassword), 1);
  EXPECT_EQ(ReadFileText(ViewerFile()), "[zentrope]\nAutoResume=0\nStartupPassword=1\n");
  profile.Set(IntKey::AutoResume, 1);
  ASSERT_TRUE(profile.WriteInt(IntKey::AutoResume));
  EXPECT_FALSE(FileHasLine(ViewerFile(), "AutoResume=0"));

  profile.Set(StringKey::MoveSoundTo, "/music");
  ASSERT_TRUE(WritePrivateProfileString("zentrope", "CopyImageTo", "/old", ViewerFile()));
  ASSERT_TRUE(profile.SaveDirectories());
  EXPECT_TRUE(FileHasLine(ViewerFile(), "Directory=" + work_.path()));
  EXPECT_TRUE(FileHasLine(ViewerFile(), "MoveSoundTo=/music"));
  EXPECT_EQ(ReadFileText(ViewerFile()).find("CopyImageTo"), std::string::npos);

  EXPECT_EQ(profile.ReadCurrentImage(), "");
  ASSERT_TRUE(profile.WriteCurrentImage(work_.File("a.gif")));
  EXPECT_EQ(profile.ReadCurrentImage(), work_.File("a.gif"));
  ASSERT_TRUE(profile.WriteCurrentImage(""));
  EXPECT_EQ(profile.ReadCurrentImage(), "");

  ASSERT_EQ(chdir(windir_.path().c_str()), 0);
  ASSERT_TRUE(profile.RestoreDirectory());
  char buffer[4096];
  ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(std::string(buffer), work_.path());
}

TEST_F(ProfileTest, FirstStartResetsTheSettingsAndIsRecordedOnce) {
  ASSERT_TRUE(WriteFileText(FirstStartRecordFile(), ""));
  ASSERT_TRUE(WriteFileText(ViewerFile(), "[zentrope]\nEffect=6\nFileSpec=/x\nOther=1\n"));
  TProfile first;
  EXPECT_TRUE(first.WasFirstStart());
  EXPECT_EQ(first.Get(IntKey::Effect), 1);
  EXPECT_EQ(first.Get(StringKey::FileSpec), TProfile::BuiltInDefault(StringKey::FileSpec));
  EXPECT_EQ(ReadFileText(ViewerFile()), "[zentrope]\nOther=1\n");

  first.Set(IntKey::Effect, 6);
  ASSERT_TRUE(first.Save());
  TProfile second;
  EXPECT_FALSE(second.WasFirstStart());
  EXPECT_EQ(second.Get(IntKey::Effect), 6);
}

TEST_F(ProfileTest, NoResetWhereTheFirstStartCannotBeRecorded) {
  ASSERT_TRUE(WriteFileText(work_.File("zentrope.ini"), "[zentrope]\nEffect=6\n"));
  ASSERT_TRUE(WriteFileText(windir_.File("blocker"), ""));
  const std::string unusable = windir_.File("blocker/zentrope");
  ASSERT_EQ(setenv("ZENTROPE_WINDIR", unusable.c_str(), 1), 0);
  for (int start = 0; start < 2; ++start) {
    TProfile profile;
    EXPECT_FALSE(profile.WasFirstStart());
    EXPECT_EQ(profile.Get(IntKey::Effect), 6);
  }
  EXPECT_EQ(ReadFileText(work_.File("zentrope.ini")), "[zentrope]\nEffect=6\n");
}

TEST_F(ProfileTest, CreatesTheSystemFolderOnFirstWrite) {
  const std::string nested = windir_.File("deeper/zentrope");
  ASSERT_EQ(setenv("ZENTROPE_WINDIR", nested.c_str(), 1), 0);
  TProfile profile;  // first start there: records it, which creates the folder
  EXPECT_TRUE(profile.WasFirstStart());
  profile.Set(IntKey::Invert, 1);
  ASSERT_TRUE(profile.Save());
  EXPECT_TRUE(FileHasLine(nested + "/zentrope.ini", "Invert=1"));
}

TEST_F(ProfileTest, RestoreAndSaveReadABigFileOnceEach) {
  std::string text = "[zentrope]\nEffect=4\nCopyImageTo=/pictures\n";
  text += "[junk]\nline=" + std::string(2 << 20, 'x') + "\n";
  for (int i = 0; i < 20000; ++i) text += "junk" + std::to_string(i) + "=1\n";
  text += "[zentrope]\nEffect=9\n";
  ASSERT_TRUE(WriteFileText(ViewerFile(), text));
  TProfile profile;
  OpenCounter counter(ViewerFile());
  ASSERT_TRUE(counter.Watching());

  profile.Set(IntKey::Effect, 1);
  profile.Restore();
  EXPECT_EQ(counter.Opens(), 1);
  EXPECT_EQ(profile.Get(IntKey::Effect), 4);
  EXPECT_EQ(profile.Get(StringKey::CopyImageTo), "/pictures");

  profile.Set(IntKey::Invert, 1);
  ASSERT_TRUE(profile.Save());
  EXPECT_EQ(counter.Opens(), 2);
  const std::string saved = ReadFileText(ViewerFile());
  EXPECT_EQ(saved.size(), text.size() + std::string("Invert=1\n").size());
  EXPECT_NE(saved.find("CopyImageTo=/pictures\nInvert=1\n[junk]"), std::string::npos);
}

TEST_F(ProfileTest, AFailedSaveIsReportedAndKeepsTheFile) {
  ASSERT_TRUE(WriteFileText(ViewerFile(), "[zentrope]\nEffect=4\n"));
  TProfile profile;
  profile.Set(StringKey::FileSpec, std::string(4096, 'f'));
  const int status = RunInChildProcess([&profile] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    return profile.Save() ? 1 : 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFileText(ViewerFile()), "[zentrope]\nEffect=4\n");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(windir_.path())) {
    ++files;
  }
  EXPECT_EQ(files, 2u) << "the settings file and the first-start record, nothing else";
}

}  // namespace
