// The slideshow engine against a stand-in window on the virtual clock:
// when it steps, which command it steps with, how input and show events
// turn into actions, and what the snapshot gives back.
#include "show/slideshow.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fake_host.h"
#include "platform/long_operation.h"
#include "platform/virtual_keys.h"
#include "show/batch_run.h"
#include "show/event_action.h"

namespace {

Message Mouse(MessageId id, int x, int y) {
  Message message;
  message.id = id;
  message.position = Point{x, y};
  return message;
}

Message Key(MessageId id, int key = 'A') {
  Message message;
  message.id = id;
  message.key = key;
  return message;
}

class SlideshowTest : public ::testing::Test {
 protected:
  SlideshowTest() : slideshow_(host_) { host_.SetFiles({"/p/a.gif", "/p/b.gif", "/p/c.gif"}); }

  TProfile& Settings() { return host_.Settings(); }
  // Started from the menu, with the first step already taken.
  void Start() {
    slideshow_.ToggleSlideshow();
    host_.TakePosted();
  }
  // The window painted the picture now.
  void Painted() { host_.image_time = host_.Now(); }

  TFakeHost host_;
  TSlideshow slideshow_;
};

TEST_F(SlideshowTest, StartingHoldsTheSnapshotAndPostsTheFirstStep) {
  slideshow_.ToggleSlideshow();
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 1);
  EXPECT_TRUE(Settings().SnapshotHeld());
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kNext});
}

TEST_F(SlideshowTest, DelayZeroStepsOnTheFirstIdleAfterThePaint) {
  Settings().Set(IntKey::DelayBetweenImages, 0);
  Start();
  host_.paint_pending = 2;
  // Portions of the page come first; no step while any is left.
  EXPECT_EQ(slideshow_.SlideshowIdle(), IdleResult::kMoreWork);
  EXPECT_EQ(slideshow_.SlideshowIdle(), IdleResult::kMoreWork);
  EXPECT_TRUE(host_.TakePosted().empty());
  Painted();
  EXPECT_EQ(slideshow_.SlideshowIdle(), IdleResult::kWaiting);
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kNext});
}

TEST_F(SlideshowTest, DelayOfNSecondsCountsWholeSecondsFromThePaint) {
  Settings().Set(IntKey::DelayBetweenImages, 3);
  Start();
  Painted();
  host_.Advance(2999);
  slideshow_.SlideshowIdle();
  EXPECT_TRUE(host_.TakePosted().empty());
  host_.Advance(1);
  slideshow_.SlideshowIdle();
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kNext});
  // The step restarts the clock: the next idle waits again.
  slideshow_.SlideshowIdle();
  EXPECT_TRUE(host_.TakePosted().empty());
  EXPECT_EQ(host_.image_time, host_.Now());
}

TEST_F(SlideshowTest, LoadingKeepsTheImageClockAtNowAndNeverSteps) {
  Settings().Set(IntKey::DelayBetweenImages, 1);
  Start();
  host_.Advance(5000);
  host_.loading = true;
  EXPECT_EQ(slideshow_.SlideshowIdle(), IdleResult::kWaiting);
  EXPECT_EQ(host_.image_time, host_.Now());
  EXPECT_TRUE(host_.TakePosted().empty());
}

TEST_F(SlideshowTest, AnAnimationsFirstLoopHoldsTheImageClockAtNow) {
  Settings().Set(IntKey::DelayBetweenImages, 1);
  Start();
  Painted();
  host_.first_loop_playing = true;
  host_.Advance(5000);
  EXPECT_EQ(slideshow_.SlideshowIdle(), IdleResult::kWaiting);
  EXPECT_TRUE(host_.TakePosted().empty());
  EXPECT_EQ(host_.image_time, host_.Now());
  // Once the loop is over, the picture's own delay runs from there.
  host_.first_loop_playing = false;
  host_.Advance(999);
  slideshow_.SlideshowIdle();
  EXPECT_TRUE(host_.TakePosted().empty());
  host_.Advance(1);
  slideshow_.SlideshowIdle();
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kNext});
}

