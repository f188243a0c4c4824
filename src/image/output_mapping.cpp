// SetOutputSize fits the view into an output area and builds the two maps;
// GetOutputRow then takes any output row by table lookup alone.
#include <algorithm>
#include <cstring>

#include "image/image.h"
#include "image/orientation.h"

namespace {

constexpr int kSmallPrimes[] = {2, 3, 5, 7, 11};
constexpr int kFractionLimit = 32767;
// Resolutions and aspect terms beyond this are meaningless; capping them keeps
// the proportion products within 64 bits.
constexpr int kMaxRatioTerm = 65535;

struct ViewInOutput {
  int width;
  int height;
  int x;
  int y;
};

ViewInOutput ViewAsSeen(const ImageRect& view, bool transposed) {
  if (transposed) return {view.height, view.width, view.y, view.x};
  return {view.width, view.height, view.x, view.y};
}

void FillMap(std::int16_t* map, int output_size, int view_size, int view_start) {
  for (int i = 0; i < output_size; ++i) {
    const std::int64_t source =
        std::min<std::int64_t>(std::int64_t{view_size} * i / output_size, view_size - 1);
    map[i] = static_cast<std::int16_t>(source + view_start);
  }
}

}  // namespace

void ReduceFraction(int& a, int& b) {
  for (int prime : kSmallPrimes) {
    while (a != 0 && b != 0 && a % prime == 0 && b % prime == 0) {
      a /= prime;
      b /= prime;
    }
  }
  while (a > kFractionLimit || b > kFractionLimit || a < -kFractionLimit || b < -kFractionLimit) {
    // Halving a term of 1 would make it 0 and lose the ratio (a zoom of 0):
    // the nearest ratio within range is the largest term over 1.
    if (a == 1 || a == -1 || b == 1 || b == -1) {
      if (a > kFractionLimit || a < -kFractionLimit) a = a < 0 ? -kFractionLimit : kFractionLimit;
      if (b > kFractionLimit || b < -kFractionLimit) b = b < 0 ? -kFractionLimit : kFractionLimit;
      return;
    }
    a /= 2;
    b /= 2;
  }
}

// The display at its own zoom: the view shrinks to what fits the area, and
// the area shrinks to the zoomed view.
void TImage::ApplyZoomToArea(int& area_width, int& area_height, bool fit) {
  const bool transposed = (orientation & kOrientTranspose) != 0;
  ViewInOutput v = ViewAsSeen(viewRect, transposed);
  if (fit && (area_width < std::int64_t{v.width} * zoomNum / zoomDen ||
              area_height < std::int64_t{v.height} * zoomNum / zoomDen)) {
    if (std::int64_t{area_height} * v.width >= std::int64_t{area_width} * v.height) {
      zoomNum = area_width;
      zoomDen = v.width;
    } else {
      zoomNum = area_height;
      zoomDen = v.height;
    }
    ReduceFraction(zoomNum, zoomDen);
    if (zoomNum < 1 || zoomDen < 1) zoomNum = zoomDen = 1;
  }
  const std::int64_t zoomed_width = std::int64_t{v.width} * zoomNum / zoomDen;
  const std::int64_t zoomed_height = std::int64_t{v.height} * zoomNum / zoomDen;
  // Along the output's horizontal lies the view's width, or its height when transposed.
  int& horizontal_extent = transposed ? viewRect.height : viewRect.width;
  int& horizontal_start = transposed ? viewRect.y : viewRect.x;
  const int horizontal_centre = transposed ? viewCentre.y : viewCentre.x;
  int& vertical_extent = transposed ? viewRect.width : viewRect.height;
  int& vertical_start = transposed ? viewRect.x : viewRect.y;
  const int vertical_centre = transposed ? viewCentre.x : viewCentre.y;
  if (zoomed_width > area_width) {
    horizontal_extent = static_cast<int>(std::int64_t{area_width} * zoomDen / zoomNum);
    horizontal_start = horizontal_centre - horizontal_extent / 2;
    area_width = static_cast<int>(std::int64_t{horizontal_extent} * zoomNum / zoomDen);
  } else {
    area_width = static_cast<int>(zoomed_width);
  }
  if (zoomed_height > area_height) {
    vertical_extent = static_cast<int>(std::int64_t{area_height} * zoomDen / zoomNum);
    vertical_start = vertical_centre - vertical_extent / 2;
    area_height = static_cast<int>(std::int64_t{vertical_extent} * zoomNum / zoomDen);
  } else {
    area_height = static_cast<int>(zoomed_height);
  }
  ClampView();
}

void TImage::SetOutputSize(int area_width, int area_height, int x_resolution, int y_resolution,
                           int new_orientation, bool scale_to_area, bool fit) {
  orientation = ShownOrientation(new_orientation);
  const bool transposed = (orientation & kOrientTranspose) != 0;
  // The maps must only ever name pixels of this picture.
  ClampView();
  if (!scale_to_area) ApplyZoomToArea(area_width, area_height, fit);
  area_width = std::clamp(area_width, kMinOutputSize, kMaxOutputSize);
  area_height = std::clamp(area_height, kMinOutputSize, kMaxOutputSize);

  const ViewInOutput v = ViewAsSeen(viewRect, transposed);
  const std::int64_t px = std::clamp(transposed ? aspectY : aspectX, 1, kMaxRatioTerm);
  const std::int64_t py = std::clamp(transposed ? aspectX : aspectY, 1, kMaxRatioTerm);
  const std::int64_t xres = std::clamp(x_resolution, 1, kMaxRatioTerm);
  const std::int64_t yres = std::clamp(y_resolution, 1, kMaxRatioTerm);
  const std::int64_t a = std::int64_t{area_width} * yres * std::max(v.height, 1) * px;
  const std::int64_t b = std::int64_t{area_height} * xres * std::max(v.width, 1) * py;
  std::int64_t out_width = area_width;
  std::int64_t out_height = area_height;
  if (a < b) {
    out_height = out_height * a / b;
  } else {
    out_width = out_width * b / a;
  }
  out_width = std::clamp<std::int64_t>(out_width, kMinOutputSize, area_width);
  out_height = std::clamp<std::int64_t>(out_height, kMinOutputSize, area_height);

  outputRect = {(area_width - static_cast<int>(out_width)) / 2, static_cast<int>(out_width),
                (area_height - static_cast<int>(out_height)) / 2, static_cast<int>(out_height)};
  FillMap(columnMap.data(), outputRect.width, std::max(v.width, 1), v.x);
  FillMap(rowMap.data(), outputRect.height, std::max(v.height, 1), v.y);
  contiguousColumns_ = !transposed && v.width == outputRect.width;
}

