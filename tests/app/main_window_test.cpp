// The main window driven through the headless backend: what it loads, shows
// in its caption and draws on the screen surface, and how it answers input.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/text_window.h"
#include "headless_window_fixture.h"
#include "image/display_palette.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/display.h"
#include "platform/headless/headless_backend.h"
#include "platform/long_operation.h"
#include "platform/private_profile.h"
#include "platform/virtual_keys.h"
#include "support/temp_dir.h"

namespace {

// A 1-byte picture whose pixel (x, y) is colour (x + 3y) % 8 of a fixed palette.
void MakePalettePicture(TImage& image, int width, int height) {
  image.Create(width, height, 1, 1, 1, 1, 0);
  LogPalette palette;
  palette.count = 8;
  for (int i = 0; i < 8; ++i) {
    palette.entries[i] =
        PaletteEntry{static_cast<std::uint8_t>(i * 30), static_cast<std::uint8_t>(255 - i * 30),
                     static_cast<std::uint8_t>(i * 17), 0};
  }
  image.SetPalette(palette);
  std::vector<std::uint8_t> row(width);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) row[x] = static_cast<std::uint8_t>((x + 3 * y) % 8);
    image.PutRow(0, y, row.data(), nullptr, nullptr, width, -1);
  }
}

// A 3-byte picture with smooth ramps.
void MakeColourPicture(TImage& image, int width, int height) {
  image.Create(width, height, 1, 1, 3, 1, 0);
  std::vector<std::uint8_t> red(width), green(width), blue(width);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      red[x] = static_cast<std::uint8_t>(x * 4);
      green[x] = static_cast<std::uint8_t>(y * 5);
      blue[x] = static_cast<std::uint8_t>((x + y) * 2);
    }
    image.PutRow(0, y, red.data(), green.data(), blue.data(), width, -1);
  }
}

class MainWindowTest : public HeadlessWindowTest {
 protected:
  std::string WritePicture(const std::string& name, bool colour, int width = 64, int height = 48) {
    TImage image;
    if (colour) {
      MakeColourPicture(image, width, height);
    } else {
      MakePalettePicture(image, width, height);
    }
    TProfile settings;
    TDither dither;
    LogPalette palette;
    image.GetPalette(palette, nullptr);
    dither.SetSource(colour ? nullptr : &palette, false, ToneSettings{});
    const std::string path = dir_.File(name);
    EXPECT_EQ(SaveImage(path, 0, image, settings, dither, nullptr), 0) << path;
    return path;
  }

  // Makes the window with these arguments and runs until nothing is left to do.
  void Start(std::vector<std::string> arguments, int depth = 24,
             const std::function<void(TProfile&)>& tweak = {}) {
    options_.depth = depth;
    StartWindow(std::move(arguments), [&](TProfile& settings) {
      SteadySettings(settings);
      settings.Set(IntKey::WImage, 1000);
      settings.Set(IntKey::HImage, 1000);
      settings.Set(IntKey::MImage, 0);
      settings.Set(IntKey::FillWindow, 1);  // no frame or menu: client = placement
      settings.Set(IntKey::AutoScale, 0);
      settings.Set(IntKey::AutoFit, 1);
      settings.Set(IntKey::AutoCrop, 0);
      settings.Set(IntKey::SortPalette, 0);
      settings.Set(IntKey::ShowLog, 0);
      settings.Set(IntKey::ShowComments, 0);
      if (tweak) tweak(settings);
    });
  }

  TWindow& Main() { return window_->MainWindow(); }

  Rect PictureOnScreen() {
    const ImageBounds output = window_->Picture().GetOutputRect();
    const Rect inner = window_->InnerFrame();
    return Rect{output.left, output.top, output.right, output.bottom}.Offset(inner.left, inner.top);
  }
};

TEST_F(MainWindowTest, EmptyListAsksForFilesAndPaintsOnlyTheBackground) {
  Start({});
  EXPECT_EQ(Main().Caption(), "Zentrope - Use File|Open... to select files, press F1 for help");
  const ColorRef background = MakeRgb(window_->Settings().Get(IntKey::BackgroundRed),
                                      window_->Settings().Get(IntKey::BackgroundGreen),
                                      window_->Settings().Get(IntKey::BackgroundBlue));
  for (int y = 0; y < Screen().Height(); y += 37) {
    for (int x = 0; x < Screen().Width(); x += 41) ASSERT_EQ(Screen().ColourAt(x, y), background);
  }
}

