#include "platform/device_context.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "platform/display.h"
#include "platform/fixed_font.h"

namespace {
constexpr std::size_t kColourCacheSize = 4096;
constexpr std::uint64_t kCacheValid = std::uint64_t{1} << 63;
constexpr int kIndexCount = 256;

int Scale(int value, int from_origin, int numerator, int denominator, int to_origin) {
  if (denominator == 0) denominator = 1;
  const std::int64_t scaled =
      (std::int64_t{value} - from_origin) * numerator / denominator + to_origin;
  return static_cast<int>(
      std::clamp<std::int64_t>(scaled, -(std::int64_t{1} << 30), std::int64_t{1} << 30));
}

// The system index that shows entry `index` of the default palette.
std::uint32_t DefaultPaletteSystemIndex(int index) {
  constexpr int kLowCount = kStaticColourCount / 2;
  return static_cast<std::uint32_t>(
      index < kLowCount ? index : kSystemPaletteSize - kStaticColourCount + index);
}
}  // namespace

TDeviceContext::TDeviceContext(TSurface& surface, TDisplay* display, WindowId window)
    : surface_(surface), display_(display), window_(window) {}

void TDeviceContext::SetClipRect(const Rect& device) {
  clip_ = device;
}

Rect TDeviceContext::ClipBox() const {
  return clip_ ? Intersect(*clip_, surface_.Bounds()) : surface_.Bounds();
}

MappingMode TDeviceContext::SetMappingMode(const MappingMode& mode) {
  MappingMode previous = mapping_;
  mapping_ = mode;
  return previous;
}

Point TDeviceContext::LogicalToDevice(Point p) const {
  const MappingMode& m = mapping_;
  return Point{Scale(p.x, m.window_origin.x, m.viewport_extent.width, m.window_extent.width,
                     m.viewport_origin.x),
               Scale(p.y, m.window_origin.y, m.viewport_extent.height, m.window_extent.height,
                     m.viewport_origin.y)};
}

Point TDeviceContext::DeviceToLogical(Point p) const {
  const MappingMode& m = mapping_;
  return Point{Scale(p.x, m.viewport_origin.x, m.window_extent.width, m.viewport_extent.width,
                     m.window_origin.x),
               Scale(p.y, m.viewport_origin.y, m.window_extent.height, m.viewport_extent.height,
                     m.window_origin.y)};
}

Rect TDeviceContext::LogicalToDevice(const Rect& r) const {
  const Point a = LogicalToDevice(Point{r.left, r.top});
  const Point b = LogicalToDevice(Point{r.right, r.bottom});
  return Rect{a.x, a.y, b.x, b.y}.Normalized();
}

Rect TDeviceContext::DeviceToLogical(const Rect& r) const {
  const Point a = DeviceToLogical(Point{r.left, r.top});
  const Point b = DeviceToLogical(Point{r.right, r.bottom});
  return Rect{a.x, a.y, b.x, b.y}.Normalized();
}

TPalette* TDeviceContext::SelectPalette(TPalette* palette) {
  TPalette* previous = palette_;
  palette_ = palette;
  colour_cache_.clear();
  lookup_valid_ = false;
  return previous;
}

int TDeviceContext::RealizePalette(bool background) {
  colour_cache_.clear();
  lookup_valid_ = false;
  if (!palette_ || !display_) return 0;
  return display_->RealizePalette(*palette_, window_, background);
}

std::uint32_t TDeviceContext::SolidPixel(ColorRef colour) const {
  if (!surface_.IsPaletteSurface()) return PixelFromColour(colour);
  if (display_) return display_->PixelForColour(colour);
  if (surface_.BitsPerPixel() != 8) return 0;
  return DefaultPaletteSystemIndex(DefaultPalette().GetNearestPaletteIndex(colour));
}

