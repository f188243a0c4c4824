// Packed device-independent bitmaps: a 40-byte information header, the colour
// table, then the rows bottom-up, each padded to four bytes. The form in which
// the clipboard and the program's capture of the window exchange pictures.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/display_palette.h"
#include "platform/geometry.h"
#include "platform/surface.h"

inline constexpr std::size_t kBitmapInfoHeaderSize = 40;
inline constexpr std::size_t kRgbQuadSize = 4;

struct PackedDibHeader {
  int width = 0;
  int height = 0;  // rows; the bitmap is stored bottom-up
  int bits_per_pixel = 0;
  int colour_count = 0;  // entries in the colour table
  std::size_t bits_offset = 0;
  std::size_t row_stride = 0;
};

// Bytes per row of `width` pixels at `bits_per_pixel`, padded to four bytes.
std::size_t DibRowStride(int width, int bits_per_pixel);

// Reads the header of an uncompressed bottom-up packed bitmap of 8 or 24 bits
// and checks that the table and rows lie within `bytes`.
std::optional<PackedDibHeader> ParsePackedDib(std::span<const std::uint8_t> bytes);

// The `area` of the surface (cut to it) as a packed bitmap: 24 bits from a
// true-colour surface; from a palette surface 8 bits with `palette` (the
// default palette when null) as colour table, each pixel the palette entry
// nearest to the colour shown. Empty when the area is empty.
std::vector<std::uint8_t> CapturePackedDib(const TSurface& surface, const Rect& area,
                                           const TPalette* palette);
