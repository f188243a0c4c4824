#include <array>
#include <cstdint>
#include <vector>

#include "formats/output_file.h"
#include "formats/tga.h"
#include "formats/tga_header.h"
#include "formats/tga_packet_coder.h"
#include "formats/writer_output.h"
#include "image/dither.h"
#include "image/image.h"
#include "platform/long_operation.h"

namespace {

constexpr int kMapEntryBits = 24;
constexpr int kIndexDepth = 8;
constexpr int kColourDepth = 24;

void PutU16(std::array<std::uint8_t, kTgaHeaderSize>& header, std::size_t offset, int value) {
  header[offset] = static_cast<std::uint8_t>(value);
  header[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::array<std::uint8_t, kTgaHeaderSize> MakeHeader(bool palette_picture, int width, int height) {
  std::array<std::uint8_t, kTgaHeaderSize> header{};
  if (palette_picture) {
    header[kTgaMapTypeOffset] = 1;
    header[kTgaImageTypeOffset] = kTgaTypeMappedRle;
    PutU16(header, kTgaMapLengthOffset, kMaxPaletteEntries);
    header[kTgaMapEntryBitsOffset] = kMapEntryBits;
  } else {
    header[kTgaImageTypeOffset] = kTgaTypeTrueColourRle;
  }
  PutU16(header, kTgaWidthOffset, width);
  PutU16(header, kTgaHeightOffset, height);
  header[kTgaDepthOffset] = palette_picture ? kIndexDepth : kColourDepth;
  header[kTgaDescriptorOffset] = kTgaTopOrigin;
  return header;
}

// 256 entries of blue, green, red: the adjusted palette, grey beyond its count.
std::vector<std::uint8_t> MakeColourMap(const TDither& dither) {
  LogPalette palette;
  dither.GetSourcePalette(palette);
  std::vector<std::uint8_t> map;
  map.reserve(std::size_t(3) * kMaxPaletteEntries);
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    const auto grey = static_cast<std::uint8_t>(i);
    const PaletteEntry colour =
        i < palette.count ? palette.entries[i] : PaletteEntry{grey, grey, grey, 0};
    map.push_back(colour.blue);
    map.push_back(colour.green);
    map.push_back(colour.red);
  }
  return map;
}

// Codes every output row; false on a write error or a cancel.
bool WriteRows(TImage& image, TDither& dither, TOutputFile& file) {
  const ImageRect out = image.outputRect;
  const int bytes_per_pixel = image.bytesPerPixel;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(out.width) * bytes_per_pixel);
  TTgaPacketCoder coder(bytes_per_pixel);
  for (int row = 0; row < out.height; ++row) {
    image.GetOutputRow(out.x, out.y + row, line.data(), out.width);
    dither.AdjustLine(line.data(), out.width, bytes_per_pixel);
    coder.Output().clear();
    if (bytes_per_pixel == 1) {
      for (int x = 0; x < out.width; ++x) coder.Add(line[x]);
    } else {
      for (int x = 0; x < out.width; ++x) {
        const std::uint8_t* bgr = &line[std::size_t(3) * x];
        coder.Add(bgr[0] | std::uint32_t{bgr[1]} << 8 | std::uint32_t{bgr[2]} << 16);
      }
    }
    coder.Flush();
    if (!file.Write(coder.Output().data(), coder.Output().size())) return false;
    if (PollLongOperation(static_cast<int>(std::int64_t{row} * 100 / out.height))) return false;
  }
  return true;
}

}  // namespace

int WriteTga(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette* /*display_palette*/) {
  SetWriterOutputSize(image, settings);
  const int width = image.outputRect.width;
  const int height = image.outputRect.height;
  if (static_cast<std::uint16_t>(width) == 0 || static_cast<std::uint16_t>(height) == 0) return 1;

  TOutputFile file;
  if (!file.Create(path)) return 1;
  const bool palette_picture = image.bytesPerPixel == 1;
  const auto header = MakeHeader(palette_picture, width, height);
  bool written = file.Write(header.data(), header.size());
  if (written && palette_picture) {
    const std::vector<std::uint8_t> map = MakeColourMap(dither);
    written = file.Write(map.data(), map.size());
  }
  BeginLongOperation();
  written = written && WriteRows(image, dither, file);
  EndLongOperation();

  // A broken or cancelled file must not stay behind as if it were saved.
  if (!written) {
    file.Discard();
    return 1;
  }
  return file.Close() ? 0 : 1;
}
