#include "app/progress_cursors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kFilled = 0xFF2060C0;
constexpr int kCentre = kProgramCursorSize / 2;
constexpr double kFaceRadius = 13.5;
constexpr double kRimWidth = 1.5;

CursorImage BlankImage() {
  CursorImage image;
  image.width = kProgramCursorSize;
  image.height = kProgramCursorSize;
  image.hot_spot = Point{kCentre, kCentre};
  image.pixels.assign(static_cast<std::size_t>(kProgramCursorSize) * kProgramCursorSize, kClear);
  return image;
}

void Put(CursorImage& image, int x, int y, std::uint32_t pixel) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
  image.pixels[static_cast<std::size_t>(y) * image.width + x] = pixel;
}

// One arrow from the centre outwards along (dx, dy), with a black outline.
void DrawArrow(CursorImage& image, int dx, int dy) {
  constexpr int kLength = 14;
  constexpr int kHead = 5;
  for (int pass = 0; pass < 2; ++pass) {
    const std::uint32_t colour = pass == 0 ? kBlack : kWhite;
    const int grow = pass == 0 ? 1 : 0;
    for (int t = 0; t <= kLength; ++t) {
      const int half = t > kLength - kHead ? kLength - t : 0;
      for (int s = -half - grow; s <= half + grow; ++s) {
        // Along the arrow by t, across it by s.
        Put(image, kCentre + dx * t + dy * s, kCentre + dy * t + dx * s, colour);
      }
    }
  }
}
}  // namespace

CursorImage DrawProgressCursor(int step) {
  step = std::clamp(step, 0, kProgressCursorCount - 1);
  CursorImage image = BlankImage();
  const double filled = 2 * std::numbers::pi * step / (kProgressCursorCount - 1);
  for (int y = 0; y < kProgramCursorSize; ++y) {
    for (int x = 0; x < kProgramCursorSize; ++x) {
      const double dx = x + 0.5 - kCentre;
      const double dy = y + 0.5 - kCentre;
      const double distance = std::hypot(dx, dy);
      if (distance > kFaceRadius) continue;
      if (distance > kFaceRadius - kRimWidth) {
        Put(image, x, y, kBlack);
        continue;
      }
      // Clockwise from twelve o'clock, 0 .. 2 pi.
      double angle = std::atan2(dx, -dy);
      if (angle < 0) angle += 2 * std::numbers::pi;
      Put(image, x, y, angle < filled ? kFilled : kWhite);
    }
  }
  // The hand at twelve o'clock shows where the clock starts.
  for (int y = kCentre - 11; y < kCentre; ++y) Put(image, kCentre, y, kBlack);
  return image;
}

CursorImage DrawPanCursor() {
  CursorImage image = BlankImage();
  DrawArrow(image, 1, 0);
  DrawArrow(image, -1, 0);
  DrawArrow(image, 0, 1);
  DrawArrow(image, 0, -1);
  return image;
}

void RegisterProgramCursors() {
  for (int step = 0; step < kProgressCursorCount; ++step) {
    RegisterCursorImage(kFirstProgressCursorResource + step, DrawProgressCursor(step));
  }
  RegisterCursorImage(kPanCursorResource, DrawPanCursor());
}

MouseCursor ProgressCursor(int percent) {
  return MouseCursor::Image(kFirstProgressCursorResource +
                            std::clamp(percent / 10, 0, kProgressCursorCount - 1));
}

MouseCursor PanCursor() {
  return MouseCursor::Image(kPanCursorResource);
}
