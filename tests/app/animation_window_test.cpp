// Animated GIFs in the main window on the headless backend's virtual clock:
// the frames on screen, the end of a play, and the slideshow's wait.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "formats/gif_animation_files.h"
#include "headless_window_fixture.h"
#include "image/display_palette.h"
#include "image/image.h"
#include "platform/colour.h"
#include "platform/headless/headless_backend.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace gif_animation_test;

class AnimationWindowTest : public HeadlessWindowTest {
 protected:
  // A running slideshow asks for idle time without end; a few thousand
  // steps settle everything else.
  AnimationWindowTest() { run_steps_ = 5000; }

  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(WriteFileBytes(path, std::vector<unsigned char>(bytes.begin(), bytes.end())));
    return path;
  }
  std::string Still(const std::string& name) {
    AnimationBuilder builder(8, 8, GlobalColours(), 0);
    return Write(name, builder.Frame(0, 0, 1, 1, {4}).Finish());
  }

  // A true-colour screen showing the picture 1:1, without a transition.
  void Start(std::vector<std::string> arguments, const std::function<void(TProfile&)>& tweak = {}) {
    options_.depth = 24;
    StartWindow(std::move(arguments), [&](TProfile& settings) {
      SteadySettings(settings);
      settings.Set(IntKey::WImage, 1000);
      settings.Set(IntKey::HImage, 1000);
      settings.Set(IntKey::FillWindow, 1);
      settings.Set(IntKey::AutoScale, 0);
      settings.Set(IntKey::AutoCrop, 0);
      settings.Set(IntKey::SortPalette, 0);
      settings.Set(IntKey::AnimateGif, 1);
      if (tweak) tweak(settings);
    });
  }
  void Advance(std::uint32_t milliseconds) {
    backend_->Clock().Advance(milliseconds);
    Run();
  }

  Colour ScreenColour(int x, int y) {
    const ImageBounds output = window_->Picture().GetOutputRect();
    const Rect inner = window_->InnerFrame();
    const ColorRef colour = window_->MainWindow().ScreenSurface().ColourAt(
        inner.left + output.left + x, inner.top + output.top + y);
    return Colour{static_cast<std::uint8_t>(RedOf(colour)),
                  static_cast<std::uint8_t>(GreenOf(colour)),
                  static_cast<std::uint8_t>(BlueOf(colour))};
  }
  void ExpectScreenShows(const Pam& frame) {
    const ImageBounds output = window_->Picture().GetOutputRect();
    ASSERT_EQ(output.right - output.left, frame.width);
    ASSERT_EQ(output.bottom - output.top, frame.height);
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) {
        ASSERT_EQ(ScreenColour(x, y), ExpectedColour(frame, x, y)) << "at " << x << "," << y;
      }
    }
  }
  Pam CoalescedFrame(const std::string& gif, int frame) {
    const std::string pattern = dir_.File("coalesced%d.pam");
    EXPECT_EQ(RunCommand("convert " + ShellQuote(gif) + " -coalesce " + ShellQuote(pattern)), 0);
    Pam pam;
    EXPECT_TRUE(ReadPam(dir_.File("coalesced" + std::to_string(frame) + ".pam"), pam));
    return pam;
  }
};

TEST_F(AnimationWindowTest, TheScreenShowsImageMagicksCoalescedThirdFrameOnTime) {
  REQUIRE_PEER_TOOL("convert");
  const std::string gif = Write("anim.gif", ReferenceAnimation(0));
  const Pam third = CoalescedFrame(gif, 2);
  Start({gif});
  Advance(100);
  Advance(99);
  const Colour before = ScreenColour(4, 3);  // frame 1's local colours
  EXPECT_EQ(before, LocalColours()[0]);
  Advance(1);
  ExpectScreenShows(third);
  EXPECT_NE(ScreenColour(4, 3), before);
}

TEST_F(AnimationWindowTest, WithATransitionTheWindowsPageKeepsTheFrameShown) {
  REQUIRE_PEER_TOOL("convert");
  const std::string gif = Write("anim.gif", ReferenceAnimation(0));
  const Pam third = CoalescedFrame(gif, 2);
  Start({gif}, [](TProfile& settings) { settings.Set(IntKey::Effect, kDirectEffect + 1); });
  Advance(200);
  ExpectScreenShows(third);
  // Uncovering the window copies the page back: it must hold the same frame.
  window_->MainWindow().Invalidate(Rect{0, 0, 40, 40}, false);
  Run();
  ExpectScreenShows(third);
}

TEST_F(AnimationWindowTest, APlayOnceAnimationRestsOnItsLastFrame) {
  REQUIRE_PEER_TOOL("convert");
  const std::string gif = Write("once.gif", ReferenceAnimation(-1));
  const Pam last = CoalescedFrame(gif, 3);
  Start({gif});
  Advance(5000);
  ExpectScreenShows(last);
  // Zooming repaints the frame shown, not the file's single-canvas picture.
  window_->RunCommand(CM_ZOOM_IN);
  Run();
  window_->RunCommand(CM_ZOOM_OUT);
  Run();
  Advance(5000);
  ExpectScreenShows(last);
}

TEST_F(AnimationWindowTest, WithAnimateGifOffEveryImageIsPaintedOnOneCanvas) {
  const std::string gif = Write("anim.gif", ReferenceAnimation(0));
  Start({gif}, [](TProfile& settings) { settings.Set(IntKey::AnimateGif, 0); });
  EXPECT_EQ(window_->Picture().GetBytesPerPixel(), 1);
  // The second image's index 0 shows in the last image's (global) colours.
  EXPECT_EQ(ScreenColour(4, 3), GlobalColours()[0]);
  Advance(100);
  EXPECT_EQ(ScreenColour(4, 3), GlobalColours()[0]);
}

TEST_F(AnimationWindowTest, TheSlideshowWaitsForOneLoopBeforeItsDelay) {
  const std::string first = Still("a.gif");
  const std::string anim = Write("b.gif", ReferenceAnimation(0));
  const std::string last = Still("c.gif");
  Start({first, anim, last},
        [](TProfile& settings) { settings.Set(IntKey::DelayBetweenImages, 1); });
  window_->RunCommand(CM_RUN_SLIDESHOW);
  Run();
  ASSERT_EQ(window_->Names()[kImageName], "b.gif");
  // One loop takes 550 ms; the picture's second starts after it.
  int elapsed = 0;
  while (window_->Names()[kImageName] == "b.gif" && elapsed < 5000) {
    Advance(50);
    elapsed += 50;
  }
  EXPECT_EQ(window_->Names()[kImageName], "c.gif");
  EXPECT_GE(elapsed, 1550);
  EXPECT_LE(elapsed, 1650);
}

}  // namespace
