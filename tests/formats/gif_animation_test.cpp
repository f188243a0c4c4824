// The GIF player: frames composed one at a time equal ImageMagick's
// coalesced frames; loops, short and hostile files.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "formats/gif_animation.h"
#include "formats/gif_format.h"
#include "gif_animation_files.h"
#include "image/image.h"
#include "platform/log_sink.h"
#include "settings/profile.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace gif_animation_test;

class CollectLog : public LogSink {
 public:
  void AppendLogLine(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

Colour PixelOf(const TImage& image, int x, int y) {
  const std::uint8_t* pixel = image.Row(y) + 3 * x;
  return Colour{pixel[2], pixel[1], pixel[0]};
}

// ImageMagick leaves what the frames do not cover transparent; the player
// shows the background colour there.
void ExpectFrameEquals(const TImage& image, const Pam& expected) {
  ASSERT_EQ(image.width, expected.width);
  ASSERT_EQ(image.height, expected.height);
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      ASSERT_EQ(PixelOf(image, x, y), ExpectedColour(expected, x, y)) << "at " << x << "," << y;
    }
  }
}

class GifAnimationTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallLogSink(&log_); }
  void TearDown() override { InstallLogSink(nullptr); }

  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(WriteFileBytes(path, std::vector<unsigned char>(bytes.begin(), bytes.end())));
    return path;
  }

  TempDir dir_;
  CollectLog log_;
  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

TEST_F(GifAnimationTest, ComposedFramesEqualImageMagicksCoalescedFrames) {
  REQUIRE_PEER_TOOL("convert");
  const std::string path = Write("anim.gif", ReferenceAnimation(0));
  ASSERT_EQ(RunCommand("convert " + ShellQuote(path) + " -coalesce " +
                       ShellQuote(dir_.File("frame%d.pam"))),
            0);
  auto animation = TGifAnimation::Open(path, nullptr);
  ASSERT_NE(animation, nullptr);
  ASSERT_EQ(animation->FrameCount(), 4);
  std::uint32_t now = 1000;
  animation->Start(*image_, now);
  for (int frame = 0; frame < 4; ++frame) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    ASSERT_EQ(animation->CurrentFrame(), frame);
    Pam expected;
    ASSERT_TRUE(ReadPam(dir_.File("frame" + std::to_string(frame) + ".pam"), expected));
    ExpectFrameEquals(*image_, expected);
    now += static_cast<std::uint32_t>(animation->DelayOf(frame));
    // A tick a moment early changes nothing.
    EXPECT_FALSE(animation->Tick(*image_, now - 1));
    EXPECT_TRUE(animation->Tick(*image_, now));
  }
  // Looping forever: the first frame again, on a fresh screen.
  EXPECT_EQ(animation->CurrentFrame(), 0);
  EXPECT_TRUE(animation->FirstLoopDone());
  Pam first;
  ASSERT_TRUE(ReadPam(dir_.File("frame0.pam"), first));
  ExpectFrameEquals(*image_, first);
}

TEST_F(GifAnimationTest, QuickLookComposesEveryEighthPixelOfEachFrame) {
  REQUIRE_PEER_TOOL("convert");
  const std::string path = Write("anim.gif", ReferenceAnimation(0));
  ASSERT_EQ(RunCommand("convert " + ShellQuote(path) + " -coalesce " +
                       ShellQuote(dir_.File("frame%d.pam"))),
            0);
  TProfile settings;
  settings.Set(IntKey::QuickLook, 1);
  auto animation = TGifAnimation::Open(path, &settings);
  ASSERT_NE(animation, nullptr);
  std::uint32_t now = 0;
  animation->Start(*image_, now);
  ASSERT_EQ(image_->width, kScreenWidth / 8);
  ASSERT_EQ(image_->height, kScreenHeight / 8);
  for (int frame = 0; frame < 4; ++frame) {
    Pam expected;
    ASSERT_TRUE(ReadPam(dir_.File("frame" + std::to_string(frame) + ".pam"), expected));
    for (int y = 0; y < image_->height; ++y) {
      for (int x = 0; x < image_->width; ++x) {
        EXPECT_EQ(PixelOf(*image_, x, y), ExpectedColour(expected, 8 * x, 8 * y))
            << "frame " << frame << " at " << x << "," << y;
      }
    }
    now += static_cast<std::uint32_t>(animation->DelayOf(frame));
    animation->Tick(*image_, now);
  }
}

