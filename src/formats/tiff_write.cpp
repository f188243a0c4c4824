#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/tiff.h"
#include "formats/tiff_bridge.h"
#include "formats/writer_output.h"
#include "image/dither.h"
#include "image/image.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "settings/profile.h"

namespace {

constexpr const char* kTiffSoftware = "Zentrope";
// Strips hold about this many bytes.
constexpr tmsize_t kTiffStripBytes = 8192;

struct TiffForm {
  std::uint16_t bits = 8;
  std::uint16_t samples = 1;
  std::uint16_t photometric = PHOTOMETRIC_PALETTE;
  std::uint16_t compression = COMPRESSION_NONE;
};

bool IsGrey(const PaletteEntry& colour) {
  return colour.red == colour.green && colour.green == colour.blue;
}

// Bilevel, palette or RGB; the CCITT codes suit only bilevel rows, LZW all others.
TiffForm ChooseForm(const TImage& image, const LogPalette& palette, int compression_setting) {
  const bool lzw = compression_setting == COMPRESSION_LZW;
  TiffForm form;
  form.compression = lzw ? COMPRESSION_LZW : COMPRESSION_NONE;
  if (image.bytesPerPixel == 3) {
    form.samples = 3;
    form.photometric = PHOTOMETRIC_RGB;
    return form;
  }
  const PaletteEntry& first = palette.entries[0];
  const PaletteEntry& second = palette.entries[1];
  if (palette.count == 2 && IsGrey(first) && IsGrey(second) && first.red != second.red) {
    form.bits = 1;
    form.photometric = first.red < second.red ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE;
    form.compression = lzw ? COMPRESSION_NONE : static_cast<std::uint16_t>(compression_setting);
  }
  return form;
}

void SetColorMap(TIFF* tiff, const LogPalette& palette) {
  std::vector<std::uint16_t> red(kMaxPaletteEntries), green(kMaxPaletteEntries),
      blue(kMaxPaletteEntries);
  for (int i = 0; i < palette.count && i < kMaxPaletteEntries; ++i) {
    red[i] = static_cast<std::uint16_t>(palette.entries[i].red * 256);
    green[i] = static_cast<std::uint16_t>(palette.entries[i].green * 256);
    blue[i] = static_cast<std::uint16_t>(palette.entries[i].blue * 256);
  }
  TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
}

void SetTags(TIFF* tiff, const TiffForm& form, const LogPalette& palette, int width, int height) {
  TIFFSetField(tiff, TIFFTAG_SOFTWARE, kTiffSoftware);
  const std::string description = GetCommentText();
  if (!description.empty()) TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, description.c_str());
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, form.bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, form.samples);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, form.photometric);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(height));
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(width));
  TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, form.compression);
  const tmsize_t line_size = TIFFScanlineSize(tiff);
  const tmsize_t rows = line_size > 0 ? kTiffStripBytes / line_size : 0;
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(rows > 0 ? rows : 1));
  if (form.photometric == PHOTOMETRIC_PALETTE) SetColorMap(tiff, palette);
}

// One output row in the chosen form.
void PackRow(const TiffForm& form, std::uint8_t* line, int width, std::vector<std::uint8_t>& bits) {
  if (form.bits == 1) {
    std::fill(bits.begin(), bits.end(), 0);
    for (int x = 0; x < width; ++x) {
      if (line[x] != 0) bits[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    return;
  }
  if (form.samples == 3) {
    for (int x = 0; x < width; ++x) std::swap(line[3 * x], line[3 * x + 2]);
  }
}

// False when a row could not be written or the write was cancelled.
bool WriteRows(TIFF* tiff, TImage& image, TDither& dither, const TiffForm& form) {
  const ImageRect out = image.outputRect;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(out.width) * image.bytesPerPixel);
  std::vector<std::uint8_t> bits((static_cast<std::size_t>(out.width) + 7) / 8);
  for (int y = 0; y < out.height; ++y) {
    image.GetOutputRow(out.x, out.y + y, line.data(), out.width);
    dither.AdjustLine(line.data(), out.width, image.bytesPerPixel);
    PackRow(form, line.data(), out.width, bits);
    void* row = form.bits == 1 ? bits.data() : line.data();
    if (TIFFWriteScanline(tiff, row, static_cast<std::uint32_t>(y), 0) < 0) return false;
    if (PollLongOperation(static_cast<int>(std::int64_t{y} * 100 / out.height))) return false;
  }
  return true;
}

}  // namespace

int WriteTiff(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
              const LogPalette* /*display_palette*/) {
  SetWriterOutputSize(image, settings);
  const int width = image.outputRect.width;
  const int height = image.outputRect.height;
  if (width < 1 || height < 1) return 1;

  LogPalette palette;
  if (image.bytesPerPixel == 1) dither.GetSourcePalette(palette);
  const TiffForm form = ChooseForm(image, palette, settings.Get(IntKey::TIFFCompression));
  TiffOutputFile output;
  TIFF* tiff = CreateTiffFile(path.c_str(), output);
  if (tiff == nullptr) return 1;
  SetTags(tiff, form, palette, width, height);

  BeginLongOperation();
  const bool written = WriteRows(tiff, image, dither, form);
  EndLongOperation();
  const bool flushed = TIFFFlush(tiff) != 0;
  TIFFClose(tiff);
  // A broken or cancelled file never replaces the target.
  if (!written || !flushed || output.failed) {
    output.file.Discard();
    return 1;
  }
  return output.file.Close() ? 0 : 1;
}
