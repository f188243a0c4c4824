// The slideshow through the main window on the headless backend: a sheet run
// of Display thumbnails, and a conversion run from the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "headless_window_fixture.h"
#include "image/display_palette.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/headless/headless_backend.h"
#include "support/temp_dir.h"

namespace {

class SlideshowWindowTest : public HeadlessWindowTest {
 protected:
  SlideshowWindowTest() { run_steps_ = 100'000; }

  std::string WritePicture(const std::string& name, int shade) {
    TImage image;
    image.Create(40, 30, 1, 1, 1, 1, 0);
    LogPalette palette;
    palette.count = 2;
    palette.entries[0] = PaletteEntry{static_cast<std::uint8_t>(shade), 0, 0, 0};
    palette.entries[1] = PaletteEntry{0, static_cast<std::uint8_t>(shade), 0, 0};
    image.SetPalette(palette);
    std::vector<std::uint8_t> row(40);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) row[x] = static_cast<std::uint8_t>((x + y) % 2);
      image.PutRow(0, y, row.data(), nullptr, nullptr, 40, -1);
    }
    TProfile settings;
    TDither dither;
    dither.SetSource(&palette, false, ToneSettings{});
    const std::string path = dir_.File(name);
    EXPECT_EQ(SaveImage(path, 0, image, settings, dither, nullptr), 0);
    return path;
  }

  void Start(std::vector<std::string> arguments, const std::function<void(TProfile&)>& tweak) {
    StartWindow(std::move(arguments), [&](TProfile& settings) {
      SteadySettings(settings);
      settings.Set(IntKey::WImage, 1000);
      settings.Set(IntKey::HImage, 1000);
      settings.Set(IntKey::FillWindow, 1);
      if (tweak) tweak(settings);
    });
  }
};

TEST_F(SlideshowWindowTest, AFourByThreeSheetFillsAPageAndTheThirteenthStartsANewOne) {
  std::vector<std::string> files;
  for (int i = 0; i < 13; ++i) {
    files.push_back(WritePicture("p" + std::to_string(10 + i) + ".gif", 40 + i * 10));
  }
  Start(files, [](TProfile& settings) {
    settings.Set(IntKey::ThumbnailsAcross, 4);
    settings.Set(IntKey::ThumbnailsDown, 3);
    settings.Set(IntKey::DelayBetweenImages, 5);
  });
  window_->RunCommand(CM_DISPLAY_THUMBNAILS);
  Run();
  // The full page stopped the run, which gave the delay back.
  TProfile& settings = window_->Settings();
  EXPECT_EQ(settings.Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(settings.Get(IntKey::DelayBetweenImages), 5);
  EXPECT_EQ(window_->FrameRect(), (Rect{750, 666, 1000, 1000}));
  EXPECT_EQ(window_->Names()[kImageName], "p21.gif");

  window_->RunCommand(CM_DISPLAY_THUMBNAILS);
  Run();
  EXPECT_EQ(window_->Names()[kImageName], "p22.gif");
  EXPECT_EQ(window_->FrameRect(), (Rect{0, 0, 250, 333}));
  // The new page was erased: the cell right of the thirteenth is background.
  const Size client = window_->MainWindow().ClientSize();
  const ColorRef background =
      MakeRgb(settings.Get(IntKey::BackgroundRed), settings.Get(IntKey::BackgroundGreen),
              settings.Get(IntKey::BackgroundBlue));
  EXPECT_EQ(window_->MainWindow().ScreenSurface().ColourAt(client.width * 3 / 8, client.height / 6),
            background);
}

TEST_F(SlideshowWindowTest, TheSlideshowsCommandsStepTheListAndClose) {
  Start({WritePicture("s1.gif", 40), WritePicture("s2.gif", 80), WritePicture("s3.gif", 120)}, {});
  ASSERT_EQ(window_->Names()[kImageName], "s1.gif");
  window_->PostCommand(ShowCommand::kNext);
  Run();
  EXPECT_EQ(window_->Names()[kImageName], "s2.gif");
  window_->PostCommand(ShowCommand::kNext);
  Run();
  window_->PostCommand(ShowCommand::kPrevious);
  Run();
  EXPECT_EQ(window_->Names()[kImageName], "s2.gif");
  window_->PostCommand(ShowCommand::kExit);
  Run();
  EXPECT_TRUE(window_->IsClosed());
}

TEST_F(SlideshowWindowTest, AConversionRunSavesEveryFileOnceAndRestoresTheSettings) {
  std::vector<std::string> arguments = {"-ConvertToBMP"};
  for (int i = 0; i < 5; ++i)
    arguments.push_back(WritePicture("c" + std::to_string(i) + ".gif", 50));
  Start(arguments, [](TProfile& settings) { settings.Set(IntKey::DelayBetweenImages, 8); });
  // The exit is posted from the last idle call; the settling above ends there.
  Run();
  EXPECT_TRUE(window_->IsClosed());
  ASSERT_NE(window_->BatchRun(), nullptr);
  EXPECT_EQ(window_->BatchRun()->Handled(), 5);
  EXPECT_FALSE(window_->BatchRun()->AnyFailed());
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(std::filesystem::exists(dir_.File("c" + std::to_string(i) + ".bmp"))) << i;
  }
  EXPECT_EQ(window_->Settings().Get(IntKey::DelayBetweenImages), 8);
  EXPECT_EQ(window_->Settings().Get(IntKey::ImageDisplayEvent), 0);
  EXPECT_EQ(window_->Settings().Get(IntKey::RunSlideshow), 0);
}

TEST_F(SlideshowWindowTest, AConversionRunNamesAFileThatDidNotLoadAndWritesNoPlaceholder) {
  const std::string good = WritePicture("good.gif", 60);
  const std::string bad = dir_.File("bad.gif");
  ASSERT_TRUE(WriteFileText(bad, "GIF89a but nothing after"));
  Start({"-ConvertToTGA", bad, good}, {});
  ASSERT_NE(window_->BatchRun(), nullptr);
  EXPECT_EQ(window_->BatchRun()->Failures(), std::vector<std::string>{bad});
  EXPECT_FALSE(std::filesystem::exists(dir_.File("bad.tga")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("good.tga")));
}

}  // namespace
