// CMYK and YCCK files decode to four inks per pixel; the picture needs light.
#pragma once

#include <cstdint>

// Converts `count` pixels, taking every `step`-th pixel of `cmyk` (four bytes
// each), to blue, green, red. Adobe's files store the inks inverted (0 is full
// ink), which `inverted` states.
void CmykToBgr(const std::uint8_t* cmyk, int count, int step, bool inverted, std::uint8_t* bgr);

// The luminance of one blue, green, red pixel, with the weights the JPEG
// library uses for its own colour-to-grey conversion.
std::uint8_t GreyOfBgr(const std::uint8_t* bgr);
