#include "app/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "settings/profile_environment.h"
#include "show/event_action.h"
#include "support/temp_dir.h"

namespace {

class CommandLineTest : public ProfileEnvironment {
 protected:
  void SetUp() override {
    ProfileEnvironment::SetUp();
    profile_.emplace();
  }

  std::vector<StartupAction> Interpret(const std::vector<std::string>& arguments,
                                       bool printer = true) {
    return InterpretCommandLine(*profile_, arguments, [printer] { return printer; });
  }

  // Made in SetUp, once the system folder points into the test's own folder.
  std::optional<TProfile> profile_;
};

const AddFileSpecAction& Spec(const StartupAction& action) {
  return std::get<AddFileSpecAction>(action);
}

TEST_F(CommandLineTest, AbbreviationsSelectTheFirstMatchingKeyword) {
  const auto actions = Interpret({"-d=/pics", "-CONVERTTOT", "-i"});
  ASSERT_EQ(actions.size(), 4u);
  EXPECT_EQ(std::get<ChangeDirectoryAction>(actions[0]).path, "/pics");
  EXPECT_EQ(std::get<SlideshowRunAction>(actions[1]).event_action, 5) << "TGA before TIF";
  EXPECT_EQ(std::get<ChangeDirectoryAction>(actions[2]).path, windir_.path());
  EXPECT_TRUE(std::holds_alternative<InstallAction>(actions[3]));

  EXPECT_EQ(std::get<SlideshowRunAction>(Interpret({"-c"})[0]).event_action, 2);
  EXPECT_EQ(std::get<SlideshowRunAction>(Interpret({"-ConvertToTIF=x"})[0]).event_action, 7);
}

TEST_F(CommandLineTest, IntegerSettingsByName) {
  EXPECT_TRUE(
      Interpret({"-Delay=10", "-rot", "-Effect=abc", "-Contrast=", "-Unknown=3", "-Directoryx=7"})
          .empty());
  EXPECT_EQ(profile_->Get(IntKey::DelayBetweenImages), 10);
  EXPECT_EQ(profile_->Get(IntKey::Rotate), 1) << "no value means 1";
  EXPECT_EQ(profile_->Get(IntKey::Effect), 1) << "not a number means 1";
  EXPECT_EQ(profile_->Get(IntKey::Contrast), 1);

  Interpret({"-Delay=100000", "-GIFColors=-5", "-Brightness= 7x"});
  EXPECT_EQ(profile_->Get(IntKey::DelayBetweenImages), 32767);
  EXPECT_EQ(profile_->Get(IntKey::GIFColors), 2);
  EXPECT_EQ(profile_->Get(IntKey::Brightness), 7);
}

TEST_F(CommandLineTest, OnlyDashAndALetterMakeAnOption) {
  const auto actions = Interpret({"-5", "-", "/", "-=x", "--x", "", "/home/a.gif"});
  ASSERT_EQ(actions.size(), 6u);
  EXPECT_EQ(Spec(actions[0]).spec, "-5");
  EXPECT_EQ(Spec(actions[1]).spec, "-");
  EXPECT_EQ(Spec(actions[2]).spec, "/");
  EXPECT_EQ(Spec(actions[3]).spec, "-=x");
  EXPECT_EQ(Spec(actions[4]).spec, "--x");
  EXPECT_EQ(Spec(actions[5]).spec, "/home/a.gif");
  // "/" and "/home/a.gif" count as files, "-..." ones do not: two files, so all alone.
  for (const auto& action : actions) EXPECT_FALSE(Spec(action).with_siblings);
}

TEST_F(CommandLineTest, ASingleFileBringsItsFolderUnlessASlideshowRuns) {
  profile_->Set(IntKey::AutoSearch, 1);
  profile_->Set(IntKey::OpenIndex, 5);
  auto actions = Interpret({"-5", "a.gif"});
  ASSERT_EQ(actions.size(), 2u);
  for (const auto& action : actions) {
    EXPECT_TRUE(Spec(action).with_siblings);
    EXPECT_TRUE(Spec(action).search_subdirectories);
    EXPECT_EQ(Spec(action).file_type_index, 5);
  }

  actions = Interpret({"a.gif", "b.gif"});
  EXPECT_FALSE(Spec(actions[0]).with_siblings);
  EXPECT_FALSE(Spec(actions[1]).search_subdirectories);

  // Settings change on the spot: a slideshow switched on before the file keeps it alone.
  actions = Interpret({"-OpenIndex=1", "-RunSlideshow", "a.gif"});
  EXPECT_FALSE(Spec(actions[0]).with_siblings);
  EXPECT_EQ(Spec(actions[0]).file_type_index, 1);
}

TEST_F(CommandLineTest, PrintRunChangesSettingsOnlyWhileTheSlideshowRuns) {
  profile_->Set(IntKey::DelayBetweenImages, 8);
  profile_->Set(IntKey::SoundEnable, 1);
  const auto actions = Interpret({"-p", "a.gif"});
  ASSERT_EQ(actions.size(), 2u);
  const auto& run = std::get<SlideshowRunAction>(actions[0]);
  EXPECT_EQ(run.event_action, kPrintAction);
  EXPECT_TRUE(run.slideshow_started);
  EXPECT_FALSE(Spec(actions[1]).with_siblings) << "only the named file is printed";
  EXPECT_EQ(profile_->Get(IntKey::RunSlideshow), 1);
  EXPECT_EQ(profile_->Get(IntKey::DelayBetweenImages), 0);
  EXPECT_EQ(profile_->Get(IntKey::SoundEnable), 0);
  EXPECT_EQ(profile_->Get(IntKey::ImageDisplayEvent), kPrintAction);
  EXPECT_EQ(profile_->Get(IntKey::SlideshowDoneEvent), kExitProgramAction);

  profile_->ReleaseSnapshot();  // what stopping the slideshow does
  EXPECT_EQ(profile_->Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(profile_->Get(IntKey::DelayBetweenImages), 8);
  EXPECT_EQ(profile_->Get(IntKey::SoundEnable), 1);
  EXPECT_EQ(profile_->Get(IntKey::ImageDisplayEvent), 0);
}

TEST_F(CommandLineTest, PrintWithoutPrinterIsIgnored) {
  const auto actions = Interpret({"-Print", "a.gif"}, false);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_TRUE(Spec(actions[0]).with_siblings);
  EXPECT_EQ(profile_->Get(IntKey::RunSlideshow), 0);
  EXPECT_FALSE(profile_->SnapshotHeld());
}

TEST_F(CommandLineTest, ARunWhileTheSlideshowIsOnStopsItAndSetsNothing) {
  profile_->Set(IntKey::RunSlideshow, 1);
  profile_->Set(IntKey::DelayBetweenImages, 8);
  const auto actions = Interpret({"-ConvertToBMP"});
  const auto& run = std::get<SlideshowRunAction>(actions[0]);
  EXPECT_FALSE(run.slideshow_started);
  EXPECT_EQ(profile_->Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(profile_->Get(IntKey::ImageDisplayEvent), 0);
  EXPECT_EQ(profile_->Get(IntKey::DelayBetweenImages), 8);
}

TEST_F(CommandLineTest, ASecondRunOptionLeavesNoRunSettingsToBeSaved) {
  profile_->Set(IntKey::DelayBetweenImages, 8);
  profile_->Set(IntKey::SoundEnable, 1);
  const auto actions = Interpret({"-c", "-c"});
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_TRUE(std::get<SlideshowRunAction>(actions[0]).slideshow_started);
  EXPECT_FALSE(std::get<SlideshowRunAction>(actions[1]).slideshow_started);
  EXPECT_FALSE(profile_->SnapshotHeld());
  EXPECT_EQ(profile_->Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(profile_->Get(IntKey::DelayBetweenImages), 8);
  EXPECT_EQ(profile_->Get(IntKey::SoundEnable), 1);
  EXPECT_EQ(profile_->Get(IntKey::ImageDisplayEvent), 0);
  EXPECT_EQ(profile_->Get(IntKey::SlideshowDoneEvent), 0);
}

TEST_F(CommandLineTest, LaterOptionsOverrideWhatARunSet) {
  Interpret({"-ConvertToJPG", "-Delay=3"});
  EXPECT_EQ(profile_->Get(IntKey::DelayBetweenImages), 3);
  EXPECT_EQ(profile_->Get(IntKey::ImageDisplayEvent), 6);
}

TEST_F(CommandLineTest, EmptyDirectoryDoesNothing) {
  EXPECT_TRUE(Interpret({"-d=", "-Directory"}).empty());
}

TEST_F(CommandLineTest, TheSaverShowsItsFileSpecAndIgnoresArguments) {
  profile_->Set(StringKey::FileSpec, "~/slides/*.gif");
  profile_->Set(IntKey::AutoSearch, 1);
  const auto actions = InterpretStartup(*profile_, RunMode::Saver, {"/s", "x.gif"}, {});
  ASSERT_EQ(actions.size(), 1u);
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  EXPECT_EQ(Spec(actions[0]).spec, home + "/slides/*.gif");
  EXPECT_FALSE(Spec(actions[0]).with_siblings);
  EXPECT_TRUE(Spec(actions[0]).search_subdirectories);

  EXPECT_EQ(InterpretStartup(*profile_, RunMode::Viewer, {"x.gif"}, {}).size(), 1u);
}

}  // namespace
