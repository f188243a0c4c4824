// Windows of the program: the main frame and the text windows it owns. A
// window keeps its state here, backend-neutral: client size, the update
// rectangle that paint will clear, caption, menu, topmost, placement, cursor
// and its screen surface. A backend shows that state through a WindowPeer;
// the program reacts to messages and paints through a WindowHandler.
//
// Rules every backend keeps:
// - Requests flow to the peer, facts flow back. The program's changes
//   (placement, show state, frame, menu, caption, topmost, cursor, capture,
//   enable, menu items, a new surface) reach the peer at once. The size the
//   window really got comes back through ReportGeometry, which sends kSize
//   when the client size or show state changed and never calls the peer.
//   A peer that does not report (the headless backend's default) leaves the
//   window to compute its geometry at once from the fixed frame sizes below.
// - Until a report arrives, ClientSize() and WindowRect() keep the last known
//   values, so code must act on kSize rather than on the size it asked for.
// - Every pixel here is a device pixel (see geometry.h).
// - The peer is destroyed before the screen surface, so a peer never holds a
//   view of freed pixels; RecreateSurface tells the peer that the old ones
//   are gone.
// - Losing the mouse capture to the desktop or another window sends
//   kCaptureChanged, so a drag in progress can end cleanly.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/cursor.h"
#include "platform/device_context.h"
#include "platform/geometry.h"
#include "platform/menu.h"
#include "platform/message.h"
#include "platform/surface.h"

class TDisplay;
class TEventLoop;
class TWindow;

enum class ShowState { kNormal, kMinimized, kMaximized };

// Where a window stands when restored, in screen pixels, and how it is shown.
struct WindowPlacement {
  Rect normal;
  ShowState state = ShowState::kNormal;
  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// One scroll bar of a window: positions 0..range; range 0 hides the bar.
struct ScrollBarState {
  int range = 0;
  int position = 0;
  friend bool operator==(const ScrollBarState&, const ScrollBarState&) = default;
};

// How a window stands on the screen: its outer rectangle (the screen when
// maximized), its client size (0 × 0 while minimized) and its show state.
struct WindowGeometry {
  Rect outer;
  Size client;
  ShowState state = ShowState::kNormal;
  friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

// Frame sizes around the client area of a window with caption and frame, and
// of its menu bar, for a backend without a real window manager (headless).
inline constexpr int kFrameBorder = 4;
inline constexpr int kCaptionHeight = 18;
inline constexpr int kMenuHeight = 19;

// The geometry such a window has: the placement's rectangle (or the screen
// when maximized) less the fixed frame, caption and menu sizes.
WindowGeometry FixedFrameGeometry(const WindowPlacement& placement, bool frame, bool menu,
                                  Size screen);

// What the program does with its window.
class WindowHandler {
 public:
  virtual ~WindowHandler() = default;
  // Every dispatched or sent message of the window.
  virtual void OnMessage(TWindow& window, const Message& message) = 0;
  // Paints `paint_rect` (already validated); `erase` asks for the background
  // first. The context draws on the window's screen surface.
  virtual void OnPaint(TWindow& window, TDeviceContext& dc, const Rect& paint_rect, bool erase) = 0;
};

// What the backend does to show a window. The headless backend shows nothing
// unless asked to behave like a real desktop.
class WindowPeer {
 public:
  virtual ~WindowPeer() = default;
  // Caption, menu shown, frame, topmost, placement, show state, visibility,
  // scroll bars or cursor changed: the peer shows the window's state.
  virtual void StateChanged(TWindow& window) = 0;
  // Pixels of the screen surface inside `area` changed and should be shown now.
  virtual void Present(TWindow& window, const Rect& area) = 0;
  // True when the peer reports the real geometry with ReportGeometry after
  // each change (possibly later); false lets the window compute it at once.
  virtual bool ReportsGeometry() const { return false; }
  // The window took (`captured`) or released the mouse capture.
  virtual void CaptureChanged(TWindow& window, bool captured) {
    (void)window;
    (void)captured;
  }
  // IsEnabled() changed.
  virtual void EnableChanged(TWindow& window) { (void)window; }
  // The screen surface was made anew: any view of the old pixels is invalid.
  virtual void SurfaceRecreated(TWindow& window) { (void)window; }
  // The whole menu bar was replaced.
  virtual void MenuBarChanged(TWindow& window) { (void)window; }
  // One item's tick, enable or text changed.
  virtual void MenuItemChanged(TWindow& window, std::uint32_t id) {
    (void)window;
    (void)id;
  }
};

struct WindowParams {
  std::string caption;
  WindowPlacement placement{Rect{0, 0, 640, 480}, ShowState::kNormal};
  WindowId owner = kNoWindow;  // owned windows: the text windows
  bool frame = true;           // caption, system menu and sizing frame
  bool menu = true;            // the menu bar shown
  TMenuBar menu_bar;
  bool topmost = false;
  bool visible = false;
};

class TWindow {
 public:
  // Registers with the loop; the loop, the handler and the display must
  // outlive the window.
  TWindow(TEventLoop& loop, TDisplay& display, const WindowParams& params, WindowHandler* handler,
          std::unique_ptr<WindowPeer> peer = nullptr);
  ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  WindowId Id() const { return id_; }
  WindowId Owner() const { return owner_; }
  WindowHandler* Handler() const { return handler_; }
  TDisplay& Display() const { return display_; }