TEST_F(GifAnimationTest, DelaysOfZeroOrOneCentisecondAreShownAsTen) {
  AnimationBuilder builder(4, 4, GlobalColours(), 0);
  for (int delay : {0, 1, 2, 37}) {
    builder.Control(0, delay).Frame(0, 0, 1, 1, {3});
  }
  auto animation = TGifAnimation::Open(Write("d.gif", builder.Finish()), nullptr);
  ASSERT_NE(animation, nullptr);
  EXPECT_EQ(animation->DelayOf(0), 100);
  EXPECT_EQ(animation->DelayOf(1), 100);
  EXPECT_EQ(animation->DelayOf(2), 20);
  EXPECT_EQ(animation->DelayOf(3), 370);
}

// Plays through the reference animation's frames from `now`, returning the
// time after the last frame's delay.
std::uint32_t PlayOnce(TGifAnimation& animation, TImage& image, std::uint32_t now) {
  for (int frame = 0; frame < animation.FrameCount(); ++frame) {
    now += static_cast<std::uint32_t>(animation.DelayOf(animation.CurrentFrame()));
    animation.Tick(image, now);
  }
  return now;
}

TEST_F(GifAnimationTest, LoopCountDecidesHowOftenItPlays) {
  // Without a loop block: once, then it rests on the last frame.
  auto once = TGifAnimation::Open(Write("once.gif", ReferenceAnimation(-1)), nullptr);
  ASSERT_NE(once, nullptr);
  once->Start(*image_, 0);
  std::uint32_t now = 0;
  for (int frame = 1; frame < 4; ++frame) {
    now += static_cast<std::uint32_t>(once->DelayOf(frame - 1));
    EXPECT_TRUE(once->Tick(*image_, now));
    EXPECT_FALSE(once->FirstLoopDone());
  }
  now += static_cast<std::uint32_t>(once->DelayOf(3));
  EXPECT_FALSE(once->Tick(*image_, now));
  EXPECT_TRUE(once->FirstLoopDone());
  EXPECT_TRUE(once->Stopped());
  EXPECT_EQ(once->CurrentFrame(), 3);
  EXPECT_FALSE(once->Tick(*image_, now + 100000));

  // A count of 2 repeats it twice after the first play.
  auto thrice = TGifAnimation::Open(Write("thrice.gif", ReferenceAnimation(2)), nullptr);
  ASSERT_NE(thrice, nullptr);
  thrice->Start(*image_, 0);
  now = PlayOnce(*thrice, *image_, 0);
  now = PlayOnce(*thrice, *image_, now);
  EXPECT_FALSE(thrice->Stopped());
  now = PlayOnce(*thrice, *image_, now);
  EXPECT_TRUE(thrice->Stopped());
  EXPECT_EQ(thrice->CurrentFrame(), 3);
}

TEST_F(GifAnimationTest, ALateTickShowsTheFrameDueThen) {
  auto animation = TGifAnimation::Open(Write("late.gif", ReferenceAnimation(0)), nullptr);
  ASSERT_NE(animation, nullptr);
  animation->Start(*image_, 0);
  // Frames 1 and 2 are due at 100 and 200, frame 3 at 350.
  EXPECT_TRUE(animation->Tick(*image_, 250));
  EXPECT_EQ(animation->CurrentFrame(), 2);
  EXPECT_FALSE(animation->Tick(*image_, 349));
  EXPECT_TRUE(animation->Tick(*image_, 350));
  EXPECT_EQ(animation->CurrentFrame(), 3);
  // More than a loop behind: one loop is played through, and the frame it
  // ends on gets its whole delay from now.
  EXPECT_TRUE(animation->Tick(*image_, 10000));
  EXPECT_EQ(animation->CurrentFrame(), 3);
  EXPECT_FALSE(animation->Tick(*image_, 10000 + 199));
  EXPECT_TRUE(animation->Tick(*image_, 10000 + 200));
  EXPECT_EQ(animation->CurrentFrame(), 0);
}

