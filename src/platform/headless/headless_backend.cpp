#include "platform/headless/headless_backend.h"

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
    : loop_(this), dialogs_(display_), options_(options) {
  display_.SetScreenSize(options.screen);
  if (!display_.SetDepth(options.depth)) display_.SetDepth(24);
  display_.SetPaletteNoticeSink(
      [this](MessageId id, WindowId realizing) { Broadcast(id, realizing); });
  if (options.virtual_clock) InstallTickSource(&clock_);
}

THeadlessBackend::~THeadlessBackend() {
  if (options_.virtual_clock) InstallTickSource(nullptr);
}

std::unique_ptr<TWindow> THeadlessBackend::CreateWindow(const WindowParams& params,
                                                        WindowHandler* handler) {
  return std::make_unique<TWindow>(loop_, display_, params, handler);
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
      ++screen_saver_starts_;
      break;
    default:
      break;
  }
}

bool THeadlessBackend::CollectEvents(bool wait) {
  if (options_.virtual_clock) clock_.Advance(options_.milliseconds_per_step);
  return !wait;
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
  loop_.Post(message);
  if (character != 0) {
    message.id = modifiers.alt ? MessageId::kSysChar : MessageId::kChar;
    message.key = character;
    loop_.Post(message);
  }
  message.id = modifiers.alt ? MessageId::kSysKeyUp : MessageId::kKeyUp;
  message.key = virtual_key;
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
