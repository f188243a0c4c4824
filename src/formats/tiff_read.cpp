#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "formats/reader_reduction.h"
#include "formats/tiff.h"
#include "formats/tiff_bridge.h"
#include "image/image.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

constexpr std::uint16_t kPhotometricWhiteIsZero = 0;
constexpr std::uint16_t kPhotometricRgb = 2;
constexpr std::uint16_t kPhotometricPalette = 3;
constexpr int kMaxBitsPerSample = 16;
// Files announcing more pixels per side are refused before anything is sized from them.
constexpr std::uint32_t kMaxTiffSide = 1u << 20;
// Rows taken per call of libtiff's RGBA reading.
constexpr std::uint32_t kMaxRgbaBandRows = 64;

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

struct TiffLayout {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t bits = 1;
  std::uint16_t samples = 1;
  std::uint16_t photometric = 0;
  std::uint16_t planar = PLANARCONFIG_CONTIG;
  std::uint16_t compression = COMPRESSION_NONE;
  std::uint32_t min_value = 0;
  std::uint32_t max_value = 1;
  bool has_photometric = false;
};

TiffLayout ReadLayout(TIFF* tiff) {
  TiffLayout layout;
  std::uint16_t value16 = 0;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &layout.planar);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &layout.compression);
  layout.has_photometric = TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &layout.photometric) != 0;
  const std::uint32_t full_scale = (std::uint32_t{1} << std::min<int>(layout.bits, 16)) - 1;
  layout.min_value = TIFFGetField(tiff, TIFFTAG_MINSAMPLEVALUE, &value16) ? value16 : 0;
  layout.max_value = TIFFGetField(tiff, TIFFTAG_MAXSAMPLEVALUE, &value16) ? value16 : full_scale;
  if (layout.max_value < layout.min_value) layout.max_value = full_scale;
  return layout;
}

// The kinds this reader converts itself, strip by strip, as the samples are.
bool ReadsByScanline(TIFF* tiff, const TiffLayout& layout) {
  if (TIFFIsTiled(tiff) || layout.compression == COMPRESSION_JPEG ||
      layout.compression == COMPRESSION_OJPEG) {
    return false;
  }
  if (layout.bits > 8 && layout.bits != kMaxBitsPerSample) return false;
  if (layout.photometric == kPhotometricRgb) {
    return (layout.samples == 3 || layout.samples == 4) && layout.planar == PLANARCONFIG_CONTIG;
  }
  return layout.photometric <= kPhotometricPalette && layout.samples == 1;
}

void SendDescription(TIFF* tiff) {
  AddCommentChar(0);
  const char* description = nullptr;
  if (!TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description) || description == nullptr) return;
  for (const char* c = description; *c != '\0'; ++c) AddCommentChar(static_cast<unsigned char>(*c));
}

// Grey levels, or the ColorMap, for one-sample pictures.
void SetSamplePalette(TIFF* tiff, const TiffLayout& layout, TImage& image) {
  // 16-bit samples are scaled to 0..255 before they index the palette.
  const int levels = layout.bits <= 8 ? (1 << layout.bits) - 1 : 255;
  const std::uint32_t map_entries = std::uint32_t{1} << std::min<int>(layout.bits, 16);
  std::uint16_t* red = nullptr;
  std::uint16_t* green = nullptr;
  std::uint16_t* blue = nullptr;
  const bool has_map = layout.photometric == kPhotometricPalette &&
                       TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) != 0;
  LogPalette palette;
  palette.count = static_cast<std::uint16_t>(levels + 1);
  for (int i = 0; i <= levels; ++i) {
    PaletteEntry& entry = palette.entries[i];
    if (has_map) {
      const std::uint64_t index =
          std::min<std::uint64_t>(std::uint64_t{layout.max_value} * i / levels, map_entries - 1);
      entry = {static_cast<std::uint8_t>(red[index] >> 8),
               static_cast<std::uint8_t>(green[index] >> 8),
               static_cast<std::uint8_t>(blue[index] >> 8), 0};
    } else {
      auto grey = static_cast<std::uint8_t>(i * 255 / levels);
      if (layout.photometric == kPhotometricWhiteIsZero)
        grey = static_cast<std::uint8_t>(255 - grey);
      entry = {grey, grey, grey, 0};
    }
  }
  image.SetPalette(palette);
}

