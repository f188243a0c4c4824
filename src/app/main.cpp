// The entry routine: run mode, backend, settings, first-start hints, the
// application object and its main window.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/headless_run.h"
#include "app/passwords.h"
#include "app/progress_cursors.h"
#include "app/run_mode_detection.h"
#include "app/saver_mode.h"
#include "app/startup_hints.h"
#include "app/usage.h"
#include "app/zentrope_app.h"
#include "platform/backend.h"
#include "platform/dialogs.h"
#include "platform/path.h"
#include "platform/platform_info.h"
#include "platform/saver_target.h"
#include "platform/screen_saver_start.h"
#include "platform/system_folder.h"
#include "settings/profile.h"
#include "settings/run_mode.h"
#include "system/registry_store.h"
#include "system/screen_saver_install.h"
#include "system/startup_registration.h"

namespace {
constexpr int kExitNoDisplay = 2;
constexpr int kExitScriptFailed = 1;
constexpr const char* kNeedsDisplay = "needs a display, or the option -headless\n";
constexpr const char* kSaverTargetIgnored =
    "-root and XSCREENSAVER_WINDOW are ignored by the headless backend";

bool HasArgument(const std::vector<std::string>& arguments, const char* wanted) {
  for (const auto& argument : arguments) {
    if (argument == wanted) return true;
  }
  return false;
}

const char* Environment(const char* name) {
  return std::getenv(name);
}

bool HeadlessAskedFor(const std::vector<std::string>& arguments) {
  for (const auto& argument : arguments) {
    if (IsBackendOption(argument)) return true;
  }
  const char* forced = Environment("ZENTROPE_BACKEND");
  return forced != nullptr && std::string(forced) == "headless";
}

bool DisplayAvailable() {
  const char* x_display = Environment("DISPLAY");
  const char* wayland = Environment("WAYLAND_DISPLAY");
  return (x_display && *x_display) || (wayland && *wayland);
}

std::string ProgramName() {
  const PathParts program = SplitPath(ProgramPath());
  return program.name.empty() ? "zentrope" : program.name;
}

void ShowFirstStartHints(PlatformBackend& backend) {
  for (const std::string& hint :
       FirstStartHints(CurrentRunMode(), backend.Display().Depth(), PlatformMajorVersion())) {
    MessageBox(backend.Dialogs(), kNoWindow, hint, kHintCaption);
  }
}
}  // namespace

int main(int argc, char* argv[]) {
  DetectRunModeAtStart(argc, argv);
  const std::vector<std::string> all_arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> arguments;
  const bool saver_run = CurrentRunMode() == RunMode::Saver;
  for (const auto& argument : all_arguments) {
    if (IsBackendOption(argument) || (saver_run && argument == "-root")) continue;
    arguments.push_back(argument);
  }
  if (CurrentRunMode() == RunMode::Viewer) {
    if (HasArgument(arguments, "--help")) {
      std::fputs(UsageText(ProgramName()).c_str(), stdout);
      return 0;
    }
    if (HasArgument(arguments, "--version")) {
      std::fputs(VersionText().c_str(), stdout);
      return 0;
    }
  }
  // A print or conversion run works without a display, on the headless backend.
  const bool batch_run = CurrentRunMode() == RunMode::Viewer && HasRunOption(arguments);
  if (!HeadlessAskedFor(all_arguments) && !DisplayAvailable() && !batch_run) {
    std::fprintf(stderr, "%s: %s", ProgramName().c_str(), kNeedsDisplay);
    return kExitNoDisplay;
  }

  // The display's depth decides settings defaults, so the backend comes first.
  const BackendKind kind = ChooseBackend(all_arguments, Environment);
  const HeadlessRunRequest headless_run = HeadlessRunFromEnvironment();
  THeadlessRunBackend* scripted = nullptr;
  std::unique_ptr<PlatformBackend> backend;
  if (kind == BackendKind::kHeadless) {
    auto run_backend = std::make_unique<THeadlessRunBackend>(
        HeadlessRunOptions(!headless_run.script_file.empty()));
    scripted = run_backend.get();
    backend = std::move(run_backend);
    // Made here rather than by the factory, so the depth asked for is applied here too.
    if (const std::optional<int> depth = RequestedDisplayDepth()) backend->SetDisplayDepth(*depth);
  } else {
    backend = CreatePlatformBackend(kind);
  }
  if (saver_run) {
    // As a hack of the desktop's saver, the saver draws into that saver's window.
    if (std::optional<SaverTarget> target = SaverTargetFromStart(all_arguments, Environment)) {
      if (kind == BackendKind::kHeadless) {
        std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), kSaverTargetIgnored);
      } else {
        RequestSaverTarget(std::move(target));
      }
    }
  }
  TZentropeApp app;
  TRegistryStore registry;
  if (!CheckRegistryAtStart(backend->Dialogs(), registry)) return 0;
  {
    // This reading of the settings serves the first start and the start-up
    // password; the main window reads its own.
    TProfile profile;
    if (profile.WasFirstStart()) ShowFirstStartHints(*backend);
    if (profile.Get(IntKey::StartupPassword) != 0 && !AskPassword(backend->Dialogs())) return 0;
    // The saver's setup switch shows only its setup dialog, on this record.
    if (CurrentRunMode() == RunMode::SaverSetup) {
      RunSaverSetup(*backend, kNoWindow, profile);
      return 0;
    }
  }
  InstallScreenSaverStarter([] {
    TDesktopIdleSession session;
    return StartInstalledSaver(WindowsDirectory(), session);
  });
  RegisterProgramCursors();

  StartupContext startup;
  startup.arguments = arguments;
  // A page always has somewhere to go: the default CUPS printer, or else a
  // PDF file beside the picture.
  startup.default_printer = [] { return true; };
  app.CreateMainWindow(*backend, std::move(startup));
  if (scripted != nullptr) {
    std::string error;
    if (!RunHeadlessScript(*scripted, app.MainWindow()->MainWindow().Id(), headless_run, &error)) {
      std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), error.c_str());
      app.Run(*backend);
      return kExitScriptFailed;
    }
  }
  return app.Run(*backend);
}
