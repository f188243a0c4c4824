#include "media/wave_volume.h"

namespace {
constexpr std::uint32_t kChannelMaximum = 0xFFFF;

std::uint32_t Channel(std::uint32_t volume, int shift) {
  return (volume >> shift) & kChannelMaximum;
}

std::uint32_t Pack(std::uint32_t left, std::uint32_t right) {
  return left | right << 16;
}

std::uint32_t Up(std::uint32_t channel) {
  return channel + kVolumeStep > kChannelMaximum ? kChannelMaximum : channel + kVolumeStep;
}

std::uint32_t Down(std::uint32_t channel) {
  return channel < kVolumeStep ? 0 : channel - kVolumeStep;
}
}  // namespace

std::uint32_t LouderVolume(std::uint32_t volume) {
  return Pack(Up(Channel(volume, 0)), Up(Channel(volume, 16)));
}

std::uint32_t SofterVolume(std::uint32_t volume) {
  return Pack(Down(Channel(volume, 0)), Down(Channel(volume, 16)));
}
