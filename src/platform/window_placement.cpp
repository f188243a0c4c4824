#include "platform/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace {
int ToPixels(int thousandths, int screen) {
  return static_cast<int>(std::int64_t{thousandths} * screen / 1000);
}

int ToThousandths(int pixels, int screen) {
  return static_cast<int>(std::int64_t{pixels} * 1000 / std::max(1, screen));
}
}  // namespace

WindowPlacement PlacementFromThousandths(Size screen, const PlacementThousandths& stored) {
  WindowPlacement placement;
  const int x = ToPixels(stored.x, screen.width);
  const int y = ToPixels(stored.y, screen.height);
  placement.normal = Rect::FromSize(x, y, ToPixels(stored.width, screen.width),
                                    ToPixels(stored.height, screen.height));
  placement.state = stored.show > 0   ? ShowState::kMaximized
                    : stored.show < 0 ? ShowState::kMinimized
                                      : ShowState::kNormal;
  return placement;
}

PlacementThousandths ThousandthsFromPlacement(Size screen, const WindowPlacement& placement) {
  const Rect& r = placement.normal;
  PlacementThousandths stored;
  stored.x = ToThousandths(r.left, screen.width);
  stored.y = ToThousandths(r.top, screen.height);
  stored.width = ToThousandths(r.Width(), screen.width);
  stored.height = ToThousandths(r.Height(), screen.height);
  stored.show = placement.state == ShowState::kMaximized   ? 1
                : placement.state == ShowState::kMinimized ? -1
                                                           : 0;
  return stored;
}
