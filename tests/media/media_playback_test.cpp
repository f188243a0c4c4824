#include "media/media_playback.h"

#include <gtest/gtest.h>

#include "media/wave_volume.h"
#include "media_test_support.h"
#include "platform/headless/virtual_clock.h"
#include "platform/null_media_engine.h"
#include "support/temp_dir.h"

namespace {

using Lines = std::vector<std::string>;

class MediaPlaybackTest : public ::testing::Test {
 protected:
  MediaPlaybackTest() {
    InstallTickSource(&clock_);
    host_.playback = &playback_;
    wav_ = dir_.File("tone.wav");
    WriteSilentWav(wav_, 2000);
  }
  ~MediaPlaybackTest() override { InstallTickSource(nullptr); }

  // Lets the sound end and the window handle what that posts.
  void FinishPlaying() {
    clock_.Advance(2000);
    playback_.Poll();
    host_.DeliverNotices();
  }
  Lines TakeLog() {
    Lines lines = std::move(log_.lines);
    log_.lines.clear();
    return lines;
  }

  TVirtualClock clock_{5000};
  TempDir dir_;
  std::string wav_;
  LogRecorder log_;
  TNullMediaEngine engine_;
  TestMediaHost host_{&engine_};
  TMediaPlayback playback_{host_};
};

TEST_F(MediaPlaybackTest, AsynchronousWavOpensQuotedPlaysNotifyAndClosesOnCompletion) {
  playback_.PlaySoundEntry(wav_);
  EXPECT_EQ(TakeLog(),
            (Lines{"MCI: open \"" + wav_ + "\" type waveaudio alias wav", "MCI: play wav notify"}))
      << "the empty Setup template leaves no line";
  EXPECT_TRUE(playback_.SoundPlaying());
  EXPECT_EQ(playback_.LastSoundTime(), 5000u);
  EXPECT_TRUE(playback_.Poll());
  FinishPlaying();
  EXPECT_EQ(TakeLog(), Lines{"MCI: close wav"});
  EXPECT_FALSE(playback_.SoundPlaying());
  EXPECT_EQ(engine_.StreamsOpen(), 0);
}

TEST_F(MediaPlaybackTest, SynchronousPlayWaitsAndClosesAtOnce) {
  host_.settings.Set(IntKey::SoundSynchronous, 1);
  playback_.PlaySoundEntry(wav_);
  EXPECT_EQ(TakeLog(), (Lines{"MCI: open \"" + wav_ + "\" type waveaudio alias wav",
                              "MCI: play wav wait", "MCI: close wav"}));
  EXPECT_FALSE(playback_.SoundPlaying());
}

TEST_F(MediaPlaybackTest, DisabledTemplatesAreLoggedButNotSent) {
  host_.settings.Set(StringKey::WAVSetupCommand, "# nothing to set up");
  host_.settings.Set(StringKey::WAVPlayCommand, "play wav %s from 0");
  playback_.PlaySoundEntry(wav_);
  EXPECT_EQ(TakeLog(), (Lines{"MCI: open \"" + wav_ + "\" type waveaudio alias wav",
                              "MCI: # nothing to set up", "MCI: play wav notify from 0"}));
  EXPECT_TRUE(playback_.SoundPlaying());
  EXPECT_TRUE(playback_.SendMciCommand("!%s", "ignored", false));
  EXPECT_TRUE(playback_.SendMciCommand("/x", {}, false));
  EXPECT_TRUE(playback_.SendMciCommand("", {}, false));
  EXPECT_EQ(TakeLog(), (Lines{"MCI: !ignored", "MCI: /x"}));
}

TEST_F(MediaPlaybackTest, LoopingRestartsOnCompletionAndClosesWhenAborted) {
  host_.settings.Set(IntKey::SoundLoop, 1);
  playback_.PlaySoundEntry(wav_);
  TakeLog();
  FinishPlaying();
  EXPECT_EQ(TakeLog(), (Lines{"MCI: seek wav to start wait", "MCI: play wav notify"}));
  FinishPlaying();
  EXPECT_EQ(TakeLog(), (Lines{"MCI: seek wav to start wait", "MCI: play wav notify"}));
  // Someone else stops the device: the abort closes it.
  ASSERT_TRUE(host_.MediaControl().Send("stop wav").ok());
  host_.DeliverNotices();
  EXPECT_EQ(TakeLog(), Lines{"MCI: close wav"});
  EXPECT_FALSE(playback_.SoundPlaying());
}

TEST_F(MediaPlaybackTest, FailedOpenSendsNothingMoreAndFailedPlayCloses) {
  playback_.PlaySoundEntry(dir_.File("missing.wav"));
  const Lines missing = TakeLog();
  ASSERT_EQ(missing.size(), 2u);
  EXPECT_EQ(missing[1],
            "err: The specified file cannot be found. Make sure the path and filename are "
            "correct.");
  host_.settings.Set(StringKey::WAVPlayCommand, "play wav %s sideways");
  playback_.PlaySoundEntry(wav_);
  const Lines failed = TakeLog();
  ASSERT_EQ(failed.size(), 4u);
  EXPECT_EQ(failed[2], "err: The specified keyword is not recognized: sideways");
  EXPECT_EQ(failed[3], "MCI: close wav");
  EXPECT_FALSE(playback_.SoundPlaying());
}

TEST_F(MediaPlaybackTest, ScriptStopsAtTheFailingThirdLineAndClosesAll) {
  const std::string script = dir_.File("tune.mci");
  ASSERT_TRUE(WriteFileText(script, "open \"" + wav_ +
                                        "\" alias one\r\n"
                                        "\n"
                                        "play one notify\n"
                                        "play two\n"
                                        "close one\n"));
  playback_.PlaySoundEntry(script);
  EXPECT_EQ(
      TakeLog(),
      (Lines{"MCI: open \"" + wav_ + "\" alias one", "MCI: play one notify", "MCI: play two",
             "err: The specified device is not open or is not recognized.", "MCI: close all"}));
  EXPECT_FALSE(playback_.ScriptActive());
  EXPECT_EQ(engine_.StreamsOpen(), 0);
}

TEST_F(MediaPlaybackTest, ScriptStaysActiveUntilSoundsStopAndRefusesOverlongLines) {
  const std::string script = dir_.File("ok.mci");
  ASSERT_TRUE(WriteFileText(script, "open \"" + wav_ + "\" alias one\nplay one"));
  playback_.PlaySoundEntry(script);
  EXPECT_TRUE(playback_.ScriptActive());
  EXPECT_EQ(TakeLog().size(), 2u) << "a last line without a line end still counts";
  playback_.StopSounds();
  EXPECT_EQ(TakeLog(), Lines{"MCI: close all"});

  ASSERT_TRUE(WriteFileText(script, "open \"" + wav_ + "\" alias " + std::string(160, 'a') + "\n"));
  playback_.PlaySoundEntry(script);
  const Lines lines = TakeLog();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "err: The script line is longer than 150 characters.");
  EXPECT_EQ(engine_.StreamsOpen(), 0);
}

