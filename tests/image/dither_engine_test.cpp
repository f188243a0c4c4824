#include <gtest/gtest.h>

#include <vector>

#include "image/dither.h"
#include "image/fixed_palette.h"

namespace {

LogPalette MakePalette(std::initializer_list<PaletteEntry> entries) {
  LogPalette palette;
  for (const PaletteEntry& entry : entries) palette.entries[palette.count++] = entry;
  return palette;
}

// Pads a target with non-grey colours past 16 entries, so the identity
// pre-curve applies while grey mode still sees only the given greys.
void PadWithReds(LogPalette& palette) {
  while (palette.count < 17) palette.entries[palette.count++] = {200, 0, 0, 0};
}

std::uint8_t Grey(std::uint8_t v) {
  return v;
}

// A palette picture whose index i is the grey i.
LogPalette GreyRamp() {
  LogPalette palette;
  palette.count = 256;
  for (int i = 0; i < 256; ++i) {
    palette.entries[i] = {Grey(static_cast<std::uint8_t>(i)), static_cast<std::uint8_t>(i),
                          static_cast<std::uint8_t>(i), 0};
  }
  return palette;
}

// Source grey levels whose engine luma (byte-table Y) is known: Y(g, g, g).
constexpr std::uint8_t kGreyY0 = 0;
constexpr std::uint8_t kGreyY99 = 100;   // Y 99
constexpr std::uint8_t kGreyY126 = 127;  // Y 126
constexpr std::uint8_t kGreyY80 = 81;    // Y 80
constexpr std::uint8_t kWhite = 255;     // Y 253

std::uint8_t DitherOne(TDither& dither, std::uint8_t index) {
  std::uint8_t pixel = index;
  dither.DitherLine(&pixel, 1, 1);
  return pixel;
}

TEST(DitherTone, NeutralSettingsLeaveColoursAlone) {
  for (int v = 0; v < 256; ++v) {
    EXPECT_EQ(AdjustChannel(static_cast<std::uint8_t>(v), 5, 5, false), v);
  }
}

TEST(DitherTone, BrightnessLimitsAndInvert) {
  EXPECT_EQ(AdjustChannel(0, 9, 5, false), 204);
  EXPECT_EQ(AdjustChannel(255, 1, 5, false), 51);
  EXPECT_EQ(AdjustChannel(255, 9, 5, false), 255);
  EXPECT_EQ(AdjustChannel(100, 4, 5, false), 80);
  EXPECT_EQ(AdjustChannel(0, 5, 5, true), 255);
  // Invert comes after brightness: black at Brightness 9 is 204, inverted 51.
  EXPECT_EQ(AdjustChannel(0, 9, 5, true), 51);
  // Out-of-range settings are clamped rather than read past the curve table.
  EXPECT_EQ(AdjustChannel(0, 42, 5, false), 204);
  EXPECT_EQ(AdjustChannel(128, 5, -3, false), GetToneCurve(0)[128]);
}

TEST(DitherTone, CurvesFollowTheirExponents) {
  for (int x = 0; x < 256; ++x) EXPECT_EQ(GetToneCurve(kIdentityCurve)[x], x);
  EXPECT_EQ(GetToneCurve(6)[128], 64);  // 255 * (128/255)^2 = 64.25
  EXPECT_EQ(GetToneCurve(2)[64], 128);  // 255 * sqrt(64/255) = 127.75
  EXPECT_EQ(GetToneCurve(0)[255], 255);
  EXPECT_EQ(GetToneCurve(8)[0], 0);
}

TEST(DitherErrorTable, PartsSumToTheClampedErrorAndNeverOverflowACell) {
  const auto& table = GetErrorTable();
  int most = 0;
  int least = 0;
  for (int e = -kErrorTableOffset; e < kErrorTableSize - kErrorTableOffset; ++e) {
    const ErrorParts& p = table[e + kErrorTableOffset];
    const int n = std::clamp(e, -128, 127);
    EXPECT_EQ(p.behind_below + p.below + p.ahead_below + p.ahead, n) << e;
    most = std::max(most, p.behind_below + p.below + p.ahead_below + p.ahead);
    least = std::min(least, p.behind_below + p.below + p.ahead_below + p.ahead);
  }
  // A current-row cell receives three below parts of the line above and one ahead part.
  const ErrorParts& hi = table[127 + kErrorTableOffset];
  const ErrorParts& lo = table[-128 + kErrorTableOffset];
  EXPECT_LE(hi.behind_below + hi.below + hi.ahead_below + hi.ahead, 127);
  EXPECT_GE(lo.behind_below + lo.below + lo.ahead_below + lo.ahead, -128);
  EXPECT_EQ(hi.below, 39);
  EXPECT_EQ(lo.behind_below, -24);
}

TEST(FixedDitherPalette, HasLatticeCornersAndGreysInOrder) {
  const LogPalette& palette = GetFixedDitherPalette();
  ASSERT_EQ(palette.count, kFixedPaletteEntries);
  auto rgb = [&](int i) {
    const PaletteEntry& e = palette.entries[i];
    return std::vector<int>{e.red, e.green, e.blue};
  };
  EXPECT_EQ(rgb(0), (std::vector<int>{24, 166, 56}));     // i=-4, j=-2, y=-1
  EXPECT_EQ(rgb(221), (std::vector<int>{232, 90, 200}));  // i=4, j=2, y=1
  EXPECT_EQ(rgb(222), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(rgb(223), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(rgb(226), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(rgb(229), (std::vector<int>{255, 255, 255}));
  for (int g = 0; g < 6; ++g) EXPECT_EQ(rgb(230 + g), (std::vector<int>(3, 80 + 16 * g)));
}

TEST(DitherSource, AdjustedPaletteAndGreyConversion) {
  TDither dither;
  LogPalette palette = MakePalette({{0, 0, 0, 7}, {255, 0, 0, 7}, {10, 20, 30, 7}});
  dither.SetSource(&palette, false, true, 9, 5, false);
  LogPalette out = MakePalette({});
  out.entries[0].flags = 3;
  dither.GetSourcePalette(out);
  EXPECT_EQ(out.version, kLogPaletteVersion);
  ASSERT_EQ(out.count, 3);
  EXPECT_EQ(out.entries[0].red, 204);
  EXPECT_EQ(out.entries[1].red, 255);
  EXPECT_EQ(out.entries[1].green, 204);
  EXPECT_EQ(out.entries[0].flags, 3);

  dither.SetSource(&palette, false, false, 5, 5, false);
  dither.GetSourcePalette(out);
  // Red's grey is (255 * 77) >> 8 = 76, in every channel.
  EXPECT_EQ(out.entries[1].red, 76);
  EXPECT_EQ(out.entries[1].green, 76);
  EXPECT_EQ(out.entries[1].blue, 76);
  EXPECT_FALSE(dither.IsDithering());
}

TEST(DitherAdjustLine, ColourGreyAndPaletteLines) {
  TDither dither;
  dither.SetSource(nullptr, false, true, 9, 5, false);
  std::vector<std::uint8_t> line = {0, 0, 0, 255, 128, 0};
  dither.AdjustLine(line.data(), 2, 3);
  EXPECT_EQ(line, (std::vector<std::uint8_t>{204, 204, 204, 255, 230, 204}));

  dither.SetSource(nullptr, false, false, 5, 5, false);
  line = {0, 0, 255, 9, 9, 9};           // red, then a grey
  dither.DitherLine(line.data(), 2, 3);  // no target: adjusts only
  EXPECT_EQ(line, (std::vector<std::uint8_t>{76, 76, 76, 8, 8, 8}));

  std::vector<std::uint8_t> indices = {1, 2, 3};
  dither.AdjustLine(indices.data(), 3, 1);
  EXPECT_EQ(indices, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(DitherSearch, EqualDistanceChoosesTheLaterEntry) {
  for (int quality = 1; quality <= 3; ++quality) {
    TDither dither(quality);
    LogPalette source = MakePalette({{10, 200, 30, 0}, {250, 250, 250, 0}});
    dither.SetSource(&source, false, true, 5, 5, false);
    LogPalette target = MakePalette({{0, 0, 0, 0}, {90, 90, 200, 0}, {90, 90, 200, 0}});
    dither.SetTarget(target);
    std::vector<std::uint8_t> line(64, 0);
    dither.DitherLine(line.data(), 64, 1);
    for (std::uint8_t index : line) EXPECT_NE(index, 1) << quality;
  }
}

TEST(DitherSearch, GreyModeUsesOnlyGreyEntries) {
  TDither dither;
  LogPalette source = GreyRamp();
  dither.SetSource(&source, false, false, 5, 5, false);
  LogPalette target =
      MakePalette({{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 200, 90, 0}, {255, 255, 255, 0}});
  dither.SetTarget(target);
  EXPECT_EQ(dither.CandidateCount(), 2);
  std::vector<std::uint8_t> line(256);
  for (int row = 0; row < 8; ++row) {
    for (int i = 0; i < 256; ++i) line[i] = static_cast<std::uint8_t>((i * 7 + row) & 255);
    dither.DitherLine(line.data(), 256, 1);
    for (std::uint8_t index : line) EXPECT_TRUE(index == 0 || index == 3);
  }
}

TEST(DitherSearch, NoGreyCandidateGivesIndexZero) {
  TDither dither;
  LogPalette source = GreyRamp();
  dither.SetSource(&source, false, false, 5, 5, false);
  LogPalette target = MakePalette({{255, 0, 0, 0}, {0, 0, 255, 0}});
  dither.SetTarget(target);
  EXPECT_EQ(DitherOne(dither, 200), 0);
  EXPECT_EQ(DitherOne(dither, 10), 0);
}

TEST(DitherSearch, SmallTargetsCompareThroughTheSquareCurve) {
  LogPalette source = GreyRamp();
  LogPalette target = MakePalette({{0, 0, 0, 0}, {128, 128, 128, 0}, {255, 255, 255, 0}});
  TDither dither;
  // Grey 200 is nearer white as it is, nearer the middle grey once both are squared.
  dither.SetSource(&source, false, false, 5, 5, false);
  dither.SetTarget(target);
  EXPECT_EQ(DitherOne(dither, 200), 1);
  PadWithReds(target);
  dither.SetSource(&source, false, false, 5, 5, false);
  dither.SetTarget(target);
  EXPECT_EQ(DitherOne(dither, 200), 2);
}

class DitherSpread : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = GreyRamp();
    dither_.SetSource(&source_, false, false, 5, 5, false);
  }
  void Target(std::initializer_list<PaletteEntry> greys) {
    LogPalette target = MakePalette(greys);
    PadWithReds(target);
    dither_.SetTarget(target);
  }
  LogPalette source_;
  TDither dither_;
};

TEST_F(DitherSpread, OnePixelLineSpreadsItsErrorToTheRowBelow) {
  Target({{0, 0, 0, 0}, {kWhite, kWhite, kWhite, 0}});
  // Y 99 alone is black; the 5/16 of its error below lifts the next line's Y 99 to white.
  EXPECT_EQ(DitherOne(dither_, kGreyY99), 0);
  EXPECT_EQ(DitherOne(dither_, kGreyY99), 1);
  dither_.ResetErrors();
  EXPECT_EQ(DitherOne(dither_, kGreyY99), 0);
}

TEST_F(DitherSpread, AheadPartReachesTheNextPixelOnly) {
  Target({{0, 0, 0, 0}, {kWhite, kWhite, kWhite, 0}});
  // 7/16 of 99 (45) ahead lifts a following Y 99 only to 144 -> white; a
  // following black stays black, and so does the pixel two steps on.
  std::vector<std::uint8_t> line = {kGreyY99, kGreyY99, kGreyY0, kGreyY0};
  dither_.DitherLine(line.data(), 4, 1);
  EXPECT_EQ(line, (std::vector<std::uint8_t>{0, 1, 0, 0}));
}

TEST_F(DitherSpread, SecondLineRunsRightToLeft) {
  Target({{0, 0, 0, 0}, {kWhite, kWhite, kWhite, 0}});
  std::vector<std::uint8_t> first = {kGreyY0, kGreyY0};
  dither_.DitherLine(first.data(), 2, 1);
  // Right to left, the rightmost Y 99 goes first and pushes its error left.
  std::vector<std::uint8_t> second = {kGreyY99, kGreyY99};
  dither_.DitherLine(second.data(), 2, 1);
  EXPECT_EQ(second, (std::vector<std::uint8_t>{1, 0}));
}

TEST_F(DitherSpread, ErrorsBeyond127AreClampedBeforeSpreading) {
  Target({{0, 0, 0, 0}, {kGreyY80, kGreyY80, kGreyY80, 0}});
  // White against the grey of Y 80 leaves 173, spread as 127: 39 below, not 54.
  EXPECT_EQ(DitherOne(dither_, kWhite), 1);
  EXPECT_EQ(DitherOne(dither_, kGreyY0), 0);
}

TEST_F(DitherSpread, SumsAreClampedToTheByteRange) {
  Target({{0, 0, 0, 0}, {kWhite, kWhite, kWhite, 0}});
  EXPECT_EQ(DitherOne(dither_, kGreyY126), 0);  // leaves +39 below
  EXPECT_EQ(DitherOne(dither_, kWhite), 1);     // 253 + 39 stays white, does not wrap
}

TEST(DitherLineArguments, BadArgumentsLeaveTheLineAlone) {
  TDither dither;
  dither.SetSource(nullptr, false, true, 5, 5, false);
  dither.SetTarget(GetFixedDitherPalette());
  std::vector<std::uint8_t> line = {1, 2, 3, 4, 5, 6};
  dither.DitherLine(line.data(), 2, 2);
  dither.DitherLine(line.data(), 0, 3);
  dither.DitherLine(line.data(), -5, 1);
  dither.DitherLine(nullptr, 2, 3);
  EXPECT_EQ(line, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
}

}  // namespace
