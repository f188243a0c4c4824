#include "image/picture_rows.h"

#include <algorithm>

#include "image/dither.h"
#include "image/image.h"
#include "image/image_limits.h"

namespace {
constexpr int kColourBytes = 3;
}  // namespace

Rect PictureRect(const TImage& image, Point origin) {
  const ImageBounds output = image.GetOutputRect();
  return Rect{output.left, output.top, output.right, output.bottom}.Offset(origin.x, origin.y);
}

void FillAroundPicture(TDeviceContext& dc, const Rect& frame, const Rect& picture,
                       ColorRef colour) {
  const Rect inside = Intersect(frame, picture);
  if (inside.IsEmpty()) {
    dc.FillRect(frame, colour);
    return;
  }
  dc.FillRect(Rect{frame.left, frame.top, frame.right, inside.top}, colour);
  dc.FillRect(Rect{frame.left, inside.bottom, frame.right, frame.bottom}, colour);
  dc.FillRect(Rect{frame.left, inside.top, inside.left, inside.bottom}, colour);
  dc.FillRect(Rect{inside.right, inside.top, frame.right, inside.bottom}, colour);
}

int PaintPictureRows(TImage& image, TDither& dither, TDeviceContext& dc, Point origin,
                     Rect& pending, const RowFormat& format, std::span<std::uint8_t> line,
                     int max_rows, const std::function<bool(int y)>& next_row) {
  const int picture_bytes = image.GetBytesPerPixel();
  const int output_bytes = format.format == DibLineFormat::kBgr24 ? kColourBytes : 1;
  // The converted row never takes more room than the fetched one.
  const auto room = static_cast<int>(line.size() / kColourBytes);
  const int width = std::min({pending.Width(), kMaxOutputSize, room});
  int drawn = 0;
  while (!pending.IsEmpty() && width > 0 && drawn < max_rows) {
    const int y = pending.top;
    if (next_row && !next_row(y)) break;
    image.GetOutputRow(pending.left - origin.x, y - origin.y, line.data(), width);
    dither.DitherLine(line.data(), width, picture_bytes);
    dc.DrawDibLine(pending.left, y, width,
                   line.first(static_cast<std::size_t>(width) * output_bytes), format.format,
                   format.colour_table);
    ++pending.top;
    ++drawn;
  }
  return drawn;
}
