#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
MessageId ButtonMessage(MouseButton button, int which) {
  // which: 0 down, 1 up, 2 double click; the three buttons are laid out alike.
  const int first = button == MouseButton::kLeft    ? static_cast<int>(MessageId::kLButtonDown)
                    : button == MouseButton::kRight ? static_cast<int>(MessageId::kRButtonDown)
                                                    : static_cast<int>(MessageId::kMButtonDown);
  return static_cast<MessageId>(first + which);
}
}  // namespace

THeadlessBackend::THeadlessBackend(const HeadlessOptions& options)
    : loop_(this), dialogs_(display_), options_(options), screen_save_query_(loop_, *this) {
  display_.SetScreenSize(options.screen);
  if (!display_.SetDepth(options.depth)) display_.SetDepth(24);
  display_.SetPaletteNoticeSink(
      [this](MessageId id, WindowId realizing) { Broadcast(id, realizing); });
  dialogs_.SetModalHooks([this](WindowId) { DialogOpening(); },
                         [this](WindowId) { DialogClosed(); });
  if (options.virtual_clock) InstallTickSource(&clock_);
}

THeadlessBackend::~THeadlessBackend() {
  if (options_.virtual_clock) InstallTickSource(nullptr);
}

std::unique_ptr<TWindow> THeadlessBackend::CreateWindow(const WindowParams& params,
                                                        WindowHandler* handler) {
  auto record = std::make_unique<HeadlessPeerRecord>();
  std::function<void(TWindow&)> geometry_requested;
  if (options_.report_geometry_later) {
    geometry_requested = [this](TWindow& window) {
      if (std::find(geometry_due_.begin(), geometry_due_.end(), window.Id()) ==
          geometry_due_.end()) {
        geometry_due_.push_back(window.Id());
      }
    };
  }
  auto peer = std::make_unique<THeadlessWindowPeer>(*record, std::move(geometry_requested));
  auto window = std::make_unique<TWindow>(loop_, display_, params, handler, std::move(peer));
  peer_records_[window->Id()] = std::move(record);
  return window;
}

const HeadlessPeerRecord* THeadlessBackend::PeerRecord(WindowId window) const {
  const auto found = peer_records_.find(window);
  return found == peer_records_.end() ? nullptr : found->second.get();
}

bool THeadlessBackend::DeliverGeometry() {
  const std::vector<WindowId> due = std::move(geometry_due_);
  geometry_due_.clear();
  bool delivered = false;
  for (const WindowId id : due) {
    TWindow* window = loop_.Find(id);
    if (!window) continue;
    window->ReportGeometry(FixedFrameGeometry(window->Placement(), window->HasFrame(),
                                              window->MenuShown(), display_.ScreenSize()));
    delivered = true;
  }
  return delivered;
}

void THeadlessBackend::UserPlaceWindow(WindowId id, const Rect& outer) {
  TWindow* window = loop_.Find(id);
  if (!window) return;
  const WindowPlacement placement{outer.Normalized(), ShowState::kNormal};
  window->ReportGeometry(FixedFrameGeometry(placement, window->HasFrame(), window->MenuShown(),
                                            display_.ScreenSize()));
}

void THeadlessBackend::UserShowWindow(WindowId id, ShowState state) {
  TWindow* window = loop_.Find(id);
  if (!window) return;
  const WindowPlacement placement{window->Placement().normal, state};
  window->ReportGeometry(FixedFrameGeometry(placement, window->HasFrame(), window->MenuShown(),
                                            display_.ScreenSize()));
}

void THeadlessBackend::TakeCaptureAway() {
  // Copy: a handler may open or close windows.
  const std::vector<TWindow*> windows = loop_.Windows();
  for (TWindow* window : windows) {
    if (window->HasCapture()) window->CaptureLost();
  }
}

bool THeadlessBackend::OpenMenu(WindowId id, std::uint32_t menu_id) {
  TWindow* window = loop_.Find(id);
  if (!window || !window->MenuShown()) return false;
  const MenuItem* menu = window->MenuBar().Find(menu_id);
  if (!menu || menu->kind != MenuItem::Kind::kSubmenu) return false;
  Message message;
  message.id = MessageId::kInitMenuPopup;
  message.window = id;
  message.command = menu_id;
  loop_.Send(message);
  return true;
}