TEST_F(MainWindowTest, CaptionNamesFormatSizeAndDepth) {
  const std::string gif = WritePicture("x.gif", false);
  Start({gif});
  EXPECT_EQ(Main().Caption(), "Zentrope - GIF File: [x.gif] (64x48x8-bits)");
  EXPECT_EQ(window_->FormatName(), "gif");

  // With SortPalette the third number counts the colours in use.
  window_->Settings().Set(IntKey::SortPalette, 1);
  window_->RunCommand(CM_RELOAD);
  Run();
  EXPECT_EQ(Main().Caption(), "Zentrope - GIF File: [x.gif] (64x48x8-colors)");

  const std::string bmp = WritePicture("c.bmp", true);
  window_->Files().Clear();
  window_->Files().AddSpec(bmp, 14, false, false);
  window_->LoadCurrent();
  EXPECT_EQ(Main().Caption(), "Zentrope - BMP File: [c.bmp] (64x48x24-bits)");
}

TEST_F(MainWindowTest, SoundKeepsThePictureAndJoinsTheCaption) {
  const std::string gif = WritePicture("x.gif", false);
  WriteFileText(dir_.File("tune.wav"), "RIFF");
  Start({gif, dir_.File("tune.wav")});
  window_->RunCommand(CM_NEXT);
  Run();
  EXPECT_EQ(Main().Caption(), "Zentrope - GIF File: [x.gif] (64x48x8-bits) Sound File: [tune.wav]");
  EXPECT_EQ(window_->Names()[kImageName], "x.gif");
}

TEST_F(MainWindowTest, TrueColourScreenShowsTheOutputRows) {
  const std::string bmp = WritePicture("c.bmp", true);
  Start({bmp});
  const TImage& picture = window_->Picture();
  const Rect shown = PictureOnScreen();
  ASSERT_EQ(shown.Width(), 64);
  ASSERT_EQ(shown.Height(), 48);
  std::vector<std::uint8_t> row(64 * 3);
  const Rect inner = window_->InnerFrame();
  for (int y = shown.top; y < shown.bottom; ++y) {
    picture.GetOutputRow(shown.left - inner.left, y - inner.top, row.data(), 64);
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(Screen().ColourAt(shown.left + x, y),
                MakeRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]))
          << x << "," << y;
    }
  }
}

TEST_F(MainWindowTest, PaletteDisplayShowsRealizedIndices) {
  const std::string gif = WritePicture("x.gif", false);
  Start({gif}, 8);
  const TPalette* palette = window_->DisplayPalette();
  ASSERT_NE(palette, nullptr);
  ASSERT_FALSE(palette->SystemIndices().empty());
  const Rect shown = PictureOnScreen();
  const Rect inner = window_->InnerFrame();
  std::vector<std::uint8_t> row(64);
  for (int y = shown.top; y < shown.bottom; y += 5) {
    window_->Picture().GetOutputRow(shown.left - inner.left, y - inner.top, row.data(), 64);
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(Screen().PixelAt(shown.left + x, y), palette->SystemIndices()[row[x]]);
    }
  }
}

TEST_F(MainWindowTest, TrueColourPictureIsDitheredOnAPaletteDisplay) {
  const std::string bmp = WritePicture("c.bmp", true);
  Start({bmp}, 8);
  EXPECT_TRUE(window_->Dither().IsDithering());
  const TPalette* palette = window_->DisplayPalette();
  ASSERT_NE(palette, nullptr);
  // Every pixel is one of the target's realized entries, and the ramp uses many.
  std::vector<bool> realized(256, false);
  for (std::uint8_t index : palette->SystemIndices()) realized[index] = true;
  const Rect shown = PictureOnScreen();
  std::vector<bool> seen(256, false);
  int distinct = 0;
  for (int y = shown.top; y < shown.bottom; ++y) {
    for (int x = shown.left; x < shown.right; ++x) {
      const std::uint32_t pixel = Screen().PixelAt(x, y);
      ASSERT_TRUE(realized[pixel]) << x << "," << y;
      if (!seen[pixel]) ++distinct;
      seen[pixel] = true;
    }
  }
  EXPECT_GT(distinct, 20);
}

