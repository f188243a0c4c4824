#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/device_context.h"
#include "platform/display.h"
#include "platform/packed_dib.h"
#include "platform/printer_page.h"
#include "platform/surface.h"
#include "support/temp_dir.h"

namespace {
constexpr ColorRef kRed = MakeRgb(255, 0, 0);
constexpr ColorRef kBlue = MakeRgb(0, 0, 255);

std::unique_ptr<TSurface> Surface24(int w, int h) {
  return TSurface::Create(w, h, 24);
}

// Fills every pixel with a value made from its position, so moves are visible.
void Pattern(TSurface& s) {
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) s.Row(y)[x] = static_cast<std::uint32_t>(y * 1000 + x);
  }
}

std::vector<std::uint32_t> Pixels(const TSurface& s) {
  std::vector<std::uint32_t> all;
  for (int y = 0; y < s.Height(); ++y) all.insert(all.end(), s.Row(y), s.Row(y) + s.Width());
  return all;
}
}  // namespace

TEST(Surface, RefusesEmptyOrHugeSizesAndKeepsPixelsOnResize) {
  EXPECT_EQ(TSurface::Create(0, 10, 24), nullptr);
  EXPECT_EQ(TSurface::Create(10, -1, 24), nullptr);
  EXPECT_EQ(TSurface::Create(40000, 1, 24), nullptr);
  EXPECT_EQ(TSurface::Create(20000, 20000, 24), nullptr);
  EXPECT_EQ(TSurface::Create(4, 4, 16), nullptr);
  auto s = Surface24(4, 3);
  Pattern(*s);
  ASSERT_TRUE(s->Resize(6, 2));
  EXPECT_EQ(s->PixelAt(3, 1), 1003u);
  EXPECT_EQ(s->PixelAt(5, 1), 0u);
  EXPECT_EQ(s->PixelAt(6, 1), 0u);  // outside reads as 0
  EXPECT_FALSE(s->Resize(0, 5));
  EXPECT_EQ(s->Width(), 6);
}

TEST(DeviceContext, FillAndTextStayInsideTheSurface) {
  auto s = Surface24(10, 10);
  TDeviceContext dc(*s, nullptr);
  dc.FillRect(Rect{-5, -5, 3, 2}, kRed);
  dc.FillRect(Rect{8, 8, 50, 50}, kBlue);
  EXPECT_EQ(s->ColourAt(2, 1), kRed);
  EXPECT_EQ(s->ColourAt(3, 1), MakeRgb(0, 0, 0));
  EXPECT_EQ(s->ColourAt(9, 9), kBlue);
  dc.DrawText(7, 5, " wide", MakeRgb(255, 255, 255), kRed, true);
  EXPECT_EQ(dc.GetTextExtent("Courier"), (Size{42, 10}));
  // Opaque text paints its whole cell in the back colour where no stroke is.
  EXPECT_EQ(s->ColourAt(7, 9), kRed);
  EXPECT_EQ(s->ColourAt(8, 4), MakeRgb(0, 0, 0));
}

TEST(DeviceContext, InvertedFrameDrawnTwiceRestoresEveryDepth) {
  TDisplay display;
  for (int depth : {24, 8, 4, 1}) {
    ASSERT_TRUE(display.SetDepth(depth));
    auto s = display.CreateCompatibleSurface(20, 20);
    Pattern(*s);
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x) s->Row(y)[x] &= s->InvertMask();
    }
    const auto before = Pixels(*s);
    TDeviceContext dc(*s, &display);
    // Corners in drag order, a one-pixel-wide band, and one reaching outside.
    for (const Rect& band : {Rect{15, 12, 3, 4}, Rect{5, 2, 6, 18}, Rect{-4, -4, 10, 25}}) {
      dc.InvertFrame(band);
      EXPECT_NE(Pixels(*s), before) << depth;
      dc.InvertFrame(band);
      EXPECT_EQ(Pixels(*s), before) << depth;
    }
  }
  display.SetDepth(24);
}

