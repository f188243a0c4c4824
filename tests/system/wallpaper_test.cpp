#include "system/wallpaper.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "desktop_sandbox.h"
#include "platform/private_profile.h"
#include "platform/system_folder.h"
#include "support/peer_tools.h"

namespace {
TEST(WallpaperPath, KeepsOnlyTheNamePartOfTheAnswer) {
  EXPECT_EQ(WallpaperPath("/home/u/pics/sunset.gif", "/w"), "/w/sunset.bmp");
  EXPECT_EQ(WallpaperPath("C:\\PICS\\sunset.gif", "/w"), "/w/sunset.bmp");
  EXPECT_EQ(WallpaperPath("zentrp32.bmp", "/w"), "/w/zentrp32.bmp");
  EXPECT_EQ(WallpaperPath("", "/w"), "/w/zentrp32.bmp");
  EXPECT_EQ(WallpaperPath("/home/u/pics/", "/w"), "/w/zentrp32.bmp");
  EXPECT_EQ(WallpaperPath("../../etc/passwd", "/w"), "/w/passwd.bmp");
}

TEST(FileUri, EncodesEveryByteOutsideTheUnreservedSet) {
  EXPECT_EQ(FileUri("/w/a b%#.bmp"), "file:///w/a%20b%25%23.bmp");
  EXPECT_EQ(FileUri("/w/\xC3\xA9"), "file:///w/%C3%A9");
}

class WallpaperTest : public ::testing::Test {
 protected:
  WallpaperTest() {
    // Only the stand-in tools of the test are found.
    EnsureDirectory(tools);
    desktop.SetVariable("PATH", tools);
  }
  void AddTool(const std::string& name) {
    const std::string path = tools + "/" + name;
    WriteFileText(path, "#!/bin/sh\necho \"$@\" >> " + desktop.Root() + "/" + name + ".args\n");
    chmod(path.c_str(), 0755);
  }
  std::string Arguments(const std::string& name) {
    return ReadFileText(desktop.Root() + "/" + name + ".args");
  }
  std::string WinIni(const char* key) {
    return GetPrivateProfileString("desktop", key, "?", windir + "/win.ini");
  }

  TDesktopSandbox desktop;
  std::string tools = desktop.Root() + "/tools";
  std::string windir = desktop.WindowsDirectory();
};

TEST_F(WallpaperTest, ChoosesTheDesktopsToolAndFallsBackToFeh) {
  EXPECT_EQ(ChooseWallpaperSetter("GNOME"), WallpaperSetter::kNone);
  AddTool("feh");
  EXPECT_EQ(ChooseWallpaperSetter("ubuntu:GNOME"), WallpaperSetter::kFeh) << "no gsettings";
  AddTool("gsettings");
  AddTool("xfconf-query");
  EXPECT_EQ(ChooseWallpaperSetter("ubuntu:GNOME"), WallpaperSetter::kGnome);
  EXPECT_EQ(ChooseWallpaperSetter("MATE"), WallpaperSetter::kMate);
  EXPECT_EQ(ChooseWallpaperSetter("xfce"), WallpaperSetter::kXfce);
  EXPECT_EQ(ChooseWallpaperSetter("KDE"), WallpaperSetter::kFeh) << "no plasma tool";
  EXPECT_EQ(ChooseWallpaperSetter("GNOMEISH"), WallpaperSetter::kFeh);
}

TEST_F(WallpaperTest, WritesWinIniAndSetsTheWallpaperWithFeh) {
  AddTool("feh");
  EXPECT_TRUE(ApplyWallpaper(windir + "/sunset.bmp", windir));
  EXPECT_EQ(WinIni("TileWallpaper"), "0");
  EXPECT_EQ(WinIni("Wallpaper"), "sunset.bmp");
  EXPECT_EQ(Arguments("feh"), "--bg-center " + windir + "/sunset.bmp\n");
  EXPECT_TRUE(desktop.log.empty());
}

TEST_F(WallpaperTest, XfceSetsEveryMonitorsImage) {
  desktop.SetVariable("XDG_CURRENT_DESKTOP", std::string("XFCE"));
  const std::string path = tools + "/xfconf-query";
  WriteFileText(path,
                "#!/bin/sh\ncase \"$*\" in *-l*) printf '%s\\n' "
                "/backdrop/screen0/monitorA/workspace0/last-image /backdrop/other "
                "/backdrop/screen0/monitorB/workspace0/last-image;; *) echo \"$@\" >> " +
                    desktop.Root() + "/xfconf.args;; esac\n");
  chmod(path.c_str(), 0755);
  EXPECT_TRUE(ApplyWallpaper(windir + "/w.bmp", windir));
  EXPECT_EQ(ReadFileText(desktop.Root() + "/xfconf.args"),
            "-c xfce4-desktop -p /backdrop/screen0/monitorA/workspace0/last-image -s " + windir +
                "/w.bmp\n-c xfce4-desktop -p /backdrop/screen0/monitorB/workspace0/last-image "
                "-s " +
                windir + "/w.bmp\n");
}

TEST_F(WallpaperTest, WithoutAnyToolOnlyWinIniHoldsIt) {
  EXPECT_FALSE(ApplyWallpaper(windir + "/z.bmp", windir));
  EXPECT_EQ(WinIni("Wallpaper"), "z.bmp");
  EXPECT_EQ(desktop.log,
            (std::vector<std::string>{"No way known to set the desktop wallpaper here: " + windir +
                                      "/z.bmp is only in win.ini"}));
}

TEST_F(WallpaperTest, AFailingToolIsLogged) {
  const std::string path = tools + "/feh";
  WriteFileText(path, "#!/bin/sh\nexit 3\n");
  chmod(path.c_str(), 0755);
  EXPECT_FALSE(ApplyWallpaper(windir + "/z.bmp", windir));
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"Error occurred while running feh"}));
}

TEST(GnomeWallpaper, GsettingsHoldsTheFileUri) {
  TDesktopSandbox desktop;
  REQUIRE_PEER_TOOL("gsettings");
  if (CommandOutput("gsettings list-schemas").find("org.gnome.desktop.background\n") ==
      std::string::npos) {
    GTEST_SKIP() << "no GNOME background schema";
  }
  desktop.SetVariable("XDG_CURRENT_DESKTOP", std::string("GNOME"));
  const std::string path = desktop.WindowsDirectory() + "/my wall.bmp";
  EXPECT_TRUE(ApplyWallpaper(path, desktop.WindowsDirectory()));
  EXPECT_EQ(CommandOutput("gsettings get org.gnome.desktop.background picture-uri"),
            "'" + FileUri(path) + "'\n");
  EXPECT_EQ(CommandOutput("gsettings get org.gnome.desktop.background picture-options"),
            "'centered'\n");
}
}  // namespace
