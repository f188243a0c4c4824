// Pixels of 16 and 32 bits whose red, green and blue sit in bit fields: the
// fixed 5-5-5 and 8-8-8 layouts of uncompressed files, or masks the file
// gives (screenshots and paint programs write 5-6-5, 8-8-8 with alpha, ...).
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct BmpChannel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
};

// Red, green, blue, and alpha (mask 0 when the pixels have none).
struct BmpBitfields {
  std::array<BmpChannel, 3> colour{};
  BmpChannel alpha{};
};

// The masks as the file gives them, in the order red, green, blue, alpha.
using BmpMasks = std::array<std::uint32_t, 4>;

// The masks an uncompressed file of this depth implies.
BmpMasks DefaultBmpMasks(int bits_per_pixel);

// False unless red, green and blue are each one non-empty run of bits, alpha
// is one run or empty, no two overlap and all fit in a pixel of this depth.
bool DescribeBitfields(const BmpMasks& masks, int bits_per_pixel, BmpBitfields& fields);

// The masks as text for a log line.
std::string BmpMasksText(const BmpMasks& masks);

// A channel of `pixel` widened or narrowed to 0..255: short fields repeat
// their bits (5-bit 31 is 255), long ones keep their top 8 bits.
inline std::uint8_t BmpChannelValue(const BmpChannel& channel, std::uint32_t pixel) {
  const std::uint32_t value = (pixel & channel.mask) >> channel.shift;
  if (channel.bits >= 8) return static_cast<std::uint8_t>(value >> (channel.bits - 8));
  std::uint32_t widened = 0;
  int filled = 0;
  while (filled < 8) {
    widened = widened << channel.bits | value;
    filled += channel.bits;
  }
  return static_cast<std::uint8_t>(widened >> (filled - 8));
}