// Sample `index` of a scanline as 0..255 (RGB) or as the palette index.
class TSampleUnpacker {
 public:
  TSampleUnpacker(const TiffLayout& layout, bool scale_small)
      : bits_(layout.bits),
        min_(layout.min_value),
        max_(std::max(layout.max_value, layout.min_value)),
        scale_small_(scale_small) {}

  std::uint8_t operator()(const std::uint8_t* line, std::uint64_t index) const {
    if (bits_ == 8) return line[index];
    if (bits_ == kMaxBitsPerSample) {
      std::uint16_t sample = 0;
      std::memcpy(&sample, line + 2 * index, sizeof sample);  // libtiff swapped it to ours
      const std::uint32_t clamped = std::clamp<std::uint32_t>(sample, min_, max_);
      return static_cast<std::uint8_t>(std::uint64_t{clamped - min_} * 255 / (max_ - min_ + 1));
    }
    const std::uint64_t bit = index * bits_;
    const int shift = 8 - bits_ - static_cast<int>(bit % 8);
    const int mask = (1 << bits_) - 1;
    const int value = (line[bit / 8] >> shift) & mask;
    return static_cast<std::uint8_t>(scale_small_ ? value * 255 / mask : value);
  }

 private:
  int bits_;
  std::uint32_t min_;
  std::uint32_t max_;
  bool scale_small_;
};

// Converts scanline `line` into stored row y, taking every `step`-th pixel.
void ConvertScanline(const TiffLayout& layout, const std::uint8_t* line, TImage& image, int y) {
  const int step = image.reduction;
  std::uint8_t* target = image.Row(y);
  if (layout.photometric == kPhotometricRgb) {
    const TSampleUnpacker unpack(layout, true);
    for (int x = 0; x < image.width; ++x, target += 3) {
      const std::uint64_t first = std::uint64_t{layout.samples} * x * step;
      target[2] = unpack(line, first);
      target[1] = unpack(line, first + 1);
      target[0] = unpack(line, first + 2);
    }
    return;
  }
  const TSampleUnpacker unpack(layout, false);
  for (int x = 0; x < image.width; ++x) target[x] = unpack(line, std::uint64_t{1} * x * step);
}

void ReadScanlines(TIFF* tiff, const TiffLayout& layout, TImage& image) {
  std::vector<std::uint8_t> line;
  const tmsize_t line_size = TIFFScanlineSize(tiff);
  if (line_size <= 0 || line_size > kTiffMaxSingleAllocation) return;
  try {
    line.assign(static_cast<std::size_t>(line_size), 0);
  } catch (const std::bad_alloc&) {
    return;
  }
  for (int y = 0; y < image.height; ++y) {
    const auto file_row = static_cast<std::uint32_t>(std::int64_t{y} * image.reduction);
    if (TIFFReadScanline(tiff, line.data(), file_row, 0) < 0) break;
    ConvertScanline(layout, line.data(), image, y);
    if (PollLongOperation(static_cast<int>(std::int64_t{y} * 100 / image.height))) break;
  }
}

struct RgbaImageEnd {
  void operator()(TIFFRGBAImage* rgba) const { TIFFRGBAImageEnd(rgba); }
};

std::uint32_t RgbaBandRows(TIFF* tiff, const TiffLayout& layout) {
  std::uint32_t rows = 0;
  if (TIFFIsTiled(tiff)) {
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &rows);
  } else {
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows);
  }
  return std::clamp<std::uint32_t>(rows, 1, std::min(kMaxRgbaBandRows, layout.height));
}

