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

const char* RunName(int event_action) {
  return event_action == kPrintEventAction ? "Print" : "Convert";
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
  const bool slideshow = settings_.Get(IntKey::RunSlideshow) != 0;
  if (settings_.Get(IntKey::AutoResume) != 0 && slideshow) {
    files_.GoTo(settings_.ReadCurrentImage());
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
            // The slideshow engine that prints or saves each picture is not
            // part of the program yet: say so rather than pretend.
            LogLine(kRunNotAvailableLog, RunName(step.event_action));
          } else if constexpr (std::is_same_v<Step, InstallAction>) {
            backend_.EventLoop().PostCommand(window_->Id(), CM_INSTALL);
          }
        },
        action);
  }
}
