// The screen saver from the viewer's Utilities menu, and the running saver's
// password lock.
#include <cstdlib>

#include "app/command_ids.h"
#include "app/passwords.h"
#include "command_window_fixture.h"
#include "platform/private_profile.h"
#include "settings/first_start.h"
#include "settings/run_mode.h"
#include "show/saver_setup.h"

namespace {
ControlInput Text(int id, std::string text) {
  ControlInput input;
  input.id = id;
  input.text = std::move(text);
  return input;
}

ControlInput Check(int id, bool checked) {
  ControlInput input;
  input.id = id;
  input.checked = checked;
  return input;
}

class SaverCommandsTest : public CommandWindowTest {
 protected:
  void SetUp() override {
    CommandWindowTest::SetUp();
    const char* previous = std::getenv("ZENTROPE_WINDIR");
    previous_windir_ = previous ? previous : "";
    setenv("ZENTROPE_WINDIR", windir_.path().c_str(), 1);
    ASSERT_TRUE(RecordFirstStart());
  }
  void TearDown() override {
    CommandWindowTest::TearDown();
    SetRunMode(RunMode::Viewer);
    setenv("ZENTROPE_WINDIR", previous_windir_.c_str(), 1);
  }

  std::string SaverSettings() const { return windir_.File("zentsv32.ini"); }

  // The program started as the saver, locked with `password`, over one picture.
  void StartLockedSaver(const std::string& password) {
    ASSERT_TRUE(TPasswordStore().Set(password));
    const std::string picture = WritePicture("a.bmp");
    WritePicture("b.bmp");
    SetRunMode(RunMode::Saver);
    Start({}, [&](TProfile& settings) {
      settings.Set(StringKey::FileSpec, dir_.File("*.bmp"));
      settings.Set(IntKey::SlideshowPassword, 1);
      settings.Set(IntKey::DelayBetweenImages, 1000);
      settings.Set(IntKey::RandomOrder, 0);
    });
    ASSERT_EQ(Settings().Get(IntKey::RunSlideshow), 1);
  }

  ScriptedAnswer TypedPassword(const std::string& typed) {
    return ScriptedAnswer::Press(kIdOk, {Text(kOldPasswordId, typed)});
  }

  TempDir windir_;
  std::string previous_windir_;
};

TEST_F(SaverCommandsTest, ConfigureCancelledLeavesTheSaverSettingsFileByteIdentical) {
  const std::string original =
      "; the user's own notes\r\n[zentsv32]\r\nDelayBetweenImages=20\r\nSomethingElse = kept\r\n";
  ASSERT_TRUE(WriteFileText(SaverSettings(), original));
  Start({});
  Answer(ScriptedAnswer::Press(kSaverBackgroundId));
  Answer(ScriptedAnswer::Colour(MakeRgb(1, 2, 3)));
  Answer(ScriptedAnswer::Press(kSaverDefaultsId));
  Answer(ScriptedAnswer::Press(kIdCancel, {Text(kSaverImageDelayId, "99"), Check(1557, true)}));
  ASSERT_TRUE(Choose(CM_CONFIGURE_SAVER));

  EXPECT_EQ(ScriptLeft(), 0u);
  ASSERT_FALSE(Shown().empty());
  EXPECT_EQ(Shown().front().caption, "Zentrope Screen Saver Setup");
  EXPECT_EQ(ReadFileText(SaverSettings()), original);
  EXPECT_EQ(CurrentRunMode(), RunMode::Viewer);
}

TEST_F(SaverCommandsTest, ConfigureConfirmedWritesTheSaverFileAndLeavesTheViewerAlone) {
  ASSERT_TRUE(WriteFileText(SaverSettings(), "[zentsv32]\nDelayBetweenImages=20\n"));
  Start({});
  const int viewer_delay = Settings().Get(IntKey::DelayBetweenImages);
  Answer(ScriptedAnswer::Press(kIdOk, {Text(kSaverImageDelayId, "40"), Check(1557, true)}));
  ASSERT_TRUE(Choose(CM_CONFIGURE_SAVER));

  EXPECT_EQ(GetPrivateProfileString("zentsv32", "DelayBetweenImages", "", SaverSettings()), "40");
  EXPECT_EQ(GetPrivateProfileString("zentsv32", "SlideshowPassword", "", SaverSettings()), "1");
  EXPECT_EQ(Settings().Get(IntKey::DelayBetweenImages), viewer_delay);
  EXPECT_EQ(CurrentRunMode(), RunMode::Viewer);
}

TEST_F(SaverCommandsTest, TestStartsThePlatformSaverUnlessASlideshowRuns) {
  Start({WritePicture("a.bmp")});
  ASSERT_TRUE(Choose(CM_TEST_SAVER));
  EXPECT_EQ(backend_->ScreenSaverStarts(), 1);
  Settings().Set(IntKey::RunSlideshow, 1);
  Command(CM_TEST_SAVER);
  EXPECT_EQ(backend_->ScreenSaverStarts(), 1);
}

TEST_F(SaverCommandsTest, ALockedSaverIsNotEndedByClosingItsWindowWithoutThePassword) {
  StartLockedSaver("Secret");
  Answer(TypedPassword("wrong"));
  Answer(ScriptedAnswer::Cancel(DialogKind::kCustom));
  EXPECT_FALSE(window_->Close());
  EXPECT_FALSE(window_->IsClosed());
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown().back().final_caption, "Incorrect password, please try again.");

  Answer(TypedPassword("SECRET"));
  EXPECT_TRUE(window_->Close());
}

TEST_F(SaverCommandsTest, InputDuringThePromptIsThrownAwayAndOnlyThePasswordEndsTheSaver) {
  StartLockedSaver("secret");
  const std::string shown = ImageName();
  // Keys pressed while the prompt is up wait, then go with the refusal.
  backend_->ScriptedDialogs().SetWhileShown([&] {
    backend_->PressKey(Id(), kVkSpace);
    backend_->PressKey(Id(), 'X', kAltKey);
  });
  Answer(TypedPassword("nope"));
  Answer(ScriptedAnswer::Cancel(DialogKind::kCustom));
  Press(kVkSpace);
  backend_->ScriptedDialogs().SetWhileShown({});
  EXPECT_FALSE(window_->IsClosed());
  EXPECT_EQ(Shown().size(), 1u) << "one prompt, whatever was pressed meanwhile";
  EXPECT_EQ(ImageName(), shown);
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 1);

  Answer(TypedPassword("secret"));
  Press(kVkReturn);
  EXPECT_TRUE(window_->IsClosed());
}
}  // namespace
