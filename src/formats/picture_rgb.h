// A stored picture as plain red-green-blue pixels, for comparing pictures and
// writing them out in neutral formats.
#pragma once

#include <cstdint>
#include <vector>

#include "image/image.h"

// Stored row y (0 = top) as width x 3 bytes of red, green, blue, with a
// palette picture's bitmap colours applied. Rows out of range give nothing.
void PictureRowToRgb(const TImage& image, int y, std::uint8_t* out);

// width x height pixels of red, green, blue, top row first.
std::vector<std::uint8_t> PictureToRgb(const TImage& image);

// The stored picture turned by its upright orientation (a camera's tag),
// without the view's crop, zoom or Rotate: its size, and its row y (0 = top)
// as red, green, blue. Rows out of range give nothing.
ImageSize UprightSize(const TImage& image);
void UprightRowToRgb(const TImage& image, int y, std::uint8_t* out);
