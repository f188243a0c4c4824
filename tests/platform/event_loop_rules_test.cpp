// The loop's rules for toolkits with a loop of their own: bounded waits,
// polling peeks, discarding input, characters after key-downs, and nothing
// queued running during a dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/accelerator_table.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/headless/headless_backend.h"
#include "platform/virtual_keys.h"

namespace {
// A toolkit stand-in: hands over what it "read", records how the loop waited.
class ScriptedSource : public EventSource {
 public:
  TEventLoop* loop = nullptr;
  std::vector<Message> arrived;  // posted at the next collection
  std::vector<Message> held;     // read but on its way: discarded or posted later
  std::vector<int> timeouts;
  int discards = 0;
  bool CollectEvents(int timeout_ms) override {
    timeouts.push_back(timeout_ms);
    for (const Message& message : arrived) loop->Post(message);
    arrived.clear();
    if (timeout_ms != 0) {
      for (const Message& message : held) loop->Post(message);
      held.clear();
    }
    return timeout_ms != kWaitForever;
  }
  void DiscardInput() override {
    ++discards;
    held.clear();
  }
};

class Journal : public WindowHandler {
 public:
  std::vector<std::string> lines;
  void OnMessage(TWindow&, const Message& m) override {
    switch (m.id) {
      case MessageId::kKeyDown:
        lines.push_back("down " + std::to_string(m.key));
        break;
      case MessageId::kChar:
        lines.push_back("char " + std::string(1, static_cast<char>(m.key)));
        break;
      case MessageId::kSysChar:
        lines.push_back("syschar " + std::string(1, static_cast<char>(m.key)));
        break;
      case MessageId::kKeyUp:
        lines.push_back("up");
        break;
      case MessageId::kCommand:
        lines.push_back("command " + std::to_string(m.command));
        break;
      case MessageId::kKillFocus:
        lines.push_back("kill focus");
        break;
      case MessageId::kSetFocus:
        lines.push_back("set focus");
        break;
      default:
        break;
    }
  }
  void OnPaint(TWindow&, TDeviceContext&, const Rect&, bool) override {}
};

WindowParams Visible() {
  WindowParams params;
  params.visible = true;
  params.frame = false;
  params.menu = false;
  params.placement.normal = Rect{0, 0, 10, 10};
  return params;
}

Message Key(WindowId window, int key) {
  Message message;
  message.id = MessageId::kKeyDown;
  message.window = window;
  message.key = key;
  return message;
}
}  // namespace

TEST(EventLoopRules, WaitingIdleWaitsBoundedlyAndFinishedIdleWaitsForInput) {
  TDisplay display;
  ScriptedSource source;
  TEventLoop loop(&source);
  source.loop = &loop;
  Journal journal;
  TWindow window(loop, display, Visible(), &journal);
  window.Validate();
  int calls = 0;
  loop.SetIdleHandler([&] {
    ++calls;
    if (calls == 1) return IdleResult::kMoreWork;
    if (calls <= 3) return IdleResult::kWaiting;
    return IdleResult::kDone;
  });
  EXPECT_EQ(loop.Run(), kExitNoMoreInput);
  EXPECT_EQ(calls, 4);
  // First look; after more work no wait; two bounded waits; then the
  // unlimited wait that finds the source dry.
  EXPECT_EQ(source.timeouts,
            (std::vector<int>{0, 0, kIdleWaitMilliseconds, kIdleWaitMilliseconds, kWaitForever}));
}

TEST(EventLoopRules, PlainIdleAskingAgainCountsAsWaiting) {
  ScriptedSource source;
  TEventLoop loop(&source);
  source.loop = &loop;
  int remaining = 2;
  loop.SetIdleHandler([&] { return --remaining > 0; });
  loop.RunUntilIdle();
  EXPECT_EQ(source.timeouts, (std::vector<int>{0, kIdleWaitMilliseconds}));
  loop.SetIdleHandler(nullptr);
  EXPECT_FALSE(loop.RunIdle());
}

TEST(EventLoopRules, PeeksCollectAndDiscardReachesInputTheToolkitStillHolds) {
  TDisplay display;
  ScriptedSource source;
  TEventLoop loop(&source);
  source.loop = &loop;
  Journal journal;
  TWindow window(loop, display, Visible(), &journal);
  source.arrived.push_back(Key(window.Id(), 'A'));
  EXPECT_TRUE(loop.HasWaitingMessage());
  source.arrived.push_back(Key(window.Id(), 'B'));
  source.held.push_back(Key(window.Id(), 'C'));
  loop.PostCommand(window.Id(), 5);
  EXPECT_EQ(loop.DiscardInput(window.Id()), 2);
  EXPECT_EQ(source.discards, 1);
  loop.RunUntilIdle();
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"command 5"}));
}

TEST(EventLoopRules, AKeyDownMakesItsCharacterOnlyWhenTheFilterLetsItThrough) {
  THeadlessBackend backend(HeadlessOptions{});
  Journal journal;
  auto window = backend.CreateWindow(Visible(), &journal);
  TAcceleratorTable accelerators({{Accelerator::Kind::kVirtualKey, kVkAdd, {}, 307},
                                  {Accelerator::Kind::kCharacter, '+', {false, true, false}, 403},
                                  {Accelerator::Kind::kCharacter, '*', {false, false, true}, 503}});
  TEventLoop& loop = backend.EventLoop();
  loop.SetPreDispatchFilter([&](const Message& m) {
    const std::uint32_t command = accelerators.Translate(m);
    if (command) loop.Send(Message::Command(m.window, command));
    return command != 0;
  });
  const WindowId id = window->Id();
  backend.PressKey(id, kVkAdd, {}, '+');  // keypad +: the key's accelerator, no character
  backend.PressKey(id, '=', {true, true, false}, '+');  // Ctrl+'+': the character's accelerator
  backend.PressKey(id, '8', {true, false, true}, '*');  // Alt+'*': a system character
  backend.PressKey(id, 'E', {}, 0xEA);                  // a composed character rides on its key
  loop.RunUntilIdle();
  EXPECT_EQ(journal.lines,
            (std::vector<std::string>{"command 307", "up", "down 61", "command 403", "up",
                                      "command 503", "down 69", "char \xEA", "up"}));
}

TEST(EventLoopRules, NothingQueuedRunsWhileADialogIsUpAndFocusMovesAroundIt) {
  HeadlessOptions options;
  options.focus_around_dialogs = true;
  THeadlessBackend backend(options);
  Journal journal;
  auto window = backend.CreateWindow(Visible(), &journal);
  backend.Activate(window->Id());
  TEventLoop& loop = backend.EventLoop();
  loop.PostCommand(window->Id(), 1);
  window->Invalidate(window->ClientRect(), false);
  int steps_during_dialog = -1;
  bool paint_during_dialog = true;
  // A toolkit's nested loop tries to run ours while the dialog waits.
  backend.ScriptedDialogs().SetWhileShown([&] {
    steps_during_dialog = loop.RunUntilIdle();
    paint_during_dialog = loop.PaintNow(window->Id());
    loop.PumpWaitingMessages();
  });
  journal.lines.clear();
  MessageBox(backend.Dialogs(), window->Id(), "text", "caption");
  EXPECT_EQ(steps_during_dialog, 0);
  EXPECT_FALSE(paint_during_dialog);
  EXPECT_FALSE(loop.InModalDialog());
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"kill focus", "set focus"}));
  loop.RunUntilIdle();
  EXPECT_EQ(journal.lines.back(), "command 1");
}
