#include "platform/window.h"

#include <algorithm>

#include "platform/display.h"
#include "platform/event_loop.h"

namespace {
// The window that holds the mouse capture, process-wide as on the desktop.
WindowId capture_window = kNoWindow;

std::unique_ptr<TSurface> MakeScreenSurface(const TDisplay& display, Size size) {
  return display.CreateCompatibleSurface(std::max(1, size.width), std::max(1, size.height));
}

Message WindowMessage(MessageId id, WindowId window) {
  Message message;
  message.id = id;
  message.window = window;
  return message;
}
}  // namespace

WindowGeometry FixedFrameGeometry(const WindowPlacement& placement, bool frame, bool menu,
                                  Size screen) {
  WindowGeometry geometry;
  geometry.state = placement.state;
  geometry.outer = placement.state == ShowState::kMaximized
                       ? Rect{0, 0, screen.width, screen.height}
                       : placement.normal.Normalized();
  if (placement.state == ShowState::kMinimized) return geometry;
  int width = geometry.outer.Width();
  int height = geometry.outer.Height();
  if (frame) {
    width -= 2 * kFrameBorder;
    height -= 2 * kFrameBorder + kCaptionHeight;
  }
  if (menu) height -= kMenuHeight;
  geometry.client = Size{std::max(0, width), std::max(0, height)};
  return geometry;
}

TWindow::TWindow(TEventLoop& loop, TDisplay& display, const WindowParams& params,
                 WindowHandler* handler, std::unique_ptr<WindowPeer> peer)
    : loop_(loop),
      display_(display),
      handler_(handler),
      peer_(std::move(peer)),
      id_(loop.Register(this)),
      owner_(params.owner),
      caption_(params.caption),
      placement_(params.placement),
      frame_(params.frame),
      menu_(params.menu),
      topmost_(params.topmost),
      visible_(params.visible),
      menu_bar_(params.menu_bar) {
  placement_.normal = placement_.normal.Normalized();
  // A reporting peer corrects this first estimate when the window is shown.
  geometry_ = FixedFrameGeometry(placement_, frame_, menu_, display_.ScreenSize());
  surface_ = MakeScreenSurface(display_, geometry_.client);
  if (!surface_) surface_ = MakeScreenSurface(display_, Size{1, 1});
  if (visible_) InvalidateAll(true);
}

TWindow::~TWindow() {
  // The peer may show the surface's pixels: it goes first.
  peer_.reset();
  if (capture_window == id_) capture_window = kNoWindow;
  loop_.Unregister(this);
}

void TWindow::ReportGeometry(const WindowGeometry& geometry) {
  if (geometry.state == ShowState::kNormal) placement_.normal = geometry.outer.Normalized();
  placement_.state = geometry.state;
  ApplyGeometry(geometry);
}

void TWindow::ApplyGeometry(const WindowGeometry& geometry) {
  WindowGeometry applied = geometry;
  applied.outer = geometry.outer.Normalized();
  applied.client = Size{std::max(0, geometry.client.width), std::max(0, geometry.client.height)};
  const bool resized = applied.client != geometry_.client;
  const bool state_changed = applied.state != geometry_.state;
  geometry_ = applied;
  if (!resized && !state_changed) return;
  if (resized) {
    const Size size = applied.client;
    if (size.width > 0 && size.height > 0) surface_->Resize(size.width, size.height);
    update_rect_ = Intersect(update_rect_, ClientRect());
    InvalidateAll(true);
  }
  Message message = WindowMessage(MessageId::kSize, id_);
  message.param = static_cast<std::uint32_t>(applied.state);
  message.position = Point{applied.client.width, applied.client.height};
  loop_.Send(message);
}

void TWindow::GeometryRequested() {
  Changed();
  if (peer_ && peer_->ReportsGeometry()) return;
  ApplyGeometry(FixedFrameGeometry(placement_, frame_, menu_, display_.ScreenSize()));
}

void TWindow::Invalidate(const Rect& rect, bool erase) {
  const Rect cut = Intersect(rect.Normalized(), ClientRect());
  if (cut.IsEmpty()) return;
  update_rect_ = Union(update_rect_, cut);
  update_erase_ = update_erase_ || erase;
}

