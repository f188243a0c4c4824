// Points, sizes and rectangles in device or logical pixels. A rectangle
// includes its left and top edges and excludes its right and bottom edges.
//
// Every pixel the platform hands out or takes (window rectangles, client
// sizes, mouse positions, surfaces, the screen size) is a device pixel: on a
// scaled (HiDPI) desktop the backend converts, so the program never sees a
// logical toolkit unit.
#pragma once

#include <algorithm>

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static Rect FromSize(int x, int y, int width, int height) {
    return Rect{x, y, x + width, y + height};
  }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  // True when `inner` lies wholly inside; an empty `inner` always does.
  bool Contains(const Rect& inner) const {
    return inner.IsEmpty() || (inner.left >= left && inner.top >= top && inner.right <= right &&
                               inner.bottom <= bottom);
  }
  Rect Offset(int dx, int dy) const { return Rect{left + dx, top + dy, right + dx, bottom + dy}; }
  // Left/right and top/bottom swapped where they are reversed (a dragged band).
  Rect Normalized() const {
    return Rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The common part; empty (all zero) when they do not overlap.
Rect Intersect(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty operand is ignored.
Rect Union(const Rect& a, const Rect& b);
