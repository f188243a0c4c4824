// The shell's commands driven end to end through the headless backend: menus
// chosen and keys pressed as a user would, dialogs answered by script.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/command_table.h"
#include "app/commands/command_rules.h"
#include "app/commands/file_handlers.h"
#include "app/commands/number_prompt.h"
#include "app/commands/register_commands.h"
#include "app/main_window.h"
#include "app/text_window.h"
#include "formats/register_formats.h"
#include "image/dither.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/headless/headless_backend.h"
#include "platform/packed_dib.h"
#include "platform/text_prompt.h"
#include "platform/virtual_keys.h"
#include "support/temp_dir.h"

namespace {

// Dialogs that remember the last save request before the script answers it.
class RecordingDialogs final : public DialogService {
 public:
  explicit RecordingDialogs(THeadlessDialogs& inner) : inner_(inner) {}
  DialogAnswer ShowMessageBox(const MessageBoxRequest& request) override {
    return inner_.ShowMessageBox(request);
  }
  OpenFileResult OpenFile(const OpenFileRequest& request) override {
    last_open = request;
    return inner_.OpenFile(request);
  }
  SaveFileResult SaveFile(const SaveFileRequest& request) override {
    last_save = request;
    return inner_.SaveFile(request);
  }
  std::optional<ColorRef> ChooseColour(const ColourRequest& request) override {
    return inner_.ChooseColour(request);
  }
  int RunDialog(const DialogTemplate& dialog, WindowId owner) override {
    last_dialog_size = dialog.size;
    return inner_.RunDialog(dialog, owner);
  }
  OpenFileRequest last_open;
  SaveFileRequest last_save;
  Size last_dialog_size;

 private:
  THeadlessDialogs& inner_;
};

class RecordingBackend final : public THeadlessBackend {
 public:
  explicit RecordingBackend(const HeadlessOptions& options)
      : THeadlessBackend(options), recording(ScriptedDialogs()) {}
  DialogService& Dialogs() override { return recording; }
  RecordingDialogs recording;
};

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
    for (int x = 0; x < width; ++x) row[x] = static_cast<std::uint8_t>((x * 7 + 3 * y) % 8);
    image.PutRow(0, y, row.data(), nullptr, nullptr, width, -1);
  }
}

PaletteEntry ColourAt(const TImage& image, int x, int y) {
  LogPalette palette;
  image.GetPalette(palette, nullptr);
  return palette.entries[image.Row(y)[x]];
}

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterPictureFormats(); }
  void TearDown() override {
    window_.reset();
    backend_.reset();
  }

  std::string WritePicture(const std::string& name) {
    TImage image;
    MakePalettePicture(image, 40, 30);
    TProfile settings;
    TDither dither;
    LogPalette palette;
    image.GetPalette(palette, nullptr);
    dither.SetSource(&palette, false, ToneSettings{});
    const std::string path = dir_.File(name);
    EXPECT_EQ(SaveImage(path, 2, image, settings, dither, nullptr), 0) << path;
    return path;
  }

  void Start(std::vector<std::string> arguments, Size screen = Size{1024, 768}) {
    window_.reset();
    HeadlessOptions options;
    options.screen = screen;
    options.virtual_clock = true;
    backend_ = std::make_unique<RecordingBackend>(options);
    StartupContext startup;
    startup.arguments = std::move(arguments);
    window_ = std::make_unique<TZentropeWin>(*backend_, "Zentrope", std::move(startup));
    TProfile& settings = window_->Settings();
    for (IntKey key :
         {IntKey::FillWindow, IntKey::AutoCrop, IntKey::SortPalette, IntKey::RememberOptions,
          IntKey::AutoResume, IntKey::ShowLog, IntKey::ShowComments, IntKey::AutoComments,
          IntKey::EnableLargeDialogs, IntKey::Rotate, IntKey::Invert}) {
      settings.Set(key, 0);
    }
    settings.Set(IntKey::Effect, 1);  // Direct: no page bitmap
    settings.Set(IntKey::Brightness, 5);
    settings.Set(IntKey::Contrast, 5);
    window_->Create(ShowState::kNormal);
    Run();
  }

  void Run() { backend_->EventLoop().RunUntilIdle(); }
  WindowId Id() { return window_->MainWindow().Id(); }
  bool Choose(std::uint32_t id) {
    const bool chosen = backend_->ChooseMenuItem(Id(), id);
    Run();
    return chosen;
  }
  void Press(int key, Modifiers modifiers = {}, int character = 0) {
    backend_->PressKey(Id(), key, modifiers, character);
    Run();
  }
  const MenuItem& Item(std::uint32_t id) { return *window_->MainWindow().MenuBar().Find(id); }
  bool EnabledInMenu(std::uint32_t id) {
    for (const MenuItem* menu : window_->MainWindow().MenuBar().PathTo(id)) {
      backend_->OpenMenu(Id(), menu->id);
    }
    return Item(id).enabled;
  }
  std::string Log() { return window_->LogWindow()->GetText(); }
  THeadlessDialogs& Script() { return backend_->ScriptedDialogs(); }

  TempDir dir_;
  std::unique_ptr<RecordingBackend> backend_;
  std::unique_ptr<TZentropeWin> window_;
};

