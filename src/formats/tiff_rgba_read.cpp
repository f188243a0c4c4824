#include "formats/tiff_rgba_read.h"

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "formats/format_messages.h"
#include "formats/reader_reduction.h"
#include "formats/tiff_bridge.h"
#include "image/image.h"
#include "image/orientation.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

// TIFFRGBAImageOK and Begin write their reason into a buffer of this size.
constexpr int kRgbaMessageSize = 1024;

struct RgbaImageEnd {
  void operator()(TIFFRGBAImage* rgba) const { TIFFRGBAImageEnd(rgba); }
};

// Gives libtiff a raw buffer of its own again before the lent one goes.
struct OwnRawBufferAgain {
  void operator()(TIFF* tiff) const { TIFFReadBufferSetup(tiff, nullptr, 1024); }
};

void StoreBandRow(const std::uint32_t* pixels, int reduction, TImage& image, int y) {
  std::uint8_t* target = image.Row(y);
  for (int x = 0; x < image.width; ++x, target += 3) {
    const std::uint32_t pixel = pixels[static_cast<std::size_t>(reduction) * x];
    target[0] = static_cast<std::uint8_t>(TIFFGetB(pixel));
    target[1] = static_cast<std::uint8_t>(TIFFGetG(pixel));
    target[2] = static_cast<std::uint8_t>(TIFFGetR(pixel));
  }
}

// Converts the kept rows band by band; false on a cancel. A band libtiff
// cannot decode ends the read.
bool ReadBands(TIFFRGBAImage& rgba, const TiffLayout& layout, const TiffUnits& units,
               std::uint32_t band_rows, bool upright_by_tag, TImage& image) {
  std::vector<std::uint32_t> band;
  try {
    band.assign(std::size_t{layout.width} * band_rows, 0);
  } catch (const std::bad_alloc&) {
    return true;
  }
  rgba.req_orientation = ORIENTATION_TOPLEFT;
  // Asking for the file's own orientation makes libtiff flip nothing.
  if (upright_by_tag && OrientationOfTag(layout.orientation) != 0) {
    rgba.req_orientation = layout.orientation;
  }
  rgba.col_offset = 0;
  const int reduction = image.reduction;
  bool cancelled = false;
  ForEachTiffBand(layout.height, units.unit_rows, reduction, band_rows, [&](const TiffBand& b) {
    const std::uint32_t rows = b.last - b.first + 1;
    rgba.row_offset = static_cast<int>(b.first);
    if (!TIFFRGBAImageGet(&rgba, band.data(), layout.width, rows)) return false;
    for (std::uint32_t row = b.first; row <= b.last; row += static_cast<std::uint32_t>(reduction)) {
      const int y = static_cast<int>(row / static_cast<std::uint32_t>(reduction));
      if (y >= image.height) break;
      StoreBandRow(&band[std::size_t{layout.width} * (row - b.first)], reduction, image, y);
    }
    cancelled = PollLongOperation(static_cast<int>(std::uint64_t{b.last} * 100 / layout.height));
    return !cancelled;
  });
  return !cancelled;
}

}  // namespace

LoadStatus ReadTiffThroughRgba(TIFF* tiff, const TiffLayout& layout, const TiffUnits& units,
                               TImage& image, int reduction, PictureLimit limit,
                               bool upright_by_tag) {
  char message[kRgbaMessageSize] = {};
  if (!TIFFRGBAImageOK(tiff, message)) {
    LogTiffRefusal(message);
    return LoadStatus::kRefused;
  }
  const std::uint32_t band_rows = RgbaBandRows(layout);
  const int predicted = PredictReduction(layout.width, layout.height, 3, reduction, limit);
  if (!RgbaDecodeCost(layout, units, predicted, band_rows).Acceptable()) {
    LogTiffRefusal(FormatLogText(kTiffDecodeTooLarge, layout.width, layout.height));
    return LoadStatus::kRefused;
  }
  TIFFRGBAImage rgba{};
  // Stop at the first strip or tile that cannot be read: going on would
  // convert rows of nothing.
  if (!TIFFRGBAImageBegin(&rgba, tiff, 1, message)) {
    LogTiffRefusal(message);
    return LoadStatus::kRefused;
  }
  std::unique_ptr<TIFFRGBAImage, RgbaImageEnd> end(&rgba);
  // libtiff 4.5 rejects an uncompressed tile read into its own raw buffer
  // whenever the tile's size is not a multiple of 1024 (the buffer is rounded
  // up, and the size check compares against it). A buffer of exactly one tile,
  // ours, keeps the check true; bigger tiles make libtiff take its own again.
  std::vector<std::uint8_t> raw_tile;
  std::unique_ptr<TIFF, OwnRawBufferAgain> lend_end;
  if (units.tiled && layout.compression == COMPRESSION_NONE) {
    const tmsize_t tile_size = TIFFTileSize(tiff);
    if (tile_size > 0 && tile_size <= kTiffMaxSingleAllocation) {
      raw_tile.resize(static_cast<std::size_t>(tile_size));
      TIFFReadBufferSetup(tiff, raw_tile.data(), tile_size);
      lend_end.reset(tiff);
    }
  }
  image.Create(static_cast<int>(layout.width), static_cast<int>(layout.height), 1, 1, 3, reduction,
               0, TImage::RowFill::kFill, limit);
  if (upright_by_tag) image.uprightOrientation = OrientationOfTag(layout.orientation);
  SendTiffDescription(tiff);
  BeginLongOperation();
  const bool finished = ReadBands(rgba, layout, units, band_rows, upright_by_tag, image);
  EndLongOperation();
  return finished ? LoadStatus::kLoaded : LoadStatus::kCancelled;
}
