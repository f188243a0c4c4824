#include "system/program_manager.h"

#include <gtest/gtest.h>

#include "desktop_sandbox.h"

namespace {
class ProgramManagerTest : public ::testing::Test {
 protected:
  TDesktopSandbox desktop;
  TProgramManager manager{desktop.Places(), desktop.WindowsDirectory()};
};

TEST_F(ProgramManagerTest, InstallCommandsMakeAnAccessoriesLauncher) {
  for (const char* command :
       {"[CreateGroup(Accessories)]", "[ShowGroup(Accessories,2)]", "[ShowGroup(Accessories,1)]",
        "[ReplaceItem(Zentrope Tarvex)]", "[AddItem(zentrp32.exe,Zentrope Tarvex)]"}) {
    EXPECT_TRUE(manager.Execute(command)) << command;
  }
  const std::string path = manager.LauncherPath("Zentrope Tarvex");
  EXPECT_EQ(path, desktop.Places().Applications() + "/zentrope-tarvex.desktop");
  const std::string text = ReadFileText(path);
  EXPECT_NE(text.find("\nName=Zentrope Tarvex\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nExec=" + desktop.WindowsDirectory() + "/zentrp32.exe %F\n"),
            std::string::npos);
  EXPECT_NE(text.find("\nCategories=Utility;\n"), std::string::npos);

  EXPECT_TRUE(manager.Execute("[ShowGroup(Accessories,1)] [DeleteItem(Zentrope Tarvex)]"));
  EXPECT_TRUE(ReadFileText(path).empty());
  EXPECT_TRUE(manager.Execute("[DeleteItem(Zentrope Tarvex)]")) << "already gone is done";
}

TEST_F(ProgramManagerTest, ItemsOutsideAccessoriesAndWithQuotedArguments) {
  EXPECT_TRUE(manager.Execute("[CreateGroup(Graphics)][AddItem(\"/opt/a,b/viewer\",\"A, B\")]"));
  const std::string text = ReadFileText(manager.LauncherPath("A, B"));
  EXPECT_NE(text.find("\nExec=/opt/a,b/viewer %F\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nCategories=Graphics;\n"), std::string::npos);
  EXPECT_EQ(manager.Group(), "Graphics");
}

TEST_F(ProgramManagerTest, RefusesWhatItCannotCarryOut) {
  for (const char* command : {"CreateGroup(Accessories)", "[AddItem(z.exe", "[Reboot()]",
                              "[AddItem()]", "[()]", "[CreateGroup()]"}) {
    EXPECT_FALSE(manager.Execute(command)) << command;
  }
}

TEST(SendProgmanCommand, LogsTheCommandAsSentAndAnyFailure) {
  TDesktopSandbox desktop;
  EXPECT_TRUE(SendProgmanCommand("[CreateGroup(Accessories)]"));
  EXPECT_TRUE(SendProgmanCommand("[AddItem(zentrp32.exe,Zentrope Tarvex)]"));
  EXPECT_FALSE(SendProgmanCommand("[Nonsense]"));
  EXPECT_EQ(desktop.log,
            (std::vector<std::string>{"[CreateGroup(Accessories)]",
                                      "[AddItem(zentrp32.exe,Zentrope Tarvex)]", "[Nonsense]",
                                      "Program manager could not carry out [Nonsense]"}));
  const std::string text =
      ReadFileText(desktop.Places().Applications() + "/zentrope-tarvex.desktop");
  EXPECT_NE(text.find("Categories=Utility;"), std::string::npos) << "the group was kept";
}
}  // namespace