TEST_F(CommandsTest, EnablersFollowWhatIsShown) {
  Start({});
  EXPECT_TRUE(EnabledInMenu(CM_OPEN));
  for (std::uint32_t id : {CM_CLOSE, CM_SAVE_AS, CM_COPY_IMAGE, CM_COPY_COMMENTS, CM_PASTE_IMAGE}) {
    EXPECT_FALSE(EnabledInMenu(id)) << id;
  }
  // The key of a disabled command does nothing either.
  Press('V');
  EXPECT_TRUE(Script().Shown().empty());

  Start({WritePicture("a.bmp")});
  for (std::uint32_t id : {CM_CLOSE, CM_SAVE_AS, CM_COPY_IMAGE, CM_COPY_COMMENTS}) {
    EXPECT_TRUE(EnabledInMenu(id)) << id;
  }
  EXPECT_TRUE(ImageShown(*window_));
  EXPECT_FALSE(SoundShown(*window_));
  EXPECT_FALSE(MovieShown(*window_));
}

TEST_F(CommandsTest, SoundAndMovieEnableTheirOwnRulesOnly) {
  WriteFileText(dir_.File("tune.wav"), "RIFF");
  WriteFileText(dir_.File("clip.avi"), "RIFF");
  Start({dir_.File("tune.wav")});
  EXPECT_TRUE(SoundShown(*window_));
  EXPECT_FALSE(ImageShown(*window_));
  EXPECT_FALSE(EnabledInMenu(CM_SAVE_AS));
  EXPECT_TRUE(EnabledInMenu(CM_NEXT));
  window_->Files().Clear();
  window_->Files().AddSpec(dir_.File("clip.avi"), 14, false, false);
  window_->LoadCurrent();
  EXPECT_TRUE(MovieShown(*window_));
  EXPECT_TRUE(ListHasCurrent(*window_));
}

TEST_F(CommandsTest, ItemsWithoutABindingShowDisabled) {
  Start({WritePicture("a.bmp")});
  std::vector<std::uint32_t> ids;
  std::function<void(const std::vector<MenuItem>&)> walk = [&](const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
      if (item.kind == MenuItem::Kind::kCommand) ids.push_back(item.id);
      if (item.kind == MenuItem::Kind::kSubmenu) walk(item.items);
    }
  };
  walk(window_->MainWindow().MenuBar().Menus());
  for (const std::uint32_t id : ids) {
    const CommandBinding* binding = MainCommands().Find(id);
    if (!binding) {
      EXPECT_FALSE(EnabledInMenu(id)) << id;
    }
  }
}

