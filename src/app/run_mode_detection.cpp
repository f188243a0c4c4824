#include "app/run_mode_detection.h"

#include <string>

#include "platform/path.h"
#include "platform/platform_info.h"

namespace {
constexpr std::string_view kSaverExtension = ".scr";
constexpr int kLastLowerCasingPlatform = 3;

bool IsSetupSwitch(std::string_view argument) {
  const auto is_c = [](char c) { return c == 'c' || c == 'C'; };
  if (argument.empty()) return false;
  if (is_c(argument[0])) return true;
  // The saver's setup switch keeps its "/" form: the desktop passes it, never a path.
  return argument.size() >= 2 && (argument[0] == '-' || argument[0] == '/') && is_c(argument[1]);
}
}  // namespace

RunMode RunModeFromArguments(std::string_view argument0, std::string_view argument1) {
  if (argument0.empty()) return RunMode::Viewer;
  if (!EqualsNoCase(SplitPath(argument0).extension, kSaverExtension)) return RunMode::Viewer;
  return IsSetupSwitch(argument1) ? RunMode::SaverSetup : RunMode::Saver;
}

void DetectRunModeAtStart(int argc, char* argv[]) {
  SetRunMode(RunMode::Viewer);
  if (argc < 1 || argv[0] == nullptr || argv[0][0] == '\0') return;
  std::string argument0 = argv[0];
  if (PlatformMajorVersion() <= kLastLowerCasingPlatform) argument0 = ToLower(argument0);
  SetProgramPath(argument0);
  const std::string_view argument1 = argc >= 2 && argv[1] ? argv[1] : "";
  SetRunMode(RunModeFromArguments(argument0, argument1));
}
