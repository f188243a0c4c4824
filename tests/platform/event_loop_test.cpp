#include "platform/event_loop.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/accelerator_table.h"
#include "platform/headless/headless_backend.h"
#include "platform/long_operation.h"
#include "platform/virtual_keys.h"

namespace {
// A window handler that writes what happens to a shared journal.
class JournalHandler : public WindowHandler {
 public:
  explicit JournalHandler(std::vector<std::string>& journal) : journal_(journal) {}
  std::function<void(TWindow&, const Message&)> on_message;
  std::function<void(TWindow&, const Rect&)> on_paint;

  void OnMessage(TWindow& window, const Message& message) override {
    if (message.id == MessageId::kCommand) {
      journal_.push_back("command " + std::to_string(message.command));
    } else if (message.id == MessageId::kKeyDown) {
      journal_.push_back("key " + std::to_string(message.key));
    } else if (message.id == MessageId::kLButtonDown) {
      journal_.push_back("button");
    }
    if (on_message) on_message(window, message);
  }
  void OnPaint(TWindow& window, TDeviceContext&, const Rect& rect, bool) override {
    journal_.push_back("paint " + std::to_string(rect.top) + ".." + std::to_string(rect.bottom));
    if (on_paint) on_paint(window, rect);
  }

 private:
  std::vector<std::string>& journal_;
};

class EventLoopTest : public ::testing::Test {
 protected:
  EventLoopTest() : backend_(HeadlessOptions{}), handler_(journal_) {
    WindowParams params;
    params.visible = true;
    params.frame = false;
    params.menu = false;
    params.placement.normal = Rect{0, 0, 100, 100};
    window_ = backend_.CreateWindow(params, &handler_);
    loop().RunUntilIdle();  // the first paint of the new window
    journal_.clear();
  }
  ~EventLoopTest() override {
    InstallLongOperationPump(nullptr);
    EndLongOperation();
  }
  TEventLoop& loop() { return backend_.EventLoop(); }
  WindowId id() const { return window_->Id(); }

  THeadlessBackend backend_;
  std::vector<std::string> journal_;
  JournalHandler handler_;
  std::unique_ptr<TWindow> window_;
};
}  // namespace

TEST_F(EventLoopTest, PostedCommandRunsAfterTheMessageBeingHandled) {
  handler_.on_message = [&](TWindow& w, const Message& m) {
    if (m.id == MessageId::kCommand && m.command == 110) {
      loop().PostCommand(w.Id(), 111);
      journal_.push_back("end of 110");
    }
  };
  loop().PostCommand(id(), 110);
  loop().PostCommand(id(), 112);
  loop().RunUntilIdle();
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"command 110", "end of 110", "command 112", "command 111"}));
}

TEST_F(EventLoopTest, PaintWaitsForAnEmptyQueueAndIdleContinuesAPartialPainter) {
  // The painter draws ten lines a pass and leaves the rest invalid, as the
  // main window's incremental paint does.
  handler_.on_paint = [&](TWindow& w, const Rect& rect) {
    if (rect.bottom - rect.top > 10) w.Invalidate(Rect{0, rect.top + 10, 100, rect.bottom}, false);
  };
  int idle_calls = 0;
  loop().SetIdleHandler([&] {
    ++idle_calls;
    journal_.push_back("idle");
    return false;
  });
  window_->Invalidate(Rect{0, 0, 100, 25}, false);
  loop().PostCommand(id(), 1);
  loop().PostCommand(id(), 2);
  EXPECT_TRUE(loop().HasPendingPaint());
  loop().RunUntilIdle();
  EXPECT_EQ(journal_, (std::vector<std::string>{"command 1", "command 2", "paint 0..25",
                                                "paint 10..25", "paint 20..25", "idle"}));
  EXPECT_EQ(idle_calls, 1);
}

TEST_F(EventLoopTest, PaintNowRepaintsAheadOfWaitingMessages) {
  loop().PostCommand(id(), 1);
  EXPECT_FALSE(loop().PaintNow(id()));
  window_->Invalidate(Rect{0, 0, 100, 3}, false);
  window_->Hide();
  EXPECT_FALSE(loop().PaintNow(id()));  // hidden windows wait
  window_->Show();
  window_->Validate();
  window_->Invalidate(Rect{0, 0, 100, 3}, false);
  EXPECT_TRUE(loop().PaintNow(id()));
  loop().RunUntilIdle();
  EXPECT_EQ(journal_, (std::vector<std::string>{"paint 0..3", "command 1"}));
}

TEST_F(EventLoopTest, IdleThatAsksAgainIsCalledUntilItStops) {
  int remaining = 3;
  loop().SetIdleHandler([&] { return --remaining > 0; });
  loop().RunUntilIdle();
  EXPECT_EQ(remaining, 0);
}

TEST_F(EventLoopTest, PumpInsideALongOperationServesInputCommandsAndPaint) {
  InstallLongOperationPump(&loop());
  backend_.PressKey(id(), kVkSpace);
  loop().PostCommand(id(), 300);
  window_->Invalidate(Rect{0, 0, 100, 5}, false);
  BeginLongOperation();
  EXPECT_FALSE(PollLongOperation(10));
  EndLongOperation();
  EXPECT_EQ(journal_, (std::vector<std::string>{"key 32", "command 300", "paint 0..5"}));
  EXPECT_FALSE(loop().HasWaitingMessage());
}