TEST_F(CommandsTest, OpenThenSaveAsThroughKeys) {
  const std::string source = WritePicture("PHOTO.BMP");
  Start({});
  Script().Script(ScriptedAnswer::Open(dir_.path(), {"PHOTO.BMP"}));
  Press('O');
  EXPECT_EQ(window_->Names()[kImageName], "PHOTO.BMP");
  EXPECT_EQ(backend_->recording.last_open.filters.find("*.01*.zip"), std::string::npos);
  EXPECT_NE(backend_->recording.last_open.filters.find(";*.01;*.zip|"), std::string::npos);

  window_->Settings().Set(IntKey::SaveAsIndex, 1);
  Script().Script(ScriptedAnswer::Save(dir_.File("photo.gif")));
  Press('V');
  // The upper-case name is proposed in lower case, with the type's extension.
  EXPECT_EQ(backend_->recording.last_save.initial_name, "photo.gif");
  EXPECT_EQ(backend_->recording.last_save.caption, "Save As");
  ASSERT_TRUE(std::filesystem::exists(dir_.File("photo.gif")));
  EXPECT_NE(Log().find("Saved PHOTO.BMP as " + dir_.File("photo.gif")), std::string::npos);

  // Picking another type replaces the extension and becomes the saving type.
  Script().Script(ScriptedAnswer::Save("photo.gif", 4));
  Press('V');
  EXPECT_TRUE(std::filesystem::exists(dir_.File("photo.tga")));
  EXPECT_EQ(window_->Settings().Get(IntKey::SaveAsIndex), 4);
}

TEST_F(CommandsTest, SaveProposalKeepsMixedCaseAndNamesPastedPictures) {
  EXPECT_EQ(SaveAsProposal("/p/Photo.BMP", "Photo.BMP", 5), "/p/Photo.jpg");
  EXPECT_EQ(SaveAsProposal("/p/PHOTO.BMP", "PHOTO.BMP", 6), "/p/photo.tif");
  EXPECT_EQ(SaveAsProposal("/p/x.gif", "Clipboard", 2), "zentrp32.bmp");
  EXPECT_EQ(SaveAsProposal("No File", "No File", 1), "zentrp32.gif");
}

TEST_F(CommandsTest, FailedSaveIsLoggedAndShowsTheLog) {
  Start({WritePicture("a.bmp")});
  const std::string target = dir_.File("missing/folder/a.gif");
  Script().Script(ScriptedAnswer::Save(target));
  ASSERT_TRUE(Choose(CM_SAVE_AS));
  EXPECT_NE(Log().find("Error occurred while saving a.bmp as " + target), std::string::npos);
  EXPECT_EQ(Log().find("Saved "), std::string::npos);
  EXPECT_EQ(window_->Settings().Get(IntKey::ShowLog), 1);
  EXPECT_TRUE(window_->LogWindow()->IsShown());
}

TEST_F(CommandsTest, CloseLeavesNoFile) {
  Start({WritePicture("a.bmp")});
  Press('C');
  EXPECT_EQ(window_->Names()[kImageName], "No File");
  EXPECT_EQ(window_->Files().Count(), 0);
  EXPECT_EQ(window_->MainWindow().Caption(),
            "Zentrope - Use File|Open... to select files, press F1 for help");
  EXPECT_FALSE(EnabledInMenu(CM_CLOSE));
}

TEST_F(CommandsTest, DeleteImageOnTheOnlyEntryLeavesNoFile) {
  if (!MainCommands().Find(CM_DELETE_IMAGE)) GTEST_SKIP() << "Delete image is not bound";
  Start({WritePicture("a.bmp")});
  Script().Script(ScriptedAnswer::Box(DialogAnswer::kYes));
  Press(kVkDelete);
  EXPECT_EQ(window_->Names()[kImageName], "No File");
}

TEST(PromptNumber, ParsesLikeScanfAndClamps) {
  const NumberRange range{2, 256};
  EXPECT_EQ(ParsePromptNumber("17", range), 17);
  EXPECT_EQ(ParsePromptNumber("  40x", range), 40);
  EXPECT_EQ(ParsePromptNumber("1000", range), 256);
  EXPECT_EQ(ParsePromptNumber("-5", range), 2);
  EXPECT_EQ(ParsePromptNumber("99999999999999999999", range), 256);
  EXPECT_EQ(ParsePromptNumber("abc", range), std::nullopt);
  EXPECT_EQ(ParsePromptNumber("", range), std::nullopt);
  EXPECT_EQ(ParsePromptNumber("-", range), std::nullopt);
}

