// The display: its size, resolution and depth, and the system palette of a
// palette display. The depth is 24 bits by default; set to 8, 4 or 1 it
// emulates a palette display, so screen surfaces hold system palette indices
// and the program's palette and dithering paths run for real.
//
// At 8 bits the system palette holds the 20 static colours (entries 0..9 and
// 246..255) and 236 free entries that realized palettes take. At 4 bits it is
// the 16 fixed colours, at 1 bit black and white.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/colour.h"
#include "platform/display_palette.h"
#include "platform/geometry.h"
#include "platform/message.h"
#include "platform/surface.h"

inline constexpr int kSystemPaletteSize = 256;
inline constexpr int kStaticColourCount = 20;
inline constexpr int kFirstFreeSystemEntry = 10;
inline constexpr int kFreeSystemEntries = 236;
inline constexpr int kDefaultLogPixelsPerInch = 96;

// The palette a device context uses when none is selected: the static colours.
const TPalette& DefaultPalette();

class TDisplay {
 public:
  TDisplay();

  Size ScreenSize() const { return screen_size_; }
  void SetScreenSize(Size size) { screen_size_ = size; }
  int LogPixelsX() const { return log_pixels_x_; }
  int LogPixelsY() const { return log_pixels_y_; }
  void SetLogPixels(int x, int y) {
    log_pixels_x_ = x;
    log_pixels_y_ = y;
  }

  // Bits per pixel times planes. Setting anything but 24, 8, 4 or 1 is refused.
  // A new depth resets the system palette to its static colours and is also
  // what DisplayBitsPerPixel() reports.
  int Depth() const { return depth_; }
  bool SetDepth(int bits);
  // The raster capability of a palette device: only at 8 bits.
  bool HasPaletteCaps() const { return depth_ == 8; }

  // Number of system palette entries: 256, 16 or 2; 0 on a true-colour display.
  int SystemPaletteSize() const;
  // Copies `count` entries from `start`; returns how many were copied.
  int GetSystemPaletteEntries(int start, int count, PaletteColour* out) const;
  const SystemColours& SystemColourTable() const { return system_colours_; }

  // The colour the display shows for `colour`: itself on a true-colour display,
  // otherwise the nearest colour of the system palette in use.
  ColorRef GetNearestColor(ColorRef colour) const;
  // The pixel value that shows the nearest colour to `colour` on this display.
  std::uint32_t PixelForColour(ColorRef colour) const;

  // Maps the palette's entries into the system palette, as a palette display
  // does: in the foreground the free entries are first given up; an entry takes
  // an equal colour already present unless it is marked kPcNoCollapse, else a
  // free entry, else the nearest colour present. Records the mapping in the
  // palette and returns the number of system entries that changed. When any
  // changed, the palette-changing and palette-changed notices go out, naming
  // `realizing_window`. Nothing changes on a display of more than 8 bits or of
  // fixed colours (4 and 1 bits), but the mapping is still recorded.
  int RealizePalette(TPalette& palette, WindowId realizing_window, bool background = false);

  // Receives the palette notices (kPaletteIsChanging, then kPaletteChanged).
  void SetPaletteNoticeSink(std::function<void(MessageId, WindowId)> sink) {
    notice_sink_ = std::move(sink);
  }

  // A surface of the display's depth, its pixels showing the system colours.
  std::unique_ptr<TSurface> CreateCompatibleSurface(int width, int height) const;

 private:
  void ResetSystemPalette();
  int NearestSystemIndex(ColorRef colour) const;
  int FindExactInUse(ColorRef colour) const;
  int TakeFreeEntry(ColorRef colour);

  Size screen_size_{1024, 768};
  int log_pixels_x_ = kDefaultLogPixelsPerInch;
  int log_pixels_y_ = kDefaultLogPixelsPerInch;
  int depth_ = 24;
  SystemColours system_colours_{};
  std::array<bool, kSystemPaletteSize> in_use_{};
  std::function<void(MessageId, WindowId)> notice_sink_;
};
