// The colours a picture is printed in: its own (adjusted) palette, or, when
// printing dithered, a fixed palette of eight colours or of black and white
// that the picture is dithered to with the printer's tone curve.
#pragma once

#include <vector>

#include "image/palette.h"
#include "platform/colour.h"

class TDither;
class TImage;
class TProfile;

// Eight entries, entry i with red from bit 0, green from bit 1 and blue from
// bit 2 of i (black, red, green, yellow, blue, magenta, cyan, white); or black
// and white.
LogPalette FixedPrintPalette(bool colour);

// The entry of FixedPrintPalette(colour) nearest to `wanted`: what a solid
// fill becomes on a dithered page, which holds only the fixed colours.
ColorRef NearestPrintColour(ColorRef wanted, bool colour);

// Sets `dither` up for printing `image` with the print settings. Returns the
// colour table that the prepared lines' indices refer to; empty when the lines
// stay 24-bit colour.
std::vector<ColorRef> SetUpPrintColours(TDither& dither, const TImage& image,
                                        const TProfile& settings);
