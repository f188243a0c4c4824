#include "system/associations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "desktop_sandbox.h"
#include "system/mime_defaults.h"
#include "system/mime_types.h"

namespace {
class AssociationsTest : public ::testing::Test {
 protected:
  TDesktopSandbox desktop;
  TRegistryStore store{desktop.WindowsDirectory() + "/registry.reg"};
  TClassesRoot classes{store, desktop.Places()};

  std::optional<std::string> GifDefault() const {
    return DefaultApplication(desktop.Places(), "image/gif");
  }
};

TEST_F(AssociationsTest, AnotherClassIsSavedAndGivenBackOnRemoval) {
  ASSERT_TRUE(store.SetValue(".gif", "", "Foo"));

  ASSERT_TRUE(AssociateExtension(classes, ".gif"));
  EXPECT_EQ(store.QueryValue("Zentrope\\save\\.gif"), "Foo");
  EXPECT_EQ(store.QueryValue(".gif"), "Zentrope");
  EXPECT_EQ(GifDefault(), "zentrope.desktop");
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"Saved association of .gif files with Foo",
                                                   "Associated .gif files with Zentrope"}));

  desktop.log.clear();
  ASSERT_TRUE(DisassociateExtension(classes, ".gif"));
  EXPECT_EQ(store.QueryValue(".gif"), "Foo");
  EXPECT_FALSE(store.KeyExists("Zentrope\\save\\.gif"));
  EXPECT_EQ(GifDefault(), std::nullopt) << "Foo has no desktop entry to be the default";
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"Restored association of .gif files with Foo"}));
}

TEST_F(AssociationsTest, AssociatingTwiceKeepsTheFirstSavedClass) {
  ASSERT_TRUE(store.SetValue(".bmp", "", "Paint"));
  ASSERT_TRUE(AssociateExtension(classes, ".bmp"));
  ASSERT_TRUE(AssociateExtension(classes, ".bmp"));
  EXPECT_EQ(store.QueryValue("Zentrope\\save\\.bmp"), "Paint");
  EXPECT_EQ(desktop.log.back(), "Associated .bmp files with Zentrope");
  EXPECT_EQ(desktop.log.size(), 3u) << "the second run saved nothing";
}

TEST_F(AssociationsTest, RemovalWithNothingSavedTakesOnlyItsOwnClass) {
  ASSERT_TRUE(AssociateExtension(classes, ".pcx"));
  ASSERT_TRUE(AssociateExtension(classes, ".tga"));
  ASSERT_TRUE(store.SetValue(".tga", "", "Other"));  // another program took .tga over

  desktop.log.clear();
  EXPECT_TRUE(DisassociateExtension(classes, ".pcx"));
  EXPECT_TRUE(DisassociateExtension(classes, ".tga"));
  EXPECT_FALSE(store.KeyExists(".pcx"));
  EXPECT_EQ(store.QueryValue(".tga"), "Other");
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"Disassociated .pcx files from Zentrope"}));
}

TEST_F(AssociationsTest, TheDesktopsOwnDefaultIsThePreviousClass) {
  WriteOtherApplication(desktop.Places(), "old.desktop");
  ASSERT_TRUE(SetDefaultApplication(desktop.Places(), {"image/gif"}, "old.desktop"));

  ASSERT_TRUE(AssociateExtension(classes, ".GIF"));
  EXPECT_EQ(store.QueryValue("Zentrope\\save\\.GIF"), "old.desktop");
  EXPECT_EQ(GifDefault(), "zentrope.desktop");

  ASSERT_TRUE(DisassociateExtension(classes, ".GIF"));
  EXPECT_EQ(GifDefault(), "old.desktop");
  EXPECT_EQ(desktop.log.back(), "Restored association of .GIF files with old.desktop");
}

TEST_F(AssociationsTest, AProgramChosenOnTheDesktopAfterwardsIsLeftAlone) {
  ASSERT_TRUE(AssociateExtension(classes, ".jpg"));
  WriteOtherApplication(desktop.Places(), "viewer.desktop");
  ASSERT_TRUE(SetDefaultApplication(desktop.Places(), {"image/jpeg"}, "viewer.desktop"));

  EXPECT_EQ(classes.QueryValue(".jpg"), "viewer.desktop");
  EXPECT_TRUE(DisassociateExtension(classes, ".jpg"));
  EXPECT_EQ(DefaultApplication(desktop.Places(), "image/jpeg"), "viewer.desktop");
  EXPECT_TRUE(desktop.log.back().starts_with("Associated")) << "nothing disassociated";
}

TEST_F(AssociationsTest, AnUnwritableDefaultsListLeavesTheClassAsItWas) {
  ASSERT_TRUE(store.SetValue(".gif", "", "Foo"));
  // A folder in the list's place: no file can be renamed over it.
  ASSERT_EQ(mkdir(desktop.Places().config_home.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(desktop.Places().MimeAppsList().c_str(), 0755), 0);

  EXPECT_FALSE(AssociateExtension(classes, ".gif"));
  EXPECT_EQ(store.QueryValue(".gif"), "Foo");
  EXPECT_EQ(store.QueryValue("Zentrope\\save\\.gif"), "Foo") << "kept, not lost";
  EXPECT_EQ(desktop.log.back(), "Could not associate .gif files with Zentrope");
}

TEST_F(AssociationsTest, RefusesExtensionsThatWouldNameOtherKeys) {
  for (const char* bad : {"", ".", "gif", ".a\\b", ".a]", ". x", ".a/b"}) {
    EXPECT_FALSE(AssociateExtension(classes, bad)) << bad;
  }
  EXPECT_FALSE(store.KeyExists("Zentrope"));
  EXPECT_TRUE(IsAssociableExtension(".01"));
}

TEST_F(AssociationsTest, AnExtensionNoDatabaseKnowsGetsATypeDeclaredWhileAssociated) {
  const std::string type = "application/x-zentrope-extension-xyz";
  ASSERT_TRUE(AssociateExtension(classes, ".XYZ"));
  EXPECT_EQ(DefaultApplication(desktop.Places(), type), "zentrope.desktop");
  const std::string package = ReadFileText(MimePackagePath(desktop.Places()));
  EXPECT_NE(package.find("<mime-type type=\"" + type + "\">"), std::string::npos) << package;
  EXPECT_NE(package.find("<glob pattern=\"*.xyz\"/>"), std::string::npos);
  EXPECT_EQ(package.find("x-zentrope-slideshow"), std::string::npos) << "the program's own "
                                                                        "types come with its entry";

  ASSERT_TRUE(DisassociateExtension(classes, ".XYZ"));
  EXPECT_EQ(DefaultApplication(desktop.Places(), type), std::nullopt);
  EXPECT_TRUE(ReadFileText(MimePackagePath(desktop.Places())).empty());
}

TEST_F(AssociationsTest, SharedTypesFollowEachExtension) {
  // .bmp and .dib are both image/bmp: the second reads the first's Zentrope.
  ASSERT_TRUE(AssociateExtension(classes, ".bmp"));
  ASSERT_TRUE(AssociateExtension(classes, ".dib"));
  EXPECT_FALSE(store.KeyExists("Zentrope\\save\\.dib"));
  EXPECT_TRUE(DisassociateExtension(classes, ".bmp"));
  EXPECT_TRUE(DisassociateExtension(classes, ".dib"));
  EXPECT_EQ(DefaultApplication(desktop.Places(), "image/bmp"), std::nullopt);
}
}  // namespace