// libtiff converts what this reader does not know to RGBA, a band of rows at a time.
void ReadRgbaBands(TIFF* tiff, TIFFRGBAImage& rgba, const TiffLayout& layout, TImage& image) {
  const std::uint32_t band_rows = RgbaBandRows(tiff, layout);
  std::vector<std::uint32_t> band;
  try {
    band.assign(std::size_t{layout.width} * band_rows, 0);
  } catch (const std::bad_alloc&) {
    return;
  }
  rgba.req_orientation = ORIENTATION_TOPLEFT;
  const auto reduction = static_cast<std::uint32_t>(image.reduction);
  for (std::uint32_t top = 0; top < layout.height; top += band_rows) {
    const std::uint32_t rows = std::min(band_rows, layout.height - top);
    rgba.row_offset = static_cast<int>(top);
    rgba.col_offset = 0;
    if (!TIFFRGBAImageGet(&rgba, band.data(), layout.width, rows)) break;
    for (std::uint32_t r = 0; r < rows; ++r) {
      const std::uint32_t file_row = top + r;
      if (file_row % reduction != 0) continue;
      const int y = static_cast<int>(file_row / reduction);
      std::uint8_t* target = image.Row(y);
      if (target == nullptr) continue;
      const std::uint32_t* pixels = &band[std::size_t{layout.width} * r];
      for (int x = 0; x < image.width; ++x, target += 3) {
        const std::uint32_t pixel = pixels[std::size_t{reduction} * x];
        target[0] = static_cast<std::uint8_t>(TIFFGetB(pixel));
        target[1] = static_cast<std::uint8_t>(TIFFGetG(pixel));
        target[2] = static_cast<std::uint8_t>(TIFFGetR(pixel));
      }
    }
    if (PollLongOperation(static_cast<int>(std::uint64_t{top} * 100 / layout.height))) break;
  }
}

bool SizeAcceptable(const TiffLayout& layout) {
  return layout.width > 0 && layout.height > 0 && layout.width <= kMaxTiffSide &&
         layout.height <= kMaxTiffSide;
}

void ReadWithRgba(TIFF* tiff, const TiffLayout& layout, TImage& image, int reduction) {
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tiff, message)) {
    LogLine("%s", message);
    return;
  }
  TIFFRGBAImage rgba{};
  if (!TIFFRGBAImageBegin(&rgba, tiff, 0, message)) {
    LogLine("%s", message);
    return;
  }
  std::unique_ptr<TIFFRGBAImage, RgbaImageEnd> end(&rgba);
  image.Create(static_cast<int>(layout.width), static_cast<int>(layout.height), 1, 1, 3, reduction,
               0);
  SendDescription(tiff);
  BeginLongOperation();
  ReadRgbaBands(tiff, rgba, layout, image);
  EndLongOperation();
}

void ReadWithScanlines(TIFF* tiff, const TiffLayout& layout, TImage& image, int reduction) {
  const int bytes_per_pixel = layout.photometric == kPhotometricRgb ? 3 : 1;
  image.Create(static_cast<int>(layout.width), static_cast<int>(layout.height), 1, 1,
               bytes_per_pixel, reduction, 0);
  SendDescription(tiff);
  if (bytes_per_pixel == 1) SetSamplePalette(tiff, layout, image);
  BeginLongOperation();
  ReadScanlines(tiff, layout, image);
  EndLongOperation();
}

}  // namespace

void ReadTiff(InputStream* stream, TImage& image, const TProfile* settings,
              const std::string& path) {
  const int reduction = ReaderReduction(settings);
  TiffPtr tiff(OpenTiffOverStream(stream, path.c_str()));
  if (!tiff) return;
  const TiffLayout layout = ReadLayout(tiff.get());
  if (!layout.has_photometric || layout.bits == 0 || layout.bits > kMaxBitsPerSample ||
      !SizeAcceptable(layout)) {
    return;
  }
  if (ReadsByScanline(tiff.get(), layout)) {
    ReadWithScanlines(tiff.get(), layout, image, reduction);
  } else {
    ReadWithRgba(tiff.get(), layout, image, reduction);
  }
}