TEST_F(CommandsTest, NumberPromptsClampAndRefuseNonNumbers) {
  Start({});
  TProfile& settings = window_->Settings();
  settings.Set(IntKey::GIFColors, 64);
  Script().Script(ScriptedAnswer::Text("1000"));
  ASSERT_TRUE(Choose(CM_GIF_COLORS));
  EXPECT_EQ(settings.Get(IntKey::GIFColors), 256);
  const DialogRecord& prompt = Script().Shown().back();
  EXPECT_EQ(prompt.caption, kTextPromptCaption);
  EXPECT_NE(
      std::find(prompt.texts.begin(), prompt.texts.end(), "Maximum number of colors in GIF file:"),
      prompt.texts.end());
  EXPECT_EQ(backend_->recording.last_dialog_size, (Size{180, 72}));

  Script().Script(ScriptedAnswer::Text("many"));
  Choose(CM_GIF_COLORS);
  EXPECT_EQ(settings.Get(IntKey::GIFColors), 256);
  Script().Script(ScriptedAnswer::Cancel(DialogKind::kCustom));
  Choose(CM_DELAY_BETWEEN_IMAGES);
  const int delay = settings.Get(IntKey::DelayBetweenImages);
  Script().Script(ScriptedAnswer::Text("-3"));
  Choose(CM_DELAY_BETWEEN_IMAGES);
  EXPECT_EQ(settings.Get(IntKey::DelayBetweenImages), 0);
  EXPECT_GE(delay, 0);
}

TEST_F(CommandsTest, CopyThenPasteGivesTheSamePixels) {
  Start({WritePicture("a.bmp")});
  TImage original;
  LoadImage(dir_.File("a.bmp"), original, nullptr);
  Press('C', Modifiers{false, true, false}, 'c');
  ASSERT_TRUE(backend_->MemoryClipboard().HasPicture());
  EXPECT_FALSE(backend_->MemoryClipboard().IsOpen());

  window_->Files().Clear();
  Press('V', Modifiers{false, true, false}, 'v');
  EXPECT_EQ(window_->Names()[kImageName], "Clipboard");
  EXPECT_EQ(window_->FormatName(), "bmp");
  const TImage& pasted = window_->Picture();
  ASSERT_EQ(pasted.width, original.width);
  ASSERT_EQ(pasted.height, original.height);
  for (int y = 0; y < original.height; ++y) {
    for (int x = 0; x < original.width; ++x) {
      const PaletteEntry want = ColourAt(original, x, y);
      const PaletteEntry got = ColourAt(pasted, x, y);
      ASSERT_EQ(AdjustChannel(want.red, 5, 5, false), got.red) << x << "," << y;
      ASSERT_EQ(AdjustChannel(want.green, 5, 5, false), got.green) << x << "," << y;
      ASSERT_EQ(AdjustChannel(want.blue, 5, 5, false), got.blue) << x << "," << y;
    }
  }
  // Saving a pasted picture proposes the program's own name.
  Script().Script(ScriptedAnswer::Cancel(DialogKind::kSaveFile));
  Press('V');
  EXPECT_EQ(backend_->recording.last_save.initial_name.substr(0, 8), "zentrp32");
}

TEST_F(CommandsTest, CopyImageHalvesUntilTheBitmapFits) {
  Start({WritePicture("a.bmp")});
  // 40 x 30 with its colour table takes more, 20 x 15 less.
  TDib::SetBitmapMemoryLimit(1500);
  Press('C', Modifiers{false, true, false}, 'c');
  TDib::SetBitmapMemoryLimit(0);
  const std::optional<ClipboardPicture> copied = [&] {
    backend_->MemoryClipboard().Open(Id());
    auto picture = backend_->MemoryClipboard().GetPicture();
    backend_->MemoryClipboard().Close();
    return picture;
  }();
  ASSERT_TRUE(copied.has_value());
  const std::optional<PackedDibHeader> header = ParsePackedDib(copied->packed_dib);
  ASSERT_TRUE(header.has_value());
  EXPECT_LT(header->width, 40);
  EXPECT_LT(header->height, 30);
  EXPECT_GT(header->height, 0);
}

