#include "formats/bmp_bitfields.h"

#include <bit>
#include <cstdio>

namespace {

constexpr int kAlpha = 3;

// False for masks of more than one run of bits.
bool DescribeChannel(std::uint32_t mask, BmpChannel& channel) {
  channel = {mask, std::countr_zero(mask), std::popcount(mask)};
  const std::uint32_t run = mask >> channel.shift;
  return (run & (run + 1)) == 0;
}

}  // namespace

BmpMasks DefaultBmpMasks(int bits_per_pixel) {
  if (bits_per_pixel == 16) return {0x7C00, 0x03E0, 0x001F, 0};
  return {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
}

bool DescribeBitfields(const BmpMasks& masks, int bits_per_pixel, BmpBitfields& fields) {
  const std::uint32_t pixel_bits =
      bits_per_pixel >= 32 ? 0xFFFFFFFFu : (std::uint32_t{1} << bits_per_pixel) - 1;
  std::uint32_t used = 0;
  for (int i = 0; i < static_cast<int>(masks.size()); ++i) {
    const std::uint32_t mask = masks[i];
    if (mask == 0 && i == kAlpha) continue;
    BmpChannel channel;
    if (mask == 0 || (mask & ~pixel_bits) != 0 || (mask & used) != 0 ||
        !DescribeChannel(mask, channel)) {
      return false;
    }
    used |= mask;
    if (i < kAlpha) {
      fields.colour[i] = channel;
    } else {
      fields.alpha = channel;
    }
  }
  return true;
}

std::string BmpMasksText(const BmpMasks& masks) {
  char text[80];
  std::snprintf(text, sizeof text, "red %08X, green %08X, blue %08X, alpha %08X", masks[0],
                masks[1], masks[2], masks[3]);
  return text;
}
