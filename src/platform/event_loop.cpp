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

std::optional<Message> TEventLoop::PeekMessage() const {
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

void TEventLoop::Dispatch(const Message& message) {
  CurrentMessageScope scope(current_, message);
  if (filter_ && filter_(message)) return;
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
  TWindow* window = Find(id);
  if (!window || !window->IsVisible() || window->UpdateRect().IsEmpty()) return false;
  Paint(*window);
  return true;
}

bool TEventLoop::DispatchNext() {
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

bool TEventLoop::RunIdle() {
  return idle_ && idle_();
}

int TEventLoop::RunUntilIdle(int max_steps) {
  int steps = 0;
  while (steps < max_steps && !quit_received_) {
    if (source_) source_->CollectEvents(false);
    ++steps;
    if (DispatchNext()) continue;
    if (!RunIdle()) break;
  }
  return steps;
}

int TEventLoop::Run() {
  while (!quit_received_) {
    if (source_) source_->CollectEvents(false);
    if (DispatchNext()) continue;
    if (RunIdle()) continue;
    if (!source_ || !source_->CollectEvents(true)) {
      if (queue_.empty() && !HasPendingPaint()) return kExitNoMoreInput;
    }
  }
  return exit_code_;
}

const Message* TEventLoop::CurrentMessage() const {
  return current_.empty() ? nullptr : &current_.back();
}

void TEventLoop::PumpWaitingMessages() {
  std::vector<WindowId> painted;
  while (!IsCancelRequested()) {
    if (source_) source_->CollectEvents(false);
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
