// Movies on a real display: each plays in a top-level window of its own that
// goes away when the movie is closed. Needs a display (CI runs it under
// xvfb-run) and xwininfo to list the windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "media/sample_flic.h"
#include "media/sample_midi.h"
#include "media_test_support.h"
#include "platform/gst/gst_media_engine.h"
#include "platform/gst/gst_sample_writer.h"
#include "platform/media_control.h"
#include "support/temp_dir.h"

namespace {

constexpr int kSampleTenths = 3;

// The windows GStreamer's video sinks made, one line each as xwininfo shows them.
std::vector<std::string> VideoWindows() {
  std::vector<std::string> windows;
  std::FILE* listing = popen("xwininfo -root -tree 2>/dev/null", "r");
  if (!listing) return windows;
  char line[512];
  while (std::fgets(line, sizeof line, listing)) {
    const std::string text = line;
    if (text.find("\"GStreamer\")") != std::string::npos) windows.push_back(text);
  }
  pclose(listing);
  return windows;
}

TEST(DesktopMovie, PlaysInATopLevelWindowOfItsOwnUntilClosed) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no display";
  std::string missing;
  if (!GstHasElements({"videotestsrc", "jpegenc", "avimux", "flxdec", "ximagesink"}, &missing)) {
    if (GstreamerRequired()) FAIL() << "GStreamer element '" << missing << "' is not installed";
    GTEST_SKIP() << "GStreamer element '" << missing << "' is not installed";
  }
  if (std::system("xwininfo -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xwininfo";

  TempDir dir;
  const std::string avi = dir.File("ball.avi");
  const std::string flc = dir.File("square.flc");
  std::string error;
  ASSERT_TRUE(WriteGstSample(GstSampleKind::kAvi, kSampleTenths, avi, &error)) << error;
  ASSERT_TRUE(WriteSampleFile(flc, MakeSampleFlic(FlicKind::kFlc, 4, 64, 48)));
  auto engine = MakeGstMediaEngine({.fake_sinks = false, .fake_video = false, .soundfont = {}});
  TMediaControl control(engine.get(), nullptr);
  ASSERT_TRUE(VideoWindows().empty());

  for (const auto& [path, type, size] :
       {std::tuple{avi, "avivideo", "160x120"}, std::tuple{flc, "animation1", "64x48"}}) {
    const MciResult opened = control.Send("open \"" + path + "\" type " + type + " alias m");
    ASSERT_TRUE(opened.ok()) << path << ": " << opened.error_text;
    const std::vector<std::string> shown = VideoWindows();
    ASSERT_EQ(shown.size(), 1u) << path;
    EXPECT_NE(shown.front().find(size), std::string::npos) << shown.front();
    EXPECT_TRUE(control.Send("play m wait").ok()) << path;
    EXPECT_TRUE(control.Send("close m").ok());
    EXPECT_TRUE(VideoWindows().empty()) << path;
  }

  // A sound never opens a window.
  const std::string wav = dir.File("tone.wav");
  ASSERT_TRUE(WriteGstSample(GstSampleKind::kWav, kSampleTenths, wav, &error)) << error;
  ASSERT_TRUE(control.Send("open \"" + wav + "\" type waveaudio alias s").ok());
  EXPECT_TRUE(VideoWindows().empty());
  EXPECT_TRUE(control.Send("close s").ok());
}

}  // namespace