std::uint32_t TDeviceContext::BitmapPixel(ColorRef colour) const {
  if (!surface_.IsPaletteSurface()) return PixelFromColour(colour);
  colour &= 0x00FFFFFF;
  if (colour_cache_.empty()) colour_cache_.assign(kColourCacheSize, 0);
  const std::size_t slot = ((colour * 2654435761u) >> 20) % kColourCacheSize;
  const std::uint64_t cached = colour_cache_[slot];
  if ((cached & kCacheValid) && static_cast<ColorRef>((cached >> 32) & 0x00FFFFFF) == colour) {
    return static_cast<std::uint32_t>(cached & 0xFFFFFFFF);
  }
  std::uint32_t pixel;
  if (palette_ && palette_->SystemIndices().size() == static_cast<std::size_t>(palette_->Size())) {
    const int index = palette_->GetNearestPaletteIndex(colour);
    pixel = palette_->SystemIndices()[static_cast<std::size_t>(index)];
  } else {
    pixel = SolidPixel(colour);
  }
  colour_cache_[slot] = kCacheValid | (std::uint64_t{colour} << 32) | pixel;
  return pixel;
}

std::uint32_t TDeviceContext::PalettePixel(int index) const {
  const TPalette& palette = palette_ ? *palette_ : DefaultPalette();
  if (index < 0 || index >= palette.Size()) index = 0;
  if (!surface_.IsPaletteSurface()) return PixelFromColour(palette.ColourOf(index));
  if (&palette == &DefaultPalette() && surface_.BitsPerPixel() == 8) {
    return DefaultPaletteSystemIndex(index);
  }
  if (palette.SystemIndices().size() == static_cast<std::size_t>(palette.Size())) {
    return palette.SystemIndices()[static_cast<std::size_t>(index)];
  }
  return SolidPixel(palette.ColourOf(index));
}

void TDeviceContext::FillRect(const Rect& rect, ColorRef colour) {
  const Rect device = Intersect(LogicalToDevice(rect), ClipBox());
  if (device.IsEmpty()) return;
  const std::uint32_t pixel = SolidPixel(colour);
  for (int y = device.top; y < device.bottom; ++y) {
    std::uint32_t* row = surface_.Row(y);
    std::fill(row + device.left, row + device.right, pixel);
  }
}

void TDeviceContext::BitBlt(int x, int y, int width, int height, const TDeviceContext& source,
                            int source_x, int source_y) {
  const TSurface& from = source.surface_;
  // Clip the block against the source, then against the destination.
  Rect src = Intersect(Rect::FromSize(source_x, source_y, width, height), from.Bounds());
  if (src.IsEmpty()) return;
  Rect dst = src.Offset(x - source_x, y - source_y);
  dst = Intersect(dst, ClipBox());
  if (dst.IsEmpty()) return;
  src = dst.Offset(source_x - x, source_y - y);
  const int count = dst.Width();
  const bool same_format = from.BitsPerPixel() == surface_.BitsPerPixel();
  const bool bottom_up = &from == &surface_ && dst.top > src.top;
  for (int i = 0; i < dst.Height(); ++i) {
    const int row = bottom_up ? dst.Height() - 1 - i : i;
    const std::uint32_t* in = from.Row(src.top + row) + src.left;
    std::uint32_t* out = surface_.Row(dst.top + row) + dst.left;
    if (same_format) {
      std::memmove(out, in, static_cast<std::size_t>(count) * sizeof(std::uint32_t));
    } else {
      for (int k = 0; k < count; ++k) out[k] = BitmapPixel(from.ColourOfPixel(in[k]));
    }
  }
}

