#include "show/slideshow.h"

#include <cstdlib>

#include "files/file_pkg.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/path.h"
#include "platform/tick_count.h"
#include "settings/profile.h"
#include "show/batch_run.h"
#include "show/event_action.h"
#include "show/save_names.h"
#include "show/sheet_state.h"
#include "show/slideshow_host.h"

namespace {
constexpr int kStepNext = 1;
constexpr int kStepRandom = 2;
constexpr int kStepPrevious = -1;

bool IsKeyEvent(const Message& message) {
  switch (message.id) {
    case MessageId::kKeyDown:
    case MessageId::kChar:
    case MessageId::kSysKeyDown:
    case MessageId::kSysChar:
      return true;
    case MessageId::kSysCommand:
      return (message.command & kScCodeMask) != kScScreenSave;
    default:
      return false;
  }
}

// The entry the next step will show: which neighbour, in which order.
struct Upcoming {
  bool sound = false;
  bool movie = false;
};

void Examine(const TFilePkg& files, Neighbour which, int order, Upcoming& upcoming) {
  upcoming.sound = upcoming.sound || files.IsSound(which, order);
  upcoming.movie = upcoming.movie || files.IsMovie(which, order);
}

Upcoming UpcomingEntry(const TFilePkg& files, bool random_order, int last_step) {
  Upcoming upcoming;
  if (random_order) Examine(files, Neighbour::kNext, kRandomOrder, upcoming);
  switch (last_step) {
    case kStepNext:
      Examine(files, Neighbour::kNext, kSortedOrder, upcoming);
      break;
    case kStepRandom:
      Examine(files, Neighbour::kNext, kRandomOrder, upcoming);
      break;
    case kStepPrevious:
      Examine(files, Neighbour::kPrevious, kSortedOrder, upcoming);
      break;
    default:
      Examine(files, Neighbour::kPrevious, kRandomOrder, upcoming);
      break;
  }
  return upcoming;
}

bool IsNoFile(const std::string& name) {
  return EqualsNoCase(name, kNoFile);
}
}  // namespace

bool TSlideshow::Running() const {
  return host_.Settings().Get(IntKey::RunSlideshow) != 0;
}

ShowCommand TSlideshow::StepCommand() const {
  if (host_.Settings().Get(IntKey::RandomOrder) != 0) return ShowCommand::kRandom;
  switch (host_.LastStep()) {
    case kStepNext:
      return ShowCommand::kNext;
    case kStepRandom:
      return ShowCommand::kRandom;
    default:
      return ShowCommand::kPrevious;
  }
}

void TSlideshow::ToggleSlideshow() {
  TProfile& settings = host_.Settings();
  if (Running()) {
    if (settings.SnapshotHeld()) settings.ReleaseSnapshot();
    settings.Set(IntKey::RunSlideshow, 0);
  } else {
    settings.HoldSnapshot();
    settings.Set(IntKey::RunSlideshow, 1);
    host_.PostCommand(StepCommand());
  }
  host_.RefreshCursor();
}

IdleResult TSlideshow::SlideshowIdle() {
  if (host_.PaintPending()) {
    host_.PaintPendingPortion();
    return IdleResult::kMoreWork;
  }
  const std::uint32_t now = GetTickCount();
  if (host_.SoundPlaying()) host_.SetClock(SlideshowClock::kSound, now);
  if (host_.MoviePlaying()) host_.SetClock(SlideshowClock::kMovie, now);
  // While stopped the clocks are still kept, so a later start measures
  // from the last load.
  const IdleResult waiting = Running() ? IdleResult::kWaiting : IdleResult::kDone;
  if (host_.Loading() || host_.FirstLoopPlaying()) {
    host_.SetClock(SlideshowClock::kImage, now);
    return waiting;
  }
  TProfile& settings = host_.Settings();
  TFilePkg& files = host_.Files();
  if (host_.Printing() || !Running() || IsNoFile(files.Current())) return waiting;

  const Upcoming upcoming =
      UpcomingEntry(files, settings.Get(IntKey::RandomOrder) != 0, host_.LastStep());
  int delay = settings.Get(IntKey::DelayBetweenImages);
  SlideshowClock clock = SlideshowClock::kImage;
  std::uint32_t reference = host_.LastImageTime();
  if (upcoming.sound) {
    if (host_.SoundPlaying()) return IdleResult::kWaiting;
    delay = settings.Get(IntKey::DelayBetweenSounds);
    clock = SlideshowClock::kSound;
    reference = host_.LastSoundTime();
  } else if (upcoming.movie) {
    if (host_.MoviePlaying()) return IdleResult::kWaiting;
    delay = settings.Get(IntKey::DelayBetweenMovies);
    clock = SlideshowClock::kMovie;
    reference = host_.LastMovieTime();
  }
  // Unsigned difference: the tick count wraps.
  const std::uint32_t elapsed_seconds = (now - reference) / 1000;
  if (delay < 0 || elapsed_seconds < static_cast<std::uint32_t>(delay)) {
    return IdleResult::kWaiting;
  }

  if (!files.IsSound() && !files.IsMovie()) {
    RunEventAction(settings.Get(IntKey::ImageDisplayEvent));
  }
  if (SequentialThumbnailSheet(settings) && (host_.PageFull() || files.AtEnd())) {
    RunEventAction(settings.Get(IntKey::ScreenDoneEvent));
  }
  if (files.AtEnd()) RunEventAction(settings.Get(IntKey::SlideshowDoneEvent));
  if (!Running()) return IdleResult::kDone;
  host_.PostCommand(StepCommand());
  host_.SetClock(clock, GetTickCount());
  return IdleResult::kWaiting;
}

