// Transition geometry, pacing on the virtual clock, and the pixels each
// effect leaves on the screen.
#include "show/transitions.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/device_context.h"
#include "platform/headless/virtual_clock.h"
#include "platform/random.h"
#include "platform/surface.h"
#include "platform/tick_count.h"

namespace {

// Records copies and paces instead of drawing.
class TRecordingCanvas : public TransitionCanvas {
 public:
  void Copy(const Rect& area) override { copies.push_back(area); }
  void Pace(int total_steps) override {
    paces.push_back(total_steps);
    copies_per_pace.push_back(static_cast<int>(copies.size()) - copies_before_pace_);
    copies_before_pace_ = static_cast<int>(copies.size());
  }
  std::vector<Rect> copies;
  std::vector<int> paces;
  std::vector<int> copies_per_pace;

 private:
  int copies_before_pace_ = 0;
};

class VirtualClockTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallTickSource(&clock_); }
  void TearDown() override { InstallTickSource(nullptr); }
  TVirtualClock clock_{5000};
};

TEST(TransitionGeometry, BandAndStepFollowTheFrameSize) {
  const TransitionGeometry vga = MeasureTransition(Rect{0, 0, 640, 480}, Size{640, 480});
  EXPECT_EQ(vga.frame, (Rect{0, 0, 640, 480}));
  EXPECT_EQ(vga.band, 17);
  EXPECT_EQ(vga.step, 2);
  const TransitionGeometry xga = MeasureTransition(Rect{0, 0, 1024, 768}, Size{1024, 768});
  EXPECT_EQ(xga.band, 28);
  EXPECT_EQ(xga.step, 3);
  // Below 1024 pixels of width plus height the band stays at its minimum.
  const TransitionGeometry small = MeasureTransition(Rect{0, 0, 500, 500}, Size{500, 500});
  EXPECT_EQ(small.band, 16);
  EXPECT_EQ(small.step, 2);
}

TEST(TransitionGeometry, AFrameInsideTheClientGrowsByOnePixelRightAndBelow) {
  const TransitionGeometry g = MeasureTransition(Rect{10, 20, 110, 120}, Size{400, 300});
  EXPECT_EQ(g.frame, (Rect{10, 20, 111, 121}));
  EXPECT_EQ(g.width, 101);
  EXPECT_EQ(g.height, 101);
}

TEST(TransitionGeometry, HorizontalCopiesOneStripPerStepOverTheWholeHeight) {
  const TransitionGeometry g = MeasureTransition(Rect{0, 0, 640, 480}, Size{640, 480});
  TRecordingCanvas canvas;
  RunTransition(kHorizontalEffect, g, Size{640, 480}, canvas);
  ASSERT_EQ(canvas.copies.size(), 240u);
  EXPECT_EQ(canvas.copies.front(), (Rect{0, 0, 640, 2}));
  EXPECT_EQ(canvas.copies.back(), (Rect{0, 478, 640, 480}));
  EXPECT_EQ(canvas.paces, std::vector<int>(240, 241));
}

TEST(TransitionGeometry, DissolveGridOfAVgaFrame) {
  const TransitionGeometry g = MeasureTransition(Rect{0, 0, 640, 480}, Size{640, 480});
  const DissolveGrid grid = MeasureDissolve(g);
  EXPECT_EQ(grid.cell, 8);
  EXPECT_EQ(grid.columns, 80);
  EXPECT_EQ(grid.rows, 60);
}

TEST(TransitionGeometry, DissolveCoversEveryCellExactlyOnceARowOfCellsPerStep) {
  SeedRandom(1234);
  const TransitionGeometry g = MeasureTransition(Rect{0, 0, 640, 480}, Size{640, 480});
  TRecordingCanvas canvas;
  RunTransition(kDissolveEffect, g, Size{640, 480}, canvas);
  std::set<std::pair<int, int>> cells;
  for (const Rect& copy : canvas.copies) {
    EXPECT_EQ(copy.Width(), 8);
    EXPECT_EQ(copy.Height(), 8);
    EXPECT_EQ(copy.left % 8, 0);
    EXPECT_EQ(copy.top % 8, 0);
    cells.insert({copy.left, copy.top});
  }
  EXPECT_EQ(canvas.copies.size(), 80u * 60u);
  EXPECT_EQ(cells.size(), 80u * 60u);
  EXPECT_EQ(canvas.paces, std::vector<int>(60, 60));
  EXPECT_EQ(canvas.copies_per_pace, std::vector<int>(60, 80));
}

