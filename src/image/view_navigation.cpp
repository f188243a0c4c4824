// The interactive view: pan, zoom, zoom to a dragged rectangle, centre on a
// click. Every operation ends in ClampView, so the view stays inside the crop,
// at least kMinViewSize per side where the crop allows, with viewCentre its centre.
#include <algorithm>
#include <utility>

#include "image/image.h"

namespace {

constexpr int kZoomSnapDistance = 16;

// The extent (1 .. limit) a zoomed view side may take, snapped to a limit
// when it comes within kZoomSnapDistance of it.
int LimitViewSide(int side, int upper) {
  upper = std::max(upper, 1);
  const int lower = std::min(kMinViewSize, upper);
  side = std::clamp(side, lower, upper);
  if (upper - side < kZoomSnapDistance) return upper;
  if (side - lower < kZoomSnapDistance) return lower;
  return side;
}

}  // namespace

void TImage::ClampView() {
  cropRect.x = std::clamp(cropRect.x, 0, width - 1);
  cropRect.y = std::clamp(cropRect.y, 0, height - 1);
  cropRect.width = std::clamp(cropRect.width, 1, width - cropRect.x);
  cropRect.height = std::clamp(cropRect.height, 1, height - cropRect.y);
  if (viewRect.width < kMinViewSize) {
    viewRect.x -= (kMinViewSize - viewRect.width) / 2;
    viewRect.width = kMinViewSize;
  }
  if (viewRect.height < kMinViewSize) {
    viewRect.y -= (kMinViewSize - viewRect.height) / 2;
    viewRect.height = kMinViewSize;
  }
  viewRect.width = std::min(viewRect.width, cropRect.width);
  viewRect.height = std::min(viewRect.height, cropRect.height);
  viewRect.x = std::clamp(viewRect.x, cropRect.x, cropRect.x + cropRect.width - viewRect.width);
  viewRect.y = std::clamp(viewRect.y, cropRect.y, cropRect.y + cropRect.height - viewRect.height);
  viewCentre = {viewRect.x + viewRect.width / 2, viewRect.y + viewRect.height / 2};
}

void TImage::Pan(int dx, int dy) {
  if (orientation & kOrientMirror) dx = -dx;
  if (orientation & kOrientFlip) dy = -dy;
  if (orientation & kOrientTranspose) std::swap(dx, dy);
  viewRect.x = static_cast<int>(
      std::clamp<std::int64_t>(std::int64_t{viewRect.x} + dx, -width, 2 * std::int64_t{width}));
  viewRect.y = static_cast<int>(
      std::clamp<std::int64_t>(std::int64_t{viewRect.y} + dy, -height, 2 * std::int64_t{height}));
  ClampView();
}

void TImage::SetViewSize(int view_width, int view_height) {
  if (orientation & kOrientTranspose) std::swap(view_width, view_height);
  view_width = std::clamp(view_width, 1, width);
  view_height = std::clamp(view_height, 1, height);
  viewRect = {viewCentre.x - view_width / 2, view_width, viewCentre.y - view_height / 2,
              view_height};
  ClampView();
}

void TImage::RecentreView() {
  viewRect.x = viewCentre.x - viewRect.width / 2;
  viewRect.y = viewCentre.y - viewRect.height / 2;
  ClampView();
}

void TImage::Zoom(int direction, bool fit, bool scale_to_window, int window_width,
                  int window_height) {
  window_width = std::clamp(window_width, 1, kMaxOutputSize);
  window_height = std::clamp(window_height, 1, kMaxOutputSize);
  if (direction == 0) {
    ResetViewToWhole();
    if (fit && !scale_to_window) FitZoomToWindow(window_width, window_height);
    ClampView();
    return;
  }
  if (scale_to_window) {
    // The window always shows the whole view: zooming changes the view alone.
    const int centre_x = viewCentre.x;
    const int centre_y = viewCentre.y;
    if (direction > 0) {
      viewRect.width /= 2;
      viewRect.height /= 2;
    } else {
      viewRect.width *= 2;
      viewRect.height *= 2;
    }
    viewRect.width = LimitViewSide(viewRect.width, cropRect.width);
    viewRect.height = LimitViewSide(viewRect.height, cropRect.height);
    viewCentre = {centre_x, centre_y};
    RecentreView();
    return;
  }
  StepZoomFraction(direction, window_width, window_height);
  LimitViewToWindow(window_width, window_height);
}

