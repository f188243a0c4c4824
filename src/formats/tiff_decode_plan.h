// What reading a TIFF at a reduction costs, worked out before the picture is
// created. libtiff decodes a strip from its start, and a tile whole, whatever
// part of it is wanted; the reader asks only for the rows it keeps (every
// reduction-th), in bands that stay inside one strip or row of tiles, so the
// work follows the stored picture, and files whose decoding would still pass
// the bounds below are refused.
#pragma once

#include <algorithm>
#include <cstdint>

#include <tiffio.h>

#include "formats/tiff_layout.h"

// Decoded bytes (samples, plus RGBA pixels where libtiff converts) one load may cost.
inline constexpr std::uint64_t kMaxTiffDecodeBytes = std::uint64_t{2} << 30;
// libtiff's buffer for the part of one strip, or the one tile, it decodes.
inline constexpr std::uint64_t kMaxTiffBufferBytes = std::uint64_t{128} << 20;
// The reader's own band of RGBA pixels.
inline constexpr std::uint64_t kMaxTiffBandBytes = std::uint64_t{32} << 20;

// The units libtiff decodes at once: strips of `unit_rows` rows, or rows of
// tiles `unit_rows` high.
struct TiffUnits {
  std::uint32_t unit_rows = 1;
  bool tiled = false;
  // Decoded bytes of one row of samples, every plane.
  std::uint64_t row_bytes = 0;
  // Decoded bytes of one tile, every plane, and of a whole row of tiles.
  std::uint64_t tile_bytes = 0;
  std::uint64_t tile_row_bytes = 0;
};

// False when libtiff cannot size the file's rows or tiles.
bool DescribeTiffUnits(TIFF* tiff, const TiffLayout& layout, TiffUnits& units);

// Kept rows `first` .. `last` of the unit starting at row `unit_top`.
struct TiffBand {
  std::uint32_t unit_top = 0;
  std::uint32_t first = 0;
  std::uint32_t last = 0;
};

// Calls visit(band) for the kept rows (multiples of `reduction` below
// `height`) of each unit in turn, split so that no band spans more than
// `max_band_rows` rows. Stops when visit returns false; returns false then.
template <class Visit>
bool ForEachTiffBand(std::uint32_t height, std::uint32_t unit_rows, int reduction,
                     std::uint32_t max_band_rows, Visit visit) {
  const std::uint64_t step = static_cast<std::uint64_t>(std::max(reduction, 1));
  const std::uint64_t unit = std::max<std::uint32_t>(unit_rows, 1);
  const std::uint64_t span = std::max<std::uint32_t>(max_band_rows, 1);
  for (std::uint64_t top = 0; top < height; top += unit) {
    const std::uint64_t end = std::min<std::uint64_t>(top + unit, height);
    std::uint64_t first = (top + step - 1) / step * step;
    while (first < end) {
      // The last kept row within `span` rows of `first` and inside the unit.
      const std::uint64_t limit = std::min(first + span, end) - 1;
      const std::uint64_t last = limit / step * step;
      if (!visit(TiffBand{static_cast<std::uint32_t>(top), static_cast<std::uint32_t>(first),
                          static_cast<std::uint32_t>(last)})) {
        return false;
      }
      first = last + step;
    }
  }
  return true;
}

// What a plan costs: the decoded bytes in all, and libtiff's largest buffer.
struct TiffDecodeCost {
  std::uint64_t decoded = 0;
  std::uint64_t buffer = 0;
  bool Acceptable() const {
    return decoded <= kMaxTiffDecodeBytes && buffer <= kMaxTiffBufferBytes;
  }
};

// Reading kept rows scanline by scanline. `seekable`: libtiff can jump to a
// row inside a strip (uncompressed data); otherwise each strip is decoded from
// its start up to its last kept row.
TiffDecodeCost ScanlineDecodeCost(const TiffLayout& layout, const TiffUnits& units, int reduction,
                                  bool seekable);

// Reading kept rows through libtiff's RGBA conversion in bands of at most
// `band_rows` rows.
TiffDecodeCost RgbaDecodeCost(const TiffLayout& layout, const TiffUnits& units, int reduction,
                              std::uint32_t band_rows);

// Rows per RGBA band: as many as kMaxTiffBandBytes holds, at least one.
std::uint32_t RgbaBandRows(const TiffLayout& layout);
