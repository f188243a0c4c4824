#include "platform/window.h"

#include <algorithm>

#include "platform/display.h"
#include "platform/event_loop.h"

namespace {
// The window that holds the mouse capture, process-wide as on the platform.
WindowId capture_window = kNoWindow;

std::unique_ptr<TSurface> MakeScreenSurface(const TDisplay& display, Size size) {
  return display.CreateCompatibleSurface(std::max(1, size.width), std::max(1, size.height));
}
}  // namespace

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
      visible_(params.visible) {
  last_client_size_ = ClientSize();
  surface_ = MakeScreenSurface(display_, last_client_size_);
  if (!surface_) surface_ = MakeScreenSurface(display_, Size{1, 1});
  if (visible_) InvalidateAll(true);
}

TWindow::~TWindow() {
  if (capture_window == id_) capture_window = kNoWindow;
  loop_.Unregister(this);
}

Rect TWindow::WindowRect() const {
  if (placement_.state == ShowState::kMaximized) {
    const Size screen = display_.ScreenSize();
    return Rect{0, 0, screen.width, screen.height};
  }
  return placement_.normal;
}

Size TWindow::ClientSize() const {
  if (placement_.state == ShowState::kMinimized) return Size{};
  const Rect outer = WindowRect().Normalized();
  int width = outer.Width();
  int height = outer.Height();
  if (frame_) {
    width -= 2 * kFrameBorder;
    height -= 2 * kFrameBorder + kCaptionHeight;
  }
  if (menu_) height -= kMenuHeight;
  return Size{std::max(0, width), std::max(0, height)};
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
  ApplyClientSize();
  Changed();
}

void TWindow::SetFrame(bool frame) {
  frame_ = frame;
  ApplyClientSize();
  Changed();
}

void TWindow::SetTopmost(bool topmost) {
  topmost_ = topmost;
  Changed();
}

void TWindow::SetPlacement(const WindowPlacement& placement) {
  placement_ = placement;
  placement_.normal = placement.normal.Normalized();
  ApplyClientSize();
  InvalidateAll(true);
  Changed();
}

void TWindow::ApplyClientSize() {
  const Size size = ClientSize();
  if (size == last_client_size_) return;
  last_client_size_ = size;
  if (size.width > 0 && size.height > 0) surface_->Resize(size.width, size.height);
  update_rect_ = Intersect(update_rect_, ClientRect());
  InvalidateAll(true);
  Message message;
  message.id = MessageId::kSize;
  message.window = id_;
  message.param = static_cast<std::uint32_t>(placement_.state);
  message.position = Point{size.width, size.height};
  loop_.Send(message);
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
  capture_window = id_;
}

void TWindow::ReleaseCapture() {
  if (capture_window == id_) capture_window = kNoWindow;
}

bool TWindow::HasCapture() const {
  return capture_window == id_;
}

void TWindow::Show(ShowState state) {
  const bool was_visible = visible_;
  visible_ = true;
  if (state != placement_.state) {
    placement_.state = state;
    ApplyClientSize();
  }
  if (!was_visible) InvalidateAll(true);
  Changed();
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
  const Size size = ClientSize();
  auto surface = MakeScreenSurface(display_, size);
  if (surface) surface_ = std::move(surface);
  InvalidateAll(true);
}
