#include <gtest/gtest.h>

#include <vector>

#include "image/display_palette.h"
#include "image/fixed_palette.h"

namespace {

bool Same(const PaletteEntry& a, const PaletteEntry& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// A display whose realized palettes fill the free system entries in order, and
// whose own colours (below 8 bits) are the 16 VGA colours or black and white.
class FakeDisplay : public PaletteDisplay {
 public:
  FakeDisplay(int depth, bool has_palette) : depth_(depth), has_palette_(has_palette) {}
  int BitsPerPixel() const override { return depth_; }
  bool HasPalette() const override { return has_palette_; }
  void RealizePalette(const LogPalette& palette) override {
    realized.push_back(palette);
    for (int i = 0; i < palette.count && i < kFreeSystemEntries; ++i) {
      system_[kFirstFreeSystemEntry + i] = palette.entries[i];
    }
  }
  PaletteEntry SystemPaletteEntry(int index) const override { return system_[index]; }
  PaletteEntry NearestColor(const PaletteEntry& colour) const override {
    LogPalette own;
    const int levels[] = {0, 128, 255};
    for (int r : levels) {
      for (int g : levels) {
        for (int b : levels) {
          if (depth_ == 1 && (r != g || g != b || r == 128)) continue;
          if (own.count < 16) {
            own.entries[own.count++] = {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                        static_cast<std::uint8_t>(b), 0};
          }
        }
      }
    }
    return own.entries[NearestPaletteIndex(own, colour)];
  }
  std::vector<LogPalette> realized;

 private:
  int depth_;
  bool has_palette_;
  std::array<PaletteEntry, 256> system_{};
};

DisplayPicture PalettePicture(std::initializer_list<PaletteEntry> colours) {
  DisplayPicture picture;
  for (const PaletteEntry& c : colours) picture.palette.entries[picture.palette.count++] = c;
  for (int i = 0; i < picture.palette.count; ++i) {
    picture.percentages[i] = 100 / picture.palette.count;
  }
  return picture;
}

DisplayPicture RampPicture(int colours) {
  DisplayPicture picture;
  picture.palette.count = static_cast<std::uint16_t>(colours);
  for (int i = 0; i < colours; ++i) {
    const auto v = static_cast<std::uint8_t>(i * 255 / (colours - 1));
    picture.palette.entries[i] = {v, static_cast<std::uint8_t>(255 - v), v, 0};
    picture.percentages[i] = 100 / colours;
  }
  return picture;
}

TEST(DisplayPalettePlan, DeepDisplayRealizesTheAdjustedPictureAndNeverDithers) {
  TDither dither;
  FakeDisplay display(24, false);
  DisplayPicture picture = RampPicture(256);
  picture.is_24bit = true;
  DisplayPaletteSettings settings;
  settings.brightness = 9;
  settings.effect = 3;
  const DisplayPalettePlan plan = BuildDisplayPalettePlan(dither, display, picture, settings, true);
  EXPECT_FALSE(plan.dither);
  EXPECT_FALSE(plan.forced);
  EXPECT_FALSE(plan.erase_background);
  EXPECT_FALSE(dither.IsDithering());
  ASSERT_TRUE(plan.has_window_palette);
  ASSERT_EQ(display.realized.size(), 1u);
  EXPECT_EQ(plan.window_palette.entries[0].red, 204);  // black at Brightness 9
  EXPECT_EQ(plan.window_palette.entries[0].flags, kPaletteNoCollapse);
  EXPECT_EQ(dither.SourceCount(), 256);  // the 24-bit picture ends on the identity table
}

TEST(DisplayPalettePlan, PictureThatFitsTheRealizedPaletteIsNotDithered) {
  TDither dither;
  FakeDisplay display(8, true);
  DisplayPaletteSettings settings;
  settings.auto_dither = true;
  const DisplayPalettePlan plan = BuildDisplayPalettePlan(
      dither, display, PalettePicture({{10, 20, 30, 0}, {200, 100, 0, 0}, {1, 2, 3, 0}}), settings,
      true);
  EXPECT_TRUE(plan.erase_background);
  EXPECT_FALSE(plan.dither);
  EXPECT_FALSE(dither.IsDithering());
}

TEST(DisplayPalettePlan, TransitionsForceTheSystemPaletteAsTarget) {
  for (const bool thumbnails : {false, true}) {
    TDither dither;
    FakeDisplay display(8, true);
    DisplayPaletteSettings settings;
    if (thumbnails) {
      settings.thumbnails_enable = true;
      settings.thumbnails_down = 2;
    } else {
      settings.effect = 2;
    }
    const DisplayPalettePlan plan =
        BuildDisplayPalettePlan(dither, display, PalettePicture({{10, 20, 30, 0}}), settings, true);
    EXPECT_TRUE(plan.forced);
    EXPECT_FALSE(plan.erase_background);
    EXPECT_TRUE(plan.dither);
    EXPECT_TRUE(dither.IsDithering());
    ASSERT_EQ(plan.target.count, kFreeSystemEntries);
    const LogPalette& fixed = GetFixedDitherPalette();
    for (int i = 0; i < kFixedPaletteEntries; ++i) {
      EXPECT_TRUE(Same(plan.target.entries[i], fixed.entries[i])) << i;
      EXPECT_EQ(plan.target.entries[i].flags, 0);
    }
    ASSERT_EQ(display.realized.size(), 2u);
    EXPECT_EQ(display.realized[0].entries[0].flags, kPaletteNoCollapse);
  }
}

TEST(DisplayPalettePlan, TrueColourPictureOnPaletteDisplayIsDithered) {
  TDither dither;
  FakeDisplay display(8, true);
  DisplayPicture picture = PalettePicture({{10, 20, 30, 0}});
  picture.is_24bit = true;
  DisplayPaletteSettings settings;
  settings.auto_dither = true;
  EXPECT_TRUE(BuildDisplayPalettePlan(dither, display, picture, settings, false).dither);
}

TEST(DisplayPalettePlan, SixteenColourDisplayDithersWhenThePictureHasMoreColours) {
  DisplayPaletteSettings settings;
  settings.auto_dither = false;
  {
    TDither dither;
    FakeDisplay display(4, false);
    const DisplayPalettePlan plan =
        BuildDisplayPalettePlan(dither, display, RampPicture(17), settings, false);
    EXPECT_TRUE(plan.dither);
    // The display's own colours, each once, in first-seen order over the fixed palette.
    EXPECT_LE(plan.target.count, 16);
    EXPECT_GE(plan.target.count, 8);
    for (int i = 0; i < plan.target.count; ++i) {
      for (int k = 0; k < i; ++k)
        EXPECT_FALSE(Same(plan.target.entries[i], plan.target.entries[k]));
    }
    EXPECT_EQ(dither.TargetCount(), plan.target.count);
  }
  TDither dither;
  FakeDisplay display(4, false);
  EXPECT_FALSE(BuildDisplayPalettePlan(dither, display, RampPicture(16), settings, false).dither);
}

TEST(DisplayPalettePlan, MonochromeDisplayLoadsGreySource) {
  TDither dither;
  FakeDisplay display(1, false);
  DisplayPaletteSettings settings;
  const DisplayPalettePlan plan =
      BuildDisplayPalettePlan(dither, display, RampPicture(4), settings, false);
  EXPECT_FALSE(plan.colour);
  EXPECT_TRUE(plan.dither);
  EXPECT_EQ(plan.target.count, 2);
  EXPECT_FALSE(dither.IsColour());
}

TEST(PaletteMisfit, PercentagesAreMadeToSumToHundredInOnePass) {
  LogPalette black;
  black.entries[black.count++] = {0, 0, 0, 0};
  LogPalette picture;
  picture.entries[picture.count++] = {30, 0, 0, 0};
  picture.entries[picture.count++] = {0, 0, 0, 0};
  std::array<int, kMaxPaletteEntries> percentages{};
  percentages[0] = 50;
  percentages[1] = 49;  // the first entry takes the missing one: 30 * 51 / 3 = 510
  EXPECT_EQ(PaletteMisfit(picture, percentages, black), 5);
  picture.entries[1] = {30, 0, 0, 0};
  percentages[0] = 60;
  percentages[1] = 60;  // one pass lowers each by one only: 2 * (30 * 59 / 3) = 1180
  EXPECT_EQ(PaletteMisfit(picture, percentages, black), 11);
}

TEST(NearestPaletteIndex, FirstOfEqualDistancesWins) {
  LogPalette palette;
  palette.entries[palette.count++] = {0, 0, 0, 0};
  palette.entries[palette.count++] = {20, 0, 0, 0};
  palette.entries[palette.count++] = {20, 0, 0, 0};
  EXPECT_EQ(NearestPaletteIndex(palette, {10, 0, 0, 0}), 0);
  EXPECT_EQ(NearestPaletteIndex(palette, {19, 0, 0, 0}), 1);
}

}  // namespace
