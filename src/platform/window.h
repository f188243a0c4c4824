// Windows of the program: the main frame and the text windows it owns. A
// window keeps its state here, backend-neutral: client size, the update
// rectangle that paint will clear, caption, menu, topmost, placement, cursor
// and its screen surface. A backend shows that state through a WindowPeer;
// the program reacts to messages and paints through a WindowHandler.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/cursor.h"
#include "platform/device_context.h"
#include "platform/geometry.h"
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

// Frame sizes around the client area of a window with caption and frame, and
// of its menu bar.
inline constexpr int kFrameBorder = 4;
inline constexpr int kCaptionHeight = 18;
inline constexpr int kMenuHeight = 19;

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

// What the backend does to show a window. The headless backend shows nothing.
class WindowPeer {
 public:
  virtual ~WindowPeer() = default;
  // Caption, menu, topmost, placement, visibility, scroll bars or cursor changed.
  virtual void StateChanged(TWindow& window) = 0;
  // Pixels of the screen surface inside `area` changed and should be shown now.
  virtual void Present(TWindow& window, const Rect& area) = 0;
};

struct WindowParams {
  std::string caption;
  WindowPlacement placement{Rect{0, 0, 640, 480}, ShowState::kNormal};
  WindowId owner = kNoWindow;  // owned windows: the text windows
  bool frame = true;           // caption, system menu and sizing frame
  bool menu = true;
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

  // Client size: the normal or maximized frame less caption, frame and menu;
  // 0 × 0 while minimized.
  Size ClientSize() const;
  Rect ClientRect() const { return Rect{0, 0, ClientSize().width, ClientSize().height}; }

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

  // The restored rectangle and the show state; setting it resizes the client
  // area (sending kSize when the client size changed) and invalidates it.
  const WindowPlacement& Placement() const { return placement_; }
  void SetPlacement(const WindowPlacement& placement);
  // The window's outer rectangle now (the screen when maximized).
  Rect WindowRect() const;

  const ::MouseCursor& MouseCursor() const { return cursor_; }
  void SetCursor(const ::MouseCursor& cursor);

  // Mouse capture: mouse input goes to this window until released.
  void SetCapture();
  void ReleaseCapture();
  bool HasCapture() const;

  // A disabled window receives no input from the backend.
  bool IsEnabled() const { return enabled_; }
  void Enable(bool enabled) { enabled_ = enabled; }

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
  // changed) and invalidates the whole client area with erase.
  void RecreateSurface();

 private:
  void ApplyClientSize();
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
  Rect update_rect_;
  bool update_erase_ = false;
  Size last_client_size_;
  std::unique_ptr<TSurface> surface_;
};
