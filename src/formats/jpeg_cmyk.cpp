#include "formats/jpeg_cmyk.h"

#include <cstddef>

namespace {

// a x b / 255, rounded, for 0..255 operands.
std::uint8_t ScaleByInk(int a, int b) {
  const int product = a * b + 128;
  return static_cast<std::uint8_t>((product + (product >> 8)) >> 8);
}

}  // namespace

void CmykToBgr(const std::uint8_t* cmyk, int count, int step, bool inverted, std::uint8_t* bgr) {
  const int flip = inverted ? 0 : 255;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* ink = cmyk + static_cast<std::size_t>(i) * step * 4;
    const int light = ink[3] ^ flip;
    bgr[0] = ScaleByInk(ink[2] ^ flip, light);
    bgr[1] = ScaleByInk(ink[1] ^ flip, light);
    bgr[2] = ScaleByInk(ink[0] ^ flip, light);
    bgr += 3;
  }
}

std::uint8_t GreyOfBgr(const std::uint8_t* bgr) {
  constexpr int kRedWeight = 19595;  // 0.299, 0.587 and 0.114 in 16-bit fixed point
  constexpr int kGreenWeight = 38470;
  constexpr int kBlueWeight = 7471;
  const int sum = kRedWeight * bgr[2] + kGreenWeight * bgr[1] + kBlueWeight * bgr[0] + 32768;
  return static_cast<std::uint8_t>(sum >> 16);
}
