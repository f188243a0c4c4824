#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/surface_image_file.h"
#include "platform/platform_info.h"
#include "platform/tick_count.h"
#include "platform/window_placement.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {
// Remembers the last message of each kind and sets the cursor on hit tests.
class RecordingHandler : public WindowHandler {
 public:
  std::map<MessageId, Message> last;
  int paints = 0;
  void OnMessage(TWindow& window, const Message& message) override {
    last[message.id] = message;
    if (message.id == MessageId::kSetCursor) window.SetCursor(MouseCursor::Cross());
  }
  void OnPaint(TWindow& window, TDeviceContext& dc, const Rect& rect, bool erase) override {
    ++paints;
    if (erase) dc.FillRect(window.ClientRect(), MakeRgb(0, 128, 255));
    (void)rect;
  }
};

WindowParams Framed(Rect normal) {
  WindowParams params;
  params.caption = "Zentrope -";
  params.placement.normal = normal;
  params.visible = true;
  return params;
}
}  // namespace

TEST(Window, ClientAreaFollowsFrameMenuAndShowState) {
  THeadlessBackend backend(HeadlessOptions{Size{800, 600}});
  RecordingHandler handler;
  auto window = backend.CreateWindow(Framed(Rect{10, 10, 410, 310}), &handler);
  const Size framed{400 - 2 * kFrameBorder, 300 - 2 * kFrameBorder - kCaptionHeight - kMenuHeight};
  EXPECT_EQ(window->ClientSize(), framed);
  EXPECT_EQ(window->ScreenSurface().Width(), framed.width);
  window->SetFrame(false);
  window->ShowMenu(false);
  EXPECT_EQ(window->ClientSize(), (Size{400, 300}));
  EXPECT_EQ(handler.last[MessageId::kSize].position, (Point{400, 300}));
  window->Show(ShowState::kMaximized);
  EXPECT_EQ(window->ClientSize(), (Size{800, 600}));
  window->Show(ShowState::kMinimized);
  EXPECT_EQ(window->ClientSize(), (Size{0, 0}));
  EXPECT_EQ(handler.last[MessageId::kSize].param,
            static_cast<std::uint32_t>(ShowState::kMinimized));
  EXPECT_TRUE(window->UpdateRect().IsEmpty());  // nothing to paint while minimized
  window->Show(ShowState::kNormal);
  EXPECT_EQ(window->Placement().normal, (Rect{10, 10, 410, 310}));  // the restored rectangle kept
}

TEST(Window, InvalidationIsCutToTheClientAreaAndEraseSticks) {
  THeadlessBackend backend(HeadlessOptions{});
  RecordingHandler handler;
  WindowParams params = Framed(Rect{0, 0, 100, 100});
  params.frame = false;
  params.menu = false;
  auto window = backend.CreateWindow(params, &handler);
  window->Validate();
  window->Invalidate(Rect{90, 90, 200, 200}, true);
  window->Invalidate(Rect{-10, 5, 10, 20}, false);
  EXPECT_EQ(window->UpdateRect(), (Rect{0, 5, 100, 100}));
  EXPECT_TRUE(window->UpdateNeedsErase());
  backend.EventLoop().RunUntilIdle();
  EXPECT_EQ(handler.paints, 1);
  EXPECT_EQ(window->ScreenSurface().ColourAt(99, 99), MakeRgb(0, 128, 255));
  window->Hide();
  window->InvalidateAll(false);
  EXPECT_FALSE(backend.EventLoop().HasPendingPaint());  // hidden windows do not paint
}

TEST(Window, PlacementInThousandthsOfTheScreen) {
  const Size screen{1024, 768};
  const PlacementThousandths stored{100, 250, 500, 500, 1};
  const WindowPlacement placement = PlacementFromThousandths(screen, stored);
  EXPECT_EQ(placement.normal, (Rect{102, 192, 614, 576}));
  EXPECT_EQ(placement.state, ShowState::kMaximized);
  const PlacementThousandths back = ThousandthsFromPlacement(screen, placement);
  EXPECT_EQ(back.x, 99);  // truncated both ways: 102 * 1000 / 1024
  EXPECT_EQ(back.y, 250);
  EXPECT_EQ(back.show, 1);
  EXPECT_EQ(PlacementFromThousandths(screen, {0, 0, 10, 10, -1}).state, ShowState::kMinimized);
  EXPECT_EQ(ThousandthsFromPlacement(Size{0, 0}, placement).width, 512000);  // no division by 0
}

