// Pictures with an alpha channel are held composed over the background colour,
// the colour the window shows around a picture.
#pragma once

#include <cstdint>

#include "image/palette.h"

class TProfile;

// BackgroundRed/Green/Blue; the viewer's defaults without settings.
PaletteEntry BackgroundColour(const TProfile* settings);

// count pixels of blue, green, red, alpha become blue, green, red over
// `background`, taking every `step`-th source pixel.
void ComposeBgraRow(const std::uint8_t* bgra, int count, int step, PaletteEntry background,
                    std::uint8_t* bgr);

// One colour of `alpha` (0..255) over the background.
PaletteEntry ComposeColour(PaletteEntry colour, int alpha, PaletteEntry background);
