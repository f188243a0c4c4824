// The Display thumbnails command and the names saves without a dialog use.
#include "show/thumbnails.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fake_host.h"
#include "show/event_action.h"
#include "show/save_names.h"
#include "show/slideshow.h"

namespace {

class ThumbnailsTest : public ::testing::Test {
 protected:
  ThumbnailsTest() : slideshow_(host_) {
    host_.SetFiles({"/p/a.gif", "/p/b.gif", "/p/c.gif", "/p/d.gif"});
    Settings().Set(IntKey::ThumbnailsAcross, 4);
    Settings().Set(IntKey::ThumbnailsDown, 3);
    Settings().Set(IntKey::DelayBetweenImages, 9);
    Settings().Set(IntKey::ScreenDoneEvent, kNormalAction);
    Settings().Set(IntKey::SlideshowDoneEvent, kExitProgramAction);
  }
  TProfile& Settings() { return host_.Settings(); }

  TFakeHost host_;
  TSlideshow slideshow_;
};

TEST_F(ThumbnailsTest, TheFirstPressStartsASheetRunFromTheFirstFile) {
  host_.Files().Next(kSortedOrder);  // b.gif current
  DisplayThumbnails(host_, slideshow_);
  EXPECT_TRUE(host_.Files().AtEnd());
  EXPECT_EQ(host_.TakePosted(), std::vector<ShowCommand>{ShowCommand::kNext});
  EXPECT_EQ(Settings().Get(IntKey::ThumbnailsEnable), 1);
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 1);
  const Size client = host_.MainWindow().ClientSize();
  ASSERT_FALSE(host_.frame_points.empty());
  EXPECT_EQ(host_.frame_points.back(), (Point{client.width, client.height}));
  EXPECT_EQ(host_.erased, std::vector<bool>{true});
  EXPECT_EQ(Settings().Get(IntKey::DelayBetweenImages), 0);
  EXPECT_EQ(Settings().Get(IntKey::EraseNewPages), 1);
  EXPECT_EQ(Settings().Get(IntKey::ScreenDoneEvent), kStopSlideshowAction);
  // An event already bound keeps its action.
  EXPECT_EQ(Settings().Get(IntKey::SlideshowDoneEvent), kExitProgramAction);

  // A full page stops the show, which gives the earlier delay back.
  slideshow_.RunEventAction(Settings().Get(IntKey::ScreenDoneEvent));
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(Settings().Get(IntKey::DelayBetweenImages), 9);
  EXPECT_EQ(Settings().Get(IntKey::ThumbnailsEnable), 1);
}

TEST_F(ThumbnailsTest, PressingAgainContinuesAndAtTheEndTurnsTheSheetOff) {
  DisplayThumbnails(host_, slideshow_);
  slideshow_.RunEventAction(kStopSlideshowAction);
  host_.Files().Next(kSortedOrder);  // a.gif, not at the end
  DisplayThumbnails(host_, slideshow_);
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 1);
  EXPECT_EQ(Settings().Get(IntKey::DelayBetweenImages), 0);
  slideshow_.RunEventAction(kStopSlideshowAction);

  while (!host_.Files().AtEnd()) host_.Files().Next(kSortedOrder);
  DisplayThumbnails(host_, slideshow_);
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(Settings().Get(IntKey::ThumbnailsEnable), 0);
}

TEST_F(ThumbnailsTest, PressingDuringTheRunStopsItWithoutKeepingTheRunSettings) {
  DisplayThumbnails(host_, slideshow_);
  host_.Files().Next(kSortedOrder);
  DisplayThumbnails(host_, slideshow_);
  EXPECT_EQ(Settings().Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(Settings().Get(IntKey::DelayBetweenImages), 9);
  EXPECT_EQ(Settings().Get(IntKey::EraseNewPages), 0);
}

TEST_F(ThumbnailsTest, WithASingleFrameOnThePressTurnsFramesOff) {
  Settings().Set(IntKey::ThumbnailsAcross, 1);
  Settings().Set(IntKey::ThumbnailsDown, 1);
  Settings().Set(IntKey::ThumbnailsEnable, 1);
  DisplayThumbnails(host_, slideshow_);
  EXPECT_EQ(Settings().Get(IntKey::ThumbnailsEnable), 0);
  slideshow_.ToggleSlideshow();
  DisplayThumbnails(host_, slideshow_);
  EXPECT_EQ(Settings().Get(IntKey::ThumbnailsEnable), 1);
}

TEST(SaveNames, SheetsTakeTheFirstFreeThumbNumber) {
  const std::set<std::string> existing = {"/p/thumb001.pcx", "/p/thumb002.pcx", "/p/thumb004.pcx"};
  auto exists = [&](const std::string& name) { return existing.count(name) > 0; };
  EXPECT_EQ(ThumbnailSaveName("/p/x.pcx", exists), "/p/thumb003.pcx");
  EXPECT_EQ(ThumbnailSaveName("/p/x.gif", exists), "/p/thumb001.gif");
  EXPECT_EQ(ThumbnailSaveName("/p/x.gif", [](const std::string&) { return true; }),
            "/p/thumb998.gif");
}

}  // namespace