void TDeviceContext::DrawBgrLineDirect(int x, int y, int width, const std::uint8_t* bits) {
  const Rect clip = ClipBox();
  if (y < clip.top || y >= clip.bottom) return;
  int i = std::max(0, clip.left - x);
  const int last = std::min(width, clip.right - x);
  std::uint32_t* row = surface_.Row(y);
  if constexpr (std::endian::native == std::endian::little) {
    // Four pixels from three words: blue, green, red read little-endian are
    // already 0x00RRGGBB.
    for (; i + 4 <= last; i += 4) {
      std::uint32_t w[3];
      std::memcpy(w, bits + 3 * static_cast<std::size_t>(i), sizeof(w));
      std::uint32_t* out = row + x + i;
      out[0] = w[0] & 0x00FFFFFF;
      out[1] = (w[0] >> 24) | ((w[1] & 0xFFFF) << 8);
      out[2] = (w[1] >> 16) | ((w[2] & 0xFF) << 16);
      out[3] = w[2] >> 8;
    }
  }
  for (; i < last; ++i) {
    const std::uint8_t* p = bits + 3 * static_cast<std::size_t>(i);
    row[x + i] = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
  }
}

const std::array<std::uint32_t, 256>& TDeviceContext::IndexLookup(
    DibLineFormat format, std::span<const ColorRef> colour_table) {
  const bool same_table =
      format == DibLineFormat::kIndexedPalette ||
      (lookup_table_.size() == colour_table.size() &&
       std::equal(colour_table.begin(), colour_table.end(), lookup_table_.begin()));
  if (lookup_valid_ && lookup_format_ == format && same_table) return index_lookup_;
  for (int i = 0; i < kIndexCount; ++i) {
    const auto index = static_cast<std::size_t>(i);
    if (format == DibLineFormat::kIndexedPalette) {
      index_lookup_[index] = PalettePixel(i);
    } else {
      index_lookup_[index] = BitmapPixel(index < colour_table.size() ? colour_table[index] : 0);
    }
  }
  lookup_table_.assign(colour_table.begin(), colour_table.end());
  lookup_format_ = format;
  lookup_valid_ = true;
  return index_lookup_;
}

void TDeviceContext::DrawDibLine(int x, int y, int width, std::span<const std::uint8_t> bits,
                                 DibLineFormat format, std::span<const ColorRef> colour_table) {
  const std::size_t bytes_per_pixel = format == DibLineFormat::kBgr24 ? 3 : 1;
  if (width <= 0 || bits.size() < static_cast<std::size_t>(width) * bytes_per_pixel) return;
  if (format == DibLineFormat::kBgr24 && !surface_.IsPaletteSurface() && mapping_.IsIdentity()) {
    DrawBgrLineDirect(x, y, width, bits.data());
    return;
  }
  std::vector<std::uint32_t>& pixels = line_buffer_;
  pixels.resize(static_cast<std::size_t>(width));
  if (format == DibLineFormat::kBgr24) {
    for (int i = 0; i < width; ++i) {
      const std::uint8_t* p = bits.data() + 3 * static_cast<std::size_t>(i);
      pixels[static_cast<std::size_t>(i)] = BitmapPixel(MakeRgb(p[2], p[1], p[0]));
    }
  } else {
    const std::array<std::uint32_t, kIndexCount>& lookup = IndexLookup(format, colour_table);
    const Rect device = LogicalToDevice(Rect::FromSize(x, y, width, 1));
    if (device.Width() == width && device.Height() == 1) {
      // Unscaled: straight into the row, the common case of every paint.
      const Rect clip = ClipBox();
      if (device.top < clip.top || device.top >= clip.bottom) return;
      const int first = std::max(0, clip.left - device.left);
      const int last = std::min(width, clip.right - device.left);
      std::uint32_t* row = surface_.Row(device.top);
      for (int i = first; i < last; ++i) {
        row[device.left + i] = lookup[bits[static_cast<std::size_t>(i)]];
      }
      return;
    }
    for (int i = 0; i < width; ++i) {
      pixels[static_cast<std::size_t>(i)] = lookup[bits[static_cast<std::size_t>(i)]];
    }
  }
  DrawDeviceLine(LogicalToDevice(Rect::FromSize(x, y, width, 1)), width, pixels);
}

