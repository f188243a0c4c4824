#include <cstring>
#include <string>

#include "platform/backend.h"

namespace {
constexpr char kBackendVariable[] = "ZENTROPE_BACKEND";
constexpr char kHeadlessName[] = "headless";
constexpr char kDesktopName[] = "desktop";
constexpr char kDepthVariable[] = "ZENTROPE_DEPTH";
constexpr std::string_view kDepthOption = "-depth=";
constexpr std::string_view kLongDepthOption = "--depth=";

std::optional<int> requested_depth;

std::optional<int> DepthFromText(std::string_view text) {
  for (const int depth : {24, 8, 4, 1}) {
    if (text == std::to_string(depth)) return depth;
  }
  return std::nullopt;
}
}  // namespace

std::optional<int> ChooseDisplayDepth(const std::vector<std::string>& arguments,
                                      const char* (*environment)(const char*)) {
  for (const std::string& argument : arguments) {
    const std::string_view text = argument;
    if (text.starts_with(kDepthOption)) return DepthFromText(text.substr(kDepthOption.size()));
    if (text.starts_with(kLongDepthOption)) {
      return DepthFromText(text.substr(kLongDepthOption.size()));
    }
  }
  const char* variable = environment ? environment(kDepthVariable) : nullptr;
  return variable ? DepthFromText(variable) : std::nullopt;
}

std::optional<int> RequestedDisplayDepth() {
  return requested_depth;
}

bool IsBackendOption(std::string_view argument) {
  return argument == "-headless" || argument == "--headless";
}

BackendKind ChooseBackend(const std::vector<std::string>& arguments,
                          const char* (*environment)(const char*)) {
  requested_depth = ChooseDisplayDepth(arguments, environment);
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
