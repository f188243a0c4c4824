#include "platform/wx/wx_window.h"

#include <cairo.h>
#include <gtk/gtk.h>
#include <wx/dcclient.h>
#include <wx/graphics.h>
#include <wx/menu.h>

#include <algorithm>
#include <cctype>

#include "platform/wx/saver_embedding.h"
#include "platform/wx/wx_cursors.h"

// The client area: shows the screen surface and turns mouse, scroll and drop
// events into the program's messages.
class TWxCanvas : public wxWindow {
 public:
  TWxCanvas(wxWindow* parent, TWxWindowPeer& peer)
      : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxWANTS_CHARS | wxBORDER_NONE | wxHSCROLL | wxVSCROLL),
        peer_(peer) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    DragAcceptFiles(true);
    Bind(wxEVT_PAINT, &TWxCanvas::OnPaint, this);
    // Each event type is its own typed tag, so one Bind per type.
    Bind(wxEVT_MOTION, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_LEFT_DOWN, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_LEFT_UP, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_LEFT_DCLICK, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_RIGHT_DOWN, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_RIGHT_UP, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_RIGHT_DCLICK, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_MIDDLE_DOWN, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_MIDDLE_UP, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_MIDDLE_DCLICK, &TWxCanvas::OnMouse, this);
    Bind(wxEVT_SCROLLWIN_TOP, &TWxCanvas::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_BOTTOM, &TWxCanvas::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEUP, &TWxCanvas::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEDOWN, &TWxCanvas::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEUP, &TWxCanvas::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEDOWN, &TWxCanvas::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBTRACK, &TWxCanvas::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBRELEASE, &TWxCanvas::OnScroll, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &TWxCanvas::OnCaptureLost, this);
    Bind(wxEVT_DROP_FILES, &TWxCanvas::OnDropFiles, this);
    Bind(wxEVT_SIZE, &TWxCanvas::OnSize, this);
  }

 private:
  WindowId Id() const { return peer_.Window() ? peer_.Window()->Id() : kNoWindow; }

  void OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    wxGraphicsContext* graphics = dc.GetGraphicsContext();
    if (!graphics || !peer_.Window()) return;
    const int scale = peer_.Host().Scale();
    const wxRect box = GetUpdateRegion().GetBox();
    peer_.PaintSurface(
        graphics->GetNativeContext(),
        Rect::FromSize(box.x * scale, box.y * scale, box.width * scale, box.height * scale));
  }

  static MessageId MouseMessage(wxEventType type) {
    if (type == wxEVT_LEFT_DOWN) return MessageId::kLButtonDown;
    if (type == wxEVT_LEFT_UP) return MessageId::kLButtonUp;
    if (type == wxEVT_LEFT_DCLICK) return MessageId::kLButtonDblClk;
    if (type == wxEVT_RIGHT_DOWN) return MessageId::kRButtonDown;
    if (type == wxEVT_RIGHT_UP) return MessageId::kRButtonUp;
    if (type == wxEVT_RIGHT_DCLICK) return MessageId::kRButtonDblClk;
    if (type == wxEVT_MIDDLE_DOWN) return MessageId::kMButtonDown;
    if (type == wxEVT_MIDDLE_UP) return MessageId::kMButtonUp;
    if (type == wxEVT_MIDDLE_DCLICK) return MessageId::kMButtonDblClk;
    return MessageId::kMouseMove;
  }

  void OnMouse(wxMouseEvent& event) {
    event.Skip();
    if (event.GetEventType() == wxEVT_LEFT_DOWN || event.GetEventType() == wxEVT_RIGHT_DOWN) {
      SetFocus();
    }
    const int scale = peer_.Host().Scale();
    Message message;
    message.id = MouseMessage(event.GetEventType());
    message.window = Id();
    message.position = Point{event.GetX() * scale, event.GetY() * scale};
    message.modifiers = Modifiers{event.ShiftDown(), event.ControlDown(), event.AltDown()};
    peer_.Host().QueueInput(message);
  }

  static ScrollAction ActionOf(wxEventType type) {
    if (type == wxEVT_SCROLLWIN_TOP) return ScrollAction::kTop;
    if (type == wxEVT_SCROLLWIN_BOTTOM) return ScrollAction::kBottom;
    if (type == wxEVT_SCROLLWIN_LINEUP) return ScrollAction::kLineUp;
    if (type == wxEVT_SCROLLWIN_LINEDOWN) return ScrollAction::kLineDown;
    if (type == wxEVT_SCROLLWIN_PAGEUP) return ScrollAction::kPageUp;
    if (type == wxEVT_SCROLLWIN_PAGEDOWN) return ScrollAction::kPageDown;
    return ScrollAction::kThumbTrack;
  }

  void OnScroll(wxScrollWinEvent& event) {
    Message message;
    message.id = event.GetOrientation() == wxVERTICAL ? MessageId::kVScroll : MessageId::kHScroll;
    message.window = Id();
    message.command = static_cast<std::uint32_t>(ActionOf(event.GetEventType()));
    message.param = static_cast<std::uint32_t>(std::max(0, event.GetPosition()));
    peer_.Host().QueueInput(message);
  }

  void OnCaptureLost(wxMouseCaptureLostEvent&) {
    const WindowId id = Id();
    TWxWindowPeer* peer = &peer_;
    peer_.Host().Later([peer, id] {
      if (peer->Window() && peer->Window()->Id() == id) peer->Window()->CaptureLost();
    });
  }

  void OnDropFiles(wxDropFilesEvent& event) {
    auto files = std::make_shared<std::vector<std::string>>();
    const wxString* names = event.GetFiles();
    for (int i = 0; names && i < event.GetNumberOfFiles(); ++i) {
      files->push_back(names[i].utf8_string());
    }
    if (files->empty()) return;
    Message message;
    message.id = MessageId::kDropFiles;
    message.window = Id();
    message.files = std::move(files);
    peer_.Host().QueueInput(message);
  }

  void OnSize(wxSizeEvent& event) {
    event.Skip();
    peer_.Host().GeometryDue(Id());
  }

  TWxWindowPeer& peer_;
};