TEST_F(MainWindowTest, GridOfThreeByTwoFillsLeftToRightThenTopToBottom) {
  std::vector<std::string> files;
  for (int i = 0; i < 7; ++i)
    files.push_back(WritePicture("p" + std::to_string(i) + ".gif", false));
  Start(files, 24, [](TProfile& settings) {
    settings.Set(IntKey::ThumbnailsEnable, 1);
    settings.Set(IntKey::ThumbnailsAcross, 3);
    settings.Set(IntKey::ThumbnailsDown, 2);
    settings.Set(IntKey::ThumbnailsRandom, 0);
  });
  // The first picture took the cell after the start frame (0, 0): the second cell.
  std::vector<Rect> frames{window_->FrameRect()};
  std::vector<bool> full{window_->PageFull()};
  for (int i = 0; i < 6; ++i) {
    window_->RunCommand(CM_NEXT);
    Run();
    frames.push_back(window_->FrameRect());
    full.push_back(window_->PageFull());
  }
  EXPECT_EQ(frames[0], (Rect{333, 0, 666, 500}));
  EXPECT_EQ(frames[1], (Rect{666, 0, 1000, 500}));
  EXPECT_EQ(frames[2], (Rect{0, 500, 333, 1000}));
  EXPECT_EQ(frames[4], (Rect{666, 500, 1000, 1000}));
  EXPECT_EQ(frames[5], (Rect{0, 0, 333, 500}));
  EXPECT_EQ(full, (std::vector<bool>{false, false, false, false, true, false, false}));
  EXPECT_TRUE(window_->HasPageBitmap());
}

TEST_F(MainWindowTest, PartialInvalidationRepaintsOnlyItsPart) {
  const std::string bmp = WritePicture("c.bmp", true, 200, 200);
  Start({bmp});
  TSurface& screen = Main().ScreenSurface();
  const Rect shown = PictureOnScreen();
  // Scribble over the whole picture, then uncover a 10 x 10 square of it.
  for (int y = shown.top; y < shown.bottom; ++y) {
    for (int x = shown.left; x < shown.right; ++x) screen.Row(y)[x] = 0x123456;
  }
  const Rect part = Rect::FromSize(shown.left + 20, shown.top + 30, 10, 10);
  Main().Invalidate(part, false);
  Run();
  EXPECT_NE(screen.PixelAt(part.left, part.top), 0x123456u);
  EXPECT_NE(screen.PixelAt(part.right - 1, part.bottom - 1), 0x123456u);
  EXPECT_EQ(screen.PixelAt(part.left - 1, part.top), 0x123456u);
  EXPECT_EQ(screen.PixelAt(part.left, part.bottom), 0x123456u);
}

TEST_F(MainWindowTest, PageBitmapIsRevealedOnlyWhenComplete) {
  const std::string bmp = WritePicture("c.bmp", true, 120, 120);
  Start({bmp}, 24, [](TProfile& settings) { settings.Set(IntKey::Effect, 2); });
  EXPECT_TRUE(window_->HasPageBitmap());
  EXPECT_TRUE(window_->PageComplete());
  const Rect shown = PictureOnScreen();
  EXPECT_EQ(Screen().PixelAt(shown.left + 5, shown.bottom - 1),
            window_->PageBitmap()->PixelAt(shown.left + 5, shown.bottom - 1));
}

TEST_F(MainWindowTest, MissingFileFolderAndHostilePictureLeaveThePlaceholder) {
  WriteFileText(dir_.File("bad.gif"), "GIF89a\x40\x00\x30\x00\xff\x00\x00garbage");
  for (const std::string& name : {dir_.File("nosuch.gif"), dir_.path(), dir_.File("bad.gif")}) {
    Start({name, dir_.File("other.gif")});
    const TImage& picture = window_->Picture();
    EXPECT_EQ(picture.width, 64) << name;
    EXPECT_EQ(picture.height, 48) << name;
    EXPECT_NE(Main().Caption().find("File: ["), std::string::npos) << Main().Caption();
    window_.reset();
    backend_.reset();
  }
}

