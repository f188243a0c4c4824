// The main window as the slideshow's host: the engine's clocks and states,
// saving and printing what is shown without a dialog, and the print and
// conversion runs of the command line.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/file_handlers.h"
#include "app/commands/register_commands.h"
#include "app/main_window.h"
#include "app/passwords.h"
#include "app/text_window.h"
#include "app/window_texts.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/path.h"
#include "show/event_action.h"
#include "show/save_names.h"
#include "show/thumbnails.h"

namespace {
constexpr const char* kNothingToRunLog = "%s run: no file to work on";
constexpr const char* kBatchProgramName = "zentrope";

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}
}  // namespace

void TZentropeWin::InstallSlideshow() {
  slideshow_ = std::make_unique<TSlideshow>(*this);
  SetInputFilter([this](const Message& message) { return slideshow_->FilterInputEvent(message); });
}

void TZentropeWin::PostCommand(ShowCommand command) {
  std::uint32_t command_id = CM_EXIT;
  switch (command) {
    case ShowCommand::kNext:
      command_id = CM_NEXT;
      break;
    case ShowCommand::kRandom:
      command_id = CM_RANDOM;
      break;
    case ShowCommand::kPrevious:
      command_id = CM_PREVIOUS;
      break;
    case ShowCommand::kExit:
      command_id = CM_EXIT;
      break;
  }
  backend_.EventLoop().PostCommand(window_->Id(), command_id);
}

void TZentropeWin::SetClock(SlideshowClock clock, std::uint32_t ticks) {
  switch (clock) {
    case SlideshowClock::kImage:
      last_image_time_ = ticks;
      return;
    case SlideshowClock::kSound:
      last_sound_time_ = ticks;
      return;
    case SlideshowClock::kMovie:
      last_movie_time_ = ticks;
      return;
  }
}

bool TZentropeWin::AskSlideshowPassword() {
  // One prompt at a time: whatever asks while it is up is refused.
  if (password_prompt_open_) return false;
  password_prompt_open_ = true;
  const bool accepted = AskPassword(backend_.Dialogs(), window_->Id());
  password_prompt_open_ = false;
  return accepted;
}

void TZentropeWin::DiscardInput() {
  backend_.EventLoop().DiscardInput(window_->Id());
}

ShownSave TZentropeWin::SaveShown(int save_type) {
  ShownSave result;
  const bool sheet = SheetOn(Sheet());
  result.path = SaveAsProposal(names_[kImagePath], names_[kImageName], save_type);
  if (sheet) result.path = ThumbnailSaveName(result.path, FileExists);
  // A picture that did not load would be saved as its placeholder.
  if (!sheet && !picture_loaded_) {
    LogLine(kSaveFailedLog, names_[kImageName], result.path);
    return result;
  }
  ShowProgress(0);
  result.saved = SavePictureAs(*this, result.path, save_type);
  return result;
}

bool TZentropeWin::PrintShown() {
  return Print(false);
}

void TZentropeWin::BeginBatchRun() {
  if (!batch_run_requested_ || settings_.Get(IntKey::RunSlideshow) == 0) return;
  batch_ = std::make_unique<TBatchRun>(files_.Count(), stderr, stderr, kBatchProgramName);
  slideshow_->SetBatchRun(batch_.get());
  if (files_.Count() > 0) return;
  // Nothing would ever be shown, so the run would never end.
  LogLine(kNothingToRunLog, kBatchProgramName);
  batch_->Failed(std::string(), FormatLogText(kNothingToRunLog, kBatchProgramName));
  slideshow_->RunEventAction(kExitProgramAction);
}

void RegisterShowCommands(TCommandRegistry& registry) {
  CommandBinding run;
  run.run = [](TZentropeWin& win) { win.Slideshow().ToggleSlideshow(); };
  run.enabled = [](const TZentropeWin& win) {
    return win.Settings().Get(IntKey::RunSlideshow) != 0 ||
           !EqualsNoCase(win.Files().Current(), kNoFile);
  };
  run.checked = [](const TZentropeWin& win) {
    return win.Settings().Get(IntKey::RunSlideshow) != 0;
  };
  run.defer_if_busy = false;
  registry.Add(CM_RUN_SLIDESHOW, std::move(run));

  CommandBinding thumbnails;
  thumbnails.run = [](TZentropeWin& win) { DisplayThumbnails(win, win.Slideshow()); };
  thumbnails.enabled = [](const TZentropeWin& win) {
    return !EqualsNoCase(win.Names()[kImageName], kNoFile);
  };
  registry.Add(CM_DISPLAY_THUMBNAILS, std::move(thumbnails));
}