TEST(Window, CaptureSendsMouseInputToTheCapturingWindow) {
  THeadlessBackend backend(HeadlessOptions{});
  RecordingHandler first;
  RecordingHandler second;
  auto a = backend.CreateWindow(Framed(Rect{0, 0, 50, 50}), &first);
  auto b = backend.CreateWindow(Framed(Rect{60, 0, 110, 50}), &second);
  a->SetCapture();
  backend.MoveMouse(b->Id(), Point{3, 4});
  backend.EventLoop().RunUntilIdle();
  EXPECT_EQ(first.last.count(MessageId::kMouseMove), 1u);
  EXPECT_EQ(second.last.count(MessageId::kMouseMove), 0u);
  a->ReleaseCapture();
  EXPECT_FALSE(a->HasCapture());
  backend.RefreshCursor();  // the pointer was last reported over the capturing window
  EXPECT_EQ(a->MouseCursor(), MouseCursor::Cross());
}

TEST(Backend, DepthChangeRemakesScreensAsPaletteSurfaces) {
  THeadlessBackend backend(HeadlessOptions{});
  RecordingHandler handler;
  auto window = backend.CreateWindow(Framed(Rect{0, 0, 64, 64}), &handler);
  backend.EventLoop().RunUntilIdle();
  ASSERT_TRUE(backend.SetDisplayDepth(8));
  EXPECT_EQ(DisplayBitsPerPixel(), 8);
  EXPECT_TRUE(window->ScreenSurface().IsPaletteSurface());
  EXPECT_TRUE(window->UpdateNeedsErase());
  backend.EventLoop().RunUntilIdle();
  // The background colour shows as the nearest static colour.
  EXPECT_EQ(window->ScreenSurface().ColourAt(0, 0), MakeRgb(0, 128, 128));
  EXPECT_FALSE(backend.SetDisplayDepth(15));
  backend.SetDisplayDepth(24);
}

TEST(Backend, PaletteNoticesAndActivationReachTopLevelWindows) {
  THeadlessBackend backend(HeadlessOptions{Size{640, 480}, 8});
  RecordingHandler main_handler;
  RecordingHandler text_handler;
  auto main_window = backend.CreateWindow(Framed(Rect{0, 0, 64, 64}), &main_handler);
  WindowParams owned = Framed(Rect{0, 0, 30, 30});
  owned.owner = main_window->Id();
  auto text_window = backend.CreateWindow(owned, &text_handler);
  const PaletteColour colours[] = {{1, 2, 3, kPcNoCollapse}};
  EXPECT_GT(backend.RealizeForeignPalette(colours), 0);
  EXPECT_EQ(main_handler.last.count(MessageId::kPaletteIsChanging), 1u);
  EXPECT_EQ(main_handler.last[MessageId::kPaletteChanged].param, kNoWindow);
  EXPECT_EQ(text_handler.last.count(MessageId::kPaletteChanged), 0u);
  backend.Activate(main_window->Id());
  EXPECT_EQ(main_handler.last.count(MessageId::kQueryNewPalette), 1u);
  EXPECT_EQ(main_handler.last.count(MessageId::kSetFocus), 1u);
  backend.Activate(text_window->Id());
  EXPECT_EQ(main_handler.last.count(MessageId::kKillFocus), 1u);
  backend.SetDisplayDepth(24);
}

TEST(Backend, VirtualClockDrivesTheTickCountAndIdleDelays) {
  HeadlessOptions options;
  options.virtual_clock = true;
  options.milliseconds_per_step = 10;
  std::uint32_t start = 0;
  {
    THeadlessBackend backend(options);
    backend.Clock().Set(5000);
    EXPECT_EQ(GetTickCount(), 5000u);
    start = GetTickCount();
    // An idle handler that waits for a two-second delay, as the slideshow does.
    int steps = 0;
    backend.EventLoop().SetIdleHandler([&] {
      ++steps;
      return GetTickCount() - start < 2000;
    });
    backend.EventLoop().RunUntilIdle();
    EXPECT_EQ(steps, 200);
    backend.Clock().SetAdvancePerRead(1);
    const std::uint32_t a = GetTickCount();
    EXPECT_EQ(GetTickCount(), a + 1);
  }
  // Without the backend the monotonic clock is back: its reading lies between
  // two readings of that clock taken around it.
  const auto monotonic = [] {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  };
  const std::uint32_t before = monotonic();
  const std::uint32_t reading = GetTickCount();
  const std::uint32_t after = monotonic();
  EXPECT_LE(reading - before, after - before);  // unsigned: right across the wrap
}

