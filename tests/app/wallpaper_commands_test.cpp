// Save wallpaper from the File menu: where the bitmap goes, its size and
// depth, win.ini's [desktop] section and the desktop's own tool.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/command_ids.h"
#include "command_window_fixture.h"
#include "desktop_environment.h"
#include "platform/private_profile.h"

namespace {
class WallpaperCommandTest : public CommandWindowTest {
 protected:
  // A stand-in for feh that records its arguments.
  void AddFeh() {
    const std::string path = desktop_.Tools() + "/feh";
    WriteFileText(path, "#!/bin/sh\necho \"$@\" > " + dir_.File("feh.args") + "\n");
    chmod(path.c_str(), 0755);
  }
  std::string WinIni(const char* key) {
    return GetPrivateProfileString("desktop", key, "?", desktop_.WindowsDirectory() + "/win.ini");
  }

  TDesktopEnvironment desktop_{dir_.path()};
};

TEST_F(WallpaperCommandTest, WritesTheScreenSizedBitmapAndSetsIt) {
  AddFeh();
  Start({WritePicture("pic.gif", 40, 30)});
  Answer(ScriptedAnswer::Text("/far/away/sunset.gif"));
  Command(CM_SAVE_WALLPAPER);

  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].texts.front(), "Wallpaper file name:");
  const std::string path = desktop_.WindowsDirectory() + "/sunset.bmp";
  TImage wallpaper;
  ASSERT_EQ(LoadImage(path, wallpaper, nullptr), "bmp");
  const Size screen = window_->MainWindow().Display().ScreenSize();
  EXPECT_EQ(wallpaper.width, screen.width);
  EXPECT_EQ(wallpaper.height, screen.height);
  EXPECT_EQ(WinIni("TileWallpaper"), "0");
  EXPECT_EQ(WinIni("Wallpaper"), "sunset.bmp");
  EXPECT_EQ(ReadFileText(dir_.File("feh.args")), "--bg-center " + path + "\n");
  EXPECT_TRUE(LogHas("Saved pic.gif as " + path));
  EXPECT_FALSE(window_->Loading());
}

TEST_F(WallpaperCommandTest, AProposalOfItsOwnAndNothingOnCancel) {
  Start({WritePicture("pic.gif")});
  Answer(ScriptedAnswer::Cancel(DialogKind::kCustom));
  Command(CM_SAVE_WALLPAPER);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(access((desktop_.WindowsDirectory() + "/zentrp32.bmp").c_str(), F_OK), -1);
  EXPECT_EQ(WinIni("Wallpaper"), "?");
}

TEST_F(WallpaperCommandTest, AFailedSaveShowsTheLogAndSetsNothing) {
  Start({WritePicture("pic.gif")});
  // A folder in the bitmap's place: no file can be renamed over it.
  ASSERT_TRUE(EnsureDirectory(desktop_.WindowsDirectory() + "/zentrp32.bmp"));
  Answer(ScriptedAnswer::Text("zentrp32.bmp"));
  Command(CM_SAVE_WALLPAPER);
  EXPECT_EQ(Settings().Get(IntKey::ShowLog), 1);
  EXPECT_TRUE(LogHas("Error occurred while saving pic.gif as " + desktop_.WindowsDirectory() +
                     "/zentrp32.bmp"));
  EXPECT_FALSE(LogHas("Saved pic.gif"));
  EXPECT_EQ(WinIni("Wallpaper"), "?");
}

TEST_F(WallpaperCommandTest, DisabledWithoutAPicture) {
  Start({});
  Command(CM_SAVE_WALLPAPER);
  EXPECT_TRUE(Shown().empty());
}
}  // namespace
