// The Image menu and the keyboard view moves, driven as a user drives them.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/register_commands.h"
#include "command_window_fixture.h"
#include "platform/virtual_keys.h"
#include "support/temp_dir.h"

namespace {

class ImageCommandsTest : public CommandWindowTest {
 protected:
  void StartWithPicture(int width = 64, int height = 48) {
    path_ = WritePicture("pic.bmp", width, height);
    Start({path_});
    ASSERT_EQ(ImageName(), "pic.bmp");
  }
  int Setting(IntKey key) { return Settings().Get(key); }

  std::string path_;
};

TEST_F(ImageCommandsTest, FourRotationsReturnThePictureAsItWas) {
  StartWithPicture(64, 40);
  const std::vector<ColorRef> before = ScreenPixels();
  const int expected_codes[] = {3, 6, 5, 0};
  for (int code : expected_codes) {
    Press(kVkEnd);
    EXPECT_EQ(Setting(IntKey::Rotate), code);
    if (code == 3) {
      EXPECT_NE(ScreenPixels(), before) << "a quarter turn shows the picture turned";
    }
  }
  EXPECT_EQ(ScreenPixels(), before);
}

TEST_F(ImageCommandsTest, MirrorAndFlipUndoThemselvesAndDoNotCommuteWithRotate) {
  StartWithPicture();
  Press(kVkEnd, kShiftKey);
  EXPECT_EQ(Setting(IntKey::Rotate), 2);
  Press(kVkEnd);
  EXPECT_EQ(Setting(IntKey::Rotate), 7);
  Press(kVkHome);
  Press(kVkEnd);
  Press(kVkEnd, kShiftKey);
  EXPECT_EQ(Setting(IntKey::Rotate), 1);

  Press(kVkHome);
  const std::vector<ColorRef> before = ScreenPixels();
  Press(kVkEnd, kCtrlKey);
  EXPECT_EQ(Setting(IntKey::Rotate), 4);
  EXPECT_NE(ScreenPixels(), before);
  Choose(CM_FLIP);
  Choose(CM_MIRROR);
  Choose(CM_MIRROR);
  EXPECT_EQ(Setting(IntKey::Rotate), 0);
  EXPECT_EQ(ScreenPixels(), before);
}

TEST_F(ImageCommandsTest, ToneStepsStopAtTheirEndsWithoutRepainting) {
  StartWithPicture();
  Settings().Set(IntKey::Brightness, 8);
  const int presents = Presents();
  Press(kVkAdd);
  EXPECT_EQ(Setting(IntKey::Brightness), 9);
  EXPECT_GT(Presents(), presents) << "a step within range redraws";

  const std::vector<ColorRef> at_nine = ScreenPixels();
  const int presents_at_nine = Presents();
  Press(kVkAdd);
  Type('+');
  EXPECT_EQ(Setting(IntKey::Brightness), 9);
  EXPECT_EQ(Presents(), presents_at_nine);
  EXPECT_EQ(ScreenPixels(), at_nine);

  Settings().Set(IntKey::Brightness, 1);
  Settings().Set(IntKey::Contrast, 1);
  Press(kVkSubtract);
  Type('/');
  EXPECT_EQ(Setting(IntKey::Brightness), 1);
  EXPECT_EQ(Setting(IntKey::Contrast), 1);
  Settings().Set(IntKey::Contrast, 9);
  const int presents_at_contrast_nine = Presents();
  Type('*');
  EXPECT_EQ(Setting(IntKey::Contrast), 9);
  EXPECT_EQ(Presents(), presents_at_contrast_nine);
}

TEST_F(ImageCommandsTest, InvertShowsTheNegativeAndResetBringsEverythingBack) {
  StartWithPicture();
  const std::vector<ColorRef> before = ScreenPixels();
  const ImageBounds output = window_->Picture().GetOutputRect();
  const Rect inner = window_->InnerFrame();
  const Point probe{inner.left + (output.left + output.right) / 2,
                    inner.top + (output.top + output.bottom) / 2};
  const ColorRef shown = Screen().ColourAt(probe.x, probe.y);

  Type('^');
  EXPECT_EQ(Setting(IntKey::Invert), 1);
  const ColorRef inverted = Screen().ColourAt(probe.x, probe.y);
  EXPECT_EQ(RedOf(inverted), 255 - RedOf(shown));
  EXPECT_EQ(GreenOf(inverted), 255 - GreenOf(shown));
  EXPECT_EQ(BlueOf(inverted), 255 - BlueOf(shown));

  Type('+');
  Press(kVkMultiply);
  Press(kVkEnd);
  Press(kVkPrior);
  Press(kVkHome);
  EXPECT_EQ(Setting(IntKey::Brightness), 5);
  EXPECT_EQ(Setting(IntKey::Contrast), 5);
  EXPECT_EQ(Setting(IntKey::Invert), 0);
  EXPECT_EQ(Setting(IntKey::Rotate), 0);
  EXPECT_EQ(ScreenPixels(), before);
}

TEST_F(ImageCommandsTest, ResetWithNeutralTonesStillResetsOrientationAndZoom) {
  StartWithPicture(256, 192);
  Press(kVkPrior);
  Press(kVkPrior);
  Press(kVkEnd, kShiftKey);
  const ImageSize zoomed = window_->Picture().GetViewSize();
  EXPECT_LT(zoomed.width, 256);
  ASSERT_TRUE(Choose(CM_RESET));
  EXPECT_EQ(Setting(IntKey::Rotate), 0);
  const ImageSize whole = window_->Picture().GetViewSize();
  EXPECT_EQ(whole.width, 256);
  EXPECT_EQ(whole.height, 192);
}

TEST_F(ImageCommandsTest, ZoomInAndOutRedrawTheView) {
  StartWithPicture(256, 192);
  const std::vector<ColorRef> before = ScreenPixels();
  Press(kVkPrior);
  Press(kVkPrior);
  const int zoomed = window_->Picture().GetViewSize().width;
  EXPECT_LT(zoomed, 256);
  EXPECT_NE(ScreenPixels(), before);
  const std::vector<ColorRef> zoomed_screen = ScreenPixels();
  Press(kVkNext);
  EXPECT_NE(ScreenPixels(), zoomed_screen);
}

TEST_F(ImageCommandsTest, ArrowsMoveTheViewByAnEighthAWholeViewOrAPixel) {
  StartWithPicture(256, 192);
  Press(kVkPrior);
  Press(kVkPrior);
  const ImageRect start = window_->Picture().viewRect;
  const int w = window_->Picture().GetViewSize().width;
  const int h = window_->Picture().GetViewSize().height;
  ASSERT_LT(w, 256);

  Press(kVkRight);
  EXPECT_EQ(window_->Picture().viewRect.x, start.x + w / 8);
  Press(kVkLeft);
  EXPECT_EQ(window_->Picture().viewRect.x, start.x);
  Press(kVkDown, kCtrlKey);
  EXPECT_EQ(window_->Picture().viewRect.y, start.y + 1);
  Press(kVkUp, kShiftKey);
  EXPECT_EQ(window_->Picture().viewRect.y, std::max(0, start.y + 1 - h));

  Press(kVkRight, kAltKey);
  EXPECT_EQ(window_->Picture().GetViewSize().width, w + 1);
  Press(kVkUp, kAltKey);
  EXPECT_EQ(window_->Picture().GetViewSize().height, h - 1);
}

TEST_F(ImageCommandsTest, CropCutsTheUniformBorderAndRedraws) {
  // A picture whose outer rows and columns share one colour.
  TImage image;
  image.Create(40, 30, 1, 1, 1, 1, 0);
  LogPalette palette;
  palette.count = 2;
  palette.entries[0] = PaletteEntry{255, 255, 255, 0};
  palette.entries[1] = PaletteEntry{0, 0, 128, 0};
  image.SetPalette(palette);
  std::vector<std::uint8_t> row(40);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) row[x] = (x >= 10 && x < 30 && y >= 5 && y < 25) ? 1 : 0;
    image.PutRow(0, y, row.data(), nullptr, nullptr, 40, -1);
  }
  TProfile settings;
  TDither dither;
  dither.SetSource(&palette, false, ToneSettings{});
  const std::string path = dir_.File("framed.bmp");
  ASSERT_EQ(SaveImage(path, 0, image, settings, dither, nullptr), 0);
  TImage expected;
  LoadImage(path, expected, &settings);
  expected.AutoCrop();
  ASSERT_LT(expected.GetViewSize().width, 40);

  Start({path});
  const std::vector<ColorRef> before = ScreenPixels();
  Press(kVkPrior, kShiftKey);
  EXPECT_EQ(window_->Picture().GetViewSize().width, expected.GetViewSize().width);
  EXPECT_EQ(window_->Picture().GetViewSize().height, expected.GetViewSize().height);
  EXPECT_NE(ScreenPixels(), before);
}

