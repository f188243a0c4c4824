// How large a picture is held: classic rows of 8192 bytes and 8192 rows, or
// full resolution up to 32768 pixels a side and 1 GiB of bitmap; sizes far
// beyond either are reduced without overflowing.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "image/adjustments.h"
#include "image/image.h"
#include "image/image_limits.h"
#include "image/orientation.h"

namespace {

constexpr auto kClassic = PictureLimit::kClassic;
constexpr auto kFull = PictureLimit::kFullResolution;

TEST(PictureLimits, FullResolutionStopsAtTheSideAndTheByteCaps) {
  EXPECT_EQ(ReductionWithinLimit(6000, 4000, 3, 1, kClassic), 4);
  EXPECT_EQ(ReductionWithinLimit(6000, 4000, 3, 1, kFull), 1);
  EXPECT_EQ(ReductionWithinLimit(6000, 4000, 3, 8, kFull), 8) << "QuickLook still asks for 8";

  EXPECT_EQ(ReductionWithinLimit(32768, 100, 1, 1, kFull), 1);
  EXPECT_EQ(ReductionWithinLimit(32769, 100, 1, 1, kFull), 2);
  EXPECT_EQ(ReductionWithinLimit(100, 32769, 1, 1, kFull), 2);
  EXPECT_EQ(ReductionWithinLimit(32768, 32768, 1, 1, kFull), 1) << "exactly 1 GiB";
  // 32768 x 3 bytes a row: 10922 rows fit in 1 GiB, 10923 do not.
  EXPECT_EQ(ReductionWithinLimit(32768, 10922, 3, 1, kFull), 1);
  EXPECT_EQ(ReductionWithinLimit(32768, 10923, 3, 1, kFull), 2);
}

TEST(PictureLimits, HugeSizesReduceWithoutOverflow) {
  for (PictureLimit limit : {kClassic, kFull}) {
    const std::int64_t reduction = ReductionWithinLimit(INT_MAX, INT_MAX, 3, 1, limit);
    const std::int64_t width = INT_MAX / reduction;
    const std::int64_t height = INT_MAX / reduction;
    EXPECT_GE(width, 1);
    EXPECT_LE(PictureRowStride(width, 3) * height, kFullResolutionMaxBytes);
  }

  // Memory that runs out keeps halving the picture, in 64 bits, down to what
  // can be had; the byte cap alone would allow far more.
  TDib::SetBitmapMemoryLimit(std::size_t{1} << 20);
  TImage image;
  image.Create(INT_MAX, INT_MAX, 1, 1, 3, 1, 0, TImage::RowFill::kFill, kFull);
  TDib::SetBitmapMemoryLimit(0);
  EXPECT_FALSE(image.bitmap.Empty());
  EXPECT_LE(std::int64_t{image.Stride()} * image.height, std::int64_t{1} << 20);
  EXPECT_EQ(image.width, INT_MAX / image.reduction);
}

TEST(PictureLimits, RowsLongerThanClassicOnesAreStoredWhole) {
  TImage image;
  image.Create(3000, 9000, 1, 1, 3, 1, 7, TImage::RowFill::kFill, kFull);
  ASSERT_EQ(image.width, 3000);
  ASSERT_EQ(image.height, 9000);
  EXPECT_EQ(image.Stride(), 9000);
  EXPECT_EQ(image.Row(8999)[3 * 2999 + 2], 7) << "the fill reaches the last row's end";

  std::vector<std::uint8_t> red(3000, 1), green(3000, 2), blue(3000, 3);
  red[2999] = 200;
  image.PutRow(0, 8999, red.data(), green.data(), blue.data(), 3000, -1);
  EXPECT_EQ(image.Row(8999)[3 * 2999 + 2], 200);
  EXPECT_EQ(image.Row(8998)[3 * 2999 + 2], 7);

  // The same picture under classic limits is reduced as it always was.
  image.Create(3000, 9000, 1, 1, 3, 1, 0);
  EXPECT_EQ(image.reduction, 2);
  EXPECT_EQ(image.width, 1500);
}

TEST(PictureLimits, LargePicturesMapDownToTheOutput) {
  TImage image;
  image.Create(20000, 40, 1, 1, 1, 1, 0, TImage::RowFill::kFill, kFull);
  ASSERT_EQ(image.width, 20000);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) image.Row(y)[x] = static_cast<std::uint8_t>(x / 100);
  }
  image.SetOutputSize(20000, 40, 1, 1, 0, true, false);
  const ImageBounds out = image.GetOutputRect();
  EXPECT_EQ(out.right - out.left, kMaxOutputSize);
  std::vector<std::uint8_t> row(kMaxOutputSize);
  image.GetOutputRow(out.left, out.bottom - 1, row.data(), kMaxOutputSize);
  EXPECT_EQ(row.back(), 199) << "the last output column comes from the far right";

  // Columns past 16384 are still named right when the map is turned.
  image.SetOutputSize(40, 20000, 1, 1, kOrientTranspose, true, false);
  const ImageBounds turned = image.GetOutputRect();
  std::uint8_t last = 0;
  image.GetOutputRow(turned.right - 1, turned.bottom - 1, &last, 1);
  EXPECT_EQ(last, 199);
}

TEST(PictureLimits, ShownViewSizeIsUprightBeforeTheNextLayout) {
  TImage image;
  image.Create(60, 40, 1, 1, 3, 1, 0);
  image.uprightOrientation = OrientationOfTag(6);
  EXPECT_EQ(image.ShownViewSize(0).width, 40);
  EXPECT_EQ(image.ShownViewSize(0).height, 60);
  EXPECT_EQ(image.ShownViewSize(QuarterTurn(0)).width, 60) << "Rotate turns it on from upright";
}

}  // namespace
