// The settings that came after the original hundred: their defaults, their
// ranges, and that files and command lines written before them still mean
// what they meant.
#include <gtest/gtest.h>

#include <string>

#include "platform/private_profile.h"
#include "profile_environment.h"
#include "settings/profile.h"

namespace {

using AddedKeysTest = ProfileEnvironment;

TEST_F(AddedKeysTest, DefaultsAreTheSameForViewerAndSaver) {
  for (RunMode mode : {RunMode::Viewer, RunMode::Saver}) {
    SetRunMode(mode);
    TProfile profile;
    EXPECT_EQ(profile.Get(IntKey::ExifOrientation), 1);
    EXPECT_EQ(profile.Get(IntKey::FullResolution), 0);
    EXPECT_EQ(profile.Get(IntKey::AnimateGif), 0);
    EXPECT_EQ(profile.Get(IntKey::ZipAsFolder), 0);
  }
}

TEST_F(AddedKeysTest, AnOlderFileIsReadAsBeforeAndGainsNoLines) {
  const std::string old_file = "[zentrope]\nEffect=4\nRotate=3\nCopyImageTo=/tmp/pics\n";
  ASSERT_TRUE(WriteFileText(ViewerFile(), old_file));
  TProfile profile;
  EXPECT_EQ(profile.Get(IntKey::Effect), 4);
  EXPECT_EQ(profile.Get(IntKey::Rotate), 3);
  EXPECT_EQ(profile.Get(IntKey::ExifOrientation), 1);
  ASSERT_TRUE(profile.Save());
  EXPECT_EQ(ReadFileText(ViewerFile()), old_file);
}

TEST_F(AddedKeysTest, StoredValuesAreClampedAndOnlyChangesAreWritten) {
  ASSERT_TRUE(WriteFileText(ViewerFile(),
                            "[zentrope]\nExifOrientation=0\nFullResolution=7\nAnimateGif=-2\n"));
  TProfile profile;
  EXPECT_EQ(profile.Get(IntKey::ExifOrientation), 0);
  EXPECT_EQ(profile.Get(IntKey::FullResolution), 1);
  EXPECT_EQ(profile.Get(IntKey::AnimateGif), 0);

  profile.Set(IntKey::ZipAsFolder, 1);
  ASSERT_TRUE(profile.Save());
  EXPECT_EQ(ReadFileText(ViewerFile()),
            "[zentrope]\nExifOrientation=0\nFullResolution=1\nZipAsFolder=1\n");
}

TEST_F(AddedKeysTest, AbbreviationsOfOlderKeysStillPickTheOlderKey) {
  TProfile profile;
  ASSERT_TRUE(profile.SetIntByName("Zip", 3));
  EXPECT_EQ(profile.Get(IntKey::ZipInfoIndex), 3);
  EXPECT_EQ(profile.Get(IntKey::ZipAsFolder), 0);
  ASSERT_TRUE(profile.SetIntByName("F", 1));
  EXPECT_EQ(profile.Get(IntKey::FillWindow), 1);
  EXPECT_EQ(profile.Get(IntKey::FullResolution), 0);
  ASSERT_TRUE(profile.SetIntByName("A", 1));
  EXPECT_EQ(profile.Get(IntKey::AlwaysOnTop), 1);
  EXPECT_EQ(profile.Get(IntKey::AnimateGif), 0);

  ASSERT_TRUE(profile.SetIntByName("exif", 0));
  ASSERT_TRUE(profile.SetIntByName("Full", 5));
  ASSERT_TRUE(profile.SetIntByName("Anim", 1));
  ASSERT_TRUE(profile.SetIntByName("ZipA", 1));
  EXPECT_EQ(profile.Get(IntKey::ExifOrientation), 0);
  EXPECT_EQ(profile.Get(IntKey::FullResolution), 1);
  EXPECT_EQ(profile.Get(IntKey::AnimateGif), 1);
  EXPECT_EQ(profile.Get(IntKey::ZipAsFolder), 1);
}

}  // namespace