TEST_F(SlideshowTest, AnEmptyListNeverSteps) {
  host_.SetFiles({});
  Settings().Set(IntKey::DelayBetweenImages, 0);
  Start();
  host_.Advance(10'000);
  slideshow_.SlideshowIdle();
  EXPECT_TRUE(host_.TakePosted().empty());
}

TEST_F(SlideshowTest, StepCommandFollowsTheLastStepUnlessRandomOrderIsOn) {
  const std::vector<std::pair<int, ShowCommand>> cases = {{1, ShowCommand::kNext},
                                                          {2, ShowCommand::kRandom},
                                                          {-1, ShowCommand::kPrevious},
                                                          {-2, ShowCommand::kPrevious}};
  for (const auto& [last_step, command] : cases) {
    host_.last_step = last_step;
    Settings().Set(IntKey::RandomOrder, 0);
    EXPECT_EQ(slideshow_.StepCommand(), command) << last_step;
    Settings().Set(IntKey::RandomOrder, 1);
    EXPECT_EQ(slideshow_.StepCommand(), ShowCommand::kRandom) << last_step;
  }
}

TEST_F(SlideshowTest, AfterPreviousTheSlideshowKeepsSteppingBackwards) {
  Settings().Set(IntKey::DelayBetweenImages, 0);
  Start();
  host_.last_step = -1;
  for (int i = 0; i < 3; ++i) {
    Painted();
    slideshow_.SlideshowIdle();
    EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kPrevious});
  }
}

TEST_F(SlideshowTest, AnUpcomingSoundWaitsForThePlayingOneThenItsDelay) {
  host_.SetFiles({"/p/a.gif", "/p/b.wav"});
  Settings().Set(IntKey::DelayBetweenImages, 0);
  Settings().Set(IntKey::DelayBetweenSounds, 2);
  Start();
  host_.sound_playing = true;
  host_.Advance(60'000);
  EXPECT_EQ(slideshow_.SlideshowIdle(), IdleResult::kWaiting);
  EXPECT_TRUE(host_.TakePosted().empty());
  EXPECT_EQ(host_.sound_time, host_.Now());

  host_.sound_playing = false;
  host_.Advance(1999);
  slideshow_.SlideshowIdle();
  EXPECT_TRUE(host_.TakePosted().empty());
  host_.Advance(1);
  slideshow_.SlideshowIdle();
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kNext});
  EXPECT_EQ(host_.sound_time, host_.Now());
}

TEST_F(SlideshowTest, AnUpcomingMovieUsesTheMovieDelayAndClock) {
  host_.SetFiles({"/p/a.gif", "/p/b.avi"});
  Settings().Set(IntKey::DelayBetweenImages, 0);
  Settings().Set(IntKey::DelayBetweenMovies, 4);
  Start();
  host_.movie_time = host_.Now();
  host_.Advance(3000);
  slideshow_.SlideshowIdle();
  EXPECT_TRUE(host_.TakePosted().empty());
  host_.Advance(1000);
  slideshow_.SlideshowIdle();
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kNext});
}

TEST_F(SlideshowTest, ShowEventsRunInOrderAndTheDoneExitGivesTheSettingsBack) {
  host_.SetFiles({"/p/a.gif"});  // one file: at the end at once
  Settings().Set(IntKey::ThumbnailsEnable, 1);
  Settings().Set(IntKey::ThumbnailsAcross, 2);
  Settings().Set(IntKey::DelayBetweenImages, 7);
  Start();
  Settings().Set(IntKey::DelayBetweenImages, 0);
  Settings().Set(IntKey::ImageDisplayEvent, kSaveGifAction + 3);  // TGA
  Settings().Set(IntKey::ScreenDoneEvent, kSaveGifAction);        // GIF
  Settings().Set(IntKey::SlideshowDoneEvent, kExitProgramAction);
  Painted();
  slideshow_.SlideshowIdle();
  EXPECT_EQ(host_.saves, (std::vector<int>{4, 1}));
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kExit});
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(Settings().Get(IntKey::DelayBetweenImages), 7);
  EXPECT_EQ(Settings().Get(IntKey::SlideshowDoneEvent), 0);
  EXPECT_FALSE(Settings().SnapshotHeld());
}

TEST_F(SlideshowTest, StoppingAShowRunningSinceStartUpKeepsTheOtherOptions) {
  Settings().Set(IntKey::RunSlideshow, 1);
  Settings().Set(IntKey::DelayBetweenImages, 42);
  slideshow_.ToggleSlideshow();
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(Settings().Get(IntKey::DelayBetweenImages), 42);
}

TEST_F(SlideshowTest, OptionsChangedDuringAShowAreBackAfterItStops) {
  Settings().Set(IntKey::Effect, 3);
  Start();
  Settings().Set(IntKey::Effect, 11);
  Settings().Set(IntKey::RandomOrder, 1);
  slideshow_.ToggleSlideshow();
  EXPECT_EQ(Settings().Get(IntKey::Effect), 3);
  EXPECT_EQ(Settings().Get(IntKey::RandomOrder), 0);
}

