#include "show/saver_setup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/display.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/help_viewer.h"
#include "platform/path.h"
#include "settings/first_start.h"
#include "settings/profile.h"
#include "settings/run_mode.h"
#include "support/temp_dir.h"

namespace {
constexpr char kFilters[] =
    "GIF Files|*.gif|Bitmap Files|*.bmp;*.dib|Image Files|*.gif;*.bmp|All Files|*.*|";

class RecordingHelp : public HelpViewer {
 public:
  bool ShowHelp(WindowId, const std::string& file, HelpCommand command) override {
    calls.push_back({file, command});
    return true;
  }
  std::vector<std::pair<std::string, HelpCommand>> calls;
};

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

ControlInput Select(int id, int selection) {
  ControlInput input;
  input.id = id;
  input.selection = selection;
  return input;
}

class SaverSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* previous = std::getenv("ZENTROPE_WINDIR");
    previous_windir_ = previous ? previous : "";
    setenv("ZENTROPE_WINDIR", windir_.path().c_str(), 1);
    SetRunMode(RunMode::SaverOptions);
    ASSERT_TRUE(RecordFirstStart());
    profile_ = std::make_unique<TProfile>();
    services_.open_filters = kFilters;
    services_.help = &help_;
    services_.help_file = "/opt/zentrope/zentrope.html";
    services_.change_password = [this](DialogService&, WindowId) { ++password_dialogs_; };
  }
  void TearDown() override {
    SetRunMode(RunMode::Viewer);
    setenv("ZENTROPE_WINDIR", previous_windir_.c_str(), 1);
  }

  int Run(std::vector<ScriptedAnswer> answers) {
    for (ScriptedAnswer& answer : answers) dialogs_.Script(std::move(answer));
    TZentsaverDlg dialog(*profile_, services_);
    return dialog.Execute(dialogs_, kNoWindow);
  }

  TempDir windir_;
  std::string previous_windir_;
  std::unique_ptr<TProfile> profile_;
  SaverSetupServices services_;
  RecordingHelp help_;
  int password_dialogs_ = 0;
  TDisplay display_;
  THeadlessDialogs dialogs_{display_};
};

TEST(SaverSetupFields, FileTypesAreTheFilterDescriptionsInOrder) {
  EXPECT_EQ(FilterDescriptions(kFilters),
            (std::vector<std::string>{"GIF Files", "Bitmap Files", "Image Files", "All Files"}));
  EXPECT_TRUE(FilterDescriptions("").empty());
  EXPECT_EQ(FilterDescriptions("Odd|"), std::vector<std::string>{"Odd"});
}

TEST(SaverSetupFields, NumberFieldsReadNineCharactersAsALongInteger) {
  EXPECT_EQ(NumberFieldValue("15"), 15);
  EXPECT_EQ(NumberFieldValue("  -3"), -3);
  EXPECT_EQ(NumberFieldValue("+7s"), 7);
  EXPECT_EQ(NumberFieldValue("1234567890123"), 123456789);
  EXPECT_EQ(NumberFieldValue("abc"), 0);
  EXPECT_EQ(NumberFieldValue(""), 0);
}

TEST_F(SaverSetupTest, OpensFilledFromTheSaverSettingsWithEveryControl) {
  profile_->Set(IntKey::OpenIndex, 3);
  profile_->Set(IntKey::Effect, 11);
  EXPECT_EQ(Run({}), kIdCancel);

  ASSERT_EQ(dialogs_.Shown().size(), 1u);
  EXPECT_EQ(dialogs_.Shown()[0].caption, "Zentrope Screen Saver Setup");
  TZentsaverDlg dialog(*profile_, services_);
  TDialogState state(dialog.Template(), dialogs_);
  dialog.Template().on_init(state);
  EXPECT_EQ(dialog.Template().resource, 1107);
  EXPECT_EQ(state.Text(kSaverFileSpecId), "~/Pictures/...");
  EXPECT_EQ(state.Selection(kSaverFileTypesId), 2);
  EXPECT_EQ(state.Control(kSaverEffectId)->items.size(), 12u);
  EXPECT_EQ(state.Control(kSaverEffectId)->items[10], "Dissolve");
  EXPECT_EQ(state.Selection(kSaverEffectId), 10);
  EXPECT_EQ(state.Text(kSaverImageDelayId), "15");
  EXPECT_TRUE(state.IsChecked(1559)) << "Random Order, on in the saver's defaults";
  EXPECT_FALSE(state.IsChecked(1557)) << "Enable Password, off in the saver's defaults";
  for (int id = kSaverFirstCheckId; id <= kSaverLastCheckId; ++id) {
    ASSERT_NE(state.Control(id), nullptr) << id;
    EXPECT_EQ(state.Control(id)->kind, ControlKind::kCheckBox) << id;
  }
  for (int id : {kIdOk, kIdCancel, kSaverHelpId, kSaverPasswordId, kSaverBackgroundId,
                 kSaverForegroundId, kSaverDefaultsId}) {
    ASSERT_NE(state.Control(id), nullptr) << id;
    EXPECT_EQ(state.Control(id)->kind, ControlKind::kButton) << id;
  }
  EXPECT_EQ(state.Control(kSaverDefaultsId)->label, "Defa&ults");
}

