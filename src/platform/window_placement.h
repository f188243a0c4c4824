// Window positions and sizes as the settings keep them: thousandths of the
// screen, and a show state of -1 (minimized), 0 (normal) or 1 (maximized).
#pragma once

#include "platform/geometry.h"
#include "platform/window.h"

struct PlacementThousandths {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int show = 0;  // m: > 0 maximized, < 0 minimized, 0 normal
  friend bool operator==(const PlacementThousandths&, const PlacementThousandths&) = default;
};

// value × screen size / 1000 for each of x, y, width and height.
WindowPlacement PlacementFromThousandths(Size screen, const PlacementThousandths& stored);
// value × 1000 / screen size for the normal rectangle; the state as -1, 0 or 1.
PlacementThousandths ThousandthsFromPlacement(Size screen, const WindowPlacement& placement);