TEST(Backend, ClipboardNeedsToBeOpenAndCanBeHeldElsewhere) {
  THeadlessBackend backend(HeadlessOptions{});
  Clipboard& clipboard = backend.GetClipboard();
  EXPECT_FALSE(clipboard.SetText("x"));
  ASSERT_TRUE(clipboard.Open(1));
  EXPECT_FALSE(clipboard.Open(2));
  EXPECT_TRUE(clipboard.Empty());
  EXPECT_TRUE(clipboard.SetText("line\r\n"));
  EXPECT_TRUE(clipboard.SetPicture(ClipboardPicture{{1, 2, 3}, {{4, 5, 6, 0}}}));
  clipboard.Close();
  EXPECT_TRUE(clipboard.HasPicture());
  EXPECT_FALSE(clipboard.GetText());
  ASSERT_TRUE(clipboard.Open(2));
  EXPECT_EQ(clipboard.GetText(), "line\r\n");
  EXPECT_EQ(clipboard.GetPicture()->palette.size(), 1u);
  clipboard.Close();
  backend.MemoryClipboard().SetUnavailable(true);
  EXPECT_FALSE(clipboard.Open(1));
}

TEST(Backend, HelpRequestsAreRecorded) {
  THeadlessBackend backend(HeadlessOptions{});
  TempDir dir;
  WriteFileText(dir.File("zentrope.hlp"), "<html></html>");
  EXPECT_TRUE(backend.Help().ShowHelp(1, dir.File("zentrope.hlp"), HelpCommand::kContents));
  EXPECT_FALSE(backend.Help().ShowHelp(1, dir.File("none.hlp"), HelpCommand::kHelpOnHelp));
  EXPECT_TRUE(backend.RecordingHelp().IsOpen());
  EXPECT_TRUE(backend.Help().ShowHelp(1, dir.File("zentrope.hlp"), HelpCommand::kQuit));
  EXPECT_FALSE(backend.RecordingHelp().IsOpen());
  EXPECT_EQ(backend.RecordingHelp().Requests().size(), 3u);
}

TEST(Backend, DroppedFilesArriveInDropOrder) {
  THeadlessBackend backend(HeadlessOptions{});
  RecordingHandler handler;
  auto window = backend.CreateWindow(Framed(Rect{0, 0, 40, 40}), &handler);
  backend.DropFiles(window->Id(), {"/b.gif", "/a.gif", "/c.gif"});
  backend.EventLoop().RunUntilIdle();
  const Message& drop = handler.last[MessageId::kDropFiles];
  ASSERT_TRUE(drop.files);
  EXPECT_EQ(*drop.files, (std::vector<std::string>{"/b.gif", "/a.gif", "/c.gif"}));
}

TEST(Backend, ChosenFromOptionEnvironmentAndDisplay) {
  static std::map<std::string, std::string> env;
  auto lookup = +[](const char* name) -> const char* {
    auto found = env.find(name);
    return found == env.end() ? nullptr : found->second.c_str();
  };
  env = {};
  EXPECT_EQ(ChooseBackend({}, lookup), BackendKind::kHeadless);
  env = {{"DISPLAY", ":0"}};
  EXPECT_EQ(ChooseBackend({}, lookup), BackendKind::kDesktop);
  EXPECT_EQ(ChooseBackend({"photo.gif", "-headless"}, lookup), BackendKind::kHeadless);
  env = {{"DISPLAY", ":0"}, {"ZENTROPE_BACKEND", "headless"}};
  EXPECT_EQ(ChooseBackend({}, lookup), BackendKind::kHeadless);
  env = {{"ZENTROPE_BACKEND", "desktop"}};
  EXPECT_EQ(ChooseBackend({}, lookup), BackendKind::kDesktop);
  // Without a display to open, the desktop backend gives way to the headless one.
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    EXPECT_EQ(CreatePlatformBackend(BackendKind::kDesktop)->Name(), "headless");
  }
}

