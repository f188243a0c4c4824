#include "platform/event_loop.h"

#include <algorithm>

#include "platform/window.h"

namespace {
// Keeps the current-message stack right even when a handler returns early.
class CurrentMessageScope {
 public:
  CurrentMessageScope(std::vector<Message>& stack, const Message& message) : stack_(stack) {
    stack_.push_back(message);
  }
  ~CurrentMessageScope() { stack_.pop_back(); }
  CurrentMessageScope(const CurrentMessageScope&) = delete;
  CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;

 private:
  std::vector<Message>& stack_;
};
}  // namespace

WindowId TEventLoop::Register(TWindow* window) {
  windows_.push_back(window);
  return next_id_++;
}

void TEventLoop::Unregister(TWindow* window) {
  windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

TWindow* TEventLoop::Find(WindowId id) const {
  for (TWindow* window : windows_) {
    if (window->Id() == id) return window;
  }
  return nullptr;
}

void TEventLoop::Post(const Message& message) {
  queue_.push_back(message);
}

void TEventLoop::PostCommand(WindowId window, std::uint32_t command_id) {
  Post(Message::Command(window, command_id));
}

void TEventLoop::PostQuit(int exit_code) {
  Post(Message::Quit(exit_code));
}

bool TEventLoop::Send(const Message& message) {
  TWindow* window = Find(message.window);
  if (!window || !window->Handler()) return false;
  CurrentMessageScope scope(current_, message);
  window->Handler()->OnMessage(*window, message);
  return true;
}

void TEventLoop::SetIdleHandler(std::function<bool()> idle) {
  if (!idle) {
    idle_ = nullptr;
    return;
  }
  idle_ = [idle = std::move(idle)] { return idle() ? IdleResult::kWaiting : IdleResult::kDone; };
}

void TEventLoop::Collect(int timeout_ms) {
  if (source_) source_->CollectEvents(timeout_ms);
}

bool TEventLoop::HasWaitingMessage() {
  Collect(0);
  return !queue_.empty();
}

std::optional<Message> TEventLoop::PeekMessage() {
  Collect(0);
  if (queue_.empty()) return std::nullopt;
  return queue_.front();
}

bool TEventLoop::HasPendingPaint() const {
  return std::any_of(windows_.begin(), windows_.end(),
                     [](const TWindow* w) { return w->IsVisible() && !w->UpdateRect().IsEmpty(); });
}

int TEventLoop::RemoveInputMessages(WindowId window) {
  const auto before = queue_.size();
  std::erase_if(queue_, [window](const Message& m) {
    return m.window == window && (IsMouseMessage(m.id) || IsKeyboardMessage(m.id));
  });
  return static_cast<int>(before - queue_.size());
}

int TEventLoop::DiscardInput(WindowId window) {
  Collect(0);
  if (source_) source_->DiscardInput();
  return RemoveInputMessages(window);
}

void TEventLoop::Dispatch(const Message& message) {
  CurrentMessageScope scope(current_, message);
  if (filter_ && filter_(message)) return;
  const bool key_down = message.id == MessageId::kKeyDown || message.id == MessageId::kSysKeyDown;
  if (key_down && message.character != 0) {
    // The character comes next, ahead of anything queued after the key.
    Message character = message;
    character.id = message.id == MessageId::kKeyDown ? MessageId::kChar : MessageId::kSysChar;
    character.key = message.character;
    character.character = 0;
    queue_.push_front(character);
  }
  TWindow* window = Find(message.window);
  if (window && window->Handler()) window->Handler()->OnMessage(*window, message);
}

void TEventLoop::Paint(TWindow& window) {
  bool erase = false;
  const Rect rect = window.BeginPaint(&erase);
  Message paint;
  paint.id = MessageId::kPaint;
  paint.window = window.Id();
  CurrentMessageScope scope(current_, paint);
  if (window.Handler()) {
    TDeviceContext dc = window.ClientDC();
    window.Handler()->OnPaint(window, dc, rect, erase);
  }
  window.Present(rect);
}

bool TEventLoop::PaintOneWindow(std::vector<WindowId>* painted) {
  // Copy: a painter may create or destroy windows.
  const std::vector<TWindow*> windows = windows_;
  for (TWindow* window : windows) {
    if (!window->IsVisible() || window->UpdateRect().IsEmpty()) continue;
    if (painted && std::find(painted->begin(), painted->end(), window->Id()) != painted->end()) {
      continue;
    }
    if (painted) painted->push_back(window->Id());
    Paint(*window);
    return true;
  }
  return false;
}

bool TEventLoop::PaintNow(WindowId id) {
  if (InModalDialog()) return false;
  TWindow* window = Find(id);
  if (!window || !window->IsVisible() || window->UpdateRect().IsEmpty()) return false;
  Paint(*window);
  return true;
}

bool TEventLoop::DispatchNext() {
  if (InModalDialog()) return false;
  if (!queue_.empty()) {
    const Message message = queue_.front();
    queue_.pop_front();
    if (message.id == MessageId::kQuit) {
      quit_received_ = true;
      exit_code_ = static_cast<int>(message.param);
      return true;
    }
    Dispatch(message);
    return true;
  }
  return PaintOneWindow(nullptr);
}

IdleResult TEventLoop::RunIdleStep() {
  if (!idle_ || InModalDialog()) return IdleResult::kDone;
  return idle_();
}

int TEventLoop::RunUntilIdle(int max_steps) {
  int steps = 0;
  int timeout = 0;
  while (steps < max_steps && !quit_received_ && !InModalDialog()) {
    Collect(timeout);
    timeout = 0;
    ++steps;
    if (DispatchNext()) continue;
    const IdleResult idle = RunIdleStep();
    if (idle == IdleResult::kDone) break;
    if (idle == IdleResult::kWaiting) timeout = kIdleWaitMilliseconds;
  }
  return steps;
}

int TEventLoop::Run() {
  int timeout = 0;
  bool idle_done = false;
  while (!quit_received_) {
    Collect(timeout);
    timeout = 0;
    if (DispatchNext()) {
      idle_done = false;
      continue;
    }
    if (!idle_done) {
      const IdleResult idle = RunIdleStep();
      if (idle == IdleResult::kMoreWork) continue;
      if (idle == IdleResult::kWaiting) {
        timeout = kIdleWaitMilliseconds;
        continue;
      }
      idle_done = true;
    }
    // Idle runs again only after something arrived.
    if (!source_ || !source_->CollectEvents(kWaitForever)) {
      if (queue_.empty() && !HasPendingPaint()) return kExitNoMoreInput;
    }
  }
  return exit_code_;
}

const Message* TEventLoop::CurrentMessage() const {
  return current_.empty() ? nullptr : &current_.back();
}

void TEventLoop::PumpWaitingMessages() {
  if (InModalDialog()) return;
  std::vector<WindowId> painted;
  while (!IsCancelRequested()) {
    Collect(0);
    if (queue_.empty()) {
      if (!PaintOneWindow(&painted)) return;
      continue;
    }
    const Message message = queue_.front();
    queue_.pop_front();
    if (message.id == MessageId::kQuit) {
      // The quit must survive the operation so that the program still ends.
      queue_.push_back(message);
      RequestCancel();
      return;
    }
    Dispatch(message);
  }
}

void TEventLoop::RepostCurrentMessage() {
  const Message* message = CurrentMessage();
  if (!message || message->id == MessageId::kPaint) return;
  Post(*message);
}