TEST(DeviceContext, InvertedFrameTouchesOnlyTheOutline) {
  auto s = Surface24(8, 8);
  TDeviceContext dc(*s, nullptr);
  dc.InvertFrame(Rect{1, 1, 5, 4});
  EXPECT_EQ(s->ColourAt(1, 1), MakeRgb(255, 255, 255));
  EXPECT_EQ(s->ColourAt(4, 3), MakeRgb(255, 255, 255));
  EXPECT_EQ(s->ColourAt(2, 2), MakeRgb(0, 0, 0));  // inside: hollow
  EXPECT_EQ(s->ColourAt(5, 1), MakeRgb(0, 0, 0));  // right edge excluded
}

TEST(DeviceContext, BitBltClipsBothSidesAndCopiesOverlapsCorrectly) {
  auto page = Surface24(6, 6);
  auto screen = Surface24(6, 6);
  Pattern(*page);
  TDeviceContext page_dc(*page, nullptr);
  TDeviceContext screen_dc(*screen, nullptr);
  screen_dc.BitBlt(-1, 3, 4, 4, page_dc, 2, -1);
  // Source (2,-1)..(6,3) cut to (2,0)..(6,3), moved by (-3, +4), cut to (0,4)..(3,6).
  EXPECT_EQ(screen->PixelAt(0, 4), page->PixelAt(3, 0));
  EXPECT_EQ(screen->PixelAt(2, 5), page->PixelAt(5, 1));
  EXPECT_EQ(screen->PixelAt(3, 4), 0u);
  // Overlapping copy within one surface, downward and to the right.
  auto s = Surface24(6, 6);
  Pattern(*s);
  const auto original = Pixels(*s);
  TDeviceContext dc(*s, nullptr);
  dc.BitBlt(1, 1, 5, 5, dc, 0, 0);
  for (int y = 1; y < 6; ++y) {
    for (int x = 1; x < 6; ++x) EXPECT_EQ(s->PixelAt(x, y), original[(y - 1) * 6 + (x - 1)]);
  }
}

TEST(DeviceContext, ScrollMovesInsideTheClipAndLeavesUncoveredStrips) {
  auto s = Surface24(10, 10);
  Pattern(*s);
  const auto original = Pixels(*s);
  TDeviceContext dc(*s, nullptr);
  const Rect area{2, 2, 8, 8};
  dc.ScrollRect(3, -1, area, area);
  EXPECT_EQ(s->PixelAt(5, 2), original[3 * 10 + 2]);  // from (2,3)
  EXPECT_EQ(s->PixelAt(7, 6), original[7 * 10 + 4]);  // from (4,7)
  EXPECT_EQ(s->PixelAt(2, 2), original[2 * 10 + 2]);  // uncovered: unchanged
  EXPECT_EQ(s->PixelAt(8, 2), original[2 * 10 + 8]);  // outside the clip: unchanged
  EXPECT_EQ(s->PixelAt(5, 7), original[7 * 10 + 5]);  // bottom strip uncovered
}

