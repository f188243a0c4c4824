#include "print/print_layout.h"

#include <gtest/gtest.h>

namespace {
constexpr PrinterPageMetrics kA4At300{210, 297, 300, 300};
constexpr Size kA4Pixels{2480, 3508};

TEST(PrintLayout, WholeA4PageIsTheAreaWithoutMargins) {
  const Size area = PrintArea(kA4At300, kA4Pixels, PrintMargins{});
  EXPECT_EQ(area, kA4Pixels);
  EXPECT_EQ(PrintOffset(kA4At300, kA4Pixels, PrintMargins{}), (Point{0, 0}));
}

TEST(PrintLayout, SmallPictureIsPreparedAtAboutTwiceItsSizeUnlessDithered) {
  const PrintTargets plain = ReducePrintArea(kA4Pixels, Size{640, 480}, false);
  EXPECT_EQ(plain.full, kA4Pixels);
  EXPECT_EQ(plain.reduced, (Size{1240, 1754}));
  EXPECT_EQ(plain.factor, 2);

  const PrintTargets dithered = ReducePrintArea(kA4Pixels, Size{640, 480}, true);
  EXPECT_EQ(dithered.reduced, kA4Pixels);
  EXPECT_EQ(dithered.factor, 1);
}

TEST(PrintLayout, MarginsInMillimetresBecomeDevicePixels) {
  // top 10, left 20, right 30, bottom 40: (210 - 50) × 2480 / 210 and
  // (297 - 50) × 3508 / 297, truncated; offsets 20 × 2480 / 210 and 10 × 3508 / 297.
  const PrintMargins margins{10, 20, 30, 40};
  EXPECT_EQ(PrintArea(kA4At300, kA4Pixels, margins), (Size{1889, 2917}));
  EXPECT_EQ(PrintOffset(kA4At300, kA4Pixels, margins), (Point{236, 118}));

  const PrintTargets targets = ReducePrintArea(Size{1889, 2917}, Size{64, 48}, false);
  EXPECT_EQ(targets.reduced, (Size{118, 182}));
  EXPECT_EQ(targets.factor, 16);
}

TEST(PrintLayout, MarginsWiderThanThePageStillLeaveSixteenPixels) {
  const PrintMargins margins{0, 500, 0, 32767};
  const Size area = PrintArea(kA4At300, kA4Pixels, margins);
  EXPECT_EQ(area.width, kMinPrintArea);
  EXPECT_EQ(area.height, kMinPrintArea);
  EXPECT_EQ(PrintOffset(kA4At300, kA4Pixels, margins), (Point{2480 - 16, 0}));
  EXPECT_EQ(PrintOffset(kA4At300, kA4Pixels, PrintMargins{32767, 0, 0, 0}).y, 3508 - 16);
}

TEST(PrintLayout, AreasBeyondTheWidestOutputAreHalvedTogether) {
  // A0 at 600 dpi: 19866 × 28087 pixels.
  const PrintTargets targets = ReducePrintArea(Size{19866, 28087}, Size{9000, 9000}, true);
  EXPECT_EQ(targets.reduced, (Size{4966, 7021}));
  EXPECT_EQ(targets.factor, 4);
}

TEST(PrintLayout, TinyPictureStopsAtTheSmallestOutput) {
  const PrintTargets targets = ReducePrintArea(kA4Pixels, Size{1, 1}, false);
  EXPECT_GE(targets.reduced.width, 16);
  EXPECT_GE(targets.reduced.height, 16);
  EXPECT_EQ(targets.reduced.width * targets.factor, kA4Pixels.width / 128 * 128);
}

}  // namespace