TEST_F(CommandsTest, BusyClipboardIsReported) {
  Start({WritePicture("a.bmp")});
  backend_->MemoryClipboard().SetUnavailable(true);
  Choose(CM_COPY_IMAGE);
  ASSERT_FALSE(Script().Shown().empty());
  const DialogRecord& box = Script().Shown().back();
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.texts.front(), "Unable to open clipboard.");
  EXPECT_EQ(box.icon, MessageBoxIcon::kExclamation);
}

TEST_F(CommandsTest, CommentsAndWindowGoThroughTheClipboard) {
  Start({WritePicture("a.bmp")});
  THeadlessClipboard& clipboard = backend_->MemoryClipboard();
  clipboard.Open(Id());
  clipboard.Empty();
  clipboard.SetText("first line\r\nsecond");
  clipboard.Close();
  ASSERT_TRUE(Choose(CM_PASTE_COMMENTS));
  EXPECT_EQ(window_->CommentsWindow()->GetText(), "first line\r\nsecond\r\n");
  Choose(CM_COPY_COMMENTS);
  clipboard.Open(Id());
  EXPECT_EQ(clipboard.GetText(), "first line\r\nsecond\r\n");
  clipboard.Close();

  Choose(CM_COPY_WINDOW);
  clipboard.Open(Id());
  const std::optional<ClipboardPicture> shot = clipboard.GetPicture();
  clipboard.Close();
  ASSERT_TRUE(shot.has_value());
  const std::optional<PackedDibHeader> header = ParsePackedDib(shot->packed_dib);
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->width, window_->MainWindow().ClientSize().width);
  EXPECT_EQ(header->height, window_->MainWindow().ClientSize().height);
}

TEST_F(CommandsTest, TogglesGroupsAndTicks) {
  Start({});
  TProfile& settings = window_->Settings();
  ASSERT_TRUE(Choose(CM_TIFF_LZW));
  EXPECT_EQ(settings.Get(IntKey::TIFFCompression), 5);
  backend_->OpenMenu(Id(), kMenuTiff);
  EXPECT_TRUE(Item(CM_TIFF_LZW).checked);
  EXPECT_FALSE(Item(CM_TIFF_NO_COMPRESSION).checked);

  Press(kVkF12, Modifiers{true, false, false});
  EXPECT_EQ(settings.Get(IntKey::Effect), 12);
  Press(kVkF3, Modifiers{true, false, false});
  EXPECT_EQ(settings.Get(IntKey::Effect), 3);

  const int interlaced = settings.Get(IntKey::GIFInterlaced);
  Choose(CM_GIF_INTERLACED);
  EXPECT_NE(settings.Get(IntKey::GIFInterlaced), interlaced);
  backend_->OpenMenu(Id(), kMenuGif);
  EXPECT_EQ(Item(CM_GIF_INTERLACED).checked, interlaced == 0);

  Choose(CM_DITHER_LOW);
  EXPECT_EQ(settings.Get(IntKey::DitherQuality), 1);
  Choose(CM_SLIDESHOW_DONE_EVENT + 9);
  EXPECT_EQ(settings.Get(IntKey::SlideshowDoneEvent), 9);

  // Esc takes the frame and menu away and gives them back.
  Press(kVkEscape);
  EXPECT_FALSE(window_->MainWindow().MenuShown());
  EXPECT_FALSE(backend_->ChooseMenuItem(Id(), CM_GIF_INTERLACED));
  Press(kVkEscape);
  EXPECT_TRUE(window_->MainWindow().MenuShown());
  EXPECT_FALSE(Item(CM_FILL_WINDOW).checked);
}