bool TSlideshow::FilterInputEvent(const Message& message) {
  const bool button = IsButtonPress(message.id);
  const bool key = IsKeyEvent(message);
  bool movement = false;
  if (IsMouseMove(message.id)) {
    const int x = PositionX16(message);
    const int y = PositionY16(message);
    if (rest_.x < 0 || rest_.y < 0 || !Running()) {
      rest_ = Point{x, y};
    } else {
      movement =
          std::abs(x - rest_.x) > kMovementThreshold || std::abs(y - rest_.y) > kMovementThreshold;
    }
  }
  if (movement) host_.RefreshCursor();

  const TProfile& settings = host_.Settings();
  const int button_action = button ? settings.Get(IntKey::MouseButtonEvent) : kNormalAction;
  const int movement_action = movement ? settings.Get(IntKey::MouseMovementEvent) : kNormalAction;
  const int key_action = key ? settings.Get(IntKey::KeystrokeEvent) : kNormalAction;
  if (!Running() || (button_action == kNormalAction && movement_action == kNormalAction &&
                     key_action == kNormalAction)) {
    return false;
  }

  const bool exits = button_action == kExitProgramAction || movement_action == kExitProgramAction ||
                     key_action == kExitProgramAction;
  if (settings.Get(IntKey::SlideshowPassword) == 1 && exits) {
    // The prompt's own modal loop may hand further input here.
    if (password_prompt_open_) return true;
    password_prompt_open_ = true;
    const bool accepted = host_.AskSlideshowPassword();
    password_prompt_open_ = false;
    if (!accepted) {
      host_.DiscardInput();
      return true;
    }
  }
  RunEventAction(button_action);
  RunEventAction(movement_action);
  RunEventAction(key_action);
  return true;
}

void TSlideshow::RunEventAction(int action) {
  switch (action) {
    case kPrintAction:
      PrintShown();
      return;
    case kStopSlideshowAction:
      if (Running()) ToggleSlideshow();
      return;
    case kExitProgramAction:
      if (IsLongOperation()) RequestCancel();
      if (Running()) ToggleSlideshow();
      host_.PostCommand(ShowCommand::kExit);
      return;
    default:
      if (action >= kSaveGifAction && action <= kSaveTifAction) SaveShown(action);
      return;
  }
}

void TSlideshow::SaveShown(int action) {
  const int save_type = SaveTypeOfAction(action);
  host_.Settings().Set(IntKey::SaveAsIndex, save_type);
  const std::string current = host_.Files().Current();
  if (batch_ != nullptr) batch_->Starting();
  const ShownSave result = host_.SaveShown(save_type);
  if (result.saved || batch_ == nullptr) return;
  const PathParts parts = SplitPath(current);
  batch_->Failed(current, FormatLogText(kSaveFailedLog, parts.name + parts.extension, result.path));
}

void TSlideshow::PrintShown() {
  const std::string current = host_.Files().Current();
  if (batch_ != nullptr) batch_->Starting();
  if (host_.PrintShown() || batch_ == nullptr) return;
  batch_->Failed(current, current + ": not printed");
}
