// A raster surface: the pixels of a window's screen, of an off-screen page
// bitmap or of a printer page. Pixels are 32-bit values, top row first:
// 0x00RRGGBB on a true-colour surface, or a system palette index on a surface
// of 8, 4 or 1 bits (what a palette display holds).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/colour.h"
#include "platform/geometry.h"

// Largest side of any surface; keeps width × height × 4 well inside memory.
inline constexpr int kMaxSurfaceSide = 32768;
// Largest surface in pixels (a 16384 × 16384 page).
inline constexpr std::int64_t kMaxSurfacePixels = std::int64_t{16384} * 16384;

// The colours of the system palette, indexed by pixel value on palette surfaces.
using SystemColours = std::array<ColorRef, 256>;

constexpr std::uint32_t PixelFromColour(ColorRef colour) {
  return static_cast<std::uint32_t>((RedOf(colour) << 16) | (GreenOf(colour) << 8) |
                                    BlueOf(colour));
}
constexpr ColorRef ColourFromPixel(std::uint32_t pixel) {
  return MakeRgb(static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                 static_cast<int>(pixel & 0xFF));
}

class TSurface {
 public:
  // Null when a side is not positive or the surface would be too large.
  // `bits_per_pixel` is 24 (true colour) or 8, 4, 1 (palette display).
  static std::unique_ptr<TSurface> Create(int width, int height, int bits_per_pixel,
                                          const SystemColours* system_colours = nullptr);

  int Width() const { return width_; }
  int Height() const { return height_; }
  Rect Bounds() const { return Rect{0, 0, width_, height_}; }
  int BitsPerPixel() const { return bits_per_pixel_; }
  bool IsPaletteSurface() const { return bits_per_pixel_ <= 8; }
  // The mask that inverts a pixel value (all colour bits of the format).
  std::uint32_t InvertMask() const;

  std::uint32_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }
  // Pixel value; 0 outside the surface.
  std::uint32_t PixelAt(int x, int y) const;
  // The colour a viewer sees at (x, y): palette surfaces look their value up
  // in the system colours they were made for.
  ColorRef ColourAt(int x, int y) const;
  ColorRef ColourOfPixel(std::uint32_t pixel) const;

  // Changes the size; the part that both sizes share keeps its pixels, new
  // pixels are 0. False (and unchanged) when the new size is not allowed.
  bool Resize(int width, int height);

 private:
  TSurface(int width, int height, int bits_per_pixel, const SystemColours* system_colours);

  int width_;
  int height_;
  int bits_per_pixel_;
  const SystemColours* system_colours_;
  std::vector<std::uint32_t> pixels_;
};

// True when a surface of that size may be made.
bool IsAllowedSurfaceSize(int width, int height);