TWxWindowPeer::TWxWindowPeer(WxWindowHost& host) : host_(host) {}

TWxWindowPeer::~TWxWindowPeer() {
  if (!frame_) return;
  if (canvas_ && canvas_->HasCapture()) canvas_->ReleaseMouse();
  // Handlers must not reach this peer while the frame goes.
  frame_->Unbind(wxEVT_CLOSE_WINDOW, &TWxWindowPeer::OnClose, this);
  frame_->Unbind(wxEVT_MENU_OPEN, &TWxWindowPeer::OnMenuOpen, this);
  frame_->Unbind(wxEVT_MENU, &TWxWindowPeer::OnMenu, this);
  wxFrame* frame = frame_;
  frame_ = nullptr;
  canvas_ = nullptr;
  window_ = nullptr;
  delete frame;
}

void TWxWindowPeer::Attach(TWindow& window) {
  window_ = &window;
  long style = wxDEFAULT_FRAME_STYLE;
  if (window.Owner() != kNoWindow) style |= wxFRAME_NO_TASKBAR;
  frame_ = new wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(window.Caption()), wxDefaultPosition,
                       wxDefaultSize, style);
  canvas_ = new TWxCanvas(frame_, *this);
  if (wxMenuBar* bar = menus_.Build(window.MenuBar())) frame_->SetMenuBar(bar);
  if (wxFrame* owner = host_.FrameOf(window.Owner())) {
    // Owned windows stay above their owner; no toolkit parent, so that each
    // frame's life stays the program's to end.
    gtk_window_set_transient_for(GTK_WINDOW(frame_->GetHandle()), GTK_WINDOW(owner->GetHandle()));
  }
  const WindowId id = window.Id();
  frame_->Bind(wxEVT_CLOSE_WINDOW, &TWxWindowPeer::OnClose, this);
  frame_->Bind(wxEVT_MENU_OPEN, &TWxWindowPeer::OnMenuOpen, this);
  frame_->Bind(wxEVT_MENU, &TWxWindowPeer::OnMenu, this);
  auto geometry = [this, id](wxEvent& event) {
    event.Skip();
    host_.GeometryDue(id);
  };
  frame_->Bind(wxEVT_SIZE, geometry);
  frame_->Bind(wxEVT_MOVE, geometry);
  frame_->Bind(wxEVT_MAXIMIZE, geometry);
  frame_->Bind(wxEVT_ICONIZE, geometry);
  frame_->Bind(wxEVT_ACTIVATE, [this, id](wxActivateEvent& event) {
    event.Skip();
    host_.FocusChanged(id, event.GetActive());
  });
  applied_placement_ = WindowPlacement{Rect{}, ShowState::kNormal};
  embedding_ = ClaimSaverTarget();
  if (embedding_ && !EmbedInSaverTarget(*frame_, host_.Scale())) embedding_ = false;
  StateChanged(window);
}

