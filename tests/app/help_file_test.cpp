#include "app/commands/help_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

TEST(HelpFileBeside, TheBuiltPageFirstThenTheInstalledCopysHelp) {
  TempDir dir;
  const std::string installed = dir.File("zentrp32.exe");
  // Neither there: the name the build gives, so a viewer can say what it missed.
  EXPECT_EQ(HelpFileBeside(installed), dir.File("zentrp32.html"));
  ASSERT_TRUE(WriteFileText(dir.File("zentrp32.hlp"), "<html>help</html>"));
  EXPECT_EQ(HelpFileBeside(installed), dir.File("zentrp32.hlp"));
  ASSERT_TRUE(WriteFileText(dir.File("zentrp32.html"), "<html>newer help</html>"));
  EXPECT_EQ(HelpFileBeside(installed), dir.File("zentrp32.html"));
}

TEST(HelpFileBeside, APackagedProgramFindsItsHelpUnderShare) {
  TempDir dir;
  const std::string program = dir.File("bin/zentrope");
  std::filesystem::create_directories(dir.File("bin"));
  std::filesystem::create_directories(dir.File("share/zentrope"));
  ASSERT_TRUE(WriteFileText(program, ""));
  ASSERT_TRUE(WriteFileText(dir.File("share/zentrope/zentrope.html"), "<html>help</html>"));
  EXPECT_EQ(HelpFileBeside(program), dir.File("bin/../share/zentrope/zentrope.html"));
  ASSERT_TRUE(WriteFileText(dir.File("bin/zentrope.html"), "<html>built help</html>"));
  EXPECT_EQ(HelpFileBeside(program), dir.File("bin/zentrope.html"));
}