TEST_F(MediaPlaybackTest, CommandsLongerThanTheLimitAreRefusedNotCut) {
  const std::string long_name = dir_.File(std::string(240, 'n') + ".wav");
  playback_.PlaySoundEntry(long_name);
  const Lines lines = TakeLog();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "err: The command is longer than 251 characters.");
  EXPECT_EQ(host_.MediaControl().DevicesOpen(), 0u);
}

TEST_F(MediaPlaybackTest, MmmMoviesReportAnErrorAndOtherMoviesLoop) {
  const std::string mmm = dir_.File("old.mmm");
  ASSERT_TRUE(WriteFileText(mmm, "RIFF"));
  playback_.PlayMovieEntry(mmm);
  const Lines lines = TakeLog();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].rfind("err: The specified device type is not recognized.", 0), 0u);
  EXPECT_FALSE(playback_.MoviePlaying());

  const std::string flc = dir_.File("square.flc");
  ASSERT_TRUE(WriteFileText(flc, "frames"));
  host_.settings.Set(IntKey::MovieLoop, 1);
  playback_.PlayMovieEntry(flc);
  EXPECT_TRUE(playback_.MoviePlaying());
  EXPECT_EQ(playback_.LastMovieTime(), 5000u);
  TakeLog();
  clock_.Advance(kNullMediaDefaultLength);
  playback_.Poll();
  host_.DeliverNotices();
  EXPECT_EQ(TakeLog(), (Lines{"MCI: seek flc to start wait", "MCI: play flc notify"}));
  playback_.StopMovies();
  EXPECT_EQ(TakeLog(), Lines{"MCI: close flc"});
}

TEST_F(MediaPlaybackTest, AMovieEndingLeavesTheSoundPlaying) {
  const std::string avi = dir_.File("ball.avi");
  ASSERT_TRUE(WriteFileText(avi, "frames"));
  playback_.PlaySoundEntry(wav_);
  playback_.PlayMovieEntry(avi);
  TakeLog();
  clock_.Advance(kNullMediaDefaultLength);
  playback_.Poll();
  host_.DeliverNotices();
  EXPECT_EQ(TakeLog(), Lines{"MCI: close avi"});
  EXPECT_TRUE(playback_.SoundPlaying());
}

TEST_F(MediaPlaybackTest, NoticesOfClosedDevicesChangeNothing) {
  playback_.PlaySoundEntry(wav_);
  // The replacement's open comes before the abort of the first one is handled.
  host_.playback = nullptr;
  playback_.PlaySoundEntry(wav_);
  host_.playback = &playback_;
  TakeLog();
  host_.DeliverNotices();
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_TRUE(playback_.SoundPlaying());
}

TEST_F(MediaPlaybackTest, LouderAndSofterStepEachChannelWithinRange) {
  TMediaControl& control = host_.MediaControl();
  control.SetWaveVolume(0xF800F800);
  playback_.Louder();
  EXPECT_EQ(control.WaveVolume(), 0xFFFFFFFFu);
  control.SetWaveVolume(0x0800'2000);
  playback_.Softer();
  EXPECT_EQ(control.WaveVolume(), 0x0000'1000u);
  EXPECT_EQ(LouderVolume(0x0000'F000), 0x1000'FFFFu) << "channels move apart";
}

}  // namespace
