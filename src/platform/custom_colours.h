// The 16 custom colours of the colour chooser, shared by every colour dialog
// of the process. They start as a grey ramp (16 × i for i = 0..15) and keep
// the user's changes until the program ends.
#pragma once

#include <array>

#include "platform/colour.h"

inline constexpr int kCustomColourCount = 16;

std::array<ColorRef, kCustomColourCount>& CustomColours();
// Back to the grey ramp (tests).
void ResetCustomColours();
