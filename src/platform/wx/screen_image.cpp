#include "platform/wx/screen_image.h"

void ConvertPaletteArea(const TSurface& surface, const Rect& area, std::uint32_t* out) {
  const Rect cut = Intersect(area, surface.Bounds());
  const std::size_t width = static_cast<std::size_t>(surface.Width());
  for (int y = cut.top; y < cut.bottom; ++y) {
    const std::uint32_t* row = surface.Row(y);
    std::uint32_t* target = out + static_cast<std::size_t>(y) * width;
    for (int x = cut.left; x < cut.right; ++x) {
      target[x] = PixelFromColour(surface.ColourOfPixel(row[x]));
    }
  }
}

TScreenImage::~TScreenImage() {
  Forget();
}

void TScreenImage::Forget() {
  if (image_) cairo_surface_destroy(image_);
  image_ = nullptr;
  source_ = nullptr;
  width_ = height_ = bits_per_pixel_ = 0;
  converted_.clear();
}

cairo_surface_t* TScreenImage::Show(const TSurface& surface, const Rect& changed) {
  const bool palette = surface.IsPaletteSurface();
  const std::uint32_t* source = surface.Row(0);
  const bool same = image_ && source == source_ && surface.Width() == width_ &&
                    surface.Height() == height_ && surface.BitsPerPixel() == bits_per_pixel_;
  if (!same) {
    Forget();
    source_ = source;
    width_ = surface.Width();
    height_ = surface.Height();
    bits_per_pixel_ = surface.BitsPerPixel();
    std::uint32_t* pixels = const_cast<std::uint32_t*>(source);
    if (palette) {
      converted_.assign(static_cast<std::size_t>(width_) * height_, 0);
      ConvertPaletteArea(surface, surface.Bounds(), converted_.data());
      pixels = converted_.data();
    }
    // Rows of 32-bit words: cairo's RGB24 stride for this width.
    image_ = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels),
                                                 CAIRO_FORMAT_RGB24, width_, height_, width_ * 4);
    if (cairo_surface_status(image_) != CAIRO_STATUS_SUCCESS) {
      Forget();
      return nullptr;
    }
    return image_;
  }
  const Rect cut = Intersect(changed, surface.Bounds());
  if (cut.IsEmpty()) return image_;
  if (palette) ConvertPaletteArea(surface, cut, converted_.data());
  cairo_surface_mark_dirty_rectangle(image_, cut.left, cut.top, cut.Width(), cut.Height());
  return image_;
}