bool THeadlessBackend::ChooseMenuItem(WindowId id, std::uint32_t item_id) {
  TWindow* window = loop_.Find(id);
  if (!window || !window->MenuShown() || !AcceptsInput(id)) return false;
  // Ids, not pointers: an enabler may rebuild the menu bar.
  std::vector<std::uint32_t> menus;
  for (const MenuItem* menu : window->MenuBar().PathTo(item_id)) menus.push_back(menu->id);
  if (menus.empty()) return false;
  for (const std::uint32_t menu : menus) {
    if (!OpenMenu(id, menu)) return false;
    window = loop_.Find(id);
    if (!window) return false;
  }
  const MenuItem* item = window->MenuBar().Find(item_id);
  if (!item || item->kind != MenuItem::Kind::kCommand || !item->enabled) return false;
  loop_.PostCommand(id, item_id);
  return true;
}

void THeadlessBackend::DialogOpening() {
  loop_.BeginModal();
  if (!options_.focus_around_dialogs) return;
  focus_before_dialog_ = focus_;
  if (focus_ == kNoWindow) return;
  Message message;
  message.id = MessageId::kKillFocus;
  message.window = focus_;
  focus_ = kNoWindow;
  loop_.Send(message);
}

void THeadlessBackend::DialogClosed() {
  loop_.EndModal();
  if (!options_.focus_around_dialogs) return;
  const WindowId previous = focus_before_dialog_;
  focus_before_dialog_ = kNoWindow;
  if (previous != kNoWindow && loop_.Find(previous)) Activate(previous);
}

void THeadlessBackend::SetScreenSaverInhibited(bool inhibited) {
  ++screen_save_queries_;
  screen_saver_inhibited_ = inhibited;
}

bool THeadlessBackend::SetDisplayDepth(int bits) {
  if (!display_.SetDepth(bits)) return false;
  for (TWindow* window : loop_.Windows()) window->RecreateSurface();
  return true;
}

void THeadlessBackend::RefreshCursor() {
  if (!loop_.Find(pointer_window_)) return;
  Message message;
  message.id = MessageId::kSetCursor;
  message.window = pointer_window_;
  message.position = pointer_;
  message.hit_test = HitTest::kClient;
  loop_.Send(message);
}

void THeadlessBackend::DefaultSystemCommand(TWindow& window, std::uint32_t code) {
  switch (code & kScCodeMask) {
    case kScClose: {
      Message close;
      close.id = MessageId::kClose;
      close.window = window.Id();
      loop_.Send(close);
      break;
    }
    case kScScreenSave:
      // Passed on while the backend asks: the desktop may start its saver
      // when its own idle time runs out. Otherwise start it now.
      if (screen_save_query_.Asking()) {
        screen_save_query_.PassedOn();
      } else {
        ++screen_saver_starts_;
      }
      break;
    default:
      break;
  }
}

bool THeadlessBackend::CollectEvents(int timeout_ms) {
  const bool delivered = DeliverGeometry();
  if (options_.ask_screen_save) screen_save_query_.Poll(GetTickCount());
  if (options_.virtual_clock) {
    clock_.Advance(options_.milliseconds_per_step);
  } else if (timeout_ms > 0 && !delivered) {
    std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms));
  }
  // Without a limit there is nothing to wait for: no input comes by itself.
  return timeout_ms != kWaitForever || delivered;
}

void THeadlessBackend::Broadcast(MessageId id, WindowId realizing_window) {
  Message message;
  message.id = id;
  message.param = realizing_window;
  // Copy: a handler may open or close windows.
  const std::vector<TWindow*> windows = loop_.Windows();
  for (TWindow* window : windows) {
    if (window->Owner() != kNoWindow) continue;  // top-level windows only
    message.window = window->Id();
    loop_.Send(message);
  }
}

