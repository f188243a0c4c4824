#include "platform/long_operation.h"

namespace {
struct LongOperationState {
  bool busy = false;
  bool cancel = false;
  bool cursor_shown = false;
  int percent = 0;
  LongOperationPump* pump = nullptr;
  ProgressDisplay* display = nullptr;
};

LongOperationState state;

void RefreshCursor() {
  if (state.display) state.display->RefreshCursor();
}
}  // namespace

void InstallLongOperationPump(LongOperationPump* pump) {
  state.pump = pump;
}
void InstallProgressDisplay(ProgressDisplay* display) {
  state.display = display;
}

void BeginLongOperation() {
  state.cancel = false;
  state.busy = true;
}

void RequestCancel() {
  if (state.busy) state.cancel = true;
}

bool IsCancelRequested() {
  return state.cancel;
}

bool PollLongOperation(int percent) {
  if (!state.busy) return false;
  ShowProgress(percent);
  if (state.pump && !state.cancel) state.pump->PumpWaitingMessages();
  return state.cancel;
}

bool IsLongOperation() {
  return state.busy;
}

void EndLongOperation() {
  if (!state.busy) return;
  state.busy = false;
  state.cancel = false;
}

void ShowProgress(int percent) {
  state.cursor_shown = true;
  if (percent >= 0 && percent <= 100) state.percent = percent;
  RefreshCursor();
}

void EndProgress() {
  state.cursor_shown = false;
  RefreshCursor();
}

bool ProgressCursorShown() {
  return state.cursor_shown;
}
int ProgressPercent() {
  return state.percent;
}

bool DeferIfBusy() {
  if (!state.busy) return false;
  RequestCancel();
  if (state.pump) state.pump->RepostCurrentMessage();
  return true;
}