TEST_F(CommandsTest, DefaultOptionsPutEverySettingBack) {
  Start({});
  TProfile& settings = window_->Settings();
  settings.Set(IntKey::GIFColors, 17);
  settings.Set(IntKey::JPEGOutputQuality, 3);
  Press(kVkF7);
  EXPECT_EQ(settings.Get(IntKey::GIFColors),
            settings.DefaultInts()[static_cast<int>(IntKey::GIFColors)]);
  EXPECT_EQ(settings.Get(IntKey::JPEGOutputQuality),
            settings.DefaultInts()[static_cast<int>(IntKey::JPEGOutputQuality)]);
}

TEST_F(CommandsTest, ColourDialogSetsTheThreeSettings) {
  Start({});
  Script().Script(ScriptedAnswer::Colour(MakeRgb(10, 20, 30)));
  ASSERT_TRUE(Choose(CM_BACKGROUND_COLOR));
  EXPECT_EQ(Script().Shown().back().caption, "Background Color");
  TProfile& settings = window_->Settings();
  EXPECT_EQ(settings.Get(IntKey::BackgroundRed), 10);
  EXPECT_EQ(settings.Get(IntKey::BackgroundGreen), 20);
  EXPECT_EQ(settings.Get(IntKey::BackgroundBlue), 30);
  Script().Script(ScriptedAnswer::Cancel(DialogKind::kColour));
  Choose(CM_BACKGROUND_COLOR);
  EXPECT_EQ(settings.Get(IntKey::BackgroundRed), 10);
}

TEST_F(CommandsTest, HelpOpensTheHtmlFileAndAboutShowsTheVersion) {
  Start({});
  Press(kVkF1);
  const std::vector<HelpRequest>& requests = backend_->RecordingHelp().Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests.back().command, HelpCommand::kContents);
  EXPECT_TRUE(requests.back().file.ends_with(".html")) << requests.back().file;
  Press(kVkF1, Modifiers{false, true, false});
  EXPECT_EQ(requests.back().command, HelpCommand::kHelpOnHelp);

  Press('A');
  const DialogRecord& about = Script().Shown().back();
  EXPECT_EQ(about.caption, "About Zentrope");
  bool names_version = false;
  for (const std::string& text : about.texts) names_version |= text.starts_with("Version ");
  EXPECT_TRUE(names_version);
}

TEST_F(CommandsTest, FileSpecFillsTheListAndNavigationSteps) {
  WritePicture("a.bmp");
  WritePicture("b.bmp");
  Start({});
  Script().Script(ScriptedAnswer::Text(dir_.File("*.bmp")));
  Press('F');
  EXPECT_EQ(window_->Files().Count(), 2);
  const std::string first = window_->Names()[kImageName];
  Press(kVkSpace);
  EXPECT_NE(window_->Names()[kImageName], first);
  EXPECT_EQ(window_->LastNavigation(), 1);
  Press(kVkBack);
  EXPECT_EQ(window_->Names()[kImageName], first);
  EXPECT_EQ(window_->LastNavigation(), -1);
}

TEST_F(CommandsTest, OpeningANameWithoutExtensionTakesOnlyThatFile) {
  WritePicture("a.bmp");
  std::filesystem::copy_file(dir_.File("a.bmp"), dir_.File("PHOTO"));
  Start({});
  window_->Settings().Set(IntKey::OpenIndex, 14);
  Script().Script(ScriptedAnswer::Open(dir_.path(), {"PHOTO"}));
  ASSERT_TRUE(Choose(CM_OPEN));
  EXPECT_EQ(window_->Names()[kImageName], "PHOTO");
}

TEST_F(CommandsTest, AnOpenDialogTooLargeForTheScreenGivesUpTheLargeLayout) {
  Start({}, Size{320, 240});
  window_->Settings().Set(IntKey::EnableLargeDialogs, 1);
  Script().Script(ScriptedAnswer::Cancel(DialogKind::kOpenFile));
  Press('O');
  EXPECT_EQ(backend_->recording.last_open.layout, (Size{360, 276}));
  EXPECT_EQ(backend_->recording.last_open.caption, "Open");
  EXPECT_EQ(window_->Settings().Get(IntKey::EnableLargeDialogs), 0);
  Script().Script(ScriptedAnswer::Cancel(DialogKind::kOpenFile));
  Press('O');
  EXPECT_EQ(backend_->recording.last_open.layout, (Size{0, 0}));
}

