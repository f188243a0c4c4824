#include <gtest/gtest.h>

#include <vector>

#include "platform/device_context.h"
#include "platform/display.h"
#include "platform/platform_info.h"

namespace {
PaletteColour Entry(int r, int g, int b, std::uint8_t flags = 0) {
  return PaletteColour{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                       static_cast<std::uint8_t>(b), flags};
}

class PaletteDisplayTest : public ::testing::Test {
 protected:
  PaletteDisplayTest() {
    display_.SetDepth(8);
    display_.SetPaletteNoticeSink([this](MessageId id, WindowId w) {
      notices_.push_back(id);
      realizer_ = w;
    });
  }
  ~PaletteDisplayTest() override { SetDisplayBitsPerPixel(24); }

  TDisplay display_;
  std::vector<MessageId> notices_;
  WindowId realizer_ = kNoWindow;
};
}  // namespace

TEST_F(PaletteDisplayTest, StartsWithTheTwentyStaticColours) {
  EXPECT_EQ(DisplayBitsPerPixel(), 8);
  EXPECT_TRUE(display_.HasPaletteCaps());
  std::vector<PaletteColour> all(256);
  EXPECT_EQ(display_.GetSystemPaletteEntries(0, 300, all.data()), 256);
  EXPECT_EQ(all[0], Entry(0, 0, 0));
  EXPECT_EQ(all[7], Entry(192, 192, 192));
  EXPECT_EQ(all[249], Entry(255, 0, 0));
  EXPECT_EQ(all[255], Entry(255, 255, 255));
  EXPECT_EQ(display_.GetSystemPaletteEntries(250, 10, all.data()), 6);
  EXPECT_EQ(display_.GetSystemPaletteEntries(256, 1, all.data()), 0);
  EXPECT_EQ(display_.GetNearestColor(MakeRgb(250, 10, 10)), MakeRgb(255, 0, 0));
}

TEST_F(PaletteDisplayTest, NoCollapseEntriesTakeFreeSlotsInOrder) {
  // The fixed dithering palette is realized this way and then read back from
  // entries 10..245: every entry must land there, in order, even duplicates
  // of static colours.
  std::vector<PaletteColour> fixed;
  for (int i = 0; i < 236; ++i) fixed.push_back(Entry(i, 255 - i, i % 7, kPcNoCollapse));
  fixed[3] = Entry(255, 255, 255, kPcNoCollapse);
  TPalette palette(fixed);
  EXPECT_GT(display_.RealizePalette(palette, 42), 0);
  std::vector<PaletteColour> read(236);
  ASSERT_EQ(display_.GetSystemPaletteEntries(10, 236, read.data()), 236);
  for (int i = 0; i < 236; ++i) {
    EXPECT_EQ(read[i], Entry(fixed[i].red, fixed[i].green, fixed[i].blue)) << i;
    EXPECT_EQ(palette.SystemIndices()[i], 10 + i);
  }
  EXPECT_EQ(notices_,
            (std::vector<MessageId>{MessageId::kPaletteIsChanging, MessageId::kPaletteChanged}));
  EXPECT_EQ(realizer_, 42u);
}

TEST_F(PaletteDisplayTest, CollapsingEntriesShareEqualColoursAndOverflowGoesNearest) {
  std::vector<PaletteColour> entries = {Entry(255, 0, 0), Entry(1, 2, 3), Entry(1, 2, 3)};
  for (int i = 0; i < 240; ++i) entries.push_back(Entry(100, i, 50));
  TPalette palette(entries);
  display_.RealizePalette(palette, 1);
  const auto& map = palette.SystemIndices();
  EXPECT_EQ(map[0], 249);  // the static red
  EXPECT_EQ(map[1], 10);
  EXPECT_EQ(map[2], 10);  // equal colours collapse
  // 1 + 240 new colours for 236 free slots: the last ones map to the nearest present.
  EXPECT_EQ(map[2 + 235], 245);
  EXPECT_EQ(display_.SystemColourTable()[map.back()], MakeRgb(100, 234, 50));
}

TEST_F(PaletteDisplayTest, NoticesOnlyWhenTheSystemPaletteChanges) {
  std::vector<PaletteColour> entries = {Entry(10, 20, 30, kPcNoCollapse)};
  TPalette palette(entries);
  display_.RealizePalette(palette, 1);
  notices_.clear();
  display_.RealizePalette(palette, 1);
  EXPECT_TRUE(notices_.empty());
  // In the background the free entries are not given up.
  std::vector<PaletteColour> other = {Entry(40, 50, 60, kPcNoCollapse)};
  TPalette second(other);
  display_.RealizePalette(second, 2, true);
  EXPECT_EQ(display_.SystemColourTable()[10], MakeRgb(10, 20, 30));
  EXPECT_EQ(display_.SystemColourTable()[11], MakeRgb(40, 50, 60));
}

