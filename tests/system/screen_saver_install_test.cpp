#include "system/screen_saver_install.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "desktop_sandbox.h"
#include "platform/display.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/private_profile.h"
#include "platform/system_folder.h"
#include "support/temp_dir.h"
#include "system/install.h"

namespace {
using Words = std::vector<std::string>;

// A desktop whose tools are named in `installed`; nothing is run.
class FakeSession : public IdleSession {
 public:
  std::string FindTool(const std::string& name) override {
    return installed.count(name) ? "/usr/bin/" + name : std::string();
  }
  bool HasDisplay() override { return display; }
  bool HasLoginSession() override { return login_session; }
  bool Run(const Words& argv) override {
    runs.push_back(argv);
    return true;
  }
  bool Start(const Words& argv) override {
    starts.push_back(argv);
    return start_works;
  }
  int StopWatchers(const std::string& saver) override {
    stops.push_back(saver);
    return 1;
  }

  std::set<std::string> installed{"xss-lock", "xautolock", "xset"};
  bool display = true;
  bool login_session = true;
  bool start_works = true;
  std::vector<Words> runs;
  std::vector<Words> starts;
  std::vector<std::string> stops;
};

class ScreenSaverInstallTest : public ::testing::Test {
 protected:
  ScreenSaverInstallTest() {
    EnsureDirectory(desktop.Root() + "/bin");
    WriteFileText(program, "#!/bin/sh\nexit 0\n");
    chmod(program.c_str(), 0755);
    WriteFileText(desktop.Root() + "/bin/zentrope.html", "<html>help</html>");
  }

  bool Logged(const std::string& line) const {
    return std::find(desktop.log.begin(), desktop.log.end(), line) != desktop.log.end();
  }
  std::string Installed(const char* name) const { return desktop.WindowsDirectory() + "/" + name; }
  std::string BootEntry() const {
    return GetPrivateProfileString("boot", "scrnsave.exe", "<missing>", places.Profile());
  }
  bool Exists(const std::string& path) const { return access(path.c_str(), F_OK) == 0; }
  bool Install() { return InstallScreenSaver(dialogs, kNoWindow, places, session); }

