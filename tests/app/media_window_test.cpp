// Sounds and movies through the main window on the headless backend: the
// Sound and Movie menus and their keys, and a slideshow that waits for a sound
// to end. The null engine plays each file for a second of the virtual clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/text_window.h"
#include "headless_window_fixture.h"
#include "platform/headless/headless_backend.h"
#include "platform/null_media_engine.h"
#include "platform/virtual_keys.h"
#include "support/temp_dir.h"

namespace {

constexpr Modifiers kCtrl{false, true, false};
constexpr Modifiers kAlt{false, false, true};
// Enough loop steps for any command to settle while a sound waits for time.
constexpr int kSettleSteps = 200;

class MediaWindowTest : public HeadlessWindowTest {
 protected:
  // Time stands still unless a test moves it, so a playing sound keeps the
  // loop waiting: Run takes a bounded number of steps.
  MediaWindowTest() { run_steps_ = kSettleSteps; }

  // Names that are sounds or movies by extension; the null engine needs no content.
  std::string MediaFile(const std::string& name) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(WriteFileText(path, "RIFF"));
    return path;
  }

  void Start(std::vector<std::string> arguments, const std::function<void(TProfile&)>& tweak = {}) {
    StartWindow(std::move(arguments), [&](TProfile& settings) {
      for (IntKey key : {IntKey::FillWindow, IntKey::RememberOptions, IntKey::AutoResume,
                         IntKey::ShowComments, IntKey::AutoComments, IntKey::SoundSynchronous,
                         IntKey::SoundLoop, IntKey::MovieSynchronous, IntKey::MovieLoop,
                         IntKey::RunSlideshow, IntKey::RandomOrder}) {
        settings.Set(key, 0);
      }
      settings.Set(IntKey::SoundEnable, 1);
      settings.Set(IntKey::MovieEnable, 1);
      if (tweak) tweak(settings);
    });
  }

  void Advance(std::uint32_t milliseconds) {
    for (std::uint32_t passed = 0; passed < milliseconds; passed += 100) {
      backend_->Clock().Advance(100);
      Run();
    }
  }
  bool Choose(std::uint32_t id) {
    const bool chosen = backend_->ChooseMenuItem(Id(), id);
    Run();
    return chosen;
  }
  void Press(int key, Modifiers modifiers) {
    backend_->PressKey(Id(), key, modifiers);
    Run();
  }
  void TypeWith(int character, Modifiers modifiers) {
    backend_->TypeCharacter(Id(), character, modifiers);
    Run();
  }
  // The item as its menu shows it when opened.
  const MenuItem& Item(std::uint32_t id) {
    for (const MenuItem* menu : window_->MainWindow().MenuBar().PathTo(id)) {
      backend_->OpenMenu(Id(), menu->id);
    }
    return *window_->MainWindow().MenuBar().Find(id);
  }

  int Count(const std::string& text) {
    const std::string log = window_->LogWindow() ? window_->LogWindow()->GetText() : "";
    int count = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
      ++count;
    }
    return count;
  }
  // The next time `text` is logged, after the `seen` times before.
  bool LoggedAgain(const std::string& text, int seen) { return Count(text) > seen; }
};

TEST_F(MediaWindowTest, SoundMenuSwitchesTickAndPlayAsTheyClaim) {
  const std::string tune = MediaFile("tune.wav");
  Start({tune});
  const std::string open = "MCI: open \"" + tune + "\" type waveaudio alias wav";
  EXPECT_EQ(Count(open), 1);
  EXPECT_EQ(Count("MCI: play wav notify"), 1);
  EXPECT_TRUE(window_->Media().SoundPlaying());
  EXPECT_TRUE(Item(CM_SOUND_ENABLE).checked);

  // Off closes what plays; Replay then does nothing.
  ASSERT_TRUE(Choose(CM_SOUND_ENABLE));
  EXPECT_EQ(window_->Settings().Get(IntKey::SoundEnable), 0);
  EXPECT_FALSE(Item(CM_SOUND_ENABLE).checked);
  EXPECT_EQ(Count("MCI: close wav"), 1);
  EXPECT_FALSE(window_->Media().SoundPlaying());
  ASSERT_TRUE(Choose(CM_SOUND_REPLAY));
  EXPECT_EQ(Count(open), 1);

  // On again plays nothing by itself; Ctrl+Home replays, here synchronously.
  ASSERT_TRUE(Choose(CM_SOUND_ENABLE));
  EXPECT_FALSE(window_->Media().SoundPlaying());
  Press(kVkF3, kCtrl);
  EXPECT_EQ(window_->Settings().Get(IntKey::SoundSynchronous), 1);
  EXPECT_TRUE(Item(CM_SOUND_SYNCHRONOUS).checked);
  Press(kVkHome, kCtrl);
  EXPECT_EQ(Count(open), 2);
  EXPECT_EQ(Count("MCI: play wav wait"), 1);
  EXPECT_EQ(Count("MCI: close wav"), 2);
  EXPECT_FALSE(window_->Media().SoundPlaying());
}

