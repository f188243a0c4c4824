#include "print/print_layout.h"

#include <algorithm>
#include <cstdint>

#include "image/image_limits.h"

namespace {
// The part of `pixels` that `millimetres` of `total_mm` take, in 64 bits
// because margins reach 32767 mm.
std::int64_t Share(std::int64_t millimetres, int pixels, int total_mm) {
  if (total_mm <= 0) return 0;
  return millimetres * pixels / total_mm;
}

int AreaSide(int total_mm, int low_mm, int high_mm, int pixels) {
  const std::int64_t side = Share(std::int64_t{total_mm} - low_mm - high_mm, pixels, total_mm);
  return static_cast<int>(std::clamp<std::int64_t>(side, kMinPrintArea, kMaxSurfaceSide));
}

int OffsetSide(int low_mm, int pixels, int total_mm) {
  const std::int64_t offset = Share(low_mm, pixels, total_mm);
  return static_cast<int>(std::clamp<std::int64_t>(offset, 0, std::max(0, pixels - kMinPrintArea)));
}
}  // namespace

Size PrintArea(const PrinterPageMetrics& metrics, Size page, const PrintMargins& margins) {
  return Size{AreaSide(metrics.width_mm, margins.left, margins.right, page.width),
              AreaSide(metrics.height_mm, margins.top, margins.bottom, page.height)};
}

PrintTargets ReducePrintArea(Size full, Size picture, bool dithered) {
  PrintTargets targets{full, full, 1};
  Size& reduced = targets.reduced;
  while (reduced.width > kMaxOutputSize || reduced.height > kMaxOutputSize) {
    reduced.width /= 2;
    reduced.height /= 2;
    targets.factor *= 2;
  }
  if (dithered) return targets;
  // A tiny picture stops at the smallest output, or it would be laid out
  // larger than the area it was prepared for.
  while (picture.width < reduced.width / 2 && picture.height < reduced.height / 2 &&
         reduced.width / 2 >= kMinOutputSize && reduced.height / 2 >= kMinOutputSize) {
    reduced.width /= 2;
    reduced.height /= 2;
    targets.factor *= 2;
  }
  return targets;
}

Point PrintOffset(const PrinterPageMetrics& metrics, Size page, const PrintMargins& margins) {
  return Point{OffsetSide(margins.left, page.width, metrics.width_mm),
               OffsetSide(margins.top, page.height, metrics.height_mm)};
}

MappingMode PrintMapping(const PrintTargets& targets, Point offset) {
  MappingMode mode;
  mode.window_extent = targets.reduced;
  mode.viewport_extent =
      Size{targets.reduced.width * targets.factor, targets.reduced.height * targets.factor};
  mode.viewport_origin = offset;
  return mode;
}