TEST_F(ImageCommandsTest, ReloadReadsTheFileAgain) {
  StartWithPicture();
  const std::vector<ColorRef> before = ScreenPixels();
  WritePicture("pic.bmp", 64, 48, 20);
  Press(kVkHome, kShiftKey);
  EXPECT_NE(ScreenPixels(), before);
  EXPECT_EQ(ImageName(), "pic.bmp");
}

TEST_F(ImageCommandsTest, WithoutAPictureTheImageMenuIsDisabledAndDoesNothing) {
  Start({});
  TCommandRegistry registry;
  RegisterImageCommands(registry);
  for (std::uint32_t id = CM_ZOOM_IN; id <= CM_RELOAD; ++id) {
    const CommandBinding* binding = registry.Find(id);
    ASSERT_NE(binding, nullptr) << id;
    ASSERT_TRUE(binding->enabled) << id;
    EXPECT_FALSE(binding->enabled(*window_)) << id;
    EXPECT_EQ(binding->defer_if_busy, id == CM_RELOAD) << id;
  }
  EXPECT_FALSE(Choose(CM_ROTATE));
  Press(kVkEnd);
  Press(kVkAdd);
  EXPECT_EQ(Setting(IntKey::Rotate), 0);
  EXPECT_EQ(Setting(IntKey::Brightness), 5);
}

}  // namespace
