// The Targa writer's packet coder: pixels in, run and raw packets of at most
// 128 pixels out.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "formats/tga_header.h"

class TTgaPacketCoder {
 public:
  // 1 byte per pixel (an index) or 3 (blue, green, red).
  explicit TTgaPacketCoder(int bytes_per_pixel) : bytes_per_pixel_(bytes_per_pixel) {}

  // pixel holds the pixel's bytes from the lowest: index, or blue | green << 8 | red << 16.
  void Add(std::uint32_t pixel);
  // Writes the open packet; rows end with it so packets never cross rows.
  void Flush();

  std::vector<std::uint8_t>& Output() { return output_; }

 private:
  void WritePacket();
  void StartRaw(std::uint32_t pixel);

  int bytes_per_pixel_;
  bool run_ = false;
  int count_ = 0;
  std::array<std::uint32_t, kTgaMaxPacket> pixels_{};
  std::vector<std::uint8_t> output_;
};
