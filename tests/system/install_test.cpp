#include "system/install.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "desktop_sandbox.h"
#include "platform/display.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/system_folder.h"
#include "support/peer_tools.h"
#include "system/associations.h"
#include "system/mime_defaults.h"

namespace {
class InstallTest : public ::testing::Test {
 protected:
  InstallTest() {
    EnsureDirectory(desktop.Root() + "/bin");
    WriteFileText(program, "#!/bin/sh\nexit 0\n");
    chmod(program.c_str(), 0755);
    WriteFileText(desktop.Root() + "/bin/zentrope.html", "<html>help</html>");
  }

  void Answer(DialogAnswer first, DialogAnswer second) {
    dialogs.Script(ScriptedAnswer::Box(first));
    dialogs.Script(ScriptedAnswer::Box(second));
  }

  bool Logged(const std::string& line) const {
    return std::find(desktop.log.begin(), desktop.log.end(), line) != desktop.log.end();
  }
  std::string Installed(const char* name) const { return desktop.WindowsDirectory() + "/" + name; }
  std::string Launcher() const {
    return desktop.Places().Applications() + "/zentrope-tarvex.desktop";
  }

  TDesktopSandbox desktop;
  std::string program = desktop.Root() + "/bin/zentrope";
  InstallPlaces places{program, desktop.WindowsDirectory()};
  TRegistryStore store{desktop.WindowsDirectory() + "/registry.reg"};
  TClassesRoot classes{store, desktop.Places()};
  TDisplay display;
  THeadlessDialogs dialogs{display};
};

TEST_F(InstallTest, CopiesTheProgramMakesTheIconAndAssociatesEveryExtension) {
  WriteFileText(Installed("zentrp32.ini"), "[Zentrope]\n");
  Answer(DialogAnswer::kYes, DialogAnswer::kYes);
  InstallZentrope(dialogs, kNoWindow, places, classes);

  ASSERT_EQ(dialogs.Shown().size(), 2u);
  EXPECT_EQ(dialogs.Shown()[0].caption, "Install Zentrope");
  EXPECT_EQ(dialogs.Shown()[0].buttons, MessageBoxButtons::kYesNo);
  EXPECT_EQ(dialogs.Shown()[0].texts.front(),
            "Do you want to create an icon for Zentrope in the Accessories folder?");
  EXPECT_EQ(access(Installed("zentrp32.ini").c_str(), F_OK), -1);
  EXPECT_EQ(ReadFileText(Installed("zentrp32.hlp")), "<html>help</html>");
  EXPECT_EQ(access(Installed("zentrp32.exe").c_str(), X_OK), 0) << "the copy runs";

  const std::string exe = Installed("zentrp32.exe");
  EXPECT_EQ(desktop.log[0], "Deleted " + Installed("zentrp32.ini"));
  EXPECT_TRUE(Logged("Copied " + program + " to " + exe));
  EXPECT_TRUE(Logged("[AddItem(zentrp32.exe,Zentrope Tarvex)]"));
  EXPECT_TRUE(Logged("Created icon in Accessories group"));
  EXPECT_EQ(desktop.log.back(), "Associated .01 files with Zentrope");
  EXPECT_NE(ReadFileText(Launcher()).find("Exec=" + exe + " %F"), std::string::npos);

  EXPECT_EQ(store.QueryValue("Zentrope\\shell\\open\\command"), exe + " %1");
  EXPECT_EQ(store.QueryValue("Zentrope\\shell\\print\\command"), exe + " -p %1");
  EXPECT_EQ(store.QueryValue(".mmm"), "Zentrope");
  EXPECT_FALSE(store.KeyExists(".zip"));
  EXPECT_EQ(DefaultApplication(desktop.Places(), "video/x-flic"), "zentrope.desktop");
}

TEST_F(InstallTest, RunningFromTheSystemFolderCopiesAndDeletesNothing) {
  const std::string exe = Installed("zentrp32.exe");
  WriteFileText(exe, "#!/bin/sh\n");
  chmod(exe.c_str(), 0755);
  WriteFileText(Installed("zentrp32.ini"), "[Zentrope]\n");
  places.program = exe;
  Answer(DialogAnswer::kNo, DialogAnswer::kYes);
  InstallZentrope(dialogs, kNoWindow, places, classes);

  EXPECT_EQ(ReadFileText(Installed("zentrp32.ini")), "[Zentrope]\n");
  EXPECT_EQ(desktop.log.front(), "Associated .gif files with Zentrope");
  EXPECT_TRUE(ReadFileText(Launcher()).empty()) << "no icon was asked for";

  desktop.log.clear();
  Answer(DialogAnswer::kYes, DialogAnswer::kNo);
  RemoveZentrope(dialogs, kNoWindow, places, classes);
  EXPECT_EQ(ReadFileText(Installed("zentrp32.ini")), "[Zentrope]\n");
  EXPECT_EQ(desktop.log.back(), "Disassociated .01 files from Zentrope");
}

TEST_F(InstallTest, AProgramThatWasNotCopiedGetsNoIconOrAssociation) {
  places.program = desktop.Root() + "/bin/missing";
  Answer(DialogAnswer::kYes, DialogAnswer::kYes);
  InstallZentrope(dialogs, kNoWindow, places, classes);

  EXPECT_TRUE(dialogs.Shown().empty());
  EXPECT_TRUE(Logged("Error occurred while copying " + places.program + " to " +
                     Installed("zentrp32.exe")));
  EXPECT_EQ(desktop.log.back(),
            Installed("zentrp32.exe") + " was not copied: no icon or associations made for it");
  EXPECT_FALSE(store.KeyExists("Zentrope"));
  EXPECT_TRUE(ReadFileText(desktop.Places().MimeAppsList()).empty());
}

TEST_F(InstallTest, AMissingHelpFileIsLoggedAndTheInstallGoesOn) {
  unlink((desktop.Root() + "/bin/zentrope.html").c_str());
  Answer(DialogAnswer::kNo, DialogAnswer::kNo);
  InstallZentrope(dialogs, kNoWindow, places, classes);
  EXPECT_TRUE(Logged("Error occurred while copying " + desktop.Root() + "/bin/zentrope.hlp to " +
                     Installed("zentrp32.hlp")));
  EXPECT_EQ(access(Installed("zentrp32.exe").c_str(), X_OK), 0);
  EXPECT_EQ(dialogs.Shown().size(), 2u);
}

TEST_F(InstallTest, RemoveUndoesTheInstall) {
  ASSERT_TRUE(store.SetValue(".gif", "", "Foo"));
  Answer(DialogAnswer::kYes, DialogAnswer::kYes);
  InstallZentrope(dialogs, kNoWindow, places, classes);
  desktop.log.clear();

  Answer(DialogAnswer::kYes, DialogAnswer::kYes);
  RemoveZentrope(dialogs, kNoWindow, places, classes);
  EXPECT_EQ(dialogs.Shown()[2].texts.front(),
            "Do you want to remove Zentrope's File Manager associations?");
  EXPECT_EQ(dialogs.Shown()[3].caption, "Remove Zentrope");
  EXPECT_EQ(store.QueryValue(".gif"), "Foo");
  EXPECT_FALSE(store.KeyExists("Zentrope\\shell"));
  EXPECT_FALSE(store.KeyExists("Zentrope\\save"));
  EXPECT_FALSE(store.KeyExists(".jpg"));
  EXPECT_EQ(store.QueryValue("Zentrope"), std::nullopt);
  EXPECT_TRUE(ReadFileText(Launcher()).empty());
  EXPECT_TRUE(Logged("Deleted icon from Accessories group"));
  EXPECT_EQ(desktop.log[desktop.log.size() - 3], "Deleted " + Installed("zentrp32.ini"));
  EXPECT_EQ(desktop.log.back(), "Deleted " + Installed("zentrp32.exe"));
  EXPECT_EQ(access(Installed("zentrp32.exe").c_str(), F_OK), -1);
}

TEST_F(InstallTest, DoesNothingWhileAnotherUtilityRuns) {
  const TUtilityRun other;
  ASSERT_TRUE(other.Started());
  InstallZentrope(dialogs, kNoWindow, places, classes);
  RemoveZentrope(dialogs, kNoWindow, places, classes);
  EXPECT_TRUE(dialogs.Shown().empty());
  EXPECT_TRUE(desktop.log.empty());
}

TEST_F(InstallTest, TheDesktopsToolsSeeTheAssociationAndItsRemoval) {
  REQUIRE_PEER_TOOL("xdg-mime");
  REQUIRE_PEER_TOOL("gio");
  WriteOtherApplication(desktop.Places(), "old.desktop");
  ASSERT_EQ(RunCommand("xdg-mime default old.desktop image/gif"), 0);

  Answer(DialogAnswer::kNo, DialogAnswer::kYes);
  InstallZentrope(dialogs, kNoWindow, places, classes);
  EXPECT_EQ(CommandOutput("xdg-mime query default image/gif"), "zentrope.desktop\n");
  EXPECT_NE(CommandOutput("gio mime image/gif").find(": zentrope.desktop"), std::string::npos);

  Answer(DialogAnswer::kYes, DialogAnswer::kNo);
  RemoveZentrope(dialogs, kNoWindow, places, classes);
  EXPECT_EQ(CommandOutput("xdg-mime query default image/gif"), "old.desktop\n");
  EXPECT_NE(CommandOutput("gio mime image/gif").find(": old.desktop"), std::string::npos);
}

TEST_F(InstallTest, AnExtensionOfTheUsersOwnOpensWithTheProgramOnTheDesktop) {
  REQUIRE_PEER_TOOL("update-mime-database");
  REQUIRE_PEER_TOOL("xdg-mime");
  REQUIRE_PEER_TOOL("gio");
  Answer(DialogAnswer::kNo, DialogAnswer::kYes);
  InstallZentrope(dialogs, kNoWindow, places, classes);
  ASSERT_TRUE(AssociateExtension(classes, ".XYZ"));

  const std::string file = desktop.Root() + "/picture.xyz";
  WriteFileText(file, "a picture of the user's own kind");
  const std::string type = "application/x-zentrope-extension-xyz";
  const std::string file_type = "gio info -a standard::content-type " + ShellQuote(file);
  EXPECT_NE(CommandOutput(file_type).find(type), std::string::npos);
  EXPECT_EQ(CommandOutput("xdg-mime query default " + type), "zentrope.desktop\n");
  EXPECT_NE(CommandOutput("gio mime " + type).find(": zentrope.desktop"), std::string::npos);
  EXPECT_NE(ReadFileText(desktop.Places().Applications() + "/zentrope.desktop").find(type + ";"),
            std::string::npos);

  ASSERT_TRUE(DisassociateExtension(classes, ".XYZ"));
  EXPECT_EQ(CommandOutput("xdg-mime query default " + type), "");
  EXPECT_EQ(CommandOutput(file_type).find(type), std::string::npos);
}

TEST_F(InstallTest, TheDeclaredTypesReachTheMimeDatabase) {
  REQUIRE_PEER_TOOL("update-mime-database");
  REQUIRE_PEER_TOOL("gio");
  Answer(DialogAnswer::kNo, DialogAnswer::kYes);
  InstallZentrope(dialogs, kNoWindow, places, classes);
  WriteFileText(desktop.Root() + "/show.sli", "a.gif\n");
  EXPECT_NE(CommandOutput("gio info -a standard::content-type " +
                          ShellQuote(desktop.Root() + "/show.sli"))
                .find("application/x-zentrope-slideshow"),
            std::string::npos);
}
}  // namespace
