// Install and Remove Zentrope and Install and Remove extension from the
// Utilities menu: their prompts and questions, the log they open and what
// they leave in the classes root.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/command_ids.h"
#include "command_window_fixture.h"
#include "desktop_environment.h"
#include "settings/run_mode.h"
#include "system/registry_store.h"

namespace {
class UtilityCommandsTest : public CommandWindowTest {
 protected:
  void TearDown() override {
    CommandWindowTest::TearDown();
    SetProgramPath(started_as_);
  }
  std::optional<std::string> Class(const char* key) { return TRegistryStore().QueryValue(key); }

  TDesktopEnvironment desktop_{dir_.path()};
  std::string started_as_ = ProgramPath();
};

TEST_F(UtilityCommandsTest, InstallExtensionTakesThreeCapitalLetters) {
  Start({});
  Answer(ScriptedAnswer::Text("tif"));
  Command(CM_INSTALL_EXTENSION);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].texts.front(), "Enter three-character file extension:");
  EXPECT_EQ(Class(".TIF"), "Zentrope");
  EXPECT_EQ(Settings().Get(IntKey::ShowLog), 1) << "the log is shown first";
  EXPECT_TRUE(LogHas("Associated .TIF files with Zentrope"));

  Answer(ScriptedAnswer::Text("tif"));
  Command(CM_REMOVE_EXTENSION);
  EXPECT_EQ(Class(".TIF"), std::nullopt);
  EXPECT_TRUE(LogHas("Disassociated .TIF files from Zentrope"));
}

TEST_F(UtilityCommandsTest, ACancelledExtensionPromptChangesNothing) {
  Start({});
  Answer(ScriptedAnswer::Cancel(DialogKind::kCustom));
  Command(CM_INSTALL_EXTENSION);
  EXPECT_EQ(Settings().Get(IntKey::ShowLog), 0);
  EXPECT_EQ(access(TRegistryStore().File().c_str(), F_OK), -1);
}

TEST_F(UtilityCommandsTest, InstallAndRemoveZentropeAskAndLog) {
  const std::string program = dir_.File("zentrope");
  WriteFileText(program, "#!/bin/sh\n");
  chmod(program.c_str(), 0755);
  SetProgramPath(program);
  Start({});

  Answer(ScriptedAnswer::Box(DialogAnswer::kYes));
  Answer(ScriptedAnswer::Box(DialogAnswer::kYes));
  Command(CM_INSTALL);
  ASSERT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Shown()[1].caption, "Install Zentrope");
  const std::string exe = desktop_.WindowsDirectory() + "/zentrp32.exe";
  EXPECT_TRUE(LogHas("Copied " + program + " to " + exe));
  EXPECT_TRUE(LogHas("[CreateGroup(Accessories)]"));
  EXPECT_TRUE(LogHas("Created icon in Accessories group"));
  EXPECT_EQ(Class("Zentrope\\shell\\open\\command"), exe + " %1");
  EXPECT_EQ(Class(".gif"), "Zentrope");

  Answer(ScriptedAnswer::Box(DialogAnswer::kYes));
  Answer(ScriptedAnswer::Box(DialogAnswer::kYes));
  Command(CM_REMOVE);
  EXPECT_EQ(Shown()[2].caption, "Remove Zentrope");
  EXPECT_EQ(Class(".gif"), std::nullopt);
  EXPECT_TRUE(LogHas("Deleted icon from Accessories group"));
  EXPECT_TRUE(LogHas("Deleted " + exe));
  EXPECT_EQ(access(exe.c_str(), F_OK), -1);
}
}  // namespace