void TWxWindowPeer::OnClose(wxCloseEvent& event) {
  if (!event.CanVeto() || !window_) {
    event.Skip();
    return;
  }
  // The program decides: the close button is its system command.
  event.Veto();
  host_.QueueInput(Message::SysCommand(window_->Id(), kScClose));
}

void TWxWindowPeer::OnMenuOpen(wxMenuEvent& event) {
  event.Skip();
  if (!window_) return;
  const std::uint32_t menu = menus_.SubmenuFor(event.GetMenu());
  if (menu == 0) return;
  Message message;
  message.id = MessageId::kInitMenuPopup;
  message.window = window_->Id();
  message.command = menu;
  host_.Loop().Send(message);
}

void TWxWindowPeer::OnMenu(wxCommandEvent& event) {
  if (!window_) return;
  const std::uint32_t command = menus_.CommandFor(event.GetId());
  if (command == 0) {
    event.Skip();
    return;
  }
  // The toolkit ticks a check item by itself; the program decides the tick.
  menus_.Update(window_->MenuBar(), command);
  // While the mouse is captured no key reaches the program's filter, and the
  // menu's own shortcut would fire here instead: the program's keys only go
  // through its accelerator table.
  if (window_->HasCapture()) return;
  const MenuItem* item = window_->MenuBar().Find(command);
  if (!item || !item->enabled || !window_->IsEnabled()) return;
  host_.QueueInput(Message::Command(window_->Id(), command));
}

WindowGeometry TWxWindowPeer::CurrentGeometry() const {
  WindowGeometry geometry;
  if (!frame_ || !window_) return geometry;
  const int scale = host_.Scale();
  const wxRect outer = frame_->GetRect();
  geometry.outer =
      Rect::FromSize(outer.x * scale, outer.y * scale, outer.width * scale, outer.height * scale);
  if (frame_->IsIconized()) {
    geometry.state = ShowState::kMinimized;
    return geometry;
  }
  geometry.state = frame_->IsMaximized() ? ShowState::kMaximized : ShowState::kNormal;
  if (full_screen_) {
    geometry.outer = window_->Placement().normal;
    geometry.state = window_->Placement().state == ShowState::kMaximized ? ShowState::kMaximized
                                                                         : ShowState::kNormal;
  }
  const wxSize client = canvas_->GetClientSize();
  geometry.client = Size{std::max(0, client.x) * scale, std::max(0, client.y) * scale};
  return geometry;
}

void TWxWindowPeer::ApplyPlacement(const WindowPlacement& placement) {
  const int scale = host_.Scale();
  const Rect normal = placement.normal;
  if (frame_->IsIconized() && placement.state != ShowState::kMinimized) frame_->Iconize(false);
  if (frame_->IsMaximized() && placement.state != ShowState::kMaximized) frame_->Maximize(false);
  if (!full_screen_) {
    frame_->SetSize(normal.left / scale, normal.top / scale, std::max(1, normal.Width() / scale),
                    std::max(1, normal.Height() / scale));
  }
  if (placement.state == ShowState::kMaximized) frame_->Maximize(true);
  if (placement.state == ShowState::kMinimized) frame_->Iconize(true);
}

void TWxWindowPeer::ShowMenuBar() {
  wxMenuBar* bar = frame_->GetMenuBar();
  if (!bar) return;
  const bool shown = window_->MenuShown() && !full_screen_ && !embedding_;
  if (bar->IsShown() != shown) {
    bar->Show(shown);
    frame_->SendSizeEvent();
  }
}

void TWxWindowPeer::ApplyScrollBars() {
  const auto apply = [this](int orientation, const ScrollBarState& state, ScrollBarState& shown) {
    if (state == shown) return;
    shown = state;
    // Positions 0..range: one more position than the range, a thumb of one.
    if (state.range > 0) {
      canvas_->SetScrollbar(orientation, state.position, 1, state.range + 1);
    } else {
      canvas_->SetScrollbar(orientation, 0, 0, 0);
    }
  };
  apply(wxHORIZONTAL, window_->HorizontalScroll(), horizontal_);
  apply(wxVERTICAL, window_->VerticalScroll(), vertical_);
}

void TWxWindowPeer::ApplyVisibility() {
  if (window_->IsVisible() && !frame_->IsShown()) {
    frame_->Show(true);
    canvas_->SetFocus();
  } else if (!window_->IsVisible() && frame_->IsShown()) {
    frame_->Show(false);
  }
}