void TWindow::Validate() {
  update_rect_ = Rect{};
  update_erase_ = false;
}

Rect TWindow::BeginPaint(bool* erase) {
  const Rect rect = update_rect_;
  if (erase) *erase = update_erase_;
  Validate();
  return rect;
}

void TWindow::Changed() {
  if (peer_) peer_->StateChanged(*this);
}

void TWindow::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

void TWindow::ShowMenu(bool shown) {
  menu_ = shown;
  GeometryRequested();
}

void TWindow::SetFrame(bool frame) {
  frame_ = frame;
  GeometryRequested();
}

void TWindow::SetTopmost(bool topmost) {
  topmost_ = topmost;
  Changed();
}

void TWindow::SetPlacement(const WindowPlacement& placement) {
  placement_ = placement;
  placement_.normal = placement.normal.Normalized();
  GeometryRequested();
  InvalidateAll(true);
}

void TWindow::SetCursor(const ::MouseCursor& cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  Changed();
}

namespace {
ScrollBarState ClampedScroll(int range, int position) {
  range = std::max(0, range);
  return ScrollBarState{range, std::clamp(position, 0, range)};
}
}  // namespace

void TWindow::SetHorizontalScroll(int range, int position) {
  horizontal_scroll_ = ClampedScroll(range, position);
  Changed();
}

void TWindow::SetVerticalScroll(int range, int position) {
  vertical_scroll_ = ClampedScroll(range, position);
  Changed();
}

void TWindow::SetCapture() {
  if (capture_window == id_) return;
  if (TWindow* holder = loop_.Find(capture_window)) {
    capture_window = kNoWindow;
    if (holder->peer_) holder->peer_->CaptureChanged(*holder, false);
    loop_.Send(WindowMessage(MessageId::kCaptureChanged, holder->id_));
  }
  capture_window = id_;
  if (peer_) peer_->CaptureChanged(*this, true);
}

void TWindow::ReleaseCapture() {
  if (capture_window != id_) return;
  capture_window = kNoWindow;
  if (peer_) peer_->CaptureChanged(*this, false);
}

bool TWindow::HasCapture() const {
  return capture_window == id_;
}

void TWindow::CaptureLost() {
  if (capture_window != id_) return;
  capture_window = kNoWindow;
  loop_.Send(WindowMessage(MessageId::kCaptureChanged, id_));
}

void TWindow::Enable(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (peer_) peer_->EnableChanged(*this);
}

void TWindow::SetMenuBar(TMenuBar menu_bar) {
  menu_bar_ = std::move(menu_bar);
  if (peer_) peer_->MenuBarChanged(*this);
}

bool TWindow::CheckMenuItem(std::uint32_t id, bool checked) {
  if (!menu_bar_.Check(id, checked)) return false;
  if (peer_) peer_->MenuItemChanged(*this, id);
  return true;
}

bool TWindow::EnableMenuItem(std::uint32_t id, bool enabled) {
  if (!menu_bar_.Enable(id, enabled)) return false;
  if (peer_) peer_->MenuItemChanged(*this, id);
  return true;
}

bool TWindow::SetMenuItemText(std::uint32_t id, std::string text) {
  if (!menu_bar_.SetText(id, std::move(text))) return false;
  if (peer_) peer_->MenuItemChanged(*this, id);
  return true;
}

void TWindow::Show(ShowState state) {
  const bool was_visible = visible_;
  visible_ = true;
  if (state != placement_.state) {
    placement_.state = state;
    GeometryRequested();
  } else {
    Changed();
  }
  if (!was_visible) InvalidateAll(true);
}

void TWindow::Hide() {
  visible_ = false;
  Validate();
  Changed();
}

TDeviceContext TWindow::ClientDC() {
  return TDeviceContext(*surface_, &display_, id_);
}

void TWindow::Present(const Rect& area) {
  if (peer_ && visible_) peer_->Present(*this, Intersect(area, surface_->Bounds()));
}

void TWindow::RecreateSurface() {
  auto surface = MakeScreenSurface(display_, geometry_.client);
  if (surface) {
    surface_ = std::move(surface);
    if (peer_) peer_->SurfaceRecreated(*this);
  }
  InvalidateAll(true);
}