ImageBounds TImage::GetOutputRect() const {
  return {outputRect.x, outputRect.y, outputRect.x + std::max(outputRect.width, 1),
          outputRect.y + std::max(outputRect.height, 1)};
}

int TImage::ShownOrientation(int rotate) const {
  return ComposeOrientations(uprightOrientation, rotate);
}

ImageSize TImage::GetViewSize() const {
  if (orientation & kOrientTranspose) return {viewRect.height, viewRect.width};
  return {viewRect.width, viewRect.height};
}

void TImage::GetOutputRow(int x, int y, std::uint8_t* buffer, int count) const {
  if (buffer == nullptr || count <= 0) return;
  const int bpp = bytesPerPixel;
  const int rel_row = y - outputRect.y;
  const std::int64_t first = std::max<std::int64_t>(x, outputRect.x);
  const std::int64_t stop = std::min<std::int64_t>(std::int64_t{x} + count,
                                                   std::int64_t{outputRect.x} + outputRect.width);
  if (rel_row < 0 || rel_row >= outputRect.height || first >= stop) {
    std::memset(buffer, 0, std::size_t(count) * bpp);
    return;
  }
  const std::size_t lead = static_cast<std::size_t>(first - x);
  const std::size_t inside = static_cast<std::size_t>(stop - first);
  std::memset(buffer, 0, lead * bpp);
  std::memset(buffer + (lead + inside) * bpp, 0, (std::size_t(count) - lead - inside) * bpp);

  const int map_row = (orientation & kOrientFlip) ? outputRect.height - 1 - rel_row : rel_row;
  int column = static_cast<int>(first - outputRect.x);
  int step = 1;
  if (orientation & kOrientMirror) {
    column = outputRect.width - 1 - column;
    step = -1;
  }
  std::uint8_t* out = buffer + lead * bpp;
  if (orientation & kOrientTranspose) {
    CopyTransposedRow(rowMap[map_row], column, step, out, inside);
  } else {
    CopyRow(rowMap[map_row], column, step, out, inside);
  }
}

void TImage::CopyRow(int source_row, int column, int step, std::uint8_t* out,
                     std::size_t count) const {
  const std::uint8_t* source = rows[source_row];
  const std::int16_t* map = columnMap.data();
  if (bytesPerPixel == 1) {
    if (contiguousColumns_ && step == 1) {
      std::memcpy(out, source + map[column], count);
      return;
    }
    for (std::size_t i = 0; i < count; ++i, column += step) out[i] = source[map[column]];
    return;
  }
  if (contiguousColumns_ && step == 1) {
    std::memcpy(out, source + 3 * map[column], 3 * count);
    return;
  }
  for (std::size_t i = 0; i < count; ++i, column += step) {
    const std::uint8_t* pixel = source + 3 * map[column];
    out[3 * i] = pixel[0];
    out[3 * i + 1] = pixel[1];
    out[3 * i + 2] = pixel[2];
  }
}

void TImage::CopyTransposedRow(int source_column, int column, int step, std::uint8_t* out,
                               std::size_t count) const {
  const std::int16_t* map = columnMap.data();
  const std::size_t offset = std::size_t(source_column) * bytesPerPixel;
  if (bytesPerPixel == 1) {
    for (std::size_t i = 0; i < count; ++i, column += step) out[i] = rows[map[column]][offset];
    return;
  }
  for (std::size_t i = 0; i < count; ++i, column += step) {
    const std::uint8_t* pixel = rows[map[column]] + offset;
    out[3 * i] = pixel[0];
    out[3 * i + 1] = pixel[1];
    out[3 * i + 2] = pixel[2];
  }
}

int TImage::BorderColour() const {
  if (bytesPerPixel != 1) return 0;
  std::array<std::int64_t, kMaxPaletteEntries> counts{};
  const int left = std::clamp(viewRect.x, 0, width - 1);
  const int top = std::clamp(viewRect.y, 0, height - 1);
  const int right = std::clamp(viewRect.x + viewRect.width - 1, left, width - 1);
  const int bottom = std::clamp(viewRect.y + viewRect.height - 1, top, height - 1);
  for (int c = left; c <= right; ++c) {
    ++counts[rows[top][c]];
    if (bottom != top) ++counts[rows[bottom][c]];
  }
  for (int r = top + 1; r < bottom; ++r) {
    ++counts[rows[r][left]];
    if (right != left) ++counts[rows[r][right]];
  }
  // max_element keeps the first of equal maxima: ties go to the lowest index.
  return static_cast<int>(std::max_element(counts.begin(), counts.end()) - counts.begin());
}