TEST(DeviceContext, DibLinesOfEveryFormatOnATrueColourSurface) {
  auto s = Surface24(4, 3);
  TDeviceContext dc(*s, nullptr);
  const std::vector<std::uint8_t> bgr = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3};
  dc.DrawDibLine(0, 0, 4, bgr, DibLineFormat::kBgr24);
  EXPECT_EQ(s->ColourAt(0, 0), kBlue);
  EXPECT_EQ(s->ColourAt(3, 0), MakeRgb(3, 2, 1));
  const std::vector<std::uint8_t> indices = {0, 1, 2, 200};
  const std::array<ColorRef, 3> table = {kRed, kBlue, MakeRgb(9, 9, 9)};
  dc.DrawDibLine(-1, 1, 4, indices, DibLineFormat::kIndexedRgbTable, table);
  EXPECT_EQ(s->ColourAt(0, 1), kBlue);
  EXPECT_EQ(s->ColourAt(2, 1), MakeRgb(0, 0, 0));  // index beyond the table
  std::vector<PaletteColour> entries = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  TPalette palette(entries);
  dc.SelectPalette(&palette);
  dc.DrawDibLine(0, 2, 3, indices, DibLineFormat::kIndexedPalette);
  EXPECT_EQ(s->ColourAt(1, 2), MakeRgb(4, 5, 6));
  EXPECT_EQ(s->ColourAt(2, 2), MakeRgb(1, 2, 3));  // index beyond the palette: entry 0
  // A new colour table on the same context is honoured.
  const std::array<ColorRef, 2> other_table = {MakeRgb(7, 7, 7), MakeRgb(8, 8, 8)};
  dc.DrawDibLine(0, 1, 2, indices, DibLineFormat::kIndexedRgbTable, other_table);
  EXPECT_EQ(s->ColourAt(0, 1), MakeRgb(7, 7, 7));
  EXPECT_EQ(s->ColourAt(1, 1), MakeRgb(8, 8, 8));
  // A translated origin moves unscaled lines, cut at the surface's edges.
  MappingMode shifted;
  shifted.viewport_origin = Point{2, 1};
  dc.SetMappingMode(shifted);
  dc.DrawDibLine(-1, 1, 4, indices, DibLineFormat::kIndexedRgbTable, table);
  EXPECT_EQ(s->ColourAt(1, 2), kRed);
  EXPECT_EQ(s->ColourAt(2, 2), kBlue);
  EXPECT_EQ(s->ColourAt(3, 2), MakeRgb(9, 9, 9));
  dc.SetMappingMode(MappingMode{});
  // A line shorter than its width draws nothing.
  dc.DrawDibLine(0, 0, 5, bgr, DibLineFormat::kBgr24);
  EXPECT_EQ(s->ColourAt(0, 0), kBlue);
}

TEST(DeviceContext, TrueColourLinesOfAnyWidthAndOffsetKeepEveryPixel) {
  auto s = Surface24(40, 1);
  TDeviceContext dc(*s, nullptr);
  std::vector<std::uint8_t> line(3 * 45);
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<std::uint8_t>(i * 37 + 11);
  for (int x : {-3, 0, 1, 5}) {
    for (int width : {1, 3, 4, 7, 45}) {
      dc.FillRect(s->Bounds(), MakeRgb(1, 1, 1));
      dc.DrawDibLine(x, 0, width, line, DibLineFormat::kBgr24);
      for (int px = 0; px < 40; ++px) {
        const int i = px - x;
        const ColorRef expected = i >= 0 && i < width
                                      ? MakeRgb(line[3 * i + 2], line[3 * i + 1], line[3 * i])
                                      : MakeRgb(1, 1, 1);
        ASSERT_EQ(s->ColourAt(px, 0), expected) << "x " << x << " width " << width << " at " << px;
      }
    }
  }
}

TEST(DeviceContext, ScaledMappingEnlargesLinesByReplication) {
  auto page = Surface24(40, 40);
  TDeviceContext dc(*page, nullptr);
  MappingMode mode;
  mode.window_extent = Size{4, 4};
  mode.viewport_extent = Size{8, 8};  // factor 2
  mode.viewport_origin = Point{10, 20};
  dc.SetMappingMode(mode);
  EXPECT_EQ(dc.LogicalToDevice(Point{1, 1}), (Point{12, 22}));
  EXPECT_EQ(dc.DeviceToLogical(Rect{10, 20, 18, 28}), (Rect{0, 0, 4, 4}));
  const std::vector<std::uint8_t> line = {0, 0, 255, 255, 0, 0};  // red, blue
  dc.DrawDibLine(0, 1, 2, line, DibLineFormat::kBgr24);
  EXPECT_EQ(page->ColourAt(10, 22), kRed);
  EXPECT_EQ(page->ColourAt(11, 23), kRed);
  EXPECT_EQ(page->ColourAt(12, 22), kBlue);
  EXPECT_EQ(page->ColourAt(13, 23), kBlue);
  EXPECT_EQ(page->ColourAt(14, 22), MakeRgb(0, 0, 0));
  EXPECT_EQ(page->ColourAt(10, 24), MakeRgb(0, 0, 0));
  dc.FillRect(Rect{3, 3, 4, 4}, kRed);
  EXPECT_EQ(page->ColourAt(17, 27), kRed);
  EXPECT_EQ(page->ColourAt(18, 28), MakeRgb(0, 0, 0));
}