void THeadlessBackend::Scroll(WindowId window, bool vertical, ScrollAction action, int position) {
  Message message;
  message.id = vertical ? MessageId::kVScroll : MessageId::kHScroll;
  message.window = window;
  message.command = static_cast<std::uint32_t>(action);
  message.param = static_cast<std::uint32_t>(position);
  loop_.Post(message);
}

bool THeadlessBackend::AcceptsInput(WindowId window) const {
  const TWindow* target = loop_.Find(window);
  return target && target->IsEnabled();
}

void THeadlessBackend::PressKey(WindowId window, int virtual_key, Modifiers modifiers,
                                int character) {
  if (!AcceptsInput(window)) return;
  Message message;
  message.window = window;
  message.modifiers = modifiers;
  message.key = virtual_key;
  message.id = modifiers.alt ? MessageId::kSysKeyDown : MessageId::kKeyDown;
  message.character = character;
  loop_.Post(message);
  message.id = modifiers.alt ? MessageId::kSysKeyUp : MessageId::kKeyUp;
  message.character = 0;
  loop_.Post(message);
}

void THeadlessBackend::TypeCharacter(WindowId window, int character, Modifiers modifiers) {
  if (!AcceptsInput(window)) return;
  Message message;
  message.id = modifiers.alt ? MessageId::kSysChar : MessageId::kChar;
  message.window = window;
  message.key = character;
  message.modifiers = modifiers;
  loop_.Post(message);
}

void THeadlessBackend::PostMouse(WindowId window, MessageId id, Point position,
                                 Modifiers modifiers) {
  for (TWindow* candidate : loop_.Windows()) {
    if (candidate->HasCapture()) window = candidate->Id();
  }
  pointer_window_ = window;
  if (!AcceptsInput(window)) return;
  pointer_ = position;
  Message message;
  message.id = id;
  message.window = window;
  message.position = position;
  message.modifiers = modifiers;
  loop_.Post(message);
}

void THeadlessBackend::MoveMouse(WindowId window, Point position, Modifiers modifiers) {
  PostMouse(window, MessageId::kMouseMove, position, modifiers);
}

void THeadlessBackend::PressButton(WindowId window, MouseButton button, Point position,
                                   Modifiers modifiers) {
  PostMouse(window, ButtonMessage(button, 0), position, modifiers);
}

void THeadlessBackend::ReleaseButton(WindowId window, MouseButton button, Point position,
                                     Modifiers modifiers) {
  PostMouse(window, ButtonMessage(button, 1), position, modifiers);
}

void THeadlessBackend::DoubleClick(WindowId window, MouseButton button, Point position,
                                   Modifiers modifiers) {
  // As the platform reports it: down, up, double click, up.
  PressButton(window, button, position, modifiers);
  ReleaseButton(window, button, position, modifiers);
  PostMouse(window, ButtonMessage(button, 2), position, modifiers);
  ReleaseButton(window, button, position, modifiers);
}

void THeadlessBackend::NonClientMouse(WindowId window, MessageId id, Point screen_position) {
  Message message;
  message.id = id;
  message.window = window;
  message.position = screen_position;
  loop_.Post(message);
}

void THeadlessBackend::DropFiles(WindowId window, std::vector<std::string> paths) {
  Message message;
  message.id = MessageId::kDropFiles;
  message.window = window;
  message.files = std::make_shared<const std::vector<std::string>>(std::move(paths));
  loop_.Post(message);
}

void THeadlessBackend::PostSystemCommand(WindowId window, std::uint32_t code) {
  loop_.Post(Message::SysCommand(window, code));
}

void THeadlessBackend::Activate(WindowId window) {
  if (focus_ == window) return;
  Message message;
  if (focus_ != kNoWindow) {
    message.id = MessageId::kKillFocus;
    message.window = focus_;
    loop_.Send(message);
  }
  focus_ = window;
  message.id = MessageId::kQueryNewPalette;
  message.window = window;
  loop_.Send(message);
  message.id = MessageId::kSetFocus;
  loop_.Send(message);
}

int THeadlessBackend::RealizeForeignPalette(std::span<const PaletteColour> colours) {
  TPalette palette(colours);
  return display_.RealizePalette(palette, kNoWindow);
}