TEST(BackendChoice, DisplayDepthFromOptionBeforeEnvironment) {
  std::map<std::string, std::string> env;
  static std::map<std::string, std::string>* current = nullptr;
  current = &env;
  auto lookup = [](const char* name) -> const char* {
    const auto found = current->find(name);
    return found == current->end() ? nullptr : found->second.c_str();
  };
  EXPECT_EQ(ChooseDisplayDepth({}, lookup), std::nullopt);
  env = {{"ZENTROPE_DEPTH", "8"}};
  EXPECT_EQ(ChooseDisplayDepth({}, lookup), 8);
  EXPECT_EQ(ChooseDisplayDepth({"a.gif", "-depth=4"}, lookup), 4);
  EXPECT_EQ(ChooseDisplayDepth({"--depth=1"}, lookup), 1);
  // Only depths a display can have; a bad option does not fall back.
  EXPECT_EQ(ChooseDisplayDepth({"-depth=16"}, lookup), std::nullopt);
  env = {{"ZENTROPE_DEPTH", "8bits"}};
  EXPECT_EQ(ChooseDisplayDepth({}, lookup), std::nullopt);
  env = {{"ZENTROPE_DEPTH", "4"}};
  ChooseBackend({"-headless"}, lookup);
  EXPECT_EQ(RequestedDisplayDepth(), 4);
  const auto backend = CreatePlatformBackend(BackendKind::kHeadless);
  EXPECT_EQ(backend->Display().Depth(), 4);
  env = {};
  ChooseBackend({"-headless"}, lookup);
  EXPECT_EQ(RequestedDisplayDepth(), std::nullopt);
}

TEST(SurfaceImageFile, SavedPicturesShowTheScreen) {
  REQUIRE_PEER_TOOL("convert");
  TDisplay display;
  display.SetDepth(8);
  auto surface = display.CreateCompatibleSurface(300, 2);
  TDeviceContext dc(*surface, &display);
  dc.FillRect(Rect{0, 0, 300, 2}, MakeRgb(255, 0, 0));
  dc.FillRect(Rect{299, 1, 300, 2}, MakeRgb(0, 0, 255));
  TempDir dir;
  ASSERT_TRUE(SaveSurfacePng(*surface, dir.File("screen.png")));
  ASSERT_TRUE(SaveSurfacePpm(*surface, dir.File("screen.ppm")));
  for (const char* name : {"screen.png", "screen.ppm"}) {
    const std::string pixel =
        CommandOutput("convert " + ShellQuote(dir.File(name)) + "[1x1+299+1] -depth 8 txt:-");
    EXPECT_NE(pixel.find("(0,0,255)"), std::string::npos) << name << pixel;
  }
  auto big = TSurface::Create(200, 200, 24);  // 120 kB of rows: three stored blocks
  TDeviceContext big_dc(*big, nullptr);
  big_dc.FillRect(Rect{150, 190, 200, 200}, MakeRgb(0, 255, 0));
  ASSERT_TRUE(SaveSurfacePng(*big, dir.File("big.png")));
  const std::string pixel =
      CommandOutput("convert " + ShellQuote(dir.File("big.png")) + "[1x1+199+199] -depth 8 txt:-");
  EXPECT_NE(pixel.find("(0,255,0)"), std::string::npos) << pixel;
  EXPECT_FALSE(SaveSurfacePng(*big, dir.File("missing/dir.png")));
  display.SetDepth(24);
}

TEST(Backend, SystemCommandsInputOfDisabledWindowsAndScrollBars) {
  THeadlessBackend backend(HeadlessOptions{});
  RecordingHandler handler;
  auto window = backend.CreateWindow(Framed(Rect{0, 0, 80, 80}), &handler);
  backend.DefaultSystemCommand(*window, kScScreenSave + 2);  // low bits are the platform's
  EXPECT_EQ(backend.ScreenSaverStarts(), 1);
  backend.DefaultSystemCommand(*window, kScClose);
  EXPECT_EQ(handler.last.count(MessageId::kClose), 1u);
  window->Enable(false);
  backend.PressKey(window->Id(), 'A');
  backend.MoveMouse(window->Id(), Point{1, 1});
  EXPECT_FALSE(backend.EventLoop().HasWaitingMessage());
  window->Enable(true);
  window->SetVerticalScroll(100 - 30, 500);
  EXPECT_EQ(window->VerticalScroll(), (ScrollBarState{70, 70}));
  window->SetHorizontalScroll(-5, 3);
  EXPECT_EQ(window->HorizontalScroll(), (ScrollBarState{0, 0}));
  backend.Scroll(window->Id(), true, ScrollAction::kThumbTrack, 12);
  backend.EventLoop().RunUntilIdle();
  EXPECT_EQ(handler.last[MessageId::kVScroll].param, 12u);
}
