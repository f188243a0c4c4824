#include "platform/surface.h"

#include <algorithm>
#include <new>

bool IsAllowedSurfaceSize(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (width > kMaxSurfaceSide || height > kMaxSurfaceSide) return false;
  return std::int64_t{width} * height <= kMaxSurfacePixels;
}

namespace {
bool IsAllowedDepth(int bits) {
  return bits == 24 || bits == 8 || bits == 4 || bits == 1;
}

bool AllocatePixels(std::vector<std::uint32_t>& pixels, int width, int height) {
  try {
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}
}  // namespace

TSurface::TSurface(int width, int height, int bits_per_pixel, const SystemColours* system_colours)
    : width_(width),
      height_(height),
      bits_per_pixel_(bits_per_pixel),
      system_colours_(system_colours) {}

std::unique_ptr<TSurface> TSurface::Create(int width, int height, int bits_per_pixel,
                                           const SystemColours* system_colours) {
  if (!IsAllowedSurfaceSize(width, height) || !IsAllowedDepth(bits_per_pixel)) return nullptr;
  std::unique_ptr<TSurface> surface(new TSurface(width, height, bits_per_pixel, system_colours));
  if (!AllocatePixels(surface->pixels_, width, height)) return nullptr;
  return surface;
}

std::uint32_t TSurface::InvertMask() const {
  switch (bits_per_pixel_) {
    case 8:
      return 0xFF;
    case 4:
      return 0x0F;
    case 1:
      return 0x01;
    default:
      return 0x00FFFFFF;
  }
}

std::uint32_t TSurface::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return Row(y)[x];
}

ColorRef TSurface::ColourOfPixel(std::uint32_t pixel) const {
  if (!IsPaletteSurface()) return ColourFromPixel(pixel);
  if (!system_colours_)
    return MakeRgb(static_cast<int>(pixel), static_cast<int>(pixel), static_cast<int>(pixel));
  return (*system_colours_)[pixel & 0xFF];
}

ColorRef TSurface::ColourAt(int x, int y) const {
  return ColourOfPixel(PixelAt(x, y));
}

bool TSurface::Resize(int width, int height) {
  if (!IsAllowedSurfaceSize(width, height)) return false;
  if (width == width_ && height == height_) return true;
  std::vector<std::uint32_t> resized;
  if (!AllocatePixels(resized, width, height)) return false;
  const int keep_width = std::min(width, width_);
  const int keep_height = std::min(height, height_);
  for (int y = 0; y < keep_height; ++y) {
    std::copy_n(Row(y), keep_width, resized.data() + static_cast<std::size_t>(y) * width);
  }
  pixels_ = std::move(resized);
  width_ = width;
  height_ = height;
  return true;
}