TEST_F(SaverSetupTest, ClosingEitherWayReadsEveryControlBackUnclamped) {
  for (const int closing : {kIdOk, kIdCancel}) {
    EXPECT_EQ(Run({ScriptedAnswer::Press(
                  closing,
                  {Text(kSaverFileSpecId, "/srv/pictures/*.gif"), Select(kSaverFileTypesId, 0),
                   Select(kSaverEffectId, 4), Text(kSaverAcrossId, "3"), Text(kSaverDownId, "2x"),
                   Text(kSaverImageDelayId, "100000"), Text(kSaverSoundDelayId, "-4"),
                   Check(1557, true), Check(1559, false), Check(1570, false)})}),
              closing);
    EXPECT_EQ(profile_->Get(StringKey::FileSpec), "/srv/pictures/*.gif");
    EXPECT_EQ(profile_->Get(IntKey::OpenIndex), 1);
    EXPECT_EQ(profile_->Get(IntKey::Effect), 5);
    EXPECT_EQ(profile_->Get(IntKey::ThumbnailsAcross), 3);
    EXPECT_EQ(profile_->Get(IntKey::ThumbnailsDown), 2);
    EXPECT_EQ(profile_->Get(IntKey::DelayBetweenImages), 100000)
        << "the store clamps, not the dialog";
    EXPECT_EQ(profile_->Get(IntKey::DelayBetweenSounds), -4);
    EXPECT_EQ(profile_->Get(IntKey::SlideshowPassword), 1);
    EXPECT_EQ(profile_->Get(IntKey::RandomOrder), 0);
    EXPECT_EQ(profile_->Get(IntKey::AutoResume), 0);
    profile_->Defaults();
  }
}

TEST_F(SaverSetupTest, DefaultsRefillsTheControlsFromTheSaverDefaultSet) {
  profile_->Set(IntKey::DelayBetweenImages, 40);
  profile_->Set(IntKey::RandomOrder, 0);
  profile_->Set(StringKey::FileSpec, "/elsewhere");
  profile_->Set(IntKey::BackgroundRed, 200);
  Run({ScriptedAnswer::Press(kSaverDefaultsId), ScriptedAnswer::Press(kIdOk)});
  EXPECT_EQ(profile_->Get(IntKey::DelayBetweenImages), 15);
  EXPECT_EQ(profile_->Get(IntKey::RandomOrder), 1);
  EXPECT_EQ(profile_->Get(StringKey::FileSpec), "~/Pictures/...");
  EXPECT_EQ(profile_->Get(IntKey::BackgroundRed), 0);
}

TEST_F(SaverSetupTest, ColourButtonsStoreTheChosenColourAndKeepItWhenCancelled) {
  ScriptedAnswer cancelled = ScriptedAnswer::Cancel(DialogKind::kColour);
  Run({ScriptedAnswer::Press(kSaverBackgroundId), ScriptedAnswer::Colour(MakeRgb(10, 20, 30)),
       ScriptedAnswer::Press(kSaverForegroundId), cancelled, ScriptedAnswer::Press(kIdOk)});
  ASSERT_EQ(dialogs_.Shown().size(), 3u);
  EXPECT_EQ(dialogs_.Shown()[1].caption, "Background Color");
  EXPECT_EQ(dialogs_.Shown()[2].caption, "Foreground Color");
  EXPECT_EQ(profile_->Get(IntKey::BackgroundRed), 10);
  EXPECT_EQ(profile_->Get(IntKey::BackgroundGreen), 20);
  EXPECT_EQ(profile_->Get(IntKey::BackgroundBlue), 30);
  EXPECT_EQ(profile_->Get(IntKey::ForegroundRed), 192);
}

TEST_F(SaverSetupTest, HelpOpenedFromTheDialogIsClosedWithItAndPasswordRunsItsDialog) {
  Run({ScriptedAnswer::Press(kSaverPasswordId), ScriptedAnswer::Press(kIdCancel)});
  EXPECT_EQ(password_dialogs_, 1);
  EXPECT_TRUE(help_.calls.empty()) << "help never opened is never told to quit";

  Run({ScriptedAnswer::Press(kSaverHelpId), ScriptedAnswer::Press(kIdOk)});
  ASSERT_EQ(help_.calls.size(), 2u);
  EXPECT_EQ(help_.calls[0], std::make_pair(services_.help_file, HelpCommand::kContents));
  EXPECT_EQ(help_.calls[1], std::make_pair(services_.help_file, HelpCommand::kQuit));
}
}  // namespace