TEST(PackedDib, CaptureIsBottomUpAlignedAndParsesBack) {
  auto s = Surface24(3, 2);
  TDeviceContext dc(*s, nullptr);
  dc.FillRect(Rect{0, 0, 3, 1}, kRed);
  dc.FillRect(Rect{0, 1, 3, 2}, kBlue);
  const auto dib = CapturePackedDib(*s, Rect{0, 0, 10, 10}, nullptr);
  const auto header = ParsePackedDib(dib);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->width, 3);
  EXPECT_EQ(header->bits_per_pixel, 24);
  EXPECT_EQ(header->row_stride, 12u);
  EXPECT_EQ(dib.size(), 40u + 2 * 12);
  // The first stored row is the bottom one (blue): bytes blue, green, red.
  EXPECT_EQ(dib[40], 255);
  EXPECT_EQ(dib[42], 0);
  EXPECT_EQ(dib[52 + 2], 255);
  std::vector<std::uint8_t> truncated(dib.begin(), dib.end() - 1);
  EXPECT_FALSE(ParsePackedDib(truncated));
  std::vector<std::uint8_t> huge = dib;
  huge[8] = 0xFF;
  huge[9] = 0xFF;  // 65535 rows that the bytes cannot hold
  EXPECT_FALSE(ParsePackedDib(huge));
}

TEST(PackedDib, PaletteSurfaceCapturesIndicesIntoTheGivenPalette) {
  TDisplay display;
  display.SetDepth(8);
  auto s = display.CreateCompatibleSurface(2, 1);
  std::vector<PaletteColour> entries = {{0, 0, 0, 0}, {10, 20, 30, 0}, {255, 0, 0, 0}};
  TPalette palette(entries);
  TDeviceContext dc(*s, &display);
  dc.SelectPalette(&palette);
  dc.RealizePalette();
  const std::vector<std::uint8_t> line = {1, 2};
  dc.DrawDibLine(0, 0, 2, line, DibLineFormat::kIndexedPalette);
  const auto dib = CapturePackedDib(*s, s->Bounds(), &palette);
  const auto header = ParsePackedDib(dib);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->bits_per_pixel, 8);
  EXPECT_EQ(header->colour_count, 3);
  EXPECT_EQ(dib[header->bits_offset], 1);
  EXPECT_EQ(dib[header->bits_offset + 1], 2);
  display.SetDepth(24);
}

TEST(PrinterPage, SizedFromMillimetresAndResolutionAndWhite) {
  auto page = TPrinterPage::Create(PrinterPageMetrics{210, 297, 300, 300});
  ASSERT_TRUE(page);
  EXPECT_EQ(page->PixelSize(), (Size{2480, 3508}));
  EXPECT_EQ(page->Surface().ColourAt(2479, 3507), MakeRgb(255, 255, 255));
  EXPECT_FALSE(page->Surface().IsPaletteSurface());
  EXPECT_FALSE(TPrinterPage::Create(PrinterPageMetrics{0, 297, 300, 300}));
  EXPECT_FALSE(TPrinterPage::Create(PrinterPageMetrics{210, 297, -1, 300}));
  EXPECT_FALSE(TPrinterPage::Create(PrinterPageMetrics{100000, 100000, 2400, 2400}));
  EXPECT_EQ(MillimetresToPixels(25, 254), 250);
}