TEST_F(SlideshowTest, MovementCountsOnlyBeyondSixteenPixelsFromTheRestPoint) {
  Settings().Set(IntKey::MouseMovementEvent, kStopSlideshowAction);
  // Before the show the rest point follows the pointer.
  EXPECT_FALSE(slideshow_.FilterInputEvent(Mouse(MessageId::kMouseMove, 50, 60)));
  EXPECT_FALSE(slideshow_.FilterInputEvent(Mouse(MessageId::kMouseMove, 100, 100)));
  EXPECT_EQ(slideshow_.RestPoint(), (Point{100, 100}));
  Start();
  for (const Point moved : {Point{116, 84}, Point{84, 116}, Point{116, 116}}) {
    EXPECT_FALSE(slideshow_.FilterInputEvent(Mouse(MessageId::kMouseMove, moved.x, moved.y)));
  }
  EXPECT_EQ(slideshow_.RestPoint(), (Point{100, 100}));
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 1);
  EXPECT_TRUE(slideshow_.FilterInputEvent(Mouse(MessageId::kMouseMove, 100, 83)));
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 0);
}

TEST_F(SlideshowTest, ButtonsCountOnPressAndDoubleClickNeverOnRelease) {
  Settings().Set(IntKey::MouseButtonEvent, kIgnoreAction);
  Start();
  for (MessageId id : {MessageId::kLButtonUp, MessageId::kRButtonUp, MessageId::kMButtonUp,
                       MessageId::kNcLButtonUp}) {
    EXPECT_FALSE(slideshow_.FilterInputEvent(Mouse(id, 1, 1)));
  }
  for (MessageId id : {MessageId::kLButtonDown, MessageId::kRButtonDblClk, MessageId::kMButtonDown,
                       MessageId::kNcLButtonDown}) {
    EXPECT_TRUE(slideshow_.FilterInputEvent(Mouse(id, 1, 1)));
  }
}

TEST_F(SlideshowTest, KeystrokeIgnoreSwallowsEveryKeyWhileTheShowRuns) {
  Settings().Set(IntKey::KeystrokeEvent, kIgnoreAction);
  EXPECT_FALSE(slideshow_.FilterInputEvent(Key(MessageId::kKeyDown, kVkSpace)));
  Start();
  for (MessageId id :
       {MessageId::kKeyDown, MessageId::kChar, MessageId::kSysKeyDown, MessageId::kSysChar}) {
    EXPECT_TRUE(slideshow_.FilterInputEvent(Key(id, kVkSpace)));
  }
  EXPECT_FALSE(slideshow_.FilterInputEvent(Key(MessageId::kKeyUp, kVkSpace)));
  EXPECT_TRUE(slideshow_.FilterInputEvent(Message::SysCommand(1, kScClose)));
  // The screen-save request is the window's own business.
  EXPECT_FALSE(slideshow_.FilterInputEvent(Message::SysCommand(1, kScScreenSave + 2)));
  Settings().Set(IntKey::KeystrokeEvent, kNormalAction);
  EXPECT_FALSE(slideshow_.FilterInputEvent(Key(MessageId::kKeyDown, kVkSpace)));
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 1);
}

TEST_F(SlideshowTest, TriggeredActionsRunButtonMovementKeyInThatOrder) {
  Settings().Set(IntKey::MouseButtonEvent, kSaveGifAction + 1);  // BMP
  Settings().Set(IntKey::KeystrokeEvent, kSaveGifAction + 5);    // TIFF
  Start();
  EXPECT_TRUE(slideshow_.FilterInputEvent(Mouse(MessageId::kLButtonDown, 3, 3)));
  EXPECT_TRUE(slideshow_.FilterInputEvent(Key(MessageId::kKeyDown)));
  EXPECT_EQ(host_.saves, (std::vector<int>{2, 6}));
  EXPECT_EQ(Settings().Get(IntKey::SaveAsIndex), 6);
}

TEST_F(SlideshowTest, AWrongPasswordKeepsTheShowAndThrowsTheInputAway) {
  Settings().Set(IntKey::SlideshowPassword, 1);
  Settings().Set(IntKey::KeystrokeEvent, kExitProgramAction);
  Start();
  host_.password_answers = {false};
  EXPECT_TRUE(slideshow_.FilterInputEvent(Key(MessageId::kKeyDown)));
  EXPECT_EQ(host_.discards, 1);
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 1);
  EXPECT_TRUE(host_.TakePosted().empty());
  EXPECT_FALSE(slideshow_.PasswordPromptOpen());

  host_.password_answers = {true};
  EXPECT_TRUE(slideshow_.FilterInputEvent(Key(MessageId::kKeyDown)));
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kExit});
}

