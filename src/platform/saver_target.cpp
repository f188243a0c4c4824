#include "platform/saver_target.h"

#include <algorithm>
#include <charconv>

namespace {
std::optional<SaverTarget>& Requested() {
  static std::optional<SaverTarget> target;
  return target;
}
}  // namespace

std::optional<SaverTarget> SaverTargetFromStart(const std::vector<std::string>& arguments,
                                                const char* (*environment)(const char*)) {
  const char* named = environment("XSCREENSAVER_WINDOW");
  if (named != nullptr && *named != '\0') return SaverTarget{named};
  if (std::find(arguments.begin(), arguments.end(), "-root") != arguments.end()) {
    return SaverTarget{};
  }
  return std::nullopt;
}

void RequestSaverTarget(std::optional<SaverTarget> target) {
  Requested() = std::move(target);
}

const std::optional<SaverTarget>& RequestedSaverTarget() {
  return Requested();
}

std::optional<std::uint32_t> ParseXWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  // from_chars takes no sign or prefix itself, so "-5" and "0x-5" fail here.
  std::uint32_t id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || id == 0) {
    return std::nullopt;
  }
  return id;
}