void TWxWindowPeer::StateChanged(TWindow& window) {
  if (!frame_) return;
  window_ = &window;
  const wxString caption = wxString::FromUTF8(window.Caption());
  if (frame_->GetTitle() != caption) frame_->SetTitle(caption);
  if (window.Topmost() != topmost_) {
    topmost_ = window.Topmost();
    gtk_window_set_keep_above(GTK_WINDOW(frame_->GetHandle()), topmost_);
  }
  // Inside another window, that window's size is the frame's: no full screen
  // and no placement of the program's own.
  const bool full_screen = !window.HasFrame() && !embedding_;
  if (full_screen != full_screen_) {
    full_screen_ = full_screen;
    frame_->ShowFullScreen(full_screen, wxFULLSCREEN_ALL);
    // Back from full screen, the frame goes where the program keeps it.
    if (!full_screen) applied_placement_ = WindowPlacement{Rect{}, ShowState::kNormal};
  }
  ShowMenuBar();
  if (!embedding_ && window.Placement() != applied_placement_) {
    applied_placement_ = window.Placement();
    ApplyPlacement(applied_placement_);
  }
  ApplyScrollBars();
  canvas_->SetCursor(WxCursorFor(window.MouseCursor()));
  ApplyVisibility();
  host_.GeometryDue(window.Id());
}

void TWxWindowPeer::Present(TWindow& window, const Rect& area) {
  if (!frame_ || !frame_->IsShown() || !window.IsVisible()) return;
  const int scale = host_.Scale();
  const Rect cut = Intersect(area, window.ClientRect());
  if (cut.IsEmpty()) return;
  const int left = cut.left / scale;
  const int top = cut.top / scale;
  const int right = (cut.right + scale - 1) / scale;
  const int bottom = (cut.bottom + scale - 1) / scale;
  canvas_->RefreshRect(wxRect(left, top, right - left, bottom - top), false);
  // Shown now, not when the loop next waits: the program may be in the middle
  // of a long piece of work that draws frame by frame.
  canvas_->Update();
}

void TWxWindowPeer::PaintSurface(void* cairo_context, const Rect& device_area) {
  if (!window_) return;
  auto* cr = static_cast<cairo_t*>(cairo_context);
  const TSurface& surface = window_->ScreenSurface();
  cairo_surface_t* image = image_.Show(surface, device_area);
  const double unit = 1.0 / host_.Scale();
  cairo_save(cr);
  // One surface pixel per device pixel, never smoothed.
  cairo_scale(cr, unit, unit);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_rectangle(cr, device_area.left, device_area.top, device_area.Width(), device_area.Height());
  cairo_fill(cr);
  if (image) {
    const Rect shown = Intersect(device_area, surface.Bounds());
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, shown.left, shown.top, shown.Width(), shown.Height());
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void TWxWindowPeer::RefreshAll() {
  image_.Forget();
  if (canvas_) canvas_->Refresh(false);
}

void TWxWindowPeer::CaptureChanged(TWindow& window, bool captured) {
  (void)window;
  if (!canvas_) return;
  if (captured && !canvas_->HasCapture()) canvas_->CaptureMouse();
  if (!captured && canvas_->HasCapture()) canvas_->ReleaseMouse();
}

void TWxWindowPeer::EnableChanged(TWindow& window) {
  if (frame_) frame_->Enable(window.IsEnabled());
}

void TWxWindowPeer::SurfaceRecreated(TWindow& window) {
  (void)window;
  RefreshAll();
}

void TWxWindowPeer::MenuBarChanged(TWindow& window) {
  if (!frame_) return;
  wxMenuBar* old = frame_->GetMenuBar();
  frame_->SetMenuBar(menus_.Build(window.MenuBar()));
  delete old;
  if (wxMenuBar* bar = frame_->GetMenuBar()) bar->Show(true);
  ShowMenuBar();
  frame_->SendSizeEvent();
  host_.GeometryDue(window.Id());
}

void TWxWindowPeer::MenuItemChanged(TWindow& window, std::uint32_t id) {
  menus_.Update(window.MenuBar(), id);
}

bool TWxWindowPeer::IsMenuMnemonic(int character) const {
  if (!window_ || !window_->MenuShown() || full_screen_ || character <= 0 || character > 0x7F) {
    return false;
  }
  const int wanted = std::tolower(character);
  for (const MenuItem& menu : window_->MenuBar().Menus()) {
    if (std::tolower(static_cast<unsigned char>(MenuMnemonic(menu.text))) == wanted) return true;
  }
  return false;
}