TEST_F(CommandsTest, CommentsAndLogWindowsToggleWithTheirKeys) {
  Start({});
  Press('L');
  EXPECT_EQ(window_->Settings().Get(IntKey::ShowLog), 1);
  EXPECT_TRUE(window_->LogWindow()->IsShown());
  backend_->OpenMenu(Id(), kMenuShow);
  EXPECT_TRUE(Item(CM_SHOW_LOG).checked);
  EXPECT_FALSE(Item(CM_SHOW_COMMENTS).checked);
  Press('L');
  EXPECT_FALSE(window_->LogWindow()->IsShown());
  Press('H');
  EXPECT_TRUE(window_->CommentsWindow()->IsShown());
}

TEST_F(CommandsTest, ConvertSavesEveryFileAndPutsTheSettingsBack) {
  if (!MainCommands().Find(CM_RUN_SLIDESHOW)) GTEST_SKIP() << "Run slideshow is not bound";
  WritePicture("a.bmp");
  WritePicture("b.bmp");
  Start({});
  TProfile& settings = window_->Settings();
  settings.Set(IntKey::DelayBetweenImages, 7);
  Script().Script(ScriptedAnswer::Open(dir_.path(), {"a.bmp", "b.bmp"}));
  ASSERT_TRUE(Choose(CM_CONVERT_TO_GIF));
  EXPECT_EQ(Script().Shown().front().caption, "Convert");
  for (int step = 0; step < 50 && settings.Get(IntKey::RunSlideshow) != 0; ++step) {
    backend_->Clock().Advance(1000);
    Run();
  }
  EXPECT_TRUE(std::filesystem::exists(dir_.File("a.gif")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("b.gif")));
  EXPECT_EQ(settings.Get(IntKey::RunSlideshow), 0);
  EXPECT_EQ(settings.Get(IntKey::DelayBetweenImages), 7);
}

TEST_F(CommandsTest, EveryToggleFlipsItsSettingAndTick) {
  Start({});
  const std::vector<std::pair<std::uint32_t, IntKey>> toggles = {
      {CM_RANDOM_ORDER, IntKey::RandomOrder},
      {CM_ERASE_NEW_PAGES, IntKey::EraseNewPages},
      {CM_REMEMBER_OPTIONS, IntKey::RememberOptions},
      {CM_ALWAYS_ON_TOP, IntKey::AlwaysOnTop},
      {CM_DISPLAY_IN_COLOR, IntKey::DisplayInColor},
      {CM_ENABLE_3D_CONTROLS, IntKey::Enable3dControls},
      {CM_ENABLE_LARGE_DIALOGS, IntKey::EnableLargeDialogs},
      {CM_PRINT_IN_COLOR, IntKey::PrintInColor},
      {CM_PRINT_DITHERED, IntKey::PrintDithered},
      {CM_GIF_TRANSPARENT, IntKey::GIFTransparent},
      {CM_GIF_LZW_ENABLE, IntKey::GIFLZWEnable},
      {CM_JPEG_TWO_PASS, IntKey::JPEGTwoPass},
      {CM_JPEG_USE_MONOCHROME, IntKey::JPEGUseMonochrome},
      {CM_JPEG_OUTPUT_OPTIMIZE, IntKey::JPEGOutputOptimize},
      {CM_QUICK_LOOK, IntKey::QuickLook},
      {CM_SORT_PALETTE, IntKey::SortPalette},
      {CM_AUTO_SCALE, IntKey::AutoScale},
      {CM_AUTO_FIT, IntKey::AutoFit},
      {CM_AUTO_CROP, IntKey::AutoCrop},
      {CM_AUTO_DITHER, IntKey::AutoDither},
      {CM_AUTO_COMMENTS, IntKey::AutoComments},
      {CM_AUTO_SEARCH, IntKey::AutoSearch},
      {CM_AUTO_RESUME, IntKey::AutoResume},
      {CM_STARTUP_PASSWORD, IntKey::StartupPassword},
      {CM_SLIDESHOW_PASSWORD, IntKey::SlideshowPassword},
  };
  TProfile& settings = window_->Settings();
  for (const auto& [id, key] : toggles) {
    const int before = settings.Get(key);
    ASSERT_TRUE(Choose(id)) << id;
    EXPECT_EQ(settings.Get(key), before == 0 ? 1 : 0) << id;
    EXPECT_TRUE(EnabledInMenu(id));
    EXPECT_EQ(Item(id).checked, before == 0) << id;
  }
  EXPECT_EQ(window_->MainWindow().Topmost(), settings.Get(IntKey::AlwaysOnTop) != 0);
}

