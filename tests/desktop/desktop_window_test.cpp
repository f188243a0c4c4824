// The desktop backend on a real X display (Xvfb in CI): what a window shows
// is its screen surface pixel for pixel, geometry comes back from the
// toolkit, input arrives as the program's messages, and the clipboard keeps
// pictures and text. Skipped without a display.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>
#include <wx/frame.h>
#include <wx/uiaction.h>

#include <map>
#include <memory>

#include "platform/device_context.h"
#include "platform/packed_dib.h"
#include "platform/virtual_keys.h"
#include "platform/wx/wx_backend.h"

namespace {
class RecordingHandler : public WindowHandler {
 public:
  void OnMessage(TWindow& window, const Message& message) override {
    (void)window;
    messages.push_back(message);
  }
  void OnPaint(TWindow& window, TDeviceContext& dc, const Rect& paint_rect, bool erase) override {
    (void)paint_rect;
    (void)erase;
    const Size size = window.ClientSize();
    // Bands of colour that differ in every channel, row and column.
    for (int y = 0; y < size.height; y += 10) {
      for (int x = 0; x < size.width; x += 10) {
        dc.FillRect(Rect::FromSize(x, y, 10, 10),
                    MakeRgb((x * 7) & 0xFF, (y * 5) & 0xFF, ((x + y) * 3) & 0xFF));
      }
    }
    ++paints;
  }
  std::vector<Message> Of(MessageId id) const {
    std::vector<Message> found;
    for (const Message& message : messages) {
      if (message.id == id) found.push_back(message);
    }
    return found;
  }
  std::vector<Message> messages;
  int paints = 0;
};

class DesktopWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no display";
    std::string error;
    backend_ = TWxBackend::Create(&error);
    ASSERT_TRUE(backend_) << error;
  }

  std::unique_ptr<TWindow> Open(Rect placement, TMenuBar menu = {}) {
    WindowParams params;
    params.caption = "Zentrope test";
    params.placement = WindowPlacement{placement, ShowState::kNormal};
    params.menu_bar = std::move(menu);
    params.visible = true;
    auto window = backend_->CreateWindow(params, &handler_);
    Settle();
    return window;
  }

  // Lets the toolkit map, size and paint, and the loop dispatch all of it.
  void Settle() {
    for (int i = 0; i < 30; ++i) {
      backend_->CollectEvents(10);
      backend_->EventLoop().RunUntilIdle(10000);
    }
  }

  // The colours the X server shows in the window's client area.
  std::vector<std::uint32_t> ShownPixels(TWindow& window) {
    TWxWindowPeer* peer = backend_->PeerOf(window.Id());
    wxWindow* canvas = reinterpret_cast<wxWindow*>(peer->Canvas());
    const wxPoint origin = canvas->ClientToScreen(wxPoint(0, 0)) * backend_->Scale();
    const Size size = window.ClientSize();
    ::Display* x_display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    XImage* image = XGetImage(x_display, DefaultRootWindow(x_display), origin.x, origin.y,
                              static_cast<unsigned>(size.width), static_cast<unsigned>(size.height),
                              AllPlanes, ZPixmap);
    std::vector<std::uint32_t> pixels;
    if (!image) return pixels;
    for (int y = 0; y < size.height; ++y) {
      for (int x = 0; x < size.width; ++x) {
        pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
      }
    }
    XDestroyImage(image);
    return pixels;
  }

  int CountDifferences(TWindow& window) {
    const std::vector<std::uint32_t> shown = ShownPixels(window);
    const Size size = window.ClientSize();
    if (shown.size() != static_cast<std::size_t>(size.width) * size.height) return -1;
    int differences = 0;
    for (int y = 0; y < size.height; ++y) {
      for (int x = 0; x < size.width; ++x) {
        const std::uint32_t expected = PixelFromColour(window.ScreenSurface().ColourAt(x, y));
        if (shown[static_cast<std::size_t>(y) * size.width + x] != expected) ++differences;
      }
    }
    return differences;
  }

  std::unique_ptr<TWxBackend> backend_;
  RecordingHandler handler_;
};
}  // namespace

