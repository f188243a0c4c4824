// The cooperative busy, cancel and progress service. Lengthy work (loading,
// saving, scanning, unzipping, decoding) runs inside the command that started
// it and polls once per row or block; the poll keeps the window live by pumping
// waiting messages and reports whether a stop was asked for. Commands that
// arrive meanwhile cancel the work and re-post themselves (DeferIfBusy).
//
// Calling order: ShowProgress(start), BeginLongOperation, PollLongOperation per
// unit until it returns true, EndLongOperation, EndProgress.
//
// With no pump or progress display installed (engine tests, batch tools) the
// service still keeps its flags but pumps and shows nothing.
#pragma once

// What the main window's message loop provides to the service.
class LongOperationPump {
 public:
  virtual ~LongOperationPump() = default;
  // Removes and dispatches waiting messages one by one until none waits or
  // IsCancelRequested() becomes true. A quit message must be posted again and
  // must call RequestCancel().
  virtual void PumpWaitingMessages() = 0;
  // Posts the message being handled now to the main window once more.
  virtual void RepostCurrentMessage() = 0;
};

// What the main window provides to show progress (the busy cursor).
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  // Shows the cursor for the current state: ProgressCursorShown(), ProgressPercent().
  virtual void RefreshCursor() = 0;
};

void InstallLongOperationPump(LongOperationPump* pump);
void InstallProgressDisplay(ProgressDisplay* display);

// Cancel flag off, busy flag on; a second begin while busy only clears the cancel.
void BeginLongOperation();
// Sets the cancel flag when busy.
void RequestCancel();
bool IsCancelRequested();
// Outside an operation: false at once. Otherwise ShowProgress(percent) (pass -1
// to keep the stored percent), pumps waiting messages, returns the cancel flag.
bool PollLongOperation(int percent);
bool IsLongOperation();
// When busy, clears the busy and cancel flags.
void EndLongOperation();

// Shows the busy cursor; a percent within 0..100 replaces the stored one.
void ShowProgress(int percent);
// Hides the busy cursor.
void EndProgress();
bool ProgressCursorShown();
int ProgressPercent();

// The prologue of commands: when an operation runs, cancels it, re-posts the
// current message and returns true, so the command ends now and runs again
// after the operation. Otherwise false.
bool DeferIfBusy();