TEST_F(CommandsTest, EveryNumberPromptKeepsItsRange) {
  Start({});
  struct Prompt {
    std::uint32_t id;
    IntKey key;
    int lowest;
    int highest;
  };
  const std::vector<Prompt> prompts = {
      {CM_DELAY_BETWEEN_IMAGES, IntKey::DelayBetweenImages, 0, 9999},
      {CM_DELAY_BETWEEN_SOUNDS, IntKey::DelayBetweenSounds, 0, 9999},
      {CM_DELAY_BETWEEN_MOVIES, IntKey::DelayBetweenMovies, 0, 9999},
      {CM_GIF_COLORS, IntKey::GIFColors, 2, 256},
      {CM_JPEG_OUTPUT_QUALITY, IntKey::JPEGOutputQuality, 0, 100},
      {CM_JPEG_OUTPUT_SMOOTHING, IntKey::JPEGOutputSmoothing, 0, 100},
      {CM_OUTPUT_WIDTH, IntKey::OutputWidth, 0, 32767},
      {CM_OUTPUT_HEIGHT, IntKey::OutputHeight, 0, 32767},
      {CM_ENCODE_LINES, IntKey::EncodeLines, 1, 32767},
  };
  TProfile& settings = window_->Settings();
  for (const Prompt& prompt : prompts) {
    Script().Script(ScriptedAnswer::Text("999999"));
    ASSERT_TRUE(Choose(prompt.id)) << prompt.id;
    EXPECT_EQ(settings.Get(prompt.key), prompt.highest) << prompt.id;
    Script().Script(ScriptedAnswer::Text("-99999"));
    Choose(prompt.id);
    EXPECT_EQ(settings.Get(prompt.key), prompt.lowest) << prompt.id;
  }
}

TEST_F(CommandsTest, SaveOptionsWritesTheFileAndExitCloses) {
  Start({});
  window_->Settings().Set(IntKey::GIFColors, 17);
  Press(kVkF5);
  TProfile fresh;
  EXPECT_EQ(fresh.Get(IntKey::GIFColors), 17);
  // Later tests start from the defaults again.
  fresh.Set(IntKey::GIFColors, fresh.DefaultInts()[static_cast<int>(IntKey::GIFColors)]);
  fresh.Save();
  Press('X');
  EXPECT_TRUE(window_->IsClosed());
}

TEST_F(CommandsTest, RestoreOptionsReadsTheFileBackAndSetPasswordAsks) {
  Start({});
  TProfile& settings = window_->Settings();
  settings.Set(IntKey::JPEGOutputQuality, 40);
  Press(kVkF5);
  settings.Set(IntKey::JPEGOutputQuality, 41);
  Press(kVkF6);
  EXPECT_EQ(settings.Get(IntKey::JPEGOutputQuality), 40);
  // Later tests start from the defaults again.
  settings.Defaults();
  Press(kVkF5);

  Script().Script(ScriptedAnswer::Press(kIdCancel));
  ASSERT_TRUE(Choose(CM_SET_PASSWORD));
  EXPECT_EQ(Script().Shown().back().kind, DialogKind::kCustom);
}

}  // namespace