void TDeviceContext::DrawDeviceLine(const Rect& device, int width,
                                    const std::vector<std::uint32_t>& pixels) {
  const Rect clipped = Intersect(device, ClipBox());
  if (clipped.IsEmpty()) return;
  const std::int64_t device_width = device.Width();
  for (int y = clipped.top; y < clipped.bottom; ++y) {
    std::uint32_t* out = surface_.Row(y);
    if (device_width == width) {
      std::copy(pixels.begin() + (clipped.left - device.left),
                pixels.begin() + (clipped.right - device.left), out + clipped.left);
      continue;
    }
    for (int dx = clipped.left; dx < clipped.right; ++dx) {
      const std::int64_t source = (dx - device.left) * std::int64_t{width} / device_width;
      out[dx] = pixels[static_cast<std::size_t>(source)];
    }
  }
}

Size TDeviceContext::GetTextExtent(std::string_view text) const {
  return FixedFontTextExtent(text);
}

void TDeviceContext::DrawText(int x, int y, std::string_view text, ColorRef text_colour,
                              ColorRef back_colour, bool opaque) {
  const Point origin = LogicalToDevice(Point{x, y});
  const std::uint32_t ink = SolidPixel(text_colour);
  const std::uint32_t paper = SolidPixel(back_colour);
  const Rect bounds = ClipBox();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint8_t* glyph = FixedFontGlyph(static_cast<unsigned char>(text[i]));
    const int left = origin.x + static_cast<int>(i) * kFixedFontWidth;
    for (int row = 0; row < kFixedFontHeight; ++row) {
      for (int column = 0; column < kFixedFontWidth; ++column) {
        const Point p{left + column, origin.y + row};
        if (!bounds.Contains(p)) continue;
        const bool set = (glyph[row] >> (kFixedFontWidth - 1 - column)) & 1;
        if (set) {
          surface_.Row(p.y)[p.x] = ink;
        } else if (opaque) {
          surface_.Row(p.y)[p.x] = paper;
        }
      }
    }
  }
}

void TDeviceContext::InvertFrame(const Rect& rect) {
  const Rect r = LogicalToDevice(rect.Normalized());
  if (r.IsEmpty()) return;
  const std::uint32_t mask = surface_.InvertMask();
  const Rect bounds = ClipBox();
  auto invert = [&](int px, int py) {
    if (bounds.Contains(Point{px, py})) surface_.Row(py)[px] ^= mask;
  };
  const int last_x = r.right - 1;
  const int last_y = r.bottom - 1;
  for (int px = r.left; px <= last_x; ++px) {
    invert(px, r.top);
    if (last_y != r.top) invert(px, last_y);
  }
  for (int py = r.top + 1; py < last_y; ++py) {
    invert(r.left, py);
    if (last_x != r.left) invert(last_x, py);
  }
}

void TDeviceContext::ScrollRect(int dx, int dy, const Rect& scroll, const Rect& clip) {
  const Rect source = Intersect(LogicalToDevice(scroll), surface_.Bounds());
  if (source.IsEmpty()) return;
  const Rect target = Intersect(Intersect(source.Offset(dx, dy), LogicalToDevice(clip)), ClipBox());
  if (target.IsEmpty()) return;
  // Copy through a buffer: source and target overlap in every useful scroll.
  const int width = target.Width();
  std::vector<std::uint32_t> buffer(static_cast<std::size_t>(width) * target.Height());
  for (int y = target.top; y < target.bottom; ++y) {
    const std::uint32_t* in = surface_.Row(y - dy) + (target.left - dx);
    std::copy_n(in, width, buffer.data() + static_cast<std::size_t>(y - target.top) * width);
  }
  for (int y = target.top; y < target.bottom; ++y) {
    std::copy_n(buffer.data() + static_cast<std::size_t>(y - target.top) * width, width,
                surface_.Row(y) + target.left);
  }
}
