// A device context: drawing on one raster surface with the operations the
// program draws with. It draws in logical units that the mapping
// mode turns into surface pixels (identity unless a printer page sets a
// scaled mode), clips everything to the surface, and maps colours the way the
// surface's display would: on a palette display solid colours take the
// nearest system colour and bitmap colours the nearest colour of the
// selected, realized palette.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/colour.h"
#include "platform/display_palette.h"
#include "platform/geometry.h"
#include "platform/message.h"
#include "platform/surface.h"

class TDisplay;

// How one device-independent bitmap line is to be read.
enum class DibLineFormat {
  kIndexedRgbTable,  // 8 bits per pixel, indices into the given colour table
  kIndexedPalette,   // 8 bits per pixel, indices into the selected logical palette
  kBgr24,            // 24 bits per pixel: blue, green, red
};

// Window and viewport origins and extents of the anisotropic mapping mode:
// device = (logical − window origin) × viewport extent / window extent + viewport origin.
struct MappingMode {
  Point window_origin;
  Size window_extent{1, 1};
  Point viewport_origin;
  Size viewport_extent{1, 1};
  bool IsIdentity() const {
    return window_origin == Point{} && viewport_origin == Point{} &&
           window_extent == viewport_extent;
  }
};

class TDeviceContext {
 public:
  // `display` may be null for surfaces no display shows (a true-colour printer page).
  TDeviceContext(TSurface& surface, TDisplay* display, WindowId window = kNoWindow);

  TSurface& Surface() { return surface_; }
  TDisplay* Display() const { return display_; }

  // Mapping mode. SetMappingMode returns the one it replaces.
  MappingMode SetMappingMode(const MappingMode& mode);
  const MappingMode& Mapping() const { return mapping_; }
  Point LogicalToDevice(Point p) const;
  Point DeviceToLogical(Point p) const;
  Rect LogicalToDevice(const Rect& r) const;
  Rect DeviceToLogical(const Rect& r) const;

  // Drawing stays inside this rectangle of device pixels (and the surface).
  void SetClipRect(const Rect& device);
  Rect ClipBox() const;

  // Selects a logical palette (null: the default palette); returns the previous.
  TPalette* SelectPalette(TPalette* palette);
  TPalette* SelectedPalette() const { return palette_; }
  // Realizes the selected palette on the display; returns the entries changed.
  int RealizePalette(bool background = false);

  // Fills the rectangle with a solid colour.
  void FillRect(const Rect& rect, ColorRef colour);
  // Copies a width × height block from `source` at (source_x, source_y) to
  // (x, y), device units on both sides (SRCCOPY). Overlapping copies on one
  // surface are safe.
  void BitBlt(int x, int y, int width, int height, const TDeviceContext& source, int source_x,
              int source_y);
  // Draws one bitmap line of `width` pixels with its left end at (x, y); a
  // scaled mapping mode stretches it to the device rectangle of the logical
  // one-pixel-high line. A context is made for one paint or drawing step: it
  // does not notice palette changes that other contexts realize meanwhile. `colour_table` serves
  // kIndexedRgbTable (missing entries are black). `bits` must hold the whole line.
  void DrawDibLine(int x, int y, int width, std::span<const std::uint8_t> bits,
                   DibLineFormat format, std::span<const ColorRef> colour_table = {});
  // Draws text in the fixed font with its top-left corner at (x, y): `text_colour`
  // for the strokes and, when `opaque`, `back_colour` behind them.
  void DrawText(int x, int y, std::string_view text, ColorRef text_colour, ColorRef back_colour,
                bool opaque = true);
  Size GetTextExtent(std::string_view text) const;
  // Inverts the one-pixel outline of the rectangle (corners given in either
  // order). Every outline pixel is inverted exactly once, so drawing the same
  // rectangle twice restores the surface.
  void InvertFrame(const Rect& rect);
  // Moves the pixels inside `scroll` by (dx, dy); only pixels inside `clip`
  // change. The uncovered strips keep what they held.
  void ScrollRect(int dx, int dy, const Rect& scroll, const Rect& clip);

 private:
  std::uint32_t SolidPixel(ColorRef colour) const;
  std::uint32_t BitmapPixel(ColorRef colour) const;
  std::uint32_t PalettePixel(int index) const;
  const std::array<std::uint32_t, 256>& IndexLookup(DibLineFormat format,
                                                    std::span<const ColorRef> colour_table);
  void DrawDeviceLine(const Rect& device, int width, const std::vector<std::uint32_t>& pixels);
  void DrawBgrLineDirect(int x, int y, int width, const std::uint8_t* bits);

  TSurface& surface_;
  TDisplay* display_;
  WindowId window_;
  MappingMode mapping_;
  std::optional<Rect> clip_;
  TPalette* palette_ = nullptr;
  // Nearest-pixel lookups of one palette state, keyed by colour.
  mutable std::vector<std::uint64_t> colour_cache_;
  std::vector<std::uint32_t> line_buffer_;
  // Pixel values of the 256 indices of the last indexed line, kept while the
  // format, colour table and palette stay the same.
  std::array<std::uint32_t, 256> index_lookup_{};
  std::vector<ColorRef> lookup_table_;
  DibLineFormat lookup_format_ = DibLineFormat::kIndexedPalette;
  bool lookup_valid_ = false;
};
