// The one message loop of the program. Posted messages (commands, input, quit)
// wait in a queue and are dispatched in order, each first offered to the
// pre-dispatch filter that the main window installs. Paint is delivered only
// when no message waits, window by window, for the window's update rectangle.
// When there is neither, the idle handler runs; it may ask to be called again.
//
// The loop also serves the long-operation service as its pump (the program
// installs it with InstallLongOperationPump), so that work polled from inside
// a command keeps input, commands and painting alive.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/long_operation.h"
#include "platform/message.h"

class TWindow;

// Where a backend's input comes from.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Moves native input into the loop's queue (TEventLoop::Post). With `wait`
  // it blocks until something arrives. Returns false when nothing can ever
  // arrive any more (a headless run with no script left).
  virtual bool CollectEvents(bool wait) = 0;
};

inline constexpr int kExitNoMoreInput = -1;

class TEventLoop : public LongOperationPump {
 public:
  // Returns true when it consumed the message (it is then not dispatched).
  using PreDispatchFilter = std::function<bool(const Message&)>;
  // Returns true to be called again while no message waits.
  using IdleHandler = std::function<bool()>;

  explicit TEventLoop(EventSource* source = nullptr) : source_(source) {}
  void SetEventSource(EventSource* source) { source_ = source; }

  // Windows register themselves when made; messages for an unknown window are dropped.
  WindowId Register(TWindow* window);
  void Unregister(TWindow* window);
  TWindow* Find(WindowId id) const;
  // Every registered window, oldest first.
  const std::vector<TWindow*>& Windows() const { return windows_; }

  // Appends to the queue.
  void Post(const Message& message);
  void PostCommand(WindowId window, std::uint32_t command_id);
  void PostQuit(int exit_code);
  // Hands the message to its window's handler now, bypassing queue and filter.
  // False when the window does not exist.
  bool Send(const Message& message);

  void SetPreDispatchFilter(PreDispatchFilter filter) { filter_ = std::move(filter); }
  void SetIdleHandler(IdleHandler idle) { idle_ = std::move(idle); }

  // Whether a queued message waits (paint does not count), and the first one.
  bool HasWaitingMessage() const { return !queue_.empty(); }
  std::optional<Message> PeekMessage() const;
  // Whether some window has an update rectangle.
  bool HasPendingPaint() const;
  // Removes the waiting mouse messages and keyboard messages of the window;
  // returns how many were removed.
  int RemoveInputMessages(WindowId window);

  // Dispatches the first queued message or, when none waits, one paint.
  // False when there was nothing to do.
  bool DispatchNext();
  // Paints the window now when it has an update rectangle, whatever waits in
  // the queue (a synchronous repaint); false when nothing was due.
  bool PaintNow(WindowId window);
  // Calls the idle handler once; returns whether it wants to be called again.
  bool RunIdle();
  // Dispatches until no message waits, nothing needs paint and idle wants no
  // more, or a quit arrives; gives up after `max_steps` steps. Returns the
  // number of steps taken. Never waits for input.
  int RunUntilIdle(int max_steps = 1'000'000);
  // Runs until quit and returns its exit code; kExitNoMoreInput when the event
  // source can deliver nothing more.
  int Run();
  bool QuitReceived() const { return quit_received_; }
  int ExitCode() const { return exit_code_; }

  // The message being handled (innermost), or null.
  const Message* CurrentMessage() const;

  // LongOperationPump: dispatches waiting messages until none waits or a
  // cancel is requested. A quit is posted again, requests the cancel and ends
  // the pump. Each window is painted at most once per pump, so a painter that
  // leaves part of its rectangle invalid continues at the next poll.
  void PumpWaitingMessages() override;
  void RepostCurrentMessage() override;

 private:
  void Dispatch(const Message& message);
  bool PaintOneWindow(std::vector<WindowId>* painted);
  void Paint(TWindow& window);

  EventSource* source_;
  std::deque<Message> queue_;
  std::vector<TWindow*> windows_;
  WindowId next_id_ = 1;
  PreDispatchFilter filter_;
  IdleHandler idle_;
  std::vector<Message> current_;
  bool quit_received_ = false;
  int exit_code_ = 0;
};