void TImage::StepZoomFraction(int direction, int window_width, int window_height) {
  const bool transposed = (orientation & kOrientTranspose) != 0;
  const int crop_across = transposed ? cropRect.height : cropRect.width;
  const int crop_down = transposed ? cropRect.width : cropRect.height;
  if (direction > 0) {
    zoomNum *= 2;
    // The window would show fewer than kMinViewSize picture pixels: undo.
    if (std::int64_t{window_width} * zoomDen / zoomNum < kMinViewSize ||
        std::int64_t{window_height} * zoomDen / zoomNum < kMinViewSize) {
      zoomDen *= 2;
    }
  } else {
    zoomDen *= 2;
    // The whole crop would show as fewer than kMinViewSize screen pixels: undo.
    if (std::int64_t{crop_across} * zoomNum / zoomDen < kMinViewSize ||
        std::int64_t{crop_down} * zoomNum / zoomDen < kMinViewSize) {
      zoomNum *= 2;
    }
  }
  ReduceFraction(zoomNum, zoomDen);
  if (zoomNum < 1 || zoomDen < 1) zoomNum = zoomDen = 1;
}

void TImage::LimitViewToWindow(int window_width, int window_height) {
  const bool transposed = (orientation & kOrientTranspose) != 0;
  const std::int64_t fill_across = std::int64_t{window_width} * zoomDen / zoomNum;
  const std::int64_t fill_down = std::int64_t{window_height} * zoomDen / zoomNum;
  const int fill_width =
      static_cast<int>(std::min<std::int64_t>(transposed ? fill_down : fill_across, width));
  const int fill_height =
      static_cast<int>(std::min<std::int64_t>(transposed ? fill_across : fill_down, height));
  // The view keeps its size, capped at what fills the window at the new zoom
  // and at the crop.
  const int across = std::min(fill_width, cropRect.width);
  const int down = std::min(fill_height, cropRect.height);
  viewRect.width = LimitViewSide(viewRect.width, across);
  viewRect.height = LimitViewSide(viewRect.height, down);
  RecentreView();
}

void TImage::FitZoomToWindow(int window_width, int window_height) {
  const ImageSize view = GetViewSize();
  if (window_width >= view.width && window_height >= view.height) return;
  if (std::int64_t{window_height} * view.width >= std::int64_t{window_width} * view.height) {
    zoomNum = window_width;
    zoomDen = view.width;
  } else {
    zoomNum = window_height;
    zoomDen = view.height;
  }
  ReduceFraction(zoomNum, zoomDen);
  if (zoomNum < 1 || zoomDen < 1) zoomNum = zoomDen = 1;
}

ImagePoint TImage::WindowToPicture(int x, int y) const {
  int column = std::clamp(x - outputRect.x, 0, std::max(outputRect.width, 1) - 1);
  int row = std::clamp(y - outputRect.y, 0, std::max(outputRect.height, 1) - 1);
  if (orientation & kOrientMirror) column = outputRect.width - 1 - column;
  if (orientation & kOrientFlip) row = outputRect.height - 1 - row;
  const int across = columnMap[column];
  const int down = rowMap[row];
  if (orientation & kOrientTranspose) return {down, across};
  return {across, down};
}

void TImage::ZoomToRect(ImageBounds window_rect, bool fit, bool scale_to_window, int window_width,
                        int window_height) {
  const ImagePoint a = WindowToPicture(window_rect.left, window_rect.top);
  const ImagePoint b = WindowToPicture(window_rect.right - 1, window_rect.bottom - 1);
  const int left = std::min(a.x, b.x);
  const int top = std::min(a.y, b.y);
  viewRect = {left, std::max(a.x, b.x) - left + 1, top, std::max(a.y, b.y) - top + 1};
  ClampView();
  if (scale_to_window || !fit) return;
  window_width = std::clamp(window_width, 1, kMaxOutputSize);
  window_height = std::clamp(window_height, 1, kMaxOutputSize);
  const ImageSize view = GetViewSize();
  if (view.width > window_width || view.height > window_height) {
    const int across = (view.width + window_width - 1) / window_width;
    const int down = (view.height + window_height - 1) / window_height;
    zoomNum = 1;
    zoomDen = std::max(across, down);
  } else {
    zoomNum = std::max(1, std::min(window_width / view.width, window_height / view.height));
    zoomDen = 1;
  }
  ReduceFraction(zoomNum, zoomDen);
}

void TImage::CentreAt(int x, int y) {
  viewCentre = WindowToPicture(x, y);
  RecentreView();
}
