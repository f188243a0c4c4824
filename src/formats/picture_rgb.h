// A stored picture as plain red-green-blue pixels, for comparing pictures and
// writing them out in neutral formats.
#pragma once

#include <cstdint>
#include <vector>

class TImage;

// width x height pixels of red, green, blue, top row first, with a palette
// picture's bitmap colours applied.
std::vector<std::uint8_t> PictureToRgb(const TImage& image);