TEST_F(MainWindowTest, LoadIsLoggedWithItsTime) {
  const std::string gif = WritePicture("x.gif", false);
  Start({gif});
  const std::string log = window_->LogWindow()->GetText();
  EXPECT_NE(log.find("Started Zentrope"), std::string::npos) << log;
  EXPECT_NE(log.find("Loaded image " + gif + " in "), std::string::npos) << log;
  EXPECT_NE(log.find(" milliseconds"), std::string::npos) << log;
}

TEST_F(MainWindowTest, SpaceDuringALongLoadMovesOnToTheFileAfter) {
  const std::string a = WritePicture("a.gif", false);
  const std::string b = WritePicture("b.gif", false, 400, 1200);
  const std::string c = WritePicture("c.gif", false, 30, 20);
  const std::string d = WritePicture("d.gif", false);
  Start({a, b, c, d});
  ASSERT_EQ(window_->Names()[kImageName], "a.gif");
  // The second key arrives while the first Next loads b.gif: it cancels that
  // load and runs once after it, so the list moves on by two, not more.
  backend_->PressKey(Id(), kVkSpace);
  backend_->PressKey(Id(), kVkSpace);
  Run();
  EXPECT_EQ(window_->Names()[kImageName], "c.gif");
  EXPECT_EQ(window_->Picture().width, 30);
  EXPECT_FALSE(IsLongOperation());
}

