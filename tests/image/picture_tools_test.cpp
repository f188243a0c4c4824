// AutoCrop, SortPaletteByUse and the adjustment settings.
#include <gtest/gtest.h>

#include <memory>

#include "image/adjustments.h"
#include "image/image.h"
#include "settings/profile.h"

namespace {

// A picture with a `frame`-pixel border of index 200 around varied content.
std::unique_ptr<TImage> Framed(int width, int height, int frame) {
  auto image = std::make_unique<TImage>();
  image->Create(width, height, 1, 1, 1, 1, 200);
  for (int y = frame; y < height - frame; ++y) {
    for (int x = frame; x < width - frame; ++x) {
      image->Row(y)[x] = static_cast<std::uint8_t>((x * 3 + y * 5) % 64);
    }
  }
  return image;
}

TEST(AutoCrop, RemovesAUniformFrame) {
  auto image = Framed(100, 80, 10);
  image->AutoCrop();
  EXPECT_EQ(image->cropRect.x, 10);
  EXPECT_EQ(image->cropRect.width, 80);
  EXPECT_EQ(image->cropRect.y, 10);
  EXPECT_EQ(image->cropRect.height, 60);
  EXPECT_EQ(image->viewRect.width, 80);
  EXPECT_EQ(image->viewCentre.x, 50);
}

TEST(AutoCrop, NeverShrinksBelowSixteen) {
  auto image = std::make_unique<TImage>();
  image->Create(60, 40, 1, 1, 3, 1, 90);  // uniform throughout
  image->AutoCrop();
  EXPECT_EQ(image->cropRect.width, 16);
  EXPECT_EQ(image->cropRect.height, 16);
  auto small = Framed(20, 12, 2);
  small->AutoCrop();
  EXPECT_EQ(small->cropRect.width, 16);
  EXPECT_EQ(small->cropRect.height, 12);
}

TEST(SortPaletteByUse, OrdersByUseAndMergesEqualColours) {
  auto image = std::make_unique<TImage>();
  image->Create(10, 1, 1, 1, 1, 1, 0);
  LogPalette palette;
  palette.count = 4;
  palette.entries[0] = {1, 1, 1, 0};
  palette.entries[1] = {50, 60, 70, 0};
  palette.entries[2] = {9, 9, 9, 0};
  palette.entries[3] = {50, 60, 70, 0};  // the same colour as entry 1
  image->SetPalette(palette);
  const std::uint8_t pixels[10] = {2, 2, 2, 2, 1, 1, 1, 3, 3, 0};
  std::copy_n(pixels, 10, image->Row(0));
  SortPaletteByUse(*image);
  EXPECT_EQ(image->colourCount, 3);
  // Ordered by each entry's own use (2: 4, 1: 3, 3: 2, 0: 1); 3 then joins 1.
  const std::uint8_t expected[10] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 2};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(image->Row(0)[i], expected[i]) << i;
  EXPECT_EQ(image->bitmap.Colour(0).red, 9);
  EXPECT_EQ(image->bitmap.Colour(1).green, 60);
  EXPECT_EQ(image->useCounts[1], 5);
  EXPECT_EQ(image->useCounts[2], 1);
  EXPECT_EQ(image->useCounts[3], 0);
}

TEST(Adjustments, QuarterTurnsMirrorsAndFlipsComeBackAround) {
  EXPECT_EQ(QuarterTurn(0), 3);
  EXPECT_EQ(QuarterTurn(2), 7);  // Rotate after Mirror
  for (int code = 0; code < 8; ++code) {
    EXPECT_EQ(QuarterTurn(QuarterTurn(QuarterTurn(QuarterTurn(code)))), code);
  }
  TProfile settings;
  settings.Set(IntKey::Rotate, 5);
  MirrorLeftRight(settings);
  MirrorLeftRight(settings);
  FlipTopBottom(settings);
  EXPECT_EQ(settings.Get(IntKey::Rotate), 1);
  EXPECT_TRUE(RotateClockwise(settings).redraw);
  EXPECT_EQ(settings.Get(IntKey::Rotate), 2);
}

TEST(Adjustments, QuarterTurnShowsTheSourceTurnedClockwise) {
  auto image = std::make_unique<TImage>();
  image->Create(3, 2, 1, 1, 1, 1, 0);
  const std::uint8_t top[3] = {1, 2, 3}, bottom[3] = {4, 5, 6};
  image->PutRow(0, 0, top, nullptr, nullptr, 3, -1);
  image->PutRow(0, 1, bottom, nullptr, nullptr, 3, -1);
  image->viewRect = {0, 3, 0, 2};
  image->SetOutputSize(2, 3, 1, 1, QuarterTurn(0), true, true);
  // The area is raised to 16 x 24: read the output rows at the map's steps.
  std::uint8_t row[16];
  const ImageBounds b = image->GetOutputRect();
  image->GetOutputRow(b.left, b.top, row, 16);
  EXPECT_EQ(row[0], 4);  // left of the top row: bottom-left of the source
  EXPECT_EQ(row[15], 1);
  image->GetOutputRow(b.left, b.bottom - 1, row, 16);
  EXPECT_EQ(row[0], 6);
  EXPECT_EQ(row[15], 3);
}

TEST(Adjustments, ToneStepsStopAtTheirLimitsAndResetRestores) {
  TProfile settings;
  settings.Set(IntKey::Brightness, 9);
  EXPECT_FALSE(Brighter(settings).redraw);
  EXPECT_EQ(settings.Get(IntKey::Brightness), 9);
  EXPECT_TRUE(Dimmer(settings).rebuild_palette);
  settings.Set(IntKey::Contrast, 1);
  EXPECT_FALSE(LessContrast(settings).redraw);
  EXPECT_TRUE(MoreContrast(settings).redraw);
  ToggleInvert(settings);
  EXPECT_EQ(settings.Get(IntKey::Invert), 1);
  settings.Set(IntKey::Rotate, 6);
  EXPECT_TRUE(ResetAdjustments(settings).rebuild_palette);
  EXPECT_EQ(settings.Get(IntKey::Brightness), 5);
  EXPECT_EQ(settings.Get(IntKey::Invert), 0);
  EXPECT_EQ(settings.Get(IntKey::Rotate), 0);
  settings.Set(IntKey::Rotate, 3);
  const AdjustmentEffect again = ResetAdjustments(settings);
  EXPECT_FALSE(again.rebuild_palette);
  EXPECT_TRUE(again.redraw);
  EXPECT_EQ(settings.Get(IntKey::Rotate), 0);
}

}  // namespace

namespace {

TEST(Adjustments, ToneSettingsReachTheDitherTables) {
  TProfile settings;
  settings.Set(IntKey::Brightness, 5);
  while (Brighter(settings).redraw) {
  }
  ASSERT_EQ(settings.Get(IntKey::Brightness), 9);
  TDither dither;
  dither.SetSource(nullptr, false, ToneFromSettings(settings, true));
  std::uint8_t black[3] = {0, 0, 0};
  dither.AdjustLine(black, 1, 3);
  EXPECT_EQ(black[0], 204);  // brightness 9 lifts black four fifths of the way to white
  ToggleInvert(settings);
  dither.SetSource(nullptr, false, ToneFromSettings(settings, true));
  std::uint8_t white[3] = {255, 255, 255};
  dither.AdjustLine(white, 1, 3);
  EXPECT_EQ(white[2], 0);
}

}  // namespace
