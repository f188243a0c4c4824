#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "formats/bmp_format.h"
#include "formats/little_endian.h"
#include "formats/output_file.h"
#include "formats/writer_output.h"
#include "image/dither.h"
#include "image/image.h"
#include "platform/long_operation.h"
#include "settings/profile.h"

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPaletteEntrySize = 4;
constexpr int kPixelsPerMetre = 2835;          // 72 per inch
constexpr int kRowBufferSize = 24576;          // 8192 pixels of 3 bytes
constexpr std::uint16_t kBitmapType = 0x4D42;  // "BM"

WallpaperScreen& Screen() {
  static WallpaperScreen screen;
  return screen;
}

std::vector<PaletteEntry> PaletteToWrite(const TImage& image, const TDither& dither,
                                         const LogPalette* wallpaper) {
  LogPalette palette;
  if (wallpaper != nullptr) {
    palette = *wallpaper;
  } else if (image.GetBytesPerPixel() == 1) {
    dither.GetSourcePalette(palette);
  } else {
    palette.count = 0;
  }
  const int count = std::min<int>(palette.count, kMaxPaletteEntries);
  return {palette.entries.begin(), palette.entries.begin() + count};
}

std::vector<std::uint8_t> Headers(int width, int height, int bits, int stride,
                                  const std::vector<PaletteEntry>& palette) {
  const auto entries = static_cast<std::uint32_t>(palette.size());
  const std::uint32_t data_offset = kFileHeaderSize + kInfoHeaderSize + kPaletteEntrySize * entries;
  const std::uint32_t image_size =
      static_cast<std::uint32_t>(stride) * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> out;
  put_u16le(out, kBitmapType);
  put_u32le(out, data_offset + image_size);  // in bytes, as every reader expects
  put_u16le(out, 0);
  put_u16le(out, 0);
  put_u32le(out, data_offset);
  put_u32le(out, kInfoHeaderSize);
  put_u32le(out, static_cast<std::uint32_t>(width));
  put_u32le(out, static_cast<std::uint32_t>(height));
  put_u16le(out, 1);
  put_u16le(out, static_cast<std::uint32_t>(bits));
  put_u32le(out, 0);
  put_u32le(out, image_size);
  put_u32le(out, kPixelsPerMetre);
  put_u32le(out, kPixelsPerMetre);
  put_u32le(out, entries);
  put_u32le(out, entries);
  for (const PaletteEntry& entry : palette) {
    out.insert(out.end(), {entry.blue, entry.green, entry.red, 0});
  }
  return out;
}

// Writes the rows bottom first. False on a write error or a cancel.
bool WriteRows(TOutputFile& file, TImage& image, TDither& dither, bool wallpaper,
               int bytes_per_pixel, int stride) {
  auto buffer = std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[kRowBufferSize]());
  if (!buffer) return false;
  const ImageBounds bounds = image.GetOutputRect();
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  const int picture_bytes = image.GetBytesPerPixel();
  for (int i = 0; i < height; ++i) {
    image.GetOutputRow(bounds.left, bounds.bottom - 1 - i, buffer.get(), width);
    if (wallpaper) {
      dither.DitherLine(buffer.get(), width, picture_bytes);
    } else {
      dither.AdjustLine(buffer.get(), width, picture_bytes);
    }
    // Dithering to indices leaves colour bytes behind the row; the pad is zeros.
    const std::size_t used = static_cast<std::size_t>(width) * bytes_per_pixel;
    std::memset(buffer.get() + used, 0, static_cast<std::size_t>(stride) - used);
    if (!file.Write(buffer.get(), static_cast<std::size_t>(stride))) return false;
    if (PollLongOperation(static_cast<int>(std::int64_t{i} * 100 / height))) return false;
  }
  return true;
}

}  // namespace

void SetWallpaperScreen(const WallpaperScreen& screen) {
  Screen() = screen;
}

int WriteBmp(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette* display_palette) {
  const bool wallpaper = display_palette != nullptr;
  const int depth = wallpaper ? Screen().bits_per_pixel : 8 * image.GetBytesPerPixel();
  if (wallpaper) {
    image.SetOutputSize(Screen().width, Screen().height, 1, 1, settings.Get(IntKey::Rotate), true,
                        true);
  } else {
    SetWriterOutputSize(image, settings);
  }
  const ImageBounds bounds = image.GetOutputRect();
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  if (width <= 0 || height <= 0) return 1;
  const int bytes_per_pixel = depth <= 8 ? 1 : image.GetBytesPerPixel();
  const int stride = (width * bytes_per_pixel + 3) / 4 * 4;

  const std::vector<PaletteEntry> palette = PaletteToWrite(image, dither, display_palette);
  TOutputFile file;
  if (!file.Create(path)) return 1;
  const std::vector<std::uint8_t> headers =
      Headers(width, height, 8 * bytes_per_pixel, stride, palette);
  if (!file.Write(headers.data(), headers.size())) {
    file.Discard();
    return 1;
  }
  BeginLongOperation();
  const bool written = WriteRows(file, image, dither, wallpaper, bytes_per_pixel, stride);
  EndLongOperation();
  if (!written) {
    file.Discard();
    return 1;
  }
  return file.Close() ? 0 : 1;
}
