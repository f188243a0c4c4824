#include "app/commands/help_file.h"

#include <gtest/gtest.h>

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
