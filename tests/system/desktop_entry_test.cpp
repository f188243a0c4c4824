#include "system/desktop_entry.h"

#include <gtest/gtest.h>

#include "desktop_sandbox.h"
#include "platform/system_folder.h"
#include "system/classes_root.h"
#include "system/mime_types.h"

namespace {
TEST(ExecWord, QuotesAndEscapesWhatTheDesktopWouldReadOtherwise) {
  EXPECT_EQ(ExecWord("/opt/z/zentrp32.exe"), "/opt/z/zentrp32.exe");
  EXPECT_EQ(ExecWord("/my pics/z.exe"), "\"/my pics/z.exe\"");
  EXPECT_EQ(ExecWord("/a/100%.exe"), "/a/100%%.exe");
  // Quoted: $ and " get a backslash, which the string level doubles.
  EXPECT_EQ(ExecWord("/a/$x\"y"), "\"/a/\\\\$x\\\\\"y\"");
  EXPECT_EQ(ExecWord("/a/b\\c"), "\"/a/b\\\\\\\\c\"");
  EXPECT_EQ(ExecWord("/a/line\nbreak"), std::nullopt);
  EXPECT_EQ(ExecWord(""), std::nullopt);
}

TEST(ProgramEntryText, OpensWithTheOpenCommandAndPrintsWithThePrintCommand) {
  EXPECT_EQ(ProgramOfOpenCommand("/w/zentrp32.exe %1"), "/w/zentrp32.exe");
  EXPECT_EQ(ProgramOfOpenCommand("/w/zentrp32.exe -p %1"), std::nullopt);
  EXPECT_EQ(ProgramOfPrintCommand("/w/zentrp32.exe -p %1"), "/w/zentrp32.exe");
  EXPECT_EQ(ProgramOfOpenCommand("%1"), std::nullopt);

  const std::optional<std::string> text =
      ProgramEntryText("/w w/zentrp32.exe %1", "/w w/zentrp32.exe -p %1");
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("\nExec=\"/w w/zentrp32.exe\" %F\n"), std::string::npos) << *text;
  EXPECT_NE(text->find("\nActions=print;\n"), std::string::npos);
  EXPECT_NE(text->find("[Desktop Action print]\nName=Print\nExec=\"/w w/zentrp32.exe\" -p %f\n"),
            std::string::npos);
  EXPECT_NE(text->find("image/gif;"), std::string::npos);
  EXPECT_NE(text->find("application/x-zentrope-mci;"), std::string::npos);

  const std::optional<std::string> without_print = ProgramEntryText("/w/z %1", std::nullopt);
  ASSERT_TRUE(without_print);
  EXPECT_EQ(without_print->find("Actions="), std::string::npos);
  EXPECT_EQ(ProgramEntryText("no suffix", std::nullopt), std::nullopt);
}

TEST(MimeTypesOf, TableFirstWithoutCaseThenTheDatabaseGlobs) {
  TDesktopSandbox desktop;
  const XdgPlaces places = desktop.Places();
  EXPECT_EQ(MimeTypesOf(".TIF", places), std::vector<std::string>{"image/tiff"});
  EXPECT_EQ(MimeTypesOf(".01", places), std::vector<std::string>{"text/x-zentrope-uuencode-part"});
  ASSERT_TRUE(EnsureDirectory(places.MimeDatabase()));
  ASSERT_TRUE(WriteFileText(places.MimeDatabase() + "/globs2",
                            "# comment\n50:application/x-foo:*.foo\n40:text/x-foo2:*.FOO:cs\n"
                            "broken line\n50:image/x-bar:*.foobar\n"));
  EXPECT_EQ(MimeTypesOf(".Foo", places),
            (std::vector<std::string>{"application/x-foo", "text/x-foo2"}));
  // What no database knows gets the program's own type, if a type can name it.
  EXPECT_EQ(MimeTypesOf(".Nothing-Knows+This", places),
            std::vector<std::string>{"application/x-zentrope-extension-nothing-knows+this"});
  EXPECT_TRUE(MimeTypesOf(".a*b", places).empty());
  EXPECT_TRUE(MimeTypesOf(".<x>", places).empty());
}

class ClassesRootTest : public ::testing::Test {
 protected:
  TDesktopSandbox desktop;
  TRegistryStore store{desktop.WindowsDirectory() + "/registry.reg"};
  TClassesRoot classes{store, desktop.Places()};
};

TEST_F(ClassesRootTest, CommandKeysMakeTheProgramsEntryAndItsTypes) {
  const XdgPlaces places = desktop.Places();
  ASSERT_TRUE(classes.SetValue(kOpenCommandKey, "/w/zentrp32.exe %1"));
  ASSERT_TRUE(classes.SetValue(kPrintCommandKey, "/w/zentrp32.exe -p %1"));
  const std::string entry = ReadFileText(ProgramEntryPath(places));
  EXPECT_NE(entry.find("Exec=/w/zentrp32.exe %F\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("Exec=/w/zentrp32.exe -p %f\n"), std::string::npos);
  EXPECT_EQ(ReadFileText(MimePackagePath(places)), MimePackageText(true, {}));
  EXPECT_EQ(store.QueryValue("zentrope\\SHELL\\open\\command"), "/w/zentrp32.exe %1");

  ASSERT_TRUE(classes.DeleteKey(kShellKey));
  EXPECT_TRUE(ReadFileText(ProgramEntryPath(places)).empty());
  EXPECT_TRUE(ReadFileText(MimePackagePath(places)).empty());
}

TEST_F(ClassesRootTest, ACommandNoEntryCanCarryIsRefusedAndUndone) {
  ASSERT_TRUE(classes.SetValue(kOpenCommandKey, "/w/zentrp32.exe %1"));
  EXPECT_FALSE(classes.SetValue(kOpenCommandKey, "/w/tab\there %1"));
  EXPECT_EQ(store.QueryValue(kOpenCommandKey), "/w/zentrp32.exe %1");
  EXPECT_NE(ReadFileText(ProgramEntryPath(desktop.Places())).find("Exec=/w/zentrp32.exe %F"),
            std::string::npos);
}

TEST_F(ClassesRootTest, ValuesLongerThanTheBufferAreNotRead) {
  ASSERT_TRUE(classes.SetValue(".gif", std::string(10, 'x')));
  EXPECT_EQ(classes.QueryValue(".gif", 11), std::string(10, 'x'));
  EXPECT_EQ(classes.QueryValue(".gif", 10), std::nullopt);
}
}  // namespace