TEST_F(SlideshowTest, InputDuringThePasswordPromptOpensNoSecondPrompt) {
  Settings().Set(IntKey::SlideshowPassword, 1);
  Settings().Set(IntKey::MouseButtonEvent, kExitProgramAction);
  Start();
  bool nested_consumed = false;
  host_.during_prompt = [&] {
    nested_consumed = slideshow_.FilterInputEvent(Mouse(MessageId::kLButtonDown, 5, 5));
  };
  host_.password_answers = {false, true};
  EXPECT_TRUE(slideshow_.FilterInputEvent(Mouse(MessageId::kLButtonDown, 5, 5)));
  EXPECT_TRUE(nested_consumed);
  EXPECT_EQ(host_.password_prompts, 1);
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 1);
}

TEST_F(SlideshowTest, WithoutThePasswordOptionAnExitNeedsNoPrompt) {
  Settings().Set(IntKey::KeystrokeEvent, kExitProgramAction);
  Start();
  EXPECT_TRUE(slideshow_.FilterInputEvent(Key(MessageId::kKeyDown)));
  EXPECT_EQ(host_.password_prompts, 0);
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kExit});
}

// What a conversion run sets up: the snapshot, then the run's own settings.
void BeginConversionRun(TProfile& settings) {
  settings.HoldSnapshot();
  settings.Set(IntKey::RunSlideshow, 1);
  for (IntKey key :
       {IntKey::RandomOrder, IntKey::SoundEnable, IntKey::MovieEnable, IntKey::DelayBetweenImages,
        IntKey::DelayBetweenSounds, IntKey::DelayBetweenMovies}) {
    settings.Set(key, 0);
  }
  settings.Set(IntKey::ImageDisplayEvent, kSaveGifAction);
  settings.Set(IntKey::SlideshowDoneEvent, kExitProgramAction);
}

TEST_F(SlideshowTest, ABatchConversionOfFiveFilesSavesEachOnceAndRestoresTheDelays) {
  host_.SetFiles({"/p/1.jpg", "/p/2.jpg", "/p/3.jpg", "/p/4.jpg", "/p/5.jpg"});
  Settings().Set(IntKey::DelayBetweenImages, 6);
  Settings().Set(IntKey::DelayBetweenSounds, 7);
  Settings().Set(IntKey::SoundEnable, 1);
  BeginConversionRun(Settings());
  std::FILE* errors = std::tmpfile();
  ASSERT_NE(errors, nullptr);
  TBatchRun batch(5, nullptr, errors, "zentrope");
  slideshow_.SetBatchRun(&batch);
  host_.save_results = {true, true, false, true, true};

  std::vector<std::string> saved_files;
  for (int idle = 0; idle < 20; ++idle) {
    Painted();
    const std::size_t saves_before = host_.saves.size();
    slideshow_.SlideshowIdle();
    if (host_.saves.size() > saves_before) saved_files.push_back(host_.Files().Current());
    const std::vector<ShowCommand> posted = host_.TakePosted();
    if (posted == std::vector<ShowCommand>{ShowCommand::kExit}) break;
    ASSERT_EQ(posted, std::vector<ShowCommand>{ShowCommand::kNext});
    host_.Files().Next(kSortedOrder);
  }
  EXPECT_EQ(saved_files,
            (std::vector<std::string>{"/p/1.jpg", "/p/2.jpg", "/p/3.jpg", "/p/4.jpg", "/p/5.jpg"}));
  EXPECT_EQ(host_.saves, (std::vector<int>(5, 1)));
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(Settings().Get(IntKey::DelayBetweenImages), 6);
  EXPECT_EQ(Settings().Get(IntKey::DelayBetweenSounds), 7);
  EXPECT_EQ(Settings().Get(IntKey::SoundEnable), 1);
  EXPECT_EQ(Settings().Get(IntKey::ImageDisplayEvent), 0);

  EXPECT_EQ(batch.Handled(), 5);
  EXPECT_EQ(batch.Failures(), std::vector<std::string>{"/p/3.jpg"});
  std::rewind(errors);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof line, errors), nullptr);
  EXPECT_STREQ(line, "zentrope: Error occurred while saving 3.jpg as /p/3.jpg.out\n");
  std::fclose(errors);
}

TEST_F(SlideshowTest, ExitCancelsARunningOperation) {
  Start();
  BeginLongOperation();
  slideshow_.RunEventAction(kExitProgramAction);
  EXPECT_TRUE(IsCancelRequested());
  EndLongOperation();
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kExit});
}

}  // namespace
