#include "formats/alpha_background.h"

#include <cstddef>

#include "settings/profile.h"
#include "settings/profile_keys.h"

namespace {

std::uint8_t Mix(int value, int alpha, int background) {
  return static_cast<std::uint8_t>((value * alpha + background * (255 - alpha) + 127) / 255);
}

int KeyValue(const TProfile* settings, IntKey key) {
  if (settings != nullptr) return settings->Get(key);
  return IntKeyTable()[static_cast<int>(key)].viewer_default;
}

}  // namespace

PaletteEntry BackgroundColour(const TProfile* settings) {
  return {static_cast<std::uint8_t>(KeyValue(settings, IntKey::BackgroundRed)),
          static_cast<std::uint8_t>(KeyValue(settings, IntKey::BackgroundGreen)),
          static_cast<std::uint8_t>(KeyValue(settings, IntKey::BackgroundBlue)), 0};
}

void ComposeBgraRow(const std::uint8_t* bgra, int count, int step, PaletteEntry background,
                    std::uint8_t* bgr) {
  const std::size_t stride = std::size_t(4) * step;
  for (int i = 0; i < count; ++i, bgra += stride, bgr += 3) {
    const int alpha = bgra[3];
    bgr[0] = Mix(bgra[0], alpha, background.blue);
    bgr[1] = Mix(bgra[1], alpha, background.green);
    bgr[2] = Mix(bgra[2], alpha, background.red);
  }
}

PaletteEntry ComposeColour(PaletteEntry colour, int alpha, PaletteEntry background) {
  return {Mix(colour.red, alpha, background.red), Mix(colour.green, alpha, background.green),
          Mix(colour.blue, alpha, background.blue), 0};
}
