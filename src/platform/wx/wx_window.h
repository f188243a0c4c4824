// A window of the program on the desktop: a frame whose only child, the
// canvas, shows the window's screen surface and takes its mouse input. The
// peer applies the window's state to the frame; what the user does comes back
// through the host (the backend), which posts it to the program's loop.
#pragma once

#include <wx/frame.h>

#include <functional>
#include <memory>

#include "platform/event_loop.h"
#include "platform/window.h"
#include "platform/wx/screen_image.h"
#include "platform/wx/wx_menu.h"

// What a desktop window needs from its backend.
class WxWindowHost {
 public:
  virtual ~WxWindowHost() = default;
  // Input for the window, posted when the backend next collects; input for a
  // disabled window is dropped.
  virtual void QueueInput(const Message& message) = 0;
  // The frame moved, was sized, minimized or restored: report it when collecting.
  virtual void GeometryDue(WindowId window) = 0;
  virtual void FocusChanged(WindowId window, bool active) = 0;
  // Runs the action when the backend next collects, outside toolkit handlers.
  virtual void Later(std::function<void()> action) = 0;
  // The program's loop, for messages that must arrive at once (a menu about
  // to open runs the program's enablers first).
  virtual TEventLoop& Loop() = 0;
  // Device pixels per toolkit unit (2 on a desktop scaled to 200 %).
  virtual int Scale() const = 0;
  // The frame that shows a window, or null.
  virtual wxFrame* FrameOf(WindowId window) const = 0;
};

class TWxCanvas;

class TWxWindowPeer : public WindowPeer {
 public:
  explicit TWxWindowPeer(WxWindowHost& host);
  ~TWxWindowPeer() override;

  // Called once the window exists: shows its initial state.
  void Attach(TWindow& window);

  void StateChanged(TWindow& window) override;
  void Present(TWindow& window, const Rect& area) override;
  bool ReportsGeometry() const override { return true; }
  void CaptureChanged(TWindow& window, bool captured) override;
  void EnableChanged(TWindow& window) override;
  void SurfaceRecreated(TWindow& window) override;
  void MenuBarChanged(TWindow& window) override;
  void MenuItemChanged(TWindow& window, std::uint32_t id) override;

  // Where the frame stands, in device pixels. While full screen the restored
  // rectangle is reported as the outer one, so that it is remembered.
  WindowGeometry CurrentGeometry() const;
  wxFrame* Frame() const { return frame_; }
  TWxCanvas* Canvas() const { return canvas_; }
  TWindow* Window() const { return window_; }
  WxWindowHost& Host() const { return host_; }
  // Every pixel of the screen must be looked up again (the system palette changed).
  void RefreshAll();
  // Paints the surface's part inside the toolkit's update region.
  void PaintSurface(void* cairo_context, const Rect& device_area);
  // A mnemonic of the shown menu bar ("&File" has 'F'), ignoring case.
  bool IsMenuMnemonic(int character) const;

 private:
  void OnMenuOpen(wxMenuEvent& event);
  void OnMenu(wxCommandEvent& event);
  void OnClose(wxCloseEvent& event);
  void ApplyPlacement(const WindowPlacement& placement);
  void ApplyScrollBars();
  void ApplyVisibility();
  void ShowMenuBar();

  WxWindowHost& host_;
  TWindow* window_ = nullptr;
  wxFrame* frame_ = nullptr;
  TWxCanvas* canvas_ = nullptr;
  TWxMenuBar menus_;
  TScreenImage image_;
  // What was last applied to the frame, so that unrelated changes do not
  // move it again.
  WindowPlacement applied_placement_;
  bool full_screen_ = false;
  // The frame lives inside the window a saver run named.
  bool embedding_ = false;
  bool topmost_ = false;
  ScrollBarState horizontal_;
  ScrollBarState vertical_;
};
