// A stored picture as plain red-green-blue pixels, for comparing pictures and
// writing them out in neutral formats.
#pragma once

#include <cstdint>
#include <vector>

class TImage;

// Stored row y (0 = top) as width x 3 bytes of red, green, blue, with a
// palette picture's bitmap colours applied. Rows out of range give nothing.
void PictureRowToRgb(const TImage& image, int y, std::uint8_t* out);

// width x height pixels of red, green, blue, top row first.
std::vector<std::uint8_t> PictureToRgb(const TImage& image);