TEST_F(DesktopWindow, ShowsItsScreenSurfacePixelForPixel) {
  auto window = Open(Rect{40, 30, 360, 270});
  ASSERT_GT(handler_.paints, 0);
  ASSERT_GT(window->ClientSize().width, 0);
  EXPECT_EQ(CountDifferences(*window), 0);
  // Drawn outside paint and presented: on the screen at once.
  TDeviceContext dc = window->ClientDC();
  dc.FillRect(Rect{5, 5, 45, 25}, MakeRgb(1, 2, 3));
  window->Present(Rect{5, 5, 45, 25});
  EXPECT_EQ(CountDifferences(*window), 0);
}

TEST_F(DesktopWindow, EmulatedPaletteDisplaysShowTheSystemColours) {
  ASSERT_TRUE(backend_->SetDisplayDepth(8));
  auto window = Open(Rect{40, 30, 300, 200});
  ASSERT_TRUE(window->ScreenSurface().IsPaletteSurface());
  EXPECT_EQ(CountDifferences(*window), 0);
  ASSERT_TRUE(backend_->SetDisplayDepth(1));
  Settle();
  EXPECT_EQ(CountDifferences(*window), 0);
  EXPECT_FALSE(backend_->SetDisplayDepth(16));
}

TEST_F(DesktopWindow, PlacementAndClientSizeComeFromTheFrame) {
  auto window = Open(Rect{100, 80, 500, 380});
  TWxWindowPeer* peer = backend_->PeerOf(window->Id());
  const wxSize client = reinterpret_cast<wxWindow*>(peer->Canvas())->GetClientSize();
  EXPECT_EQ(window->ClientSize(),
            (Size{client.x * backend_->Scale(), client.y * backend_->Scale()}));
  EXPECT_FALSE(handler_.Of(MessageId::kSize).empty());
  window->SetPlacement(WindowPlacement{Rect{20, 40, 420, 340}, ShowState::kNormal});
  Settle();
  EXPECT_EQ(window->WindowRect().left, 20);
  EXPECT_EQ(window->WindowRect().Width(), 400);
  // Full screen keeps the restored rectangle for the way back.
  window->SetFrame(false);
  Settle();
  EXPECT_EQ(window->Placement().normal, (Rect{20, 40, 420, 340}));
  window->SetFrame(true);
  Settle();
  EXPECT_EQ(window->WindowRect(), (Rect{20, 40, 420, 340}));
}

TEST_F(DesktopWindow, KeysAndClicksArriveAsTheProgramsMessages) {
  auto window = Open(Rect{0, 0, 400, 300});
  TWxWindowPeer* peer = backend_->PeerOf(window->Id());
  peer->Frame()->Raise();
  reinterpret_cast<wxWindow*>(peer->Canvas())->SetFocus();
  Settle();
  handler_.messages.clear();
  wxUIActionSimulator input;
  input.Char('a');
  input.Char('+', wxMOD_SHIFT);
  input.Char(WXK_PAGEDOWN);
  Settle();
  const std::vector<Message> downs = handler_.Of(MessageId::kKeyDown);
  ASSERT_EQ(downs.size(), 4u);  // Shift itself comes down too
  EXPECT_EQ(downs[0].key, 'A');
  EXPECT_EQ(downs[0].character, 'a');
  EXPECT_EQ(downs[3].key, kVkNext);
  EXPECT_EQ(downs[3].character, 0);
  const std::vector<Message> characters = handler_.Of(MessageId::kChar);
  ASSERT_EQ(characters.size(), 2u);
  EXPECT_EQ(characters[0].key, 'a');
  EXPECT_EQ(characters[1].key, '+');
  EXPECT_FALSE(handler_.Of(MessageId::kKeyUp).empty());

  handler_.messages.clear();
  const wxPoint origin = reinterpret_cast<wxWindow*>(peer->Canvas())->ClientToScreen(wxPoint(0, 0));
  input.MouseMove(origin.x + 30, origin.y + 40);
  input.MouseClick(wxMOUSE_BTN_RIGHT);
  Settle();
  const std::vector<Message> presses = handler_.Of(MessageId::kRButtonDown);
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0].position, (Point{30 * backend_->Scale(), 40 * backend_->Scale()}));
  EXPECT_EQ(handler_.Of(MessageId::kRButtonUp).size(), 1u);
}

TEST_F(DesktopWindow, DiscardedInputNeverArrives) {
  auto window = Open(Rect{0, 0, 300, 200});
  TWxWindowPeer* peer = backend_->PeerOf(window->Id());
  reinterpret_cast<wxWindow*>(peer->Canvas())->SetFocus();
  Settle();
  handler_.messages.clear();
  wxUIActionSimulator input;
  input.Char('q');
  EXPECT_GE(backend_->EventLoop().DiscardInput(window->Id()), 0);
  Settle();
  EXPECT_TRUE(handler_.Of(MessageId::kKeyDown).empty());
  EXPECT_TRUE(handler_.Of(MessageId::kChar).empty());
}

