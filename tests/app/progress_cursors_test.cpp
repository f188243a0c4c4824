#include "app/progress_cursors.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
int CountPixels(const CursorImage& image, std::uint32_t pixel) {
  return static_cast<int>(std::count(image.pixels.begin(), image.pixels.end(), pixel));
}

TEST(ProgressCursors, ElevenRegisteredClocksFillUpWithThePercentage) {
  RegisterProgramCursors();
  int previous = -1;
  for (int step = 0; step < kProgressCursorCount; ++step) {
    const auto image = FindCursorImage(kFirstProgressCursorResource + step);
    ASSERT_TRUE(image) << "step " << step;
    EXPECT_EQ(image->pixels.size(), 32u * 32u);
    const int filled = CountPixels(*image, 0xFF2060C0);
    EXPECT_GT(filled, previous) << "step " << step;
    previous = filled;
  }
  EXPECT_EQ(CountPixels(DrawProgressCursor(0), 0xFF2060C0), 0);
  EXPECT_EQ(CountPixels(DrawProgressCursor(10), 0xFFFFFFFF), 0) << "a full clock";
  EXPECT_TRUE(FindCursorImage(kPanCursorResource));
  EXPECT_GT(CountPixels(DrawPanCursor(), 0xFFFFFFFF), 0);
}

TEST(ProgressCursors, PercentagesPickTheirTenthWithinRange) {
  EXPECT_EQ(ProgressCursor(0), MouseCursor::Image(1800));
  EXPECT_EQ(ProgressCursor(59), MouseCursor::Image(1805));
  EXPECT_EQ(ProgressCursor(100), MouseCursor::Image(1810));
  EXPECT_EQ(ProgressCursor(150), MouseCursor::Image(1810));
  EXPECT_EQ(ProgressCursor(-20), MouseCursor::Image(1800));
  EXPECT_EQ(PanCursor(), MouseCursor::Image(1600));
}
}  // namespace