class MouseTest : public MainWindowTest {
 protected:
  void StartWithPicture() {
    Start({WritePicture("c.bmp", true, 400, 400)});
    ASSERT_EQ(window_->Picture().GetViewSize().width, 400);
  }
  void Click(Point at, Modifiers keys = {}) {
    backend_->PressButton(Id(), MouseButton::kLeft, at, keys);
    backend_->ReleaseButton(Id(), MouseButton::kLeft, at, keys);
    Run();
  }
  Point Centre() {
    const Rect shown = PictureOnScreen();
    return Point{(shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2};
  }
};

TEST_F(MouseTest, ClickZoomsInAndCtrlClickZoomsOut) {
  StartWithPicture();
  const TImage& picture = window_->Picture();
  Click(Centre());
  EXPECT_EQ(picture.zoomNum, 2);
  EXPECT_EQ(picture.zoomDen, 1);
  EXPECT_EQ(PictureOnScreen().Height(), Main().ClientSize().height);
  EXPECT_FALSE(window_->Selecting());
  Click(Centre(), Modifiers{false, true, false});
  EXPECT_EQ(picture.zoomNum, 1);
  EXPECT_EQ(picture.zoomDen, 1);
}

TEST_F(MouseTest, ShiftClickCropsAndCtrlShiftClickRotates) {
  StartWithPicture();
  Click(Centre(), Modifiers{true, true, false});
  EXPECT_EQ(window_->Settings().Get(IntKey::Rotate), 3);
  Click(Centre(), Modifiers{true, true, false});
  EXPECT_EQ(window_->Settings().Get(IntKey::Rotate), 6);
  // Shift alone crops: the ramp has no uniform border, so the crop keeps it whole.
  Click(Centre(), Modifiers{true, false, false});
  EXPECT_EQ(window_->Settings().Get(IntKey::Rotate), 6);
  EXPECT_EQ(window_->Picture().GetViewSize().width, 400);
  EXPECT_EQ(window_->Picture().zoomNum, 1);
}

TEST_F(MouseTest, DraggedBandBecomesTheViewAndLeavesNoTrace) {
  StartWithPicture();
  const Rect shown = PictureOnScreen();
  backend_->PressButton(Id(), MouseButton::kLeft, Point{shown.left + 10, shown.top + 10});
  backend_->MoveMouse(Id(), Point{shown.left + 110, shown.top + 60});
  Run();
  EXPECT_TRUE(window_->Selecting());
  EXPECT_EQ(Main().MouseCursor(), MouseCursor::Cross());
  backend_->ReleaseButton(Id(), MouseButton::kLeft, Point{shown.left + 110, shown.top + 60});
  Run();
  const ImageSize view = window_->Picture().GetViewSize();
  EXPECT_NEAR(view.width, 100, 2);
  EXPECT_NEAR(view.height, 50, 2);
  EXPECT_FALSE(Main().HasCapture());
}

TEST_F(MouseTest, RightDragPansAndRightDoubleClickUndoesZoom) {
  StartWithPicture();
  Click(Centre());
  Click(Centre());
  const TImage& picture = window_->Picture();
  const int before = picture.viewRect.x;
  const Point from = Centre();
  backend_->PressButton(Id(), MouseButton::kRight, from);
  backend_->MoveMouse(Id(), Point{from.x + 40, from.y});
  Run();
  EXPECT_TRUE(window_->Panning());
  EXPECT_EQ(Main().MouseCursor(), MouseCursor::Image(kPanCursorResource));
  backend_->ReleaseButton(Id(), MouseButton::kRight, Point{from.x + 40, from.y});
  Run();
  EXPECT_FALSE(window_->Panning());
  const ImageBounds output = picture.GetOutputRect();
  const int expected = 40 * picture.GetViewSize().width / (output.right - output.left);
  EXPECT_EQ(picture.viewRect.x, before - expected);

  backend_->DoubleClick(Id(), MouseButton::kRight, Centre());
  Run();
  EXPECT_EQ(picture.GetViewSize().width, 400);
}

TEST_F(MouseTest, OtherButtonDuringASelectionCloses) {
  StartWithPicture();
  backend_->PressButton(Id(), MouseButton::kLeft, Centre());
  backend_->PressButton(Id(), MouseButton::kRight, Centre());
  Run();
  EXPECT_TRUE(window_->IsClosed());
}

TEST_F(MainWindowTest, DroppedFilesReplaceTheList) {
  std::vector<std::string> dropped;
  for (const char* name : {"d1.gif", "d2.gif", "d3.gif"})
    dropped.push_back(WritePicture(name, false));
  const std::string other = WritePicture("z.gif", false);
  Start({other});
  backend_->DropFiles(Id(), dropped);
  Run();
  EXPECT_EQ(window_->Files().Count(), 3);
  EXPECT_EQ(window_->Names()[kImagePath], dropped[0]);
}

TEST_F(MainWindowTest, ProgressCursorFollowsThePercent) {
  Start({});
  backend_->MoveMouse(Id(), Point{10, 10});
  Run();
  ShowProgress(37);
  EXPECT_EQ(Main().MouseCursor(), MouseCursor::Image(kFirstProgressCursorResource + 3));
  EndProgress();
  EXPECT_EQ(Main().MouseCursor(), MouseCursor::Arrow());
}

TEST_F(MainWindowTest, ScreenSaveRequestIsSwallowedDuringASlideshow) {
  Start({});
  backend_->PostSystemCommand(Id(), kScScreenSave);
  Run();
  EXPECT_EQ(backend_->ScreenSaverStarts(), 1);
  window_->Settings().Set(IntKey::RunSlideshow, 1);
  backend_->PostSystemCommand(Id(), kScScreenSave);
  Run();
  EXPECT_EQ(backend_->ScreenSaverStarts(), 1);
}

TEST_F(MainWindowTest, ShutDownWritesOnlyResumeAndPasswordWithoutRememberOptions) {
  const std::string gif = WritePicture("x.gif", false);
  Start({gif}, 24, [](TProfile& settings) {
    settings.Set(IntKey::AutoResume, 1);
    settings.Set(IntKey::Brightness, 7);
  });
  const std::string file = window_->Settings().File();
  const std::string section = window_->Settings().Section();
  ASSERT_TRUE(window_->Close());
  EXPECT_EQ(TProfile().Get(IntKey::AutoResume), 1);
  EXPECT_EQ(GetPrivateProfileString(section, "Brightness", "", file), "");
  EXPECT_EQ(GetPrivateProfileString(section, "CurrentImage", "", file), gif);
  EXPECT_NE(window_->LogWindow()->GetText().find("Stopped Zentrope"), std::string::npos);
}

TEST_F(MainWindowTest, CloseDuringAnOperationIsRefusedAndRetriedByExit) {
  Start({});
  BeginLongOperation();
  EXPECT_FALSE(window_->Close());
  EXPECT_TRUE(IsCancelRequested());
  EndLongOperation();
  Run();
  EXPECT_TRUE(window_->IsClosed());
}

}  // namespace
