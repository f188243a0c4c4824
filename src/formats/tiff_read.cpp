#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "formats/exif_orientation.h"
#include "formats/format_messages.h"
#include "formats/reader_reduction.h"
#include "formats/tiff.h"
#include "formats/tiff_bridge.h"
#include "formats/tiff_decode_plan.h"
#include "formats/tiff_layout.h"
#include "formats/tiff_rgba_read.h"
#include "image/image.h"
#include "image/orientation.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

// Files announcing more pixels per side are refused before anything is sized from them.
constexpr std::uint32_t kMaxTiffSide = 1u << 20;

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// The kinds this reader converts itself, strip by strip, as the samples are.
bool ReadsByScanline(TIFF* tiff, const TiffLayout& layout) {
  if (TIFFIsTiled(tiff) || layout.compression == COMPRESSION_JPEG ||
      layout.compression == COMPRESSION_OJPEG) {
    return false;
  }
  const bool whole_bytes = layout.bits == kMaxBitsPerSample || layout.bits == kWordBitsPerSample ||
                           layout.bits == kDoubleBitsPerSample;
  if (layout.bits > 8 && !whole_bytes) return false;
  if (layout.photometric == kPhotometricRgb) {
    return (layout.samples == 3 || layout.samples == 4) && layout.planar == PLANARCONFIG_CONTIG;
  }
  return layout.photometric <= kPhotometricPalette && layout.samples == 1;
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
        float_(HasFloatSamples(layout)),
        signed_(layout.sample_format == SAMPLEFORMAT_INT),
        min_(layout.min_value),
        max_(std::max(layout.max_value, layout.min_value)),
        scale_small_(scale_small) {}

  std::uint8_t operator()(const std::uint8_t* line, std::uint64_t index) const {
    if (bits_ == 8) return line[index];
    if (float_) return ScaleFloat(FloatSample(line, index));
    if (bits_ == kWordBitsPerSample) return WordSample(line, index);
    if (bits_ == kMaxBitsPerSample) {
      std::uint16_t sample = 0;
      std::memcpy(&sample, line + 2 * index, sizeof sample);  // libtiff swapped it to ours
      const std::uint32_t clamped = std::clamp<std::uint32_t>(sample, min_, max_);
      return static_cast<std::uint8_t>(std::uint64_t{clamped - min_} * 255 / (max_ - min_ + 1));
    }
    // Samples of 3, 5, 6 or 7 bits may run on into the next byte, which the
    // scanline then holds.
    const std::uint64_t bit = index * bits_;
    const std::uint8_t* first = line + bit / 8;
    const int offset = static_cast<int>(bit % 8);
    unsigned window = unsigned{first[0]} << 8;
    if (offset + bits_ > 8) window |= first[1];
    const int mask = (1 << bits_) - 1;
    const int value = static_cast<int>(window >> (16 - bits_ - offset)) & mask;
    return static_cast<std::uint8_t>(scale_small_ ? value * 255 / mask : value);
  }

 private:
  // Floating-point samples run from 0 to 1; what lies outside is clamped.
  static std::uint8_t ScaleFloat(double value) {
    if (!(value > 0)) return 0;  // also NaN
    if (value >= 1) return 255;
    return static_cast<std::uint8_t>(value * 255 + 0.5);
  }

  double FloatSample(const std::uint8_t* line, std::uint64_t index) const {
    if (bits_ == kDoubleBitsPerSample) {
      double sample = 0;
      std::memcpy(&sample, line + sizeof sample * index, sizeof sample);
      return sample;
    }
    if (bits_ == kWordBitsPerSample) {
      float sample = 0;
      std::memcpy(&sample, line + sizeof sample * index, sizeof sample);
      return sample;
    }
    std::uint16_t half = 0;
    std::memcpy(&half, line + sizeof half * index, sizeof half);
    return HalfToDouble(half);
  }

  static double HalfToDouble(std::uint16_t half) {
    const int exponent = (half >> 10) & 0x1F;
    const double mantissa = half & 0x3FF;
    const double sign = (half & 0x8000) ? -1.0 : 1.0;
    if (exponent == 0) return sign * std::ldexp(mantissa, -24);
    if (exponent == 0x1F) return mantissa == 0 ? sign * HUGE_VAL : NAN;
    return sign * std::ldexp(mantissa + 1024, exponent - 25);
  }

  // Scaled from the full range, rounded; negative signed samples are black.
  std::uint8_t WordSample(const std::uint8_t* line, std::uint64_t index) const {
    std::uint32_t sample = 0;
    std::memcpy(&sample, line + sizeof sample * index, sizeof sample);
    std::uint64_t full_scale = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = sample;
    if (signed_) {
      full_scale = std::numeric_limits<std::int32_t>::max();
      value =
          static_cast<std::uint64_t>(std::max<std::int32_t>(static_cast<std::int32_t>(sample), 0));
    }
    return static_cast<std::uint8_t>((value * 255 + full_scale / 2) / full_scale);
  }

  int bits_;
  bool float_;
  bool signed_;
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

// Whether libtiff can jump to any row of a strip; other codecs decode a
// strip from its start.
bool Seekable(const TiffLayout& layout) {
  return layout.compression == COMPRESSION_NONE;
}

// Reads the kept rows; false on a cancel. A row that cannot be read ends the read.
bool ReadScanlines(TIFF* tiff, const TiffLayout& layout, const TiffUnits& units, TImage& image) {
  std::vector<std::uint8_t> line;
  const tmsize_t line_size = TIFFScanlineSize(tiff);
  if (line_size <= 0 || line_size > kTiffMaxSingleAllocation) return true;
  try {
    line.assign(static_cast<std::size_t>(line_size), 0);
  } catch (const std::bad_alloc&) {
    return true;
  }
  const int reduction = image.reduction;
  const bool seekable = Seekable(layout);
  bool cancelled = false;
  ForEachTiffBand(
      layout.height, units.unit_rows, reduction, layout.height, [&](const TiffBand& band) {
        const std::uint32_t start = seekable ? band.first : band.unit_top;
        for (std::uint32_t row = start; row <= band.last; ++row) {
          const bool kept = row % reduction == 0;
          if (!kept && seekable) continue;
          if (TIFFReadScanline(tiff, line.data(), row, 0) < 0) return false;
          const int y = static_cast<int>(row / reduction);
          if (kept && y < image.height) ConvertScanline(layout, line.data(), image, y);
          if (PollLongOperation(static_cast<int>(std::uint64_t{row} * 100 / layout.height))) {
            cancelled = true;
            return false;
          }
        }
        return true;
      });
  return !cancelled;
}

bool SizeAcceptable(const TiffLayout& layout) {
  return layout.width > 0 && layout.height > 0 && layout.width <= kMaxTiffSide &&
         layout.height <= kMaxTiffSide;
}

LoadStatus ReadWithScanlines(TIFF* tiff, const TiffLayout& layout, const TiffUnits& units,
                             TImage& image, int reduction, PictureLimit limit,
                             bool upright_by_tag) {
  const int bytes_per_pixel = layout.photometric == kPhotometricRgb ? 3 : 1;
  const int predicted =
      PredictReduction(layout.width, layout.height, bytes_per_pixel, reduction, limit);
  if (!ScanlineDecodeCost(layout, units, predicted, Seekable(layout)).Acceptable()) {
    LogTiffRefusal(FormatLogText(kTiffDecodeTooLarge, layout.width, layout.height));
    return LoadStatus::kRefused;
  }
  image.Create(static_cast<int>(layout.width), static_cast<int>(layout.height), 1, 1,
               bytes_per_pixel, reduction, 0, TImage::RowFill::kFill, limit);
  if (upright_by_tag) image.uprightOrientation = OrientationOfTag(layout.orientation);
  SendTiffDescription(tiff);
  if (bytes_per_pixel == 1) SetSamplePalette(tiff, layout, image);
  BeginLongOperation();
  const bool finished = ReadScanlines(tiff, layout, units, image);
  EndLongOperation();
  return finished ? LoadStatus::kLoaded : LoadStatus::kCancelled;
}

}  // namespace

