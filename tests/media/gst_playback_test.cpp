// Playback through GStreamer with sinks that do not keep time. Skipped only
// when the GStreamer elements the samples need are not installed.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "media/sample_flic.h"
#include "media/sample_midi.h"
#include "media_test_support.h"
#include "platform/gst/gst_media_engine.h"
#include "platform/gst/gst_sample_writer.h"
#include "support/temp_dir.h"

namespace {

using Lines = std::vector<std::string>;
constexpr int kSampleTenths = 5;

class GstPlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string missing;
    if (!GstHasElements(
            {"playbin", "audiotestsrc", "wavenc", "fakesink", "midiparse", "fluiddec", "flxdec"},
            &missing)) {
      if (GstreamerRequired()) FAIL() << "GStreamer element '" << missing << "' is not installed";
      GTEST_SKIP() << "GStreamer element '" << missing
                   << "' is not installed (scripts/bootstrap installs it)";
    }
    host_.playback = &playback_;
    wav_ = dir_.File("tone one.wav");
    std::string error;
    ASSERT_TRUE(WriteGstSample(GstSampleKind::kWav, kSampleTenths, wav_, &error)) << error;
  }

  // Polls as the window's idle does until a notice arrives; the fake sinks
  // play as fast as they decode, so this ends soon.
  bool AwaitNotice() {
    for (int attempt = 0; attempt < 2000 && host_.queue.empty(); ++attempt) {
      playback_.Poll();
      if (host_.queue.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return !host_.queue.empty();
  }
  Lines TakeLog() {
    Lines lines = std::move(log_.lines);
    log_.lines.clear();
    return lines;
  }

  TempDir dir_;
  std::string wav_;
  LogRecorder log_;
  std::unique_ptr<MediaEngine> engine_ =
      MakeGstMediaEngine({.fake_sinks = true, .fake_video = true, .soundfont = DefaultSoundfont()});
  TestMediaHost host_{engine_.get()};
  TMediaPlayback playback_{host_};
};

TEST_F(GstPlaybackTest, WavPlaysAsynchronouslyAndClosesOnCompletion) {
  playback_.PlaySoundEntry(wav_);
  EXPECT_EQ(TakeLog(),
            (Lines{"MCI: open \"" + wav_ + "\" type waveaudio alias wav", "MCI: play wav notify"}));
  ASSERT_TRUE(AwaitNotice());
  EXPECT_EQ(host_.queue.front().code, kMciNotifySuccessful);
  host_.DeliverNotices();
  EXPECT_EQ(TakeLog(), Lines{"MCI: close wav"});
  EXPECT_EQ(host_.MediaControl().DevicesOpen(), 0u);
}

TEST_F(GstPlaybackTest, WavPlaysSynchronouslyAndLoops) {
  host_.settings.Set(IntKey::SoundSynchronous, 1);
  playback_.PlaySoundEntry(wav_);
  EXPECT_EQ(TakeLog(), (Lines{"MCI: open \"" + wav_ + "\" type waveaudio alias wav",
                              "MCI: play wav wait", "MCI: close wav"}));

  host_.settings.Set(IntKey::SoundSynchronous, 0);
  host_.settings.Set(IntKey::SoundLoop, 1);
  playback_.PlaySoundEntry(wav_);
  TakeLog();
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(AwaitNotice()) << "round " << round;
    host_.DeliverNotices();
    EXPECT_EQ(TakeLog(), (Lines{"MCI: seek wav to start wait", "MCI: play wav notify"}));
  }
  playback_.StopSounds();
  EXPECT_EQ(TakeLog(), Lines{"MCI: close wav"});
}

TEST_F(GstPlaybackTest, ScriptStopsAtItsFailingThirdLine) {
  const std::string script = dir_.File("tune.mci");
  ASSERT_TRUE(WriteFileText(script, "open \"" + wav_ +
                                        "\" type waveaudio alias tone\n"
                                        "play tone wait\n"
                                        "play tune wait\n"
                                        "close tone\n"));
  playback_.PlaySoundEntry(script);
  const Lines lines = TakeLog();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "MCI: play tune wait");
  EXPECT_EQ(lines[3], "err: The specified device is not open or is not recognized.");
  EXPECT_EQ(lines[4], "MCI: close all");
  EXPECT_EQ(host_.MediaControl().DevicesOpen(), 0u);
}

