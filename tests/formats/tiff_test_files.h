// TIFF files written with libtiff for the reader tests.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tiff_test {

using Bytes = std::vector<std::uint8_t>;

// A strip TIFF: `tags` sets the fields, `row` fills each of `height` scanlines.
// False when libtiff refuses the file or a scanline.
inline bool WriteStripTiff(const std::string& path, const std::function<void(TIFF*)>& tags,
                           int height, const std::function<void(int, Bytes&)>& row) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  if (tiff == nullptr) return false;
  tags(tiff);
  Bytes line(static_cast<std::size_t>(TIFFScanlineSize(tiff)));
  bool written = !line.empty();
  for (int y = 0; y < height && written; ++y) {
    row(y, line);
    written = TIFFWriteScanline(tiff, line.data(), static_cast<std::uint32_t>(y), 0) >= 0;
  }
  TIFFClose(tiff);
  return written;
}

// A TIFF whose tags announce whatever `tags` sets but whose only data is a
// few raw bytes for the first strip or tile: the shape of a hostile file.
inline bool WriteAnnouncingTiff(const std::string& path, const std::function<void(TIFF*)>& tags) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  if (tiff == nullptr) return false;
  tags(tiff);
  std::uint8_t raw[16] = {};
  const bool written = TIFFIsTiled(tiff) ? TIFFWriteRawTile(tiff, 0, raw, sizeof raw) >= 0
                                         : TIFFWriteRawStrip(tiff, 0, raw, sizeof raw) >= 0;
  TIFFClose(tiff);
  return written;
}

// Packs samples of `bits` bits, most significant bits first, into `line`.
inline void PackSamples(const std::vector<int>& samples, int bits, Bytes& line) {
  std::fill(line.begin(), line.end(), 0);
  std::size_t bit = 0;
  for (int sample : samples) {
    for (int b = bits - 1; b >= 0; --b, ++bit) {
      if ((sample >> b) & 1) line[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
    }
  }
}

}  // namespace tiff_test
