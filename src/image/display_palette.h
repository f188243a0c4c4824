// The decision behind the screen palette: whether the current picture is
// dithered, which palette the window realizes, and how the main window's
// TDither is loaded. It runs over a description of the display so that the
// window only has to realize what is decided here.
#pragma once

#include <array>
#include <cstdint>

#include "image/dither.h"
#include "image/palette.h"
// The free entries of an 8-bit system palette (kFirstFreeSystemEntry, kFreeSystemEntries).
#include "platform/display.h"

class TProfile;

// Palette entry flag: the entry gets its own slot in the system palette.
inline constexpr std::uint8_t kPaletteNoCollapse = 0x04;
// The Effect setting that draws pictures straight to the screen.
inline constexpr int kDirectEffect = 1;

// What the build needs from the screen.
class PaletteDisplay {
 public:
  virtual ~PaletteDisplay() = default;
  virtual int BitsPerPixel() const = 0;
  // True when the display has a settable system palette.
  virtual bool HasPalette() const = 0;
  // Selects and realizes `palette`; its colours enter the system palette.
  virtual void RealizePalette(const LogPalette& palette) = 0;
  virtual PaletteEntry SystemPaletteEntry(int index) const = 0;
  // The colour the display shows when asked for `colour`.
  virtual PaletteEntry NearestColor(const PaletteEntry& colour) const = 0;
};

struct DisplayPaletteSettings {
  bool display_in_color = true;
  bool auto_dither = false;
  int effect = kDirectEffect;
  bool thumbnails_enable = false;
  int thumbnails_across = 1;
  int thumbnails_down = 1;
  int brightness = kNeutralTone;
  int contrast = kNeutralTone;
  bool invert = false;
};

DisplayPaletteSettings DisplayPaletteSettingsFrom(const TProfile& profile);

// The picture as GetPalette gives it: its (or its representative) palette and
// each entry's use in whole percent.
struct DisplayPicture {
  LogPalette palette;
  std::array<int, kMaxPaletteEntries> percentages{};
  bool is_24bit = false;
};

struct DisplayPalettePlan {
  bool colour = true;             // grey/colour flag given to TDither
  bool forced = false;            // several pictures share the screen
  bool erase_background = false;  // erase the client area and drop the page first
  bool dither = false;
  bool has_window_palette = false;
  LogPalette window_palette;  // kept by the window, already realized
  LogPalette target;          // the dithering target when `dither`
};

// Loads `dither` (source, and target when dithering), realizes palettes on
// `display` in the order the screen needs them, and returns what the window
// keeps. `repaint` is whether the caller will redraw afterwards.
DisplayPalettePlan BuildDisplayPalettePlan(TDither& dither, PaletteDisplay& display,
                                           const DisplayPicture& picture,
                                           const DisplayPaletteSettings& settings, bool repaint);

// The fit measure of AutoDither: how far, on average, the picture's colours
// are from their nearest target entries (weighted by use). Dither above 4.
int PaletteMisfit(const LogPalette& picture, std::array<int, kMaxPaletteEntries> percentages,
                  const LogPalette& target);

// Index of the entry of `palette` nearest to `colour` in RGB; the first of equals.
int NearestPaletteIndex(const LogPalette& palette, const PaletteEntry& colour);
