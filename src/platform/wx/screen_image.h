// A window's screen surface as a cairo image, ready to be painted on the
// desktop. A true-colour surface already holds cairo's RGB24 layout
// (0x00RRGGBB words, rows of width × 4 bytes), so it is wrapped without a
// copy; a palette surface holds system indices, so its pixels are looked up
// in the system colours into an RGB24 buffer of our own.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "platform/geometry.h"
#include "platform/surface.h"

// Looks the palette surface's pixels inside `area` (cut to the surface) up in
// its system colours and writes them as RGB24 words into `out`, a buffer of
// the surface's size.
void ConvertPaletteArea(const TSurface& surface, const Rect& area, std::uint32_t* out);

class TScreenImage {
 public:
  TScreenImage() = default;
  ~TScreenImage();
  TScreenImage(const TScreenImage&) = delete;
  TScreenImage& operator=(const TScreenImage&) = delete;

  // The image that shows `surface`, with the pixels inside `changed` brought
  // up to date. Made anew, fully converted, when the surface's pixels moved
  // or its size or depth changed. Null when cairo cannot make it.
  cairo_surface_t* Show(const TSurface& surface, const Rect& changed);
  // The surface's pixels are gone or all changed (new surface, new system
  // colours): the next Show starts over.
  void Forget();

 private:
  cairo_surface_t* image_ = nullptr;
  const std::uint32_t* source_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int bits_per_pixel_ = 0;
  std::vector<std::uint32_t> converted_;
};
