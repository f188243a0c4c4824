#include "platform/long_operation.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class RecordingPump : public LongOperationPump {
 public:
  void PumpWaitingMessages() override {
    ++pumps;
    if (on_pump) on_pump();
  }
  void RepostCurrentMessage() override { ++reposts; }
  int pumps = 0;
  int reposts = 0;
  std::function<void()> on_pump;
};

class RecordingDisplay : public ProgressDisplay {
 public:
  void RefreshCursor() override {
    ++refreshes;
    last_shown = ProgressCursorShown();
    last_percent = ProgressPercent();
  }
  int refreshes = 0;
  bool last_shown = false;
  int last_percent = -1;
};

class LongOperationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallLongOperationPump(&pump_);
    InstallProgressDisplay(&display_);
    EndLongOperation();
    ShowProgress(0);
    EndProgress();
    display_ = RecordingDisplay();
  }
  void TearDown() override {
    EndLongOperation();
    EndProgress();
    InstallLongOperationPump(nullptr);
    InstallProgressDisplay(nullptr);
  }
  RecordingPump pump_;
  RecordingDisplay display_;
};

TEST_F(LongOperationTest, ProgressKeepsThePercentForValuesOutsideTheRange) {
  ShowProgress(40);
  EXPECT_TRUE(display_.last_shown);
  EXPECT_EQ(display_.last_percent, 40);
  ShowProgress(150);
  EXPECT_EQ(ProgressPercent(), 40);
  ShowProgress(-1);
  EXPECT_EQ(ProgressPercent(), 40);
  ShowProgress(100);
  EXPECT_EQ(ProgressPercent(), 100);
  ShowProgress(0);
  EXPECT_EQ(display_.last_percent, 0);
  EndProgress();
  EXPECT_FALSE(display_.last_shown);
  EXPECT_EQ(display_.refreshes, 6);
}

TEST_F(LongOperationTest, PollOutsideAnOperationDoesNothing) {
  RequestCancel();
  EXPECT_FALSE(IsCancelRequested()) << "a cancel needs a running operation";
  EXPECT_FALSE(PollLongOperation(50));
  EXPECT_EQ(pump_.pumps, 0);
  EXPECT_EQ(display_.refreshes, 0);
  EXPECT_FALSE(DeferIfBusy());
  EXPECT_EQ(pump_.reposts, 0);
}

TEST_F(LongOperationTest, PollPumpsAndReportsACancelFromAMessage) {
  ShowProgress(10);
  BeginLongOperation();
  EXPECT_TRUE(IsLongOperation());
  EXPECT_FALSE(PollLongOperation(20));
  EXPECT_EQ(pump_.pumps, 1);
  EXPECT_EQ(ProgressPercent(), 20);

  // A command arriving during the pump defers itself: cancel and re-post once.
  pump_.on_pump = [] { EXPECT_TRUE(DeferIfBusy()); };
  EXPECT_TRUE(PollLongOperation(-1));
  EXPECT_EQ(pump_.reposts, 1);
  EXPECT_EQ(ProgressPercent(), 20);
  EXPECT_TRUE(PollLongOperation(30));
  EXPECT_EQ(pump_.pumps, 2) << "no pumping once cancelled";

  EndLongOperation();
  EXPECT_FALSE(IsLongOperation());
  EXPECT_FALSE(IsCancelRequested());
}

TEST_F(LongOperationTest, ASecondBeginOnlyClearsTheCancel) {
  BeginLongOperation();
  RequestCancel();
  EXPECT_TRUE(IsCancelRequested());
  BeginLongOperation();
  EXPECT_TRUE(IsLongOperation());
  EXPECT_FALSE(IsCancelRequested());
  EndLongOperation();
  EXPECT_FALSE(IsLongOperation()) << "one end finishes it: operations do not nest";
}

TEST_F(LongOperationTest, WorksWithNothingInstalled) {
  InstallLongOperationPump(nullptr);
  InstallProgressDisplay(nullptr);
  ShowProgress(5);
  BeginLongOperation();
  EXPECT_FALSE(PollLongOperation(6));
  EXPECT_TRUE(DeferIfBusy());
  EXPECT_TRUE(PollLongOperation(7));
  EndLongOperation();
  EndProgress();
  EXPECT_EQ(ProgressPercent(), 7);
}

}  // namespace