TEST_F(DesktopWindow, MenuItemsPostTheirCommandsOnlyWhenEnabled) {
  TMenuBar menu({MenuItem::Submenu(
      900, "&File",
      {MenuItem::Command(110, "&Open...", "Ctrl+O"), MenuItem::Command(111, "E&xit")})});
  auto window = Open(Rect{0, 0, 300, 200}, menu);
  TWxWindowPeer* peer = backend_->PeerOf(window->Id());
  wxMenuBar* bar = peer->Frame()->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  const int open_id = bar->FindMenuItem("File", "Open...");
  ASSERT_NE(open_id, wxNOT_FOUND);
  handler_.messages.clear();
  wxCommandEvent chosen(wxEVT_MENU, open_id);
  peer->Frame()->GetEventHandler()->ProcessEvent(chosen);
  Settle();
  ASSERT_EQ(handler_.Of(MessageId::kCommand).size(), 1u);
  EXPECT_EQ(handler_.Of(MessageId::kCommand)[0].command, 110u);
  ASSERT_TRUE(window->EnableMenuItem(110, false));
  EXPECT_FALSE(bar->FindItem(open_id)->IsEnabled());
  handler_.messages.clear();
  peer->Frame()->GetEventHandler()->ProcessEvent(chosen);
  Settle();
  EXPECT_TRUE(handler_.Of(MessageId::kCommand).empty());
  // A tick set by the program shows, even on an item made without one.
  ASSERT_TRUE(window->CheckMenuItem(111, true));
  const int exit_id = bar->FindMenuItem("File", "Exit");
  ASSERT_NE(exit_id, wxNOT_FOUND);
  EXPECT_TRUE(bar->FindItem(exit_id)->IsChecked());
}

TEST_F(DesktopWindow, ClipboardKeepsPicturesAndText) {
  auto surface = TSurface::Create(6, 4, 24);
  ASSERT_TRUE(surface);
  surface->Row(2)[3] = 0xA0B0C0;
  const std::vector<std::uint8_t> dib = CapturePackedDib(*surface, surface->Bounds(), nullptr);
  Clipboard& clipboard = backend_->GetClipboard();
  ASSERT_TRUE(clipboard.Open(kNoWindow));
  ASSERT_TRUE(clipboard.Empty());
  ASSERT_TRUE(clipboard.SetPicture(ClipboardPicture{dib, {}}));
  ASSERT_TRUE(clipboard.SetText("Zentrope"));
  clipboard.Close();
  EXPECT_TRUE(clipboard.HasPicture());
  EXPECT_TRUE(clipboard.HasText());
  ASSERT_TRUE(clipboard.Open(kNoWindow));
  const auto picture = clipboard.GetPicture();
  const auto text = clipboard.GetText();
  clipboard.Close();
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->packed_dib, dib);
  EXPECT_EQ(text, "Zentrope");
}

TEST_F(DesktopWindow, DroppedFilesArriveInDropOrder) {
  auto window = Open(Rect{0, 0, 300, 200});
  TWxWindowPeer* peer = backend_->PeerOf(window->Id());
  auto* canvas = reinterpret_cast<wxWindow*>(peer->Canvas());
  handler_.messages.clear();
  // What the toolkit's drop target hands over once a drop has been read;
  // the event owns the names.
  wxDropFilesEvent drop(wxEVT_DROP_FILES, 3, new wxString[3]{"/p/b.gif", "/p/a b.jpg", "/p/c.bmp"});
  drop.SetEventObject(canvas);
  canvas->GetEventHandler()->ProcessEvent(drop);
  wxDropFilesEvent empty(wxEVT_DROP_FILES, 0, nullptr);
  canvas->GetEventHandler()->ProcessEvent(empty);
  Settle();
  const std::vector<Message> drops = handler_.Of(MessageId::kDropFiles);
  ASSERT_EQ(drops.size(), 1u) << "an empty drop is no drop";
  ASSERT_TRUE(drops[0].files);
  EXPECT_EQ(*drops[0].files, (std::vector<std::string>{"/p/b.gif", "/p/a b.jpg", "/p/c.bmp"}));
}
