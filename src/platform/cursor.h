// Cursor shapes a window can show: the standard ones and the program's own
// images, which are registered once by resource number.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/geometry.h"

enum class CursorShape { kArrow, kCross, kNone, kImage };

struct Cursor {
  CursorShape shape = CursorShape::kArrow;
  int resource = 0;  // kImage: the registered image's resource number
  friend bool operator==(const Cursor&, const Cursor&) = default;

  static Cursor Arrow() { return Cursor{}; }
  static Cursor Cross() { return Cursor{CursorShape::kCross, 0}; }
  static Cursor None() { return Cursor{CursorShape::kNone, 0}; }
  static Cursor Image(int resource) { return Cursor{CursorShape::kImage, resource}; }
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