TEST(TransitionGeometry, AFrameFarWiderThanHighStillGetsARowOfDissolveCells) {
  const TransitionGeometry g = MeasureTransition(Rect{0, 0, 2000, 2}, Size{2000, 2});
  const DissolveGrid grid = MeasureDissolve(g);
  EXPECT_GE(grid.rows, 1);
  EXPECT_LE(grid.columns, kMaxDissolveSide);
  EXPECT_GE(grid.rows * grid.cell, g.height);
  EXPECT_GE(grid.columns * grid.cell, g.width);
}

TEST(TransitionGeometry, RandomNeverChoosesDirectOrFastAndReachesEveryOther) {
  SeedRandom(7);
  std::set<int> chosen;
  for (int i = 0; i < 2000; ++i) chosen.insert(ChooseTransitionEffect(kRandomEffect));
  EXPECT_EQ(chosen, (std::set<int>{3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(ChooseTransitionEffect(kDirectEffect), kDirectEffect);
  EXPECT_EQ(ChooseTransitionEffect(kBoxInEffect), kBoxInEffect);
}

TEST(TransitionGeometry, BoxRunsFiftyRingsFromTheEdgesInward) {
  const TransitionGeometry g = MeasureTransition(Rect{0, 0, 200, 100}, Size{200, 100});
  TRecordingCanvas in;
  RunTransition(kBoxInEffect, g, Size{200, 100}, in);
  EXPECT_EQ(in.paces, std::vector<int>(50, 50));
  // The first ring of Box In touches the frame's left edge; of Box Out the centre.
  EXPECT_EQ(in.copies.front().left, 101 + 100 * 49 / 50);
  TRecordingCanvas out;
  RunTransition(kBoxOutEffect, g, Size{200, 100}, out);
  EXPECT_EQ(out.copies.front().left, 101);
}

TEST(TransitionGeometry, CheckerboardsAreUnpacedAndEndWithTheWholeFrame) {
  const TransitionGeometry g = MeasureTransition(Rect{0, 0, 640, 480}, Size{640, 480});
  for (int effect : {kCheckInEffect, kCheckOutEffect}) {
    TRecordingCanvas canvas;
    RunTransition(effect, g, Size{640, 480}, canvas);
    EXPECT_TRUE(canvas.paces.empty());
    ASSERT_FALSE(canvas.copies.empty());
    EXPECT_EQ(canvas.copies.back(), (Rect{0, 0, 640, 480}));
  }
}

TEST_F(VirtualClockTest, PacingSpreadsTheStepsOverOneSecondOfTicks) {
  const TransitionGeometry g = MeasureTransition(Rect{0, 0, 640, 480}, Size{640, 480});
  const auto page = TSurface::Create(640, 480, 24);
  auto screen = TSurface::Create(640, 480, 24);
  TDeviceContext page_dc(*page, nullptr);
  TDeviceContext screen_dc(*screen, nullptr);
  const std::uint32_t start = GetTickCount();
  std::vector<std::uint32_t> shown_at;
  PlayTransition(kBoxOutEffect, screen_dc, page_dc, g.frame, Size{640, 480},
                 [&](const Rect&) { shown_at.push_back(GetTickCount()); });
  // The 50th step waits for 49/50 of the second.
  EXPECT_EQ(GetTickCount() - start, 980u);
  ASSERT_FALSE(shown_at.empty());
  EXPECT_EQ(shown_at.front(), start);

  const std::uint32_t check_start = GetTickCount();
  PlayTransition(kCheckInEffect, screen_dc, page_dc, g.frame, Size{640, 480}, nullptr);
  EXPECT_EQ(GetTickCount(), check_start);
}

TEST_F(VirtualClockTest, EveryEffectLeavesTheFrameAsThePlainCopyWould) {
  constexpr Size client{400, 300};
  const Rect outer{30, 20, 330, 250};
  const auto page = TSurface::Create(client.width, client.height, 24);
  for (int y = 0; y < client.height; ++y) {
    for (int x = 0; x < client.width; ++x) {
      page->Row(y)[x] = static_cast<std::uint32_t>((x * 7919 + y * 104729) & 0xFFFFFF);
    }
  }
  const TransitionGeometry g = MeasureTransition(outer, client);
  SeedRandom(99);
  for (int effect = 1; effect <= kRandomEffect; ++effect) {
    auto screen = TSurface::Create(client.width, client.height, 24);
    TDeviceContext page_dc(*page, nullptr);
    TDeviceContext screen_dc(*screen, nullptr);
    PlayTransition(effect, screen_dc, page_dc, outer, client, nullptr);
    int differing = 0;
    for (int y = g.frame.top; y < g.frame.bottom; ++y) {
      for (int x = g.frame.left; x < g.frame.right; ++x) {
        if (screen->PixelAt(x, y) != page->PixelAt(x, y)) ++differing;
      }
    }
    EXPECT_EQ(differing, 0) << "effect " << effect;
  }
}

}  // namespace