TEST_F(GifAnimationTest, ATruncatedFileShowsTheFramesThatDecoded) {
  const std::vector<std::uint8_t> whole = ReferenceAnimation(0);
  auto full = TGifAnimation::Open(Write("whole.gif", whole), nullptr);
  ASSERT_NE(full, nullptr);
  full->Start(*image_, 0);
  full->Tick(*image_, 100);
  auto expected = std::make_unique<TImage>();
  expected->Create(kScreenWidth, kScreenHeight, 1, 1, 3, 1, 0);
  for (int y = 0; y < kScreenHeight; ++y) {
    std::copy_n(image_->Row(y), 3 * kScreenWidth, expected->Row(y));
  }

  // Cut a few bytes into the third frame's data: its descriptor is listed,
  // and the first two frames play as before.
  std::vector<std::uint8_t> cut = whole;
  std::size_t third = 0;
  for (std::size_t i = 0, images = 0; i < cut.size(); ++i) {
    if (cut[i] == 0x2C && i > 0 && cut[i - 1] == 0x00 && ++images == 3) {
      third = i;
      break;
    }
  }
  ASSERT_GT(third, 0u);
  cut.resize(third + 10 + 1 + 1 + 6);
  auto animation = TGifAnimation::Open(Write("cut.gif", cut), nullptr);
  ASSERT_NE(animation, nullptr);
  EXPECT_EQ(animation->FrameCount(), 3);
  animation->Start(*image_, 0);
  EXPECT_TRUE(animation->Tick(*image_, 100));
  for (int y = 0; y < kScreenHeight; ++y) {
    ASSERT_TRUE(std::equal(image_->Row(y), image_->Row(y) + 3 * kScreenWidth, expected->Row(y)))
        << "row " << y;
  }
  EXPECT_TRUE(animation->Tick(*image_, 200));
  EXPECT_EQ(animation->CurrentFrame(), 2);

  // Cut inside the second descriptor: one image is no animation.
  cut.resize(third / 2);
  EXPECT_EQ(TGifAnimation::Open(Write("one.gif", cut), nullptr), nullptr);
}

TEST_F(GifAnimationTest, FullResolutionKeepsWideAnimationsWhole) {
  // 3000 true-colour pixels are more than a classic row holds; 9000 is a
  // screen classic readers refuse.
  for (const int width : {3000, 9000}) {
    SCOPED_TRACE(width);
    AnimationBuilder builder(width, 2, GlobalColours(), 0);
    builder.Control(0, 5).Frame(width - 1, 1, 1, 1, {2});
    builder.Control(0, 5).Frame(0, 0, 1, 1, {3});
    const std::string path = Write("wide.gif", builder.Finish());
    TProfile settings;
    settings.Set(IntKey::FullResolution, 1);
    auto whole = TGifAnimation::Open(path, &settings);
    ASSERT_NE(whole, nullptr);
    whole->Start(*image_, 0);
    EXPECT_EQ(image_->width, width);
    EXPECT_EQ(image_->reduction, 1);
    EXPECT_EQ(PixelOf(*image_, width - 1, 1), GlobalColours()[2]);

    settings.Set(IntKey::FullResolution, 0);
    auto classic = TGifAnimation::Open(path, &settings);
    if (width > kGifClassicMaxSide) {
      EXPECT_EQ(classic, nullptr);
      continue;
    }
    ASSERT_NE(classic, nullptr);
    classic->Start(*image_, 0);
    EXPECT_EQ(image_->reduction, 2);
  }
}

TEST_F(GifAnimationTest, FramesOutsideTheScreenAreClippedAndHostileCountsRefused) {
  // Frames far off the screen, wider than any row buffer, or empty, change
  // nothing outside the picture.
  AnimationBuilder builder(8, 6, GlobalColours(), 1);
  builder.Control(0, 5).Frame(0, 0, 8, 6, std::vector<std::uint8_t>(48, 3));
  builder.Control(2, 5).Frame(65000, 65000, 3, 2, std::vector<std::uint8_t>(6, 4));
  builder.Control(3, 5).Frame(6, 5, 60000, 2, std::vector<std::uint8_t>(120000, 4));
  builder.Control(2, 5).Frame(0, 0, 0, 0, {});
  auto animation = TGifAnimation::Open(Write("off.gif", builder.Finish()), nullptr);
  ASSERT_NE(animation, nullptr);
  animation->Start(*image_, 0);
  for (std::uint32_t now = 50; now <= 200; now += 50) animation->Tick(*image_, now);
  EXPECT_EQ(animation->CurrentFrame(), 3);
  EXPECT_EQ(PixelOf(*image_, 7, 5), GlobalColours()[3]);  // restored after the wide frame
  EXPECT_EQ(PixelOf(*image_, 0, 0), GlobalColours()[3]);

  // More images than the player lists: shown as one picture, with a reason.
  AnimationBuilder many(2, 2, GlobalColours(), 0);
  for (int i = 0; i <= kMaxGifFrames; ++i) many.Frame(0, 0, 1, 1, {2});
  EXPECT_EQ(TGifAnimation::Open(Write("many.gif", many.Finish()), nullptr), nullptr);
  ASSERT_EQ(log_.lines.size(), 1u);
  EXPECT_NE(
      log_.lines[0].find(
          "GIF Error: More than 4096 images are not animated; the file is shown as one picture"),
      std::string::npos);
}

}  // namespace
