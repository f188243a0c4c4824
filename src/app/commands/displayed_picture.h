// The picture as it is displayed (orientation and tone applied) as a packed
// 8-bit bitmap, the form the clipboard takes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/colour.h"

class TImage;
class TDither;
class TProfile;

struct DisplayedPicture {
  std::vector<std::uint8_t> packed_dib;  // empty when no size could be had
  std::vector<PaletteColour> palette;    // the colours the bitmap uses
};

// At the picture's size, halved in both directions until the bitmap can be
// made. Palette pictures keep their indices with the adjusted palette as
// colour table; 24-bit pictures are dithered to their representative
// palette. Leaves the picture laid out at that size and the dithering engine
// set up for it: the caller lays the picture out again afterwards.
DisplayedPicture MakeDisplayedPicture(TImage& image, TDither& dither, const TProfile& settings);
