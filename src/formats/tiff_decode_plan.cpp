#include "formats/tiff_decode_plan.h"

namespace {
constexpr std::uint64_t kRgbaPixelBytes = 4;
}  // namespace

bool DescribeTiffUnits(TIFF* tiff, const TiffLayout& layout, TiffUnits& units) {
  const std::uint64_t planes = layout.planar == PLANARCONFIG_SEPARATE ? layout.samples : 1;
  units.tiled = TIFFIsTiled(tiff) != 0;
  units.row_bytes = static_cast<std::uint64_t>(TIFFScanlineSize64(tiff)) * planes;
  if (units.row_bytes == 0) return false;
  std::uint32_t rows = 0;
  if (units.tiled) {
    std::uint32_t tile_width = 0;
    TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tile_width);
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &rows);
    units.tile_bytes = static_cast<std::uint64_t>(TIFFTileSize64(tiff)) * planes;
    if (tile_width == 0 || rows == 0 || units.tile_bytes == 0) return false;
    const std::uint64_t across = (std::uint64_t{layout.width} + tile_width - 1) / tile_width;
    units.tile_row_bytes = units.tile_bytes * across;
  } else {
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows);
  }
  units.unit_rows = std::clamp<std::uint32_t>(rows, 1, std::max<std::uint32_t>(layout.height, 1));
  return true;
}

TiffDecodeCost ScanlineDecodeCost(const TiffLayout& layout, const TiffUnits& units, int reduction,
                                  bool seekable) {
  TiffDecodeCost cost;
  const std::uint32_t unlimited = layout.height;
  ForEachTiffBand(layout.height, units.unit_rows, reduction, unlimited, [&](const TiffBand& band) {
    const std::uint64_t kept = (band.last - band.first) / std::max(reduction, 1) + 1;
    const std::uint64_t decoded_rows = seekable ? kept : band.last - band.unit_top + 1;
    cost.decoded += decoded_rows * units.row_bytes;
    return cost.decoded <= kMaxTiffDecodeBytes;
  });
  return cost;
}

TiffDecodeCost RgbaDecodeCost(const TiffLayout& layout, const TiffUnits& units, int reduction,
                              std::uint32_t band_rows) {
  TiffDecodeCost cost;
  const std::uint64_t rgba_row = kRgbaPixelBytes * layout.width;
  ForEachTiffBand(layout.height, units.unit_rows, reduction, band_rows, [&](const TiffBand& band) {
    const std::uint64_t put = (std::uint64_t{band.last} - band.first + 1) * rgba_row;
    if (units.tiled) {
      cost.decoded += units.tile_row_bytes + put;
      cost.buffer = std::max(cost.buffer, units.tile_bytes);
    } else {
      const std::uint64_t prefix = (std::uint64_t{band.last} - band.unit_top + 1) * units.row_bytes;
      cost.decoded += prefix + put;
      cost.buffer = std::max(cost.buffer, prefix);
    }
    return cost.Acceptable();
  });
  return cost;
}

std::uint32_t RgbaBandRows(const TiffLayout& layout) {
  const std::uint64_t rgba_row = kRgbaPixelBytes * std::max<std::uint32_t>(layout.width, 1);
  return static_cast<std::uint32_t>(std::clamp<std::uint64_t>(
      kMaxTiffBandBytes / rgba_row, 1, std::max<std::uint32_t>(layout.height, 1)));
}
