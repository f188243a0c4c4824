// The one message loop of the program. Posted messages (commands, input, quit)
// wait in a queue and are dispatched in order, each first offered to the
// pre-dispatch filter that the main window installs. Paint is delivered only
// when no message waits, window by window, for the window's update rectangle.
// When there is neither, the idle handler runs; it may ask to be called again.
//
// The loop also serves the long-operation service as its pump (the program
// installs it with InstallLongOperationPump), so that work polled from inside
// a command keeps input, commands and painting alive.
//
// Rules for a backend whose toolkit owns a loop of its own:
// - TEventLoop stays the one loop. The toolkit is only an EventSource: the
//   loop asks it to collect what arrived (the toolkit's pending/dispatch
//   steps), and its handlers Post input here; they never dispatch, paint or
//   run idle themselves.
// - The loop never spins a core. When the idle handler asks again because it
//   only waits for time to pass (IdleResult::kWaiting, or `true` from a plain
//   handler), the loop waits for input at most kIdleWaitMilliseconds before
//   calling it again; when idle has nothing more to do, the loop waits for
//   input without a limit. Only IdleResult::kMoreWork calls idle again at
//   once.
// - Every look at the queue (HasWaitingMessage, PeekMessage, the pump of a
//   long operation) first collects what the source has, so input typed during
//   a long operation is seen.
// - DiscardInput throws away input both queued here and still held by the
//   toolkit.
// - A key-down that the pre-dispatch filter lets through makes its character
//   message, which is dispatched next (see message.h); a consumed one makes
//   none.
// - Nothing queued runs during a dialog call: the dialog service holds a
//   ModalScope while the dialog is up, and meanwhile dispatch, paint, idle
//   and the pump do nothing. Sent messages (focus, palette notices) still
//   arrive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/long_operation.h"
#include "platform/message.h"

class TWindow;

inline constexpr int kWaitForever = -1;
// How long the loop waits for input between calls of an idle handler that
// only waits for time to pass.
inline constexpr int kIdleWaitMilliseconds = 2;

// Where a backend's input comes from.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Moves native input that has arrived into the loop's queue
  // (TEventLoop::Post). When none has, waits for some at most `timeout_ms`
  // milliseconds (0: not at all, kWaitForever: without a limit). Returns
  // false when nothing can ever arrive any more (a headless run with no input
  // left).
  virtual bool CollectEvents(int timeout_ms) = 0;
  // Throws away keyboard and mouse input the source holds but has not posted
  // yet, including input read before this call that is still on its way.
  virtual void DiscardInput() {}
};

inline constexpr int kExitNoMoreInput = -1;

// What an idle handler wants next.
enum class IdleResult {
  kDone,      // nothing more until a message arrives
  kMoreWork,  // call again as soon as no message waits
  kWaiting,   // waiting for time to pass: call again after a bounded wait for input
};

class TEventLoop : public LongOperationPump {
 public:
  // Returns true when it consumed the message (it is then not dispatched).
  using PreDispatchFilter = std::function<bool(const Message&)>;
  using IdleHandler = std::function<IdleResult()>;

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
  // A handler that returns true to be called again; true counts as
  // IdleResult::kWaiting, so such a handler never spins a core.
  void SetIdleHandler(std::function<bool()> idle);
  void SetIdleHandler(std::nullptr_t) { idle_ = nullptr; }

  // Whether a queued message waits (paint does not count), and the first one.
  // Both collect from the source first.
  bool HasWaitingMessage();
  std::optional<Message> PeekMessage();
  // Whether some window has an update rectangle.
  bool HasPendingPaint() const;
  // Removes the waiting mouse messages and keyboard messages of the window;
  // returns how many were removed.
  int RemoveInputMessages(WindowId window);
  // Collects from the source, has it throw away the input it still holds,
  // then removes the waiting input of the window as RemoveInputMessages does.
  int DiscardInput(WindowId window);

  // While a dialog is up (see ModalScope); nests.
  bool InModalDialog() const { return modal_depth_ > 0; }
  void BeginModal() { ++modal_depth_; }
  void EndModal() {
    if (modal_depth_ > 0) --modal_depth_;
  }

  // Dispatches the first queued message or, when none waits, one paint.
  // False when there was nothing to do.
  bool DispatchNext();
  // Paints the window now when it has an update rectangle, whatever waits in
  // the queue (a synchronous repaint); false when nothing was due.
  bool PaintNow(WindowId window);
  // Calls the idle handler once; returns whether it wants to be called again.
  bool RunIdle() { return RunIdleStep() != IdleResult::kDone; }
  IdleResult RunIdleStep();
  // Dispatches until no message waits, nothing needs paint and idle wants no
  // more, or a quit arrives; gives up after `max_steps` steps. Returns the
  // number of steps taken. Collects from the source once a step; waits for
  // input only as long as a waiting idle handler asks.
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

  void Collect(int timeout_ms);

  EventSource* source_;
  std::deque<Message> queue_;
  std::vector<TWindow*> windows_;
  WindowId next_id_ = 1;
  PreDispatchFilter filter_;
  IdleHandler idle_;
  std::vector<Message> current_;
  bool quit_received_ = false;
  int exit_code_ = 0;
  int modal_depth_ = 0;
};

// Held by a dialog service while a dialog is up: nothing queued runs.
class ModalScope {
 public:
  explicit ModalScope(TEventLoop* loop) : loop_(loop) {
    if (loop_) loop_->BeginModal();
  }
  ~ModalScope() {
    if (loop_) loop_->EndModal();
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  TEventLoop* loop_;
};