TEST_F(EventLoopTest, QuitDuringALongOperationCancelsItAndStillEndsTheRun) {
  InstallLongOperationPump(&loop());
  loop().PostQuit(7);
  loop().PostCommand(id(), 5);
  BeginLongOperation();
  EXPECT_TRUE(PollLongOperation(-1));
  EXPECT_TRUE(PollLongOperation(-1));  // stays cancelled; the quit is not taken twice
  EndLongOperation();
  EXPECT_TRUE(journal_.empty());
  // The quit went to the back of the queue: what waited runs, then the program ends.
  EXPECT_EQ(loop().Run(), 7);
  EXPECT_EQ(journal_, (std::vector<std::string>{"command 5"}));
}

TEST_F(EventLoopTest, QuitPumpedOutsideAnOperationDoesNotSpin) {
  loop().PostQuit(0);
  loop().PumpWaitingMessages();
  EXPECT_TRUE(loop().HasWaitingMessage());
  EXPECT_FALSE(loop().QuitReceived());
}

TEST_F(EventLoopTest, CommandDeferredDuringAnOperationRunsOnceAfterIt) {
  InstallLongOperationPump(&loop());
  int runs = 0;
  int rows_loaded = 0;
  handler_.on_message = [&](TWindow&, const Message& m) {
    if (m.id != MessageId::kCommand || m.command != 110) return;
    if (DeferIfBusy()) return;
    ++runs;
  };
  loop().PostCommand(id(), 110);
  BeginLongOperation();
  for (int row = 0; row < 100; ++row) {
    if (PollLongOperation(row)) break;
    ++rows_loaded;
  }
  EndLongOperation();
  EXPECT_EQ(rows_loaded, 0);
  EXPECT_EQ(runs, 0);
  loop().RunUntilIdle();
  EXPECT_EQ(runs, 1);
}

TEST_F(EventLoopTest, FilterConsumesBeforeDispatchAndAcceleratorsBecomeCommands) {
  TAcceleratorTable accelerators(
      {{Accelerator::Kind::kVirtualKey, kVkSpace, {}, 110},
       {Accelerator::Kind::kVirtualKey, kVkInsert, {false, true, false}, 115},
       {Accelerator::Kind::kCharacter, '+', {}, 307}});
  loop().SetPreDispatchFilter([&](const Message& m) {
    if (m.id == MessageId::kLButtonDown) return true;  // swallowed, as a slideshow event would
    if (const std::uint32_t command = accelerators.Translate(m)) {
      loop().Send(Message::Command(m.window, command));
      return true;
    }
    return false;
  });
  backend_.PressButton(id(), MouseButton::kLeft, Point{5, 5});
  backend_.PressKey(id(), kVkSpace);
  backend_.PressKey(id(), kVkInsert, {false, true, false});
  backend_.PressKey(id(), kVkInsert);  // no accelerator without Ctrl
  backend_.TypeCharacter(id(), '+', {true, false, false});
  loop().RunUntilIdle();
  EXPECT_EQ(journal_,
            (std::vector<std::string>{"command 110", "command 115", "key 45", "command 307"}));
}

TEST_F(EventLoopTest, RemovingInputKeepsCommandsAndOtherWindows) {
  WindowParams params;
  params.visible = true;
  auto other = backend_.CreateWindow(params, &handler_);
  backend_.MoveMouse(id(), Point{1, 1});
  backend_.PressKey(id(), 'A');
  loop().PostCommand(id(), 9);
  backend_.NonClientMouse(id(), MessageId::kNcLButtonDown, Point{3, 3});
  backend_.PressKey(other->Id(), 'B');
  EXPECT_EQ(loop().RemoveInputMessages(id()), 3);  // move, key down, key up
  std::vector<MessageId> left;
  while (auto m = loop().PeekMessage()) {
    left.push_back(m->id);
    loop().DispatchNext();
  }
  EXPECT_EQ(left, (std::vector<MessageId>{MessageId::kCommand, MessageId::kNcLButtonDown,
                                          MessageId::kKeyDown, MessageId::kKeyUp}));
}

TEST_F(EventLoopTest, RunEndsWhenAHeadlessRunCanReceiveNothingMore) {
  loop().PostCommand(id(), 4);
  EXPECT_EQ(loop().Run(), kExitNoMoreInput);
  EXPECT_EQ(journal_, (std::vector<std::string>{"command 4"}));
}

TEST(MessageClasses, FollowTheRangesTheInputFilterNames) {
  EXPECT_TRUE(IsButtonPress(MessageId::kNcMButtonDblClk));
  EXPECT_FALSE(IsButtonPress(MessageId::kLButtonUp));
  EXPECT_FALSE(IsButtonPress(MessageId::kNcRButtonUp));
  EXPECT_TRUE(IsMouseMove(MessageId::kNcMouseMove));
  EXPECT_TRUE(IsMouseMessage(MessageId::kMButtonDblClk));
  EXPECT_FALSE(IsMouseMessage(MessageId::kNcLButtonDown));
  EXPECT_TRUE(IsKeyboardMessage(MessageId::kSysDeadChar));
  EXPECT_FALSE(IsKeyboardMessage(MessageId::kCommand));
  Message m;
  m.position = Point{-1, 70000};
  EXPECT_EQ(PositionX16(m), 0xFFFF);
  EXPECT_EQ(PositionY16(m), 70000 - 65536);
}
