#include <cstring>

#include "platform/backend.h"

namespace {
constexpr char kBackendVariable[] = "ZENTROPE_BACKEND";
constexpr char kHeadlessName[] = "headless";
constexpr char kDesktopName[] = "desktop";
}  // namespace

bool IsBackendOption(std::string_view argument) {
  return argument == "-headless" || argument == "--headless";
}

BackendKind ChooseBackend(const std::vector<std::string>& arguments,
                          const char* (*environment)(const char*)) {
  for (const std::string& argument : arguments) {
    if (IsBackendOption(argument)) return BackendKind::kHeadless;
  }
  const char* forced = environment ? environment(kBackendVariable) : nullptr;
  if (forced && std::strcmp(forced, kHeadlessName) == 0) return BackendKind::kHeadless;
  if (forced && std::strcmp(forced, kDesktopName) == 0) return BackendKind::kDesktop;
  const char* x_display = environment ? environment("DISPLAY") : nullptr;
  const char* wayland = environment ? environment("WAYLAND_DISPLAY") : nullptr;
  const bool has_display = (x_display && *x_display) || (wayland && *wayland);
  return has_display ? BackendKind::kDesktop : BackendKind::kHeadless;
}
