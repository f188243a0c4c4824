#include "platform/cursor.h"

#include <map>

namespace {
std::map<int, CursorImage>& Images() {
  static std::map<int, CursorImage> images;
  return images;
}
}  // namespace

bool RegisterCursorImage(int resource, CursorImage image) {
  if (image.width <= 0 || image.height <= 0) return false;
  if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) return false;
  Images()[resource] = std::move(image);
  return true;
}

std::optional<CursorImage> FindCursorImage(int resource) {
  const auto found = Images().find(resource);
  if (found == Images().end()) return std::nullopt;
  return found->second;
}
