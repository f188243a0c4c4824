#include "app/run_mode_detection.h"

#include <gtest/gtest.h>

#include "app/startup_hints.h"
#include "platform/platform_info.h"

namespace {

TEST(RunModeDetection, ScreenSaverExtensionInAnyCase) {
  EXPECT_EQ(RunModeFromArguments("/usr/bin/zentrope", ""), RunMode::Viewer);
  EXPECT_EQ(RunModeFromArguments("/usr/bin/zentrope", "/c"), RunMode::Viewer);
  EXPECT_EQ(RunModeFromArguments("", "/c"), RunMode::Viewer);
  EXPECT_EQ(RunModeFromArguments("/usr/bin/scr", ""), RunMode::Viewer);
  EXPECT_EQ(RunModeFromArguments("zentsv32.SCR", ""), RunMode::Saver);
  for (const char* run : {"/s", "/p", "/a", "-S", "x", "/", "-"}) {
    EXPECT_EQ(RunModeFromArguments("/x/zentsv32.Scr", run), RunMode::Saver) << run;
  }
  for (const char* setup : {"/c", "-C", "/c:1234", "c", "Config"}) {
    EXPECT_EQ(RunModeFromArguments("/x/zentsv32.scr", setup), RunMode::SaverSetup) << setup;
  }
}

TEST(RunModeDetection, SetsProgramPathAndLowerCasesItOnOldPlatforms) {
  char program[] = "/opt/Zentsv32.SCR";
  char setup[] = "/c";
  char* argv[] = {program, setup, nullptr};
  DetectRunModeAtStart(2, argv);
  EXPECT_EQ(CurrentRunMode(), RunMode::SaverSetup);
  EXPECT_EQ(ProgramPath(), "/opt/Zentsv32.SCR");

  SetPlatformMajorVersion(3);
  DetectRunModeAtStart(1, argv);
  EXPECT_EQ(CurrentRunMode(), RunMode::Saver);
  EXPECT_EQ(ProgramPath(), "/opt/zentsv32.scr");
  SetPlatformMajorVersion(4);

  char* no_arguments[] = {nullptr};
  DetectRunModeAtStart(0, no_arguments);
  EXPECT_EQ(CurrentRunMode(), RunMode::Viewer);
}

TEST(StartupHints, DependOnModeDisplayAndPlatform) {
  EXPECT_TRUE(FirstStartHints(RunMode::Saver, 4, 3).empty());
  EXPECT_TRUE(FirstStartHints(RunMode::SaverSetup, 24, 4).empty());

  const auto modern = FirstStartHints(RunMode::Viewer, 24, 4);
  ASSERT_EQ(modern.size(), 2u);
  EXPECT_EQ(modern[0],
            "You can install and remove Zentrope and its Screen Saver by using commands in the "
            "Utilities menu.  Make sure you use the Remove command before deleting Zentrope.");
  EXPECT_EQ(modern[1], "You can get help at any time by pressing F1.");

  const auto old_palette = FirstStartHints(RunMode::Viewer, 4, 3);
  ASSERT_EQ(old_palette.size(), 4u);
  EXPECT_NE(old_palette[0].find("<Options|Change System Settings...>"), std::string::npos);
  EXPECT_EQ(old_palette[1].rfind("If you have less than 8 MBytes", 0), 0u);

  const auto palette = FirstStartHints(RunMode::Viewer, 1, 4);
  ASSERT_EQ(palette.size(), 3u);
  EXPECT_EQ(palette[0],
            "You can significantly improve the image quality by configuring Windows to use 256 "
            "(or more) colors.  You can probably do this by clicking on the desktop with the "
            "right mouse buton and using Settings.");
  EXPECT_EQ(FirstStartHints(RunMode::Viewer, 8, 3).size(), 3u);
}

}  // namespace
