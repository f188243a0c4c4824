// The fixed 236-entry dithering palette: 222 points of a Y/Cb/Cr lattice, the
// eight corners of the colour cube and six greys. It fills the free entries of
// an 8-bit display's palette when several pictures share the screen.
#pragma once

#include "image/palette.h"

inline constexpr int kFixedPaletteLatticeEntries = 222;
inline constexpr int kFixedPaletteEntries = 236;

// Entries in their fixed order, flags 0.
const LogPalette& GetFixedDitherPalette();
