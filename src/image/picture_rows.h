// The picture painted on a device, as the window paints its client area and
// printing its page: the frame around the laid-out picture filled, then the
// picture's output rows fetched, converted by the dithering engine and drawn
// as bitmap lines through the device context (whose mapping and clip decide
// where they land in pixels).
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "platform/colour.h"
#include "platform/device_context.h"
#include "platform/geometry.h"

class TDither;
class TImage;

// How converted rows reach the device: indices into the selected palette or
// into `colour_table`, or blue, green, red bytes.
struct RowFormat {
  DibLineFormat format = DibLineFormat::kBgr24;
  std::span<const ColorRef> colour_table;
};

// The picture's output rectangle with its (0, 0) at `origin`.
Rect PictureRect(const TImage& image, Point origin);

// Fills the part of `frame` outside `picture`.
void FillAroundPicture(TDeviceContext& dc, const Rect& frame, const Rect& picture, ColorRef colour);

// Draws the rows of `pending` from its top down, `origin` being where output
// (0, 0) lies; each row covers pending's columns (at most the widest output).
// `line` is the line buffer, at least 3 bytes per pixel drawn. Stops after
// `max_rows` rows, or when `next_row` (asked before each row with its y)
// says no. Moves pending's top past the rows drawn and returns their count.
int PaintPictureRows(TImage& image, TDither& dither, TDeviceContext& dc, Point origin,
                     Rect& pending, const RowFormat& format, std::span<std::uint8_t> line,
                     int max_rows, const std::function<bool(int y)>& next_row = {});
