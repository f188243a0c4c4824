#include "platform/custom_colours.h"

namespace {
std::array<ColorRef, kCustomColourCount> GreyRamp() {
  std::array<ColorRef, kCustomColourCount> ramp{};
  for (int i = 0; i < kCustomColourCount; ++i)
    ramp[static_cast<std::size_t>(i)] = MakeRgb(16 * i, 16 * i, 16 * i);
  return ramp;
}
}  // namespace

std::array<ColorRef, kCustomColourCount>& CustomColours() {
  static std::array<ColorRef, kCustomColourCount> colours = GreyRamp();
  return colours;
}

void ResetCustomColours() {
  CustomColours() = GreyRamp();
}
