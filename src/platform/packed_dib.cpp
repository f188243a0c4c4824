#include "platform/packed_dib.h"

#include <array>

#include "platform/display.h"

namespace {
void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<std::uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  PutU16(out, at, value & 0xFFFF);
  PutU16(out, at + 2, value >> 16);
}

std::uint32_t GetU32(std::span<const std::uint8_t> in, std::size_t at) {
  return std::uint32_t{in[at]} | (std::uint32_t{in[at + 1]} << 8) |
         (std::uint32_t{in[at + 2]} << 16) | (std::uint32_t{in[at + 3]} << 24);
}

std::uint32_t GetU16(std::span<const std::uint8_t> in, std::size_t at) {
  return std::uint32_t{in[at]} | (std::uint32_t{in[at + 1]} << 8);
}

void WriteHeader(std::vector<std::uint8_t>& out, int width, int height, int bits, int colour_count,
                 std::size_t image_size) {
  PutU32(out, 0, kBitmapInfoHeaderSize);
  PutU32(out, 4, static_cast<std::uint32_t>(width));
  PutU32(out, 8, static_cast<std::uint32_t>(height));
  PutU16(out, 12, 1);
  PutU16(out, 14, static_cast<std::uint32_t>(bits));
  PutU32(out, 16, 0);
  PutU32(out, 20, static_cast<std::uint32_t>(image_size));
  PutU32(out, 32, static_cast<std::uint32_t>(colour_count));
}
}  // namespace

std::size_t DibRowStride(int width, int bits_per_pixel) {
  const std::uint64_t bits =
      std::uint64_t{static_cast<std::uint32_t>(width)} * static_cast<std::uint32_t>(bits_per_pixel);
  return static_cast<std::size_t>((bits + 31) / 32 * 4);
}

std::optional<PackedDibHeader> ParsePackedDib(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kBitmapInfoHeaderSize) return std::nullopt;
  const std::uint32_t header_size = GetU32(bytes, 0);
  if (header_size < kBitmapInfoHeaderSize || header_size > bytes.size()) return std::nullopt;
  const auto width = static_cast<std::int32_t>(GetU32(bytes, 4));
  const auto height = static_cast<std::int32_t>(GetU32(bytes, 8));
  const std::uint32_t bits = GetU16(bytes, 14);
  if (GetU32(bytes, 16) != 0 || (bits != 8 && bits != 24)) return std::nullopt;
  if (!IsAllowedSurfaceSize(width, height)) return std::nullopt;
  PackedDibHeader header;
  header.width = width;
  header.height = height;
  header.bits_per_pixel = static_cast<int>(bits);
  std::uint32_t colours = GetU32(bytes, 32);
  if (bits == 8 && colours == 0) colours = 256;
  if (colours > 256) return std::nullopt;
  header.colour_count = static_cast<int>(colours);
  header.bits_offset = header_size + std::size_t{colours} * kRgbQuadSize;
  header.row_stride = DibRowStride(width, header.bits_per_pixel);
  const std::uint64_t needed =
      header.bits_offset + std::uint64_t{header.row_stride} * static_cast<std::uint32_t>(height);
  if (needed > bytes.size()) return std::nullopt;
  return header;
}

std::vector<std::uint8_t> CapturePackedDib(const TSurface& surface, const Rect& area,
                                           const TPalette* palette) {
  const Rect r = Intersect(area, surface.Bounds());
  if (r.IsEmpty()) return {};
  const bool indexed = surface.IsPaletteSurface();
  const TPalette& table = palette ? *palette : DefaultPalette();
  const int bits = indexed ? 8 : 24;
  const int colours = indexed ? table.Size() : 0;
  const std::size_t stride = DibRowStride(r.Width(), bits);
  const std::size_t bits_offset = kBitmapInfoHeaderSize + std::size_t(colours) * kRgbQuadSize;
  std::vector<std::uint8_t> out(bits_offset + stride * static_cast<std::size_t>(r.Height()), 0);
  WriteHeader(out, r.Width(), r.Height(), bits, colours,
              stride * static_cast<std::size_t>(r.Height()));
  for (int i = 0; i < colours; ++i) {
    const ColorRef c = table.ColourOf(i);
    const std::size_t at = kBitmapInfoHeaderSize + static_cast<std::size_t>(i) * kRgbQuadSize;
    out[at] = static_cast<std::uint8_t>(BlueOf(c));
    out[at + 1] = static_cast<std::uint8_t>(GreenOf(c));
    out[at + 2] = static_cast<std::uint8_t>(RedOf(c));
  }
  // A palette surface has at most 256 pixel values: map each once.
  std::array<int, 256> index_of_value{};
  if (indexed) {
    for (int v = 0; v < 256; ++v) {
      index_of_value[static_cast<std::size_t>(v)] =
          table.GetNearestPaletteIndex(surface.ColourOfPixel(static_cast<std::uint32_t>(v)));
    }
  }
  for (int y = r.top; y < r.bottom; ++y) {
    std::uint8_t* row =
        out.data() + bits_offset + static_cast<std::size_t>(r.bottom - 1 - y) * stride;
    const std::uint32_t* in = surface.Row(y) + r.left;
    for (int x = 0; x < r.Width(); ++x) {
      if (indexed) {
        row[x] = static_cast<std::uint8_t>(index_of_value[in[x] & 0xFF]);
      } else {
        row[3 * x] = static_cast<std::uint8_t>(in[x] & 0xFF);
        row[3 * x + 1] = static_cast<std::uint8_t>((in[x] >> 8) & 0xFF);
        row[3 * x + 2] = static_cast<std::uint8_t>((in[x] >> 16) & 0xFF);
      }
    }
  }
  return out;
}