  TDesktopSandbox desktop;
  std::string program = desktop.Root() + "/bin/zentrope";
  SaverPlaces places{InstallPlaces{program, desktop.WindowsDirectory()},
                     desktop.Places().config_home + "/autostart"};
  FakeSession session;
  TDisplay display;
  THeadlessDialogs dialogs{display};
};

TEST(ScreenSaverWatcher, PrefersXssLockInALoginSessionThenXautolock) {
  FakeSession session;
  EXPECT_EQ(ChooseIdleWatcher(session), IdleWatcher::kXssLock);
  session.login_session = false;
  EXPECT_EQ(ChooseIdleWatcher(session), IdleWatcher::kXautolock);
  session.installed.erase("xautolock");
  EXPECT_EQ(ChooseIdleWatcher(session), IdleWatcher::kXssLock) << "better than none";
  session.installed = {"xautolock"};
  session.login_session = true;
  EXPECT_EQ(ChooseIdleWatcher(session), IdleWatcher::kXautolock);
  session.installed.erase("xautolock");
  EXPECT_EQ(ChooseIdleWatcher(session), IdleWatcher::kNone);
}

TEST(ScreenSaverWatcher, CommandsAndAutostartEntriesQuoteTheSaverPath) {
  const std::string saver = "/home/o'neil/my pics/zentsv32.scr";
  EXPECT_EQ(ShellWord("/usr/bin/zentsv32.scr"), "/usr/bin/zentsv32.scr");
  EXPECT_EQ(ShellWord(saver), "'/home/o'\\''neil/my pics/zentsv32.scr'");
  EXPECT_EQ(WatcherCommand(IdleWatcher::kXssLock, saver), (Words{"xss-lock", "--", saver, "/s"}));
  EXPECT_EQ(WatcherCommand(IdleWatcher::kXautolock, saver),
            (Words{"xautolock", "-time", "5", "-locker", ShellWord(saver) + " /s"}));

  const std::optional<std::string> xss =
      SaverAutostartText(IdleWatcher::kXssLock, "/w/zentsv32.scr");
  ASSERT_TRUE(xss);
  EXPECT_NE(xss->find("Exec=sh -c \"xset s 300 0; exec xss-lock -- /w/zentsv32.scr /s\"\n"),
            std::string::npos)
      << *xss;
  const std::optional<std::string> xautolock =
      SaverAutostartText(IdleWatcher::kXautolock, "/w/zentsv32.scr");
  ASSERT_TRUE(xautolock);
  EXPECT_NE(xautolock->find("Exec=xautolock -time 5 -locker \"/w/zentsv32.scr /s\"\n"),
            std::string::npos)
      << *xautolock;
  EXPECT_FALSE(SaverAutostartText(IdleWatcher::kNone, "/w/zentsv32.scr"));
  EXPECT_FALSE(SaverAutostartText(IdleWatcher::kXssLock, "/w/bad\nname.scr"));
}

TEST_F(ScreenSaverInstallTest, InstallCopiesTheSaverNamesItAndStartsTheWatcher) {
  WriteFileText(Installed("zentsv32.ini"), "[zentsv32]\nDelayBetweenImages=3\n");
  ASSERT_TRUE(Install());

  const std::string saver = Installed("zentsv32.scr");
  EXPECT_FALSE(Exists(Installed("zentsv32.ini")));
  EXPECT_EQ(ReadFileText(Installed("zentsv32.hlp")), "<html>help</html>");
  EXPECT_EQ(access(saver.c_str(), X_OK), 0);
  EXPECT_EQ(BootEntry(), saver);
  EXPECT_EQ(ReadFileText(places.AutostartEntry()),
            *SaverAutostartText(IdleWatcher::kXssLock, saver));
  EXPECT_EQ(session.runs, (std::vector<Words>{{"xset", "s", "300", "0"}}));
  EXPECT_EQ(session.starts, (std::vector<Words>{{"xss-lock", "--", saver, "/s"}}));
  EXPECT_EQ(session.stops, std::vector<std::string>{saver}) << "no second watcher on reinstall";
  EXPECT_TRUE(Logged("Deleted " + Installed("zentsv32.ini")));
  EXPECT_TRUE(Logged("Copied " + program + " to " + saver));
  EXPECT_TRUE(Logged("Screen saver " + saver + " starts when the desktop is idle (xss-lock)"));
  EXPECT_EQ(InstalledSaver(desktop.WindowsDirectory()), saver);
}

TEST_F(ScreenSaverInstallTest, WithoutADisplayOnlyTheAutostartEntryStartsTheWatcher) {
  session.installed.erase("xss-lock");
  session.display = false;
  ASSERT_TRUE(Install());
  EXPECT_NE(ReadFileText(places.AutostartEntry()).find("Exec=xautolock -time 5"),
            std::string::npos);
  EXPECT_TRUE(session.starts.empty());
  EXPECT_TRUE(session.runs.empty());
}

TEST_F(ScreenSaverInstallTest, WithoutAWatcherNothingIsInstalledAndTheUserIsTold) {
  session.installed = {"xset"};
  WriteFileText(Installed("zentsv32.ini"), "[zentsv32]\n");
  EXPECT_FALSE(Install());

  ASSERT_EQ(dialogs.Shown().size(), 1u);
  EXPECT_EQ(dialogs.Shown()[0].caption, "Install screen saver");
  EXPECT_EQ(dialogs.Shown()[0].icon, MessageBoxIcon::kExclamation);
  EXPECT_TRUE(Logged("Screen saver not installed: neither xss-lock nor xautolock is installed"));
  EXPECT_TRUE(Exists(Installed("zentsv32.ini"))) << "the saver's settings are kept";
  EXPECT_FALSE(Exists(Installed("zentsv32.scr")));
  EXPECT_FALSE(Exists(places.AutostartEntry()));
  EXPECT_EQ(BootEntry(), "<missing>");
  EXPECT_TRUE(session.starts.empty());
}

TEST_F(ScreenSaverInstallTest, ASaverThatWasNotCopiedIsNeitherNamedNorStarted) {
  places.install.program = desktop.Root() + "/bin/missing";
  EXPECT_FALSE(Install());
  EXPECT_TRUE(
      Logged(Installed("zentsv32.scr") + " was not copied: the screen saver is not installed"));
  EXPECT_FALSE(Exists(places.AutostartEntry()));
  EXPECT_EQ(BootEntry(), "<missing>");
  EXPECT_TRUE(session.starts.empty());
  EXPECT_FALSE(InstalledSaver(desktop.WindowsDirectory()));
}

TEST_F(ScreenSaverInstallTest, RemoveUndoesTheInstallAndTurnsTheSaverOff) {
  ASSERT_TRUE(Install());
  session = FakeSession();
  RemoveScreenSaver(places, session);

  for (const char* name : {"zentsv32.ini", "zentsv32.hlp", "zentsv32.scr"}) {
    EXPECT_FALSE(Exists(Installed(name))) << name;
    EXPECT_TRUE(Logged("Deleted " + Installed(name))) << name;
  }
  EXPECT_EQ(BootEntry(), "(None)");
  EXPECT_FALSE(Exists(places.AutostartEntry()));
  EXPECT_EQ(session.stops, std::vector<std::string>{Installed("zentsv32.scr")});
  EXPECT_EQ(session.runs, (std::vector<Words>{{"xset", "s", "off"}}));
  EXPECT_FALSE(InstalledSaver(desktop.WindowsDirectory()));
  EXPECT_FALSE(StartInstalledSaver(desktop.WindowsDirectory(), session));
  EXPECT_TRUE(session.starts.empty());
}

TEST_F(ScreenSaverInstallTest, TestingStartsTheInstalledSaverAtOnce) {
  ASSERT_TRUE(Install());
  session.starts.clear();
  EXPECT_TRUE(StartInstalledSaver(desktop.WindowsDirectory(), session));
  EXPECT_EQ(session.starts, (std::vector<Words>{{Installed("zentsv32.scr"), "/s"}}));
}

TEST_F(ScreenSaverInstallTest, NothingHappensWhileAnotherUtilityRuns) {
  const TUtilityRun other;
  EXPECT_FALSE(Install());
  RemoveScreenSaver(places, session);
  EXPECT_TRUE(desktop.log.empty());
  EXPECT_EQ(BootEntry(), "<missing>");
}

TEST(ScreenSaverSession, StartedProgramsOutliveTheirStartAndMissingOnesFail) {
  TempDir dir;
  TDesktopIdleSession session;
  const std::string marker = dir.File("started");
  EXPECT_TRUE(session.Start({"sh", "-c", "echo yes > '" + marker + "'"}));
  EXPECT_FALSE(session.Start({dir.File("no-such-program")}));
  for (int i = 0; i < 200 && ReadFileText(marker).empty(); ++i) usleep(10'000);
  EXPECT_EQ(ReadFileText(marker), "yes\n");
}
}  // namespace
