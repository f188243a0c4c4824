#include "show/save_names.h"

#include <array>
#include <cstdio>

#include "platform/path.h"

std::string ThumbnailSaveName(std::string_view proposed,
                              const std::function<bool(const std::string&)>& exists) {
  PathParts parts = SplitPath(proposed);
  std::string candidate;
  for (int number = 1; number <= kLastThumbnailNumber; ++number) {
    std::array<char, 16> name{};
    std::snprintf(name.data(), name.size(), "thumb%3.3d", number);
    parts.name = name.data();
    candidate = JoinPath(parts);
    if (!exists || !exists(candidate)) break;
  }
  return candidate;
}