  // Client size in device pixels as last reported (or computed); 0 × 0 while
  // minimized.
  Size ClientSize() const { return geometry_.client; }
  Rect ClientRect() const { return Rect{0, 0, geometry_.client.width, geometry_.client.height}; }
  const WindowGeometry& Geometry() const { return geometry_; }
  // The backend reports where the window really stands. In the normal state
  // the outer rectangle also becomes the restored rectangle. A new client
  // size resizes the screen surface and invalidates it; a new client size or
  // show state sends kSize. The peer is not called.
  void ReportGeometry(const WindowGeometry& geometry);

  // Adds the rectangle (cut to the client area) to the update rectangle; the
  // erase request sticks until the next paint.
  void Invalidate(const Rect& rect, bool erase);
  void InvalidateAll(bool erase) { Invalidate(ClientRect(), erase); }
  // Removes the whole update rectangle.
  void Validate();
  // The rectangle that the next paint will draw; empty when none is due.
  Rect UpdateRect() const { return update_rect_; }
  bool UpdateNeedsErase() const { return update_erase_; }
  // Takes the update rectangle and the erase request away (the start of a paint).
  Rect BeginPaint(bool* erase);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool MenuShown() const { return menu_; }
  void ShowMenu(bool shown);
  bool HasFrame() const { return frame_; }
  // Caption, system menu and sizing frame on or off.
  void SetFrame(bool frame);
  bool Topmost() const { return topmost_; }
  void SetTopmost(bool topmost);

  // The restored rectangle and the show state. Setting it asks the peer to
  // move the window and invalidates the client area; the new client size
  // follows (see ReportGeometry).
  const WindowPlacement& Placement() const { return placement_; }
  void SetPlacement(const WindowPlacement& placement);
  // The window's outer rectangle as last reported (the screen when maximized).
  Rect WindowRect() const { return geometry_.outer; }

  const ::MouseCursor& MouseCursor() const { return cursor_; }
  void SetCursor(const ::MouseCursor& cursor);

  // Mouse capture: mouse input goes to this window until released. Taking it
  // from another window sends that one kCaptureChanged.
  void SetCapture();
  void ReleaseCapture();
  bool HasCapture() const;
  // The backend reports that the desktop took the capture away: the window
  // no longer holds it and gets kCaptureChanged.
  void CaptureLost();

  // A disabled window receives no input from the backend.
  bool IsEnabled() const { return enabled_; }
  void Enable(bool enabled);

  // The menu bar the window shows while MenuShown(). Changes reach the peer;
  // the item changes return false when there is no such item or nothing
  // changed.
  const TMenuBar& MenuBar() const { return menu_bar_; }
  void SetMenuBar(TMenuBar menu_bar);
  bool CheckMenuItem(std::uint32_t id, bool checked);
  bool EnableMenuItem(std::uint32_t id, bool enabled);
  bool SetMenuItemText(std::uint32_t id, std::string text);

  // Scroll bars; the position is kept within 0..range.
  const ScrollBarState& HorizontalScroll() const { return horizontal_scroll_; }
  const ScrollBarState& VerticalScroll() const { return vertical_scroll_; }
  void SetHorizontalScroll(int range, int position);
  void SetVerticalScroll(int range, int position);

  void Show(ShowState state);
  void Show() { Show(placement_.state); }
  void Hide();
  bool IsVisible() const { return visible_; }

  // The pixels the window shows. Palette displays store system indices.
  TSurface& ScreenSurface() { return *surface_; }
  const TSurface& ScreenSurface() const { return *surface_; }
  // A device context on the screen surface. Present() shows what was drawn.
  TDeviceContext ClientDC();
  void Present(const Rect& area);
  // Makes the screen surface anew at the display's depth (after the depth
  // changed), tells the peer and invalidates the whole client area with erase.
  void RecreateSurface();

 private:
  // Tells the peer and, when the peer does not report geometry, applies the
  // fixed-frame geometry at once.
  void GeometryRequested();
  void ApplyGeometry(const WindowGeometry& geometry);
  void Changed();

  TEventLoop& loop_;
  TDisplay& display_;
  WindowHandler* handler_;
  std::unique_ptr<WindowPeer> peer_;
  WindowId id_;
  WindowId owner_;
  std::string caption_;
  WindowPlacement placement_;
  bool frame_;
  bool menu_;
  bool topmost_;
  bool visible_;
  bool enabled_ = true;
  ScrollBarState horizontal_scroll_;
  ScrollBarState vertical_scroll_;
  ::MouseCursor cursor_;
  TMenuBar menu_bar_;
  Rect update_rect_;
  bool update_erase_ = false;
  WindowGeometry geometry_;
  std::unique_ptr<TSurface> surface_;
};
