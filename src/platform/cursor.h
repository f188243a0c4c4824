// Mouse cursors a window can show: the standard ones and the program's own
// images, which are registered once by resource number. The names keep clear
// of X11's `Cursor` typedef and `None` macro, which the desktop backend sees.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/geometry.h"

enum class MouseCursorKind { kArrow, kCross, kHidden, kImage };

struct MouseCursor {
  MouseCursorKind kind = MouseCursorKind::kArrow;
  int resource = 0;  // kImage: the registered image's resource number
  friend bool operator==(const MouseCursor&, const MouseCursor&) = default;

  static MouseCursor Arrow() { return MouseCursor{}; }
  static MouseCursor Cross() { return MouseCursor{MouseCursorKind::kCross, 0}; }
  static MouseCursor Hidden() { return MouseCursor{MouseCursorKind::kHidden, 0}; }
  static MouseCursor Image(int resource) { return MouseCursor{MouseCursorKind::kImage, resource}; }
};

// A cursor picture: 0xAARRGGBB pixels, top row first, and the hot spot.
struct CursorImage {
  int width = 0;
  int height = 0;
  Point hot_spot;
  std::vector<std::uint32_t> pixels;
};

// Process-wide store of the program's cursor images; a backend shows them.
// False when the image's pixel count does not match its size.
bool RegisterCursorImage(int resource, CursorImage image);
std::optional<CursorImage> FindCursorImage(int resource);
