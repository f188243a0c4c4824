// TSlideshow: steps the main window through its file list by itself, from
// the window's idle time, and turns input and show events into the actions
// the settings bind them to. There is no timer: every idle call compares the
// tick count with the moment the last picture was painted, or the last
// sound or movie was playing.
#pragma once

#include "platform/event_loop.h"
#include "platform/message.h"
#include "show/slideshow_host.h"

class TBatchRun;

// Mouse movement counts only beyond this many pixels from the rest point.
inline constexpr int kMovementThreshold = 16;

class TSlideshow {
 public:
  explicit TSlideshow(SlideshowHost& host) : host_(host) {}
  TSlideshow(const TSlideshow&) = delete;
  TSlideshow& operator=(const TSlideshow&) = delete;

  // Starts (snapshot of the settings held, first step posted) or stops
  // (snapshot given back) the slideshow.
  void ToggleSlideshow();
  // One idle call of the main window: paints the next portion of a waiting
  // page, keeps the clocks, and posts the next step once the delay is over.
  IdleResult SlideshowIdle();
  // The main window's filter for every queued message; true when consumed.
  bool FilterInputEvent(const Message& message);
  // Carries out an event action (0..10).
  void RunEventAction(int action);
  // The navigation command the slideshow steps with.
  ShowCommand StepCommand() const;

  // A print or conversion run that counts its files and failures; null
  // for none. Not owned.
  void SetBatchRun(TBatchRun* batch) { batch_ = batch; }
  TBatchRun* BatchRun() const { return batch_; }

  Point RestPoint() const { return rest_; }
  bool PasswordPromptOpen() const { return password_prompt_open_; }

 private:
  bool Running() const;
  void SaveShown(int action);
  void PrintShown();

  SlideshowHost& host_;
  TBatchRun* batch_ = nullptr;
  Point rest_{-1, -1};
  bool password_prompt_open_ = false;
};
