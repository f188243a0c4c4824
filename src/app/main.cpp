// The entry routine: run mode, backend, settings, first-start hints, the
// application object and its main window.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/passwords.h"
#include "app/progress_cursors.h"
#include "app/run_mode_detection.h"
#include "app/startup_hints.h"
#include "app/usage.h"
#include "app/zentrope_app.h"
#include "platform/backend.h"
#include "platform/dialogs.h"
#include "platform/headless/surface_image_file.h"
#include "platform/path.h"
#include "platform/platform_info.h"
#include "settings/profile.h"
#include "settings/run_mode.h"
#include "system/registry_store.h"
#include "system/startup_registration.h"

namespace {
constexpr int kExitNoDisplay = 2;
constexpr const char* kNeedsDisplay = "needs a display, or the option -headless\n";

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
  for (const auto& argument : all_arguments) {
    if (!IsBackendOption(argument)) arguments.push_back(argument);
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
  if (!HeadlessAskedFor(all_arguments) && !DisplayAvailable()) {
    std::fprintf(stderr, "%s: %s", ProgramName().c_str(), kNeedsDisplay);
    return kExitNoDisplay;
  }

  // The display's depth decides settings defaults, so the backend comes first.
  const auto backend = CreatePlatformBackend(ChooseBackend(all_arguments, Environment));
  TZentropeApp app;
  TRegistryStore registry;
  if (!CheckRegistryAtStart(backend->Dialogs(), registry)) return 0;
  {
    // This reading of the settings serves the first start and the start-up
    // password; the main window reads its own.
    TProfile profile;
    if (profile.WasFirstStart()) ShowFirstStartHints(*backend);
    if (profile.Get(IntKey::StartupPassword) != 0 && !AskPassword(backend->Dialogs())) return 0;
  }
  // The saver's setup dialog comes with the saver.
  if (CurrentRunMode() == RunMode::SaverSetup) return 0;
  RegisterProgramCursors();

  StartupContext startup;
  startup.arguments = arguments;
  app.CreateMainWindow(*backend, std::move(startup));
  // The scripted headless run replaces this when it joins.
  if (const char* screen = Environment("ZENTROPE_SCREEN"); screen && *screen) {
    const std::string path = screen;
    app.SetInputEndHook([path](TZentropeWin& window) {
      if (!SaveSurfacePng(window.MainWindow().ScreenSurface(), path)) {
        std::fprintf(stderr, "%s: cannot write %s\n", ProgramName().c_str(), path.c_str());
      }
    });
  }
  return app.Run(*backend);
}
