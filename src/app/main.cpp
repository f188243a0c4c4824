// Start-up: decide the run mode, read the settings, and interpret the command
// line into what the shell is to do.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/run_mode_detection.h"
#include "app/usage.h"
#include "platform/backend.h"
#include "platform/path.h"
#include "platform/random.h"
#include "settings/profile.h"
#include "settings/run_mode.h"

namespace {
bool HasArgument(const std::vector<std::string>& arguments, const char* wanted) {
  for (const auto& argument : arguments) {
    if (argument == wanted) return true;
  }
  return false;
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
      const PathParts program = SplitPath(ProgramPath());
      std::fputs(UsageText(program.name.empty() ? "zentrope" : program.name).c_str(), stdout);
      return 0;
    }
    if (HasArgument(arguments, "--version")) {
      std::fputs(VersionText().c_str(), stdout);
      return 0;
    }
  }

  // The display's depth decides settings defaults, so the backend comes first.
  const auto backend = CreatePlatformBackend(ChooseBackend(
      all_arguments, [](const char* name) -> const char* { return std::getenv(name); }));
  SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
  TProfile profile;
  // The window shell that carries these out comes with the main window.
  const std::vector<StartupAction> actions =
      InterpretStartup(profile, CurrentRunMode(), arguments, DefaultPrinterQuery());
  (void)actions;
  return 0;
}