LoadStatus ReadTiff(InputStream* stream, TImage& image, const TProfile* settings,
                    const std::string& path) {
  const int reduction = ReaderReduction(settings);
  const PictureLimit limit = ReaderLimit(settings);
  const bool upright_by_tag = OrientationTagsApply(settings);
  // libtiff logs why it cannot open the file.
  TiffPtr tiff(OpenTiffOverStream(stream, path.c_str()));
  if (!tiff) return LoadStatus::kRefused;
  const TiffLayout layout = ReadTiffLayout(tiff.get());
  if (!layout.has_photometric) {
    LogTiffRefusal(kTiffNoPhotometric);
    return LoadStatus::kRefused;
  }
  if (!SampleSizeRead(layout)) {
    LogTiffRefusal(FormatLogText(kTiffBitsPerSampleNotRead, layout.bits));
    return LoadStatus::kRefused;
  }
  TiffUnits units;
  if (!SizeAcceptable(layout) || !DescribeTiffUnits(tiff.get(), layout, units)) {
    LogTiffRefusal(FormatLogText(kSizeNotRead, layout.width, layout.height));
    return LoadStatus::kRefused;
  }
  if (ReadsByScanline(tiff.get(), layout)) {
    return ReadWithScanlines(tiff.get(), layout, units, image, reduction, limit, upright_by_tag);
  }
  return ReadTiffThroughRgba(tiff.get(), layout, units, image, reduction, limit, upright_by_tag);
}