TEST_F(MediaWindowTest, LoopKeepsTheSoundGoingUntilItIsSwitchedOff) {
  Start({MediaFile("tune.wav")});
  TypeWith('*', kCtrl);
  EXPECT_EQ(window_->Settings().Get(IntKey::SoundLoop), 1);
  EXPECT_TRUE(Item(CM_SOUND_LOOP).checked);
  Advance(1100);
  EXPECT_EQ(Count("MCI: seek wav to start wait"), 1);
  EXPECT_EQ(Count("MCI: play wav notify"), 2);
  EXPECT_TRUE(window_->Media().SoundPlaying());

  Press(kVkMultiply, kCtrl);
  EXPECT_EQ(window_->Settings().Get(IntKey::SoundLoop), 0);
  Advance(1100);
  EXPECT_EQ(Count("MCI: seek wav to start wait"), 1);
  EXPECT_EQ(Count("MCI: close wav"), 1);
  EXPECT_FALSE(window_->Media().SoundPlaying());
}

TEST_F(MediaWindowTest, LouderAndSofterStepTheWaveVolumeWithinItsRange) {
  Start({});
  TMediaControl& control = window_->MediaControl();
  ASSERT_TRUE(control.SetWaveVolume(0xF800F800));
  TypeWith('+', kCtrl);
  EXPECT_EQ(control.WaveVolume(), 0xFFFFFFFFu);
  Press(kVkSubtract, kCtrl);
  Press(kVkSubtract, kCtrl);
  EXPECT_EQ(control.WaveVolume(), 0xDFFFDFFFu);
  ASSERT_TRUE(control.SetWaveVolume(0x0800'1800));
  ASSERT_TRUE(Choose(CM_SOUND_SOFTER));
  EXPECT_EQ(control.WaveVolume(), 0x0000'0800u);
  ASSERT_TRUE(Choose(CM_SOUND_LOUDER));
  EXPECT_EQ(control.WaveVolume(), 0x1000'1800u);
}

TEST_F(MediaWindowTest, ReplayNeedsASoundOrMovieShown) {
  Start({});
  EXPECT_FALSE(Item(CM_SOUND_REPLAY).enabled);
  EXPECT_FALSE(Item(CM_MOVIE_REPLAY).enabled);
  EXPECT_TRUE(Item(CM_SOUND_LOUDER).enabled);
  EXPECT_TRUE(Item(CM_MOVIE_LOOP).enabled);
  EXPECT_FALSE(Choose(CM_SOUND_REPLAY));
  EXPECT_EQ(Count("MCI: "), 0);
}

TEST_F(MediaWindowTest, MovieMenuStopsLoopsAndReplaysTheMovie) {
  const std::string clip = MediaFile("clip.avi");
  Start({clip});
  const std::string open = "MCI: open \"" + clip + "\" type avivideo alias avi";
  EXPECT_EQ(Count(open), 1);
  EXPECT_TRUE(window_->Media().MoviePlaying());
  EXPECT_TRUE(Item(CM_MOVIE_ENABLE).checked);

  Press(kVkF2, kAlt);
  EXPECT_EQ(window_->Settings().Get(IntKey::MovieEnable), 0);
  EXPECT_EQ(Count("MCI: close avi"), 1);
  EXPECT_FALSE(window_->Media().MoviePlaying());
  Press(kVkHome, kAlt);
  EXPECT_EQ(Count(open), 1);

  ASSERT_TRUE(Choose(CM_MOVIE_ENABLE));
  ASSERT_TRUE(Choose(CM_MOVIE_LOOP));
  EXPECT_TRUE(Item(CM_MOVIE_LOOP).checked);
  ASSERT_TRUE(Choose(CM_MOVIE_REPLAY));
  EXPECT_EQ(Count(open), 2);
  Advance(1100);
  EXPECT_EQ(Count("MCI: seek avi to start wait"), 1);
  EXPECT_TRUE(window_->Media().MoviePlaying());

  ASSERT_TRUE(Choose(CM_MOVIE_SYNCHRONOUS));
  EXPECT_TRUE(Item(CM_MOVIE_SYNCHRONOUS).checked);
  Press(kVkHome, kAlt);
  EXPECT_EQ(Count("MCI: play avi wait"), 1);
  EXPECT_FALSE(window_->Media().MoviePlaying());
}

TEST_F(MediaWindowTest, SlideshowWaitsForTheSoundToEndThenTheDelayBetweenSounds) {
  const std::string first = MediaFile("1.wav");
  const std::string second = MediaFile("2.wav");
  Start({first, second}, [](TProfile& settings) {
    settings.Set(IntKey::RunSlideshow, 1);
    settings.Set(IntKey::DelayBetweenSounds, 2);
    settings.Set(IntKey::DelayBetweenImages, 0);
  });
  const std::string open_second = "MCI: open \"" + second + "\"";
  ASSERT_EQ(window_->Names()[kSoundName], "1.wav");
  // The sound lasts a second: no step while it plays.
  Advance(900);
  EXPECT_TRUE(window_->Media().SoundPlaying());
  EXPECT_EQ(window_->Names()[kSoundName], "1.wav");
  // Ended, and the delay counts from the end, not from the start.
  Advance(1800);
  EXPECT_FALSE(window_->Media().SoundPlaying());
  EXPECT_EQ(Count("MCI: close wav"), 1);
  EXPECT_EQ(window_->Names()[kSoundName], "1.wav");
  EXPECT_EQ(Count(open_second), 0);
  Advance(500);
  EXPECT_EQ(window_->Names()[kSoundName], "2.wav");
  EXPECT_EQ(Count(open_second), 1);
}

}  // namespace
