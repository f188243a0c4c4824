#include "platform/media_control.h"

#include <gtest/gtest.h>

#include "media_test_support.h"
#include "platform/headless/virtual_clock.h"
#include "platform/null_media_engine.h"
#include "support/temp_dir.h"

namespace {

class MediaControlTest : public ::testing::Test {
 protected:
  MediaControlTest() {
    InstallTickSource(&clock_);
    wav_ = dir_.File("a tone.wav");
    WriteSilentWav(wav_, 1500);
  }
  ~MediaControlTest() override { InstallTickSource(nullptr); }

  MciResult Send(const std::string& command) { return control_.Send(command, kTestWindow); }
  std::vector<std::uint32_t> Codes() {
    std::vector<std::uint32_t> codes;
    for (const Notice& notice : notices_) codes.push_back(notice.code);
    notices_.clear();
    return codes;
  }

  TVirtualClock clock_{1000};
  TempDir dir_;
  std::string wav_;
  TNullMediaEngine engine_;
  std::vector<Notice> notices_;
  TMediaControl control_{&engine_, [this](WindowId, std::uint32_t code, std::uint32_t device) {
                           notices_.push_back({code, device});
                         }};
};

TEST_F(MediaControlTest, OpensQuotedAndUnquotedNamesWithSpaces) {
  EXPECT_TRUE(Send("open \"" + wav_ + "\" type waveaudio alias wav").ok());
  // An unquoted name runs up to the first keyword.
  const MciResult unquoted = Send("open " + wav_ + " type sequencer alias mid");
  EXPECT_TRUE(unquoted.ok()) << unquoted.error_text;
  EXPECT_EQ(control_.DevicesOpen(), 2u);
  EXPECT_EQ(Send("status WAV length").reply, "1500") << "aliases ignore case";
  // Without type or alias, the extension chooses and the name is the alias.
  EXPECT_TRUE(Send("close wav").ok());
  EXPECT_TRUE(Send("open \"" + wav_ + "\"").ok());
  EXPECT_EQ(Send("status \"" + wav_ + "\" mode").reply, "stopped");
}

TEST_F(MediaControlTest, RefusesWhatItCannotOpenWithClassicTexts) {
  EXPECT_EQ(Send("open \"" + wav_ + "\" type mmmovie alias mmm").error_text,
            "The specified device type is not recognized. A driver for it may not be installed. "
            "mmmovie");
  EXPECT_EQ(Send("open \"" + dir_.File("missing.wav") + "\" alias x").error,
            MciError::kFileNotFound);
  EXPECT_TRUE(Send("open \"" + wav_ + "\" alias wav").ok());
  EXPECT_EQ(Send("open \"" + wav_ + "\" alias WAV").error, MciError::kAliasInUse);
  EXPECT_EQ(Send("play nothing").error_text,
            "The specified device is not open or is not recognized.");
  EXPECT_EQ(Send("fly wav").error, MciError::kUnrecognizedCommand);
  EXPECT_EQ(Send("play wav loudly").error, MciError::kBadKeyword);
  EXPECT_EQ(Send("seek wav").error, MciError::kMissingParameter);
  EXPECT_EQ(Send("seek wav to 99999").error, MciError::kOutOfRange);
  EXPECT_EQ(Send("open \"" + wav_).error, MciError::kMissingParameter) << "unclosed quote";
  EXPECT_EQ(Send("play all").error, MciError::kAllNotAllowed);
  engine_.RefuseToOpen(wav_, {MediaFault::kMissingPlugin, "MIDI decoder"});
  EXPECT_EQ(Send("open \"" + wav_ + "\" alias again").error_text,
            "A driver needed to play this file is not installed: MIDI decoder");
  EXPECT_TRUE(Codes().empty()) << "failed commands notify nobody";
}

TEST_F(MediaControlTest, PlayNotifyCompletesAfterTheLengthOnTheClock) {
  ASSERT_TRUE(Send("open \"" + wav_ + "\" alias wav").ok());
  ASSERT_TRUE(Send("play wav notify").ok());
  EXPECT_EQ(Send("status wav mode").reply, "playing");
  clock_.Advance(1499);
  EXPECT_TRUE(control_.Poll());
  EXPECT_TRUE(Codes().empty());
  EXPECT_EQ(Send("status wav position").reply, "1499");
  clock_.Advance(1);
  EXPECT_FALSE(control_.Poll());
  EXPECT_EQ(Codes(), std::vector<std::uint32_t>{kMciNotifySuccessful});
  EXPECT_EQ(Send("status wav mode").reply, "stopped");
  // Played to its end, the next play starts again from the beginning.
  ASSERT_TRUE(Send("play wav wait notify").ok());
  EXPECT_EQ(Codes(), std::vector<std::uint32_t>{kMciNotifySuccessful});
}

TEST_F(MediaControlTest, NoticesSaySupersededAbortedAndFailed) {
  ASSERT_TRUE(Send("open \"" + wav_ + "\" alias wav").ok());
  ASSERT_TRUE(Send("play wav notify").ok());
  ASSERT_TRUE(Send("play wav notify").ok());
  EXPECT_EQ(Codes(), std::vector<std::uint32_t>{kMciNotifySuperseded});
  ASSERT_TRUE(Send("seek wav to start wait").ok());
  EXPECT_EQ(Codes(), std::vector<std::uint32_t>{kMciNotifyAborted});
  ASSERT_TRUE(Send("play wav notify").ok());
  ASSERT_TRUE(Send("stop wav").ok());
  EXPECT_EQ(Codes(), std::vector<std::uint32_t>{kMciNotifyAborted});
  ASSERT_TRUE(Send("play wav notify").ok());
  ASSERT_TRUE(Send("close all notify").ok());
  EXPECT_EQ(Codes(), (std::vector<std::uint32_t>{kMciNotifyAborted, kMciNotifySuccessful}));
  EXPECT_EQ(control_.DevicesOpen(), 0u);

  engine_.FailWhilePlaying(wav_, 200, "(decoder gave up)");
  ASSERT_TRUE(Send("open \"" + wav_ + "\" alias wav").ok());
  ASSERT_TRUE(Send("play wav notify").ok());
  clock_.Advance(200);
  control_.Poll();
  EXPECT_EQ(Codes(), std::vector<std::uint32_t>{kMciNotifyFailure});
  EXPECT_EQ(Send("play wav from 0 wait").error_text,
            "The device reported a failure while playing: (decoder gave up)");
}

TEST_F(MediaControlTest, CloseAllClosesEveryDeviceAndVolumeReachesStreams) {
  ASSERT_TRUE(Send("open \"" + wav_ + "\" alias one").ok());
  ASSERT_TRUE(Send("open \"" + wav_ + "\" alias two").ok());
  EXPECT_TRUE(Send("close all").ok());
  EXPECT_EQ(engine_.StreamsOpen(), 0);
  EXPECT_TRUE(Send("close all").ok()) << "nothing open is no error";
  EXPECT_EQ(Send("close one").error, MciError::kDeviceNotOpen);

  ASSERT_TRUE(Send("open \"" + wav_ + "\" alias one").ok());
  EXPECT_EQ(control_.WaveVolume(), kFullWaveVolume);
  ASSERT_TRUE(control_.SetWaveVolume(0x8000'0000));
  EXPECT_NEAR(engine_.LastVolume(), 0x8000 / 65535.0, 1e-9) << "the louder channel counts";
  TMediaControl without_engine(nullptr, nullptr);
  EXPECT_FALSE(without_engine.WaveVolume().has_value());
  EXPECT_EQ(without_engine.Send("open \"" + wav_ + "\"").error, MciError::kEngineUnavailable);
}

TEST(WaveLength, ComesFromTheHeaderAndNothingElse) {
  TempDir dir;
  ASSERT_TRUE(WriteSilentWav(dir.File("a.wav"), 250));
  EXPECT_EQ(WaveLengthMilliseconds(dir.File("a.wav")), 250u);
  // A data chunk before any format cannot be timed; a truncated header neither.
  ASSERT_TRUE(
      WriteFileText(dir.File("b.wav"), std::string("RIFF\x04\0\0\0WAVEdata\x10\0\0\0", 20)));
  EXPECT_EQ(WaveLengthMilliseconds(dir.File("b.wav")), 0u);
  ASSERT_TRUE(WriteFileText(dir.File("c.wav"), "RIFF"));
  EXPECT_EQ(WaveLengthMilliseconds(dir.File("c.wav")), 0u);
  ASSERT_TRUE(WriteFileText(dir.File("d.wav"), std::string("RIFF\0\0\0\0WAVEfmt \x02\0\0\0", 20)));
  EXPECT_EQ(WaveLengthMilliseconds(dir.File("d.wav")), 0u);
}

}  // namespace