TEST_F(GstPlaybackTest, GeneratedMidiAndFlicFilesPlayToTheirEnd) {
  const std::string midi = dir_.File("scale.mid");
  const std::string flc = dir_.File("square.flc");
  const std::string fli = dir_.File("square.fli");
  ASSERT_TRUE(WriteSampleFile(midi, MakeSampleMidi(4)));
  ASSERT_TRUE(WriteSampleFile(flc, MakeSampleFlic(FlicKind::kFlc, 6, 64, 48)));
  ASSERT_TRUE(WriteSampleFile(fli, MakeSampleFlic(FlicKind::kFli, 3, 0, 0)));
  TMediaControl& control = host_.MediaControl();
  for (const auto& [path, type] :
       {std::pair{midi, "sequencer"}, std::pair{flc, "animation1"}, std::pair{fli, "animation1"}}) {
    const MciResult opened = control.Send("open \"" + path + "\" type " + type + " alias x");
    ASSERT_TRUE(opened.ok()) << path << ": " << opened.error_text;
    const MciResult played = control.Send("play x wait");
    EXPECT_TRUE(played.ok()) << path << ": " << played.error_text;
    EXPECT_EQ(control.Send("status x mode").reply, "stopped");
    EXPECT_GT(std::stoul(control.Send("status x length").reply), 0u) << path;
    EXPECT_TRUE(control.Send("close x").ok());
  }
}

TEST_F(GstPlaybackTest, AFileThatCannotPlayIsLoggedAndNothingStaysOpen) {
  const std::string bad = dir_.File("noise.wav");
  ASSERT_TRUE(WriteFileText(bad, "this is no sound at all, only text\n"));
  playback_.PlaySoundEntry(bad);
  const Lines lines = TakeLog();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].rfind("err: The file cannot be played on the specified device.", 0), 0u)
      << lines[1];
  EXPECT_FALSE(playback_.SoundPlaying());
  EXPECT_EQ(host_.MediaControl().DevicesOpen(), 0u);
}

// Takes an element out of GStreamer's automatic choice while it lives, as if
// its plugin were not installed.
class HiddenElement {
 public:
  explicit HiddenElement(const char* name)
      : feature_(GST_PLUGIN_FEATURE(gst_element_factory_find(name))),
        rank_(gst_plugin_feature_get_rank(feature_)) {
    gst_plugin_feature_set_rank(feature_, GST_RANK_NONE);
  }
  ~HiddenElement() {
    gst_plugin_feature_set_rank(feature_, rank_);
    gst_object_unref(feature_);
  }
  HiddenElement(const HiddenElement&) = delete;
  HiddenElement& operator=(const HiddenElement&) = delete;

 private:
  GstPluginFeature* feature_;
  guint rank_;
};

TEST_F(GstPlaybackTest, AMissingDecoderIsNamedInTheLog) {
  const std::string midi = dir_.File("scale.mid");
  ASSERT_TRUE(WriteSampleFile(midi, MakeSampleMidi(2)));
  const HiddenElement hidden("fluiddec");
  playback_.PlaySoundEntry(midi);
  const Lines lines = TakeLog();
  ASSERT_EQ(lines.size(), 2u);
  const std::string prefix = "err: A driver needed to play this file is not installed: ";
  ASSERT_EQ(lines[1].rfind(prefix, 0), 0u) << lines[1];
  EXPECT_GT(lines[1].size(), prefix.size()) << "the missing decoder is named";
  EXPECT_EQ(host_.MediaControl().DevicesOpen(), 0u);
}

TEST_F(GstPlaybackTest, LouderFromF800ReachesFullVolume) {
  TMediaControl& control = host_.MediaControl();
  ASSERT_TRUE(control.SetWaveVolume(0xF800F800));
  playback_.Louder();
  EXPECT_EQ(control.WaveVolume(), 0xFFFFFFFFu);
}

TEST(GstSampleWriter, WritesMoviesThatPlay) {
  std::string missing;
  if (!GstHasElements({"videotestsrc", "jpegenc", "avimux", "qtmux", "mpeg2enc", "mplex"},
                      &missing)) {
    if (GstreamerRequired()) FAIL() << "GStreamer element '" << missing << "' is not installed";
    GTEST_SKIP() << "GStreamer element '" << missing << "' is not installed";
  }
  TempDir dir;
  auto engine = MakeGstMediaEngine({.fake_sinks = true, .fake_video = true, .soundfont = {}});
  TMediaControl control(engine.get(), nullptr);
  for (const auto& [name, kind] :
       {std::pair{"b.avi", GstSampleKind::kAvi}, std::pair{"b.mpg", GstSampleKind::kMpg},
        std::pair{"b.mov", GstSampleKind::kMov}}) {
    std::string error;
    ASSERT_TRUE(WriteGstSample(kind, kSampleTenths, dir.File(name), &error)) << name << error;
    ASSERT_TRUE(control.Send("open \"" + dir.File(name) + "\" alias m").ok()) << name;
    EXPECT_TRUE(control.Send("play m wait").ok()) << name;
    EXPECT_TRUE(control.Send("close m").ok());
  }
}

}  // namespace