TEST_F(PaletteDisplayTest, TrueColourLineShowsColoursRealizedFromTheSelectedPalette) {
  std::vector<PaletteColour> entries = {Entry(0, 0, 0), Entry(200, 100, 50, kPcNoCollapse),
                                        Entry(20, 40, 220, kPcNoCollapse)};
  TPalette palette(entries);
  auto screen = display_.CreateCompatibleSurface(4, 1);
  TDeviceContext dc(*screen, &display_, 7);
  dc.SelectPalette(&palette);
  dc.RealizePalette();
  // Blue, green, red bytes: near entry 1, near entry 2, exactly entry 1, near black.
  const std::vector<std::uint8_t> line = {60, 90, 190, 200, 50, 30, 50, 100, 200, 5, 5, 5};
  dc.DrawDibLine(0, 0, 4, line, DibLineFormat::kBgr24);
  EXPECT_EQ(screen->PixelAt(0, 0), palette.SystemIndices()[1]);
  EXPECT_EQ(screen->ColourAt(0, 0), MakeRgb(200, 100, 50));
  EXPECT_EQ(screen->ColourAt(1, 0), MakeRgb(20, 40, 220));
  EXPECT_EQ(screen->ColourAt(2, 0), MakeRgb(200, 100, 50));
  EXPECT_EQ(screen->ColourAt(3, 0), MakeRgb(0, 0, 0));
  // Pixels hold system entries: another program's palette changes what they show.
  std::vector<PaletteColour> foreign = {Entry(9, 9, 9, kPcNoCollapse)};
  TPalette theirs(foreign);
  display_.RealizePalette(theirs, kNoWindow);
  EXPECT_EQ(screen->ColourAt(0, 0), MakeRgb(9, 9, 9));
}

TEST_F(PaletteDisplayTest, SolidColoursOnAPaletteDisplayTakeTheNearestSystemColour) {
  auto screen = display_.CreateCompatibleSurface(2, 2);
  TDeviceContext dc(*screen, &display_);
  dc.FillRect(Rect{0, 0, 2, 2}, MakeRgb(120, 130, 125));
  EXPECT_EQ(screen->ColourAt(1, 1), MakeRgb(128, 128, 128));
}

TEST(Display, FixedColourDepthsAndTrueColour) {
  TDisplay display;
  EXPECT_EQ(display.Depth(), 24);
  EXPECT_EQ(display.SystemPaletteSize(), 0);
  EXPECT_EQ(display.GetNearestColor(MakeRgb(1, 2, 3)), MakeRgb(1, 2, 3));
  EXPECT_FALSE(display.SetDepth(16));
  ASSERT_TRUE(display.SetDepth(4));
  EXPECT_FALSE(display.HasPaletteCaps());
  EXPECT_EQ(display.GetNearestColor(MakeRgb(240, 20, 20)), MakeRgb(255, 0, 0));
  EXPECT_EQ(display.GetNearestColor(MakeRgb(100, 100, 100)), MakeRgb(128, 128, 128));
  std::vector<PaletteColour> entries = {Entry(250, 250, 0)};
  TPalette palette(entries);
  EXPECT_EQ(display.RealizePalette(palette, 1), 0);  // fixed colours never change
  EXPECT_EQ(display.SystemColourTable()[palette.SystemIndices()[0]], MakeRgb(255, 255, 0));
  // Lines referring to the default palette show its nearest fixed colours.
  auto screen = display.CreateCompatibleSurface(3, 1);
  TDeviceContext dc(*screen, &display);
  const std::vector<std::uint8_t> line = {0, 19, 13};  // black, white, static red
  dc.DrawDibLine(0, 0, 3, line, DibLineFormat::kIndexedPalette);
  EXPECT_EQ(screen->ColourAt(0, 0), MakeRgb(0, 0, 0));
  EXPECT_EQ(screen->ColourAt(1, 0), MakeRgb(255, 255, 255));
  EXPECT_EQ(screen->ColourAt(2, 0), MakeRgb(255, 0, 0));
  ASSERT_TRUE(display.SetDepth(1));
  EXPECT_EQ(display.GetNearestColor(MakeRgb(200, 200, 200)), MakeRgb(255, 255, 255));
  EXPECT_EQ(display.GetNearestColor(MakeRgb(60, 60, 60)), MakeRgb(0, 0, 0));
  display.SetDepth(24);
}

TEST(Palette, NearestIndexPrefersTheFirstOfEqualDistances) {
  std::vector<PaletteColour> entries = {{10, 0, 0, 0}, {0, 10, 0, 0}, {0, 0, 10, 0}};
  TPalette palette(entries);
  EXPECT_EQ(palette.GetNearestPaletteIndex(MakeRgb(0, 0, 0)), 0);
  EXPECT_EQ(palette.GetNearestPaletteIndex(MakeRgb(0, 9, 1)), 1);
  EXPECT_EQ(TPalette({}).Size(), 1);  // an empty palette holds black
}
