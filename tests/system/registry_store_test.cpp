#include "system/registry_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/headless/headless_dialogs.h"
#include "support/temp_dir.h"
#include "system/startup_registration.h"

namespace {
class RegistryStoreTest : public ::testing::Test {
 protected:
  TempDir dir;
  TRegistryStore registry{dir.File("windir/registry.reg")};
};

TEST_F(RegistryStoreTest, ValuesRoundTripThroughTheFileWithoutCaseInNames) {
  EXPECT_FALSE(registry.QueryValue("Zentrope"));
  ASSERT_TRUE(registry.SetValue("Zentrope", "", "Zentrope File"));
  ASSERT_TRUE(registry.SetValue("Zentrope\\shell\\open\\command", "",
                                "/opt/z/zentrp32.exe \"%1\" \\ back"));
  ASSERT_TRUE(registry.SetValue(".gif", "", "Zentrope"));
  ASSERT_TRUE(registry.SetValue(".GIF", "Content Type", "image/gif"));
  ASSERT_TRUE(registry.SetValue(".gif", "", "Other"));

  const TRegistryStore again(registry.File());
  EXPECT_EQ(again.QueryValue("zentrope"), "Zentrope File");
  EXPECT_EQ(again.QueryValue("ZENTROPE\\Shell\\Open\\Command"),
            "/opt/z/zentrp32.exe \"%1\" \\ back");
  EXPECT_EQ(again.QueryValue(".gif"), "Other") << "replaced, not added";
  EXPECT_EQ(again.QueryValue(".gif", "content type"), "image/gif");
  EXPECT_FALSE(again.QueryValue(".gif", "Missing"));
  EXPECT_TRUE(again.KeyExists("Zentrope\\shell"));
  EXPECT_FALSE(again.KeyExists("Zentrope\\she"));
  EXPECT_EQ(again.QueryValue("Zentrope", "", 14), "Zentrope File");
  EXPECT_FALSE(again.QueryValue("Zentrope", "", 13)) << "the value does not fit the buffer";

  const std::string text = ReadFileText(registry.File());
  EXPECT_TRUE(text.starts_with("REGEDIT4\n\n[HKEY_CLASSES_ROOT\\Zentrope]\n@=\"Zentrope File\"\n"))
      << text;
}

TEST_F(RegistryStoreTest, DeletingAKeyTakesItsSubkeysAndKeepsEverythingElse) {
  ASSERT_TRUE(registry.SetValue("Zentrope", "", "Zentrope File"));
  ASSERT_TRUE(registry.SetValue("Zentrope\\shell\\open\\command", "", "a %1"));
  ASSERT_TRUE(registry.SetValue("Zentrope\\shell\\print\\command", "", "a -p %1"));
  ASSERT_TRUE(registry.SetValue("Zentrope\\shellex", "", "kept"));
  ASSERT_TRUE(registry.SetValue("Zentrope\\save\\.gif", "", "Foo"));

  ASSERT_TRUE(registry.DeleteKey("zentrope\\SHELL"));
  EXPECT_FALSE(registry.KeyExists("Zentrope\\shell"));
  EXPECT_FALSE(registry.QueryValue("Zentrope\\shell\\print\\command"));
  EXPECT_EQ(registry.QueryValue("Zentrope\\shellex"), "kept");
  EXPECT_EQ(registry.QueryValue("Zentrope\\save\\.gif"), "Foo");
  EXPECT_TRUE(registry.DeleteKey("Zentrope\\shell")) << "already gone";

  ASSERT_TRUE(registry.DeleteValue("Zentrope\\save\\.gif"));
  EXPECT_FALSE(registry.QueryValue("Zentrope\\save\\.gif"));
  EXPECT_TRUE(registry.KeyExists("Zentrope\\save\\.gif")) << "the key itself stays";
}

TEST_F(RegistryStoreTest, RefusesTextThatWouldBreakTheFileAndKeepsForeignLines) {
  TRegistryStore hand(dir.File("hand.reg"));
  ASSERT_TRUE(WriteFileText(hand.File(),
                            "REGEDIT4\n; written by hand\n[HKEY_CLASSES_ROOT\\.txt]\n"
                            "@=\"txtfile\"\nodd line\n"));
  EXPECT_FALSE(hand.SetValue("a", "", "two\nlines"));
  EXPECT_FALSE(hand.SetValue("a", "na\rme", "v"));
  EXPECT_FALSE(hand.SetValue("", "", "v"));
  EXPECT_FALSE(hand.SetValue("a\\\\b", "", "v"));
  EXPECT_FALSE(hand.SetValue("a]", "", "v"));
  EXPECT_FALSE(hand.SetValue("\\a", "", "v"));
  ASSERT_TRUE(hand.SetValue(".txt", "", "Zentrope"));
  const std::string text = ReadFileText(hand.File());
  EXPECT_NE(text.find("; written by hand\n"), std::string::npos);
  EXPECT_NE(text.find("odd line\n"), std::string::npos);
  EXPECT_EQ(hand.QueryValue(".txt"), "Zentrope");
}

TEST_F(RegistryStoreTest, AnUnreadableStoreIsNeverReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  ASSERT_TRUE(registry.SetValue("Zentrope", "", "Zentrope File"));
  ASSERT_EQ(::chmod(registry.File().c_str(), 0), 0);
  EXPECT_FALSE(registry.SetValue(".gif", "", "Zentrope"));
  ASSERT_EQ(::chmod(registry.File().c_str(), 0644), 0);
  EXPECT_FALSE(registry.QueryValue(".gif"));
  EXPECT_EQ(registry.QueryValue("Zentrope"), "Zentrope File");
}

TEST_F(RegistryStoreTest, TheStartCheckWritesTheClassOnceAndReportsAStoreThatFails) {
  TDisplay display;
  THeadlessDialogs dialogs(display);
  ASSERT_TRUE(registry.SetValue("Zentrope", "", "zentrope file"));
  EXPECT_TRUE(CheckRegistryAtStart(dialogs, registry));
  EXPECT_EQ(registry.QueryValue("Zentrope"), "Zentrope File") << "case counts";
  EXPECT_TRUE(dialogs.Shown().empty());

  ASSERT_TRUE(WriteFileText(dir.File("blocker"), "a file where the folder should be"));
  TRegistryStore broken(dir.File("blocker/registry.reg"));
  EXPECT_FALSE(CheckRegistryAtStart(dialogs, broken));
  ASSERT_EQ(dialogs.Shown().size(), 1u);
  EXPECT_EQ(dialogs.Shown()[0].caption, "Zentrope");
  EXPECT_EQ(dialogs.Shown()[0].icon, MessageBoxIcon::kNone);
  EXPECT_EQ(dialogs.Shown()[0].texts[0],
            "Your Windows Registration Database is corrupt.  Please shut down Windows, delete "
            "REG.DAT from the Windows directory and restart Windows.");
}
}  // namespace
