// The start-up command: runs once the main window is up, so the command line
// is worked through while the window already paints and takes input.
#include <unistd.h>

#include <type_traits>
#include <variant>

#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/window_texts.h"
#include "platform/log_sink.h"
#include "settings/run_mode.h"

namespace {
int CountFileArguments(const std::vector<std::string>& arguments) {
  int count = 0;
  for (const std::string& argument : arguments) {
    if (!argument.empty() && argument[0] != '-' && argument[0] != '/') ++count;
  }
  return count;
}
}  // namespace

void TZentropeWin::Startup() {
  backend_.EventLoop().PumpWaitingMessages();
  const int file_arguments = CountFileArguments(startup_.arguments);
  if (settings_.Get(IntKey::AutoResume) != 0 && file_arguments == 0) {
    settings_.RestoreDirectory();
  }
  CapturePlacement();
  const TProfile::IntValues previous = settings_.Ints();

  ShowProgress(50);
  BeginLongOperation();
  RunStartupActions();
  EndLongOperation();
  EndProgress();

  ApplySettings(previous);
  BeginBatchRun();
  const bool slideshow = settings_.Get(IntKey::RunSlideshow) != 0;
  // A print or conversion run starts at its first file; an empty name would
  // match any entry and step past the first.
  const std::string resume = settings_.ReadCurrentImage();
  if (settings_.Get(IntKey::AutoResume) != 0 && slideshow && !batch_run_requested_ &&
      !resume.empty()) {
    files_.GoTo(resume);
  }
  if (settings_.Get(IntKey::RandomOrder) != 0 && slideshow) files_.Next(kRandomOrder);
  LoadCurrent();
}

void TZentropeWin::RunStartupActions() {
  const std::vector<StartupAction> actions =
      InterpretStartup(settings_, CurrentRunMode(), startup_.arguments, startup_.default_printer);
  for (const StartupAction& action : actions) {
    std::visit(
        [this](const auto& step) {
          using Step = std::decay_t<decltype(step)>;
          if constexpr (std::is_same_v<Step, ChangeDirectoryAction>) {
            if (chdir(step.path.c_str()) != 0) return;
          } else if constexpr (std::is_same_v<Step, AddFileSpecAction>) {
            files_.AddSpec(step.spec, step.file_type_index, step.with_siblings,
                           step.search_subdirectories);
            if (step.with_siblings) files_.GoTo(step.spec);
          } else if constexpr (std::is_same_v<Step, SlideshowRunAction>) {
            // The settings are in place already. No step is posted: the
            // file scans that follow would take it for a command that cancels
            // them, and the list's first file is shown below anyway.
            batch_run_requested_ = step.slideshow_started;
          } else if constexpr (std::is_same_v<Step, InstallAction>) {
            backend_.EventLoop().PostCommand(window_->Id(), CM_INSTALL);
          }
        },
        action);
  }
}
