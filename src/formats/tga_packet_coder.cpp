#include "formats/tga_packet_coder.h"

void TTgaPacketCoder::Add(std::uint32_t pixel) {
  if (count_ >= kTgaMaxPacket) WritePacket();
  if (count_ == 0) {
    StartRaw(pixel);
  } else if (count_ == 1) {
    run_ = pixel == pixels_[0];
    pixels_[count_++] = pixel;
  } else if (run_) {
    if (pixel == pixels_[0]) {
      ++count_;
    } else {
      WritePacket();
      StartRaw(pixel);
    }
  } else if (pixel == pixels_[count_ - 1]) {
    // The raw packet's last pixel starts a run with this one.
    --count_;
    WritePacket();
    pixels_[0] = pixel;
    count_ = 2;
    run_ = true;
  } else {
    pixels_[count_++] = pixel;
  }
}

void TTgaPacketCoder::Flush() {
  if (count_ > 0) WritePacket();
}

void TTgaPacketCoder::StartRaw(std::uint32_t pixel) {
  pixels_[0] = pixel;
  count_ = 1;
  run_ = false;
}

void TTgaPacketCoder::WritePacket() {
  const int stored = run_ ? 1 : count_;
  const std::size_t start = output_.size();
  output_.resize(start + 1 + static_cast<std::size_t>(stored) * bytes_per_pixel_);
  std::uint8_t* out = output_.data() + start;
  *out++ = static_cast<std::uint8_t>((run_ ? kTgaRunPacket : 0) + count_ - 1);
  for (int i = 0; i < stored; ++i) {
    const std::uint32_t pixel = pixels_[i];
    for (int b = 0; b < bytes_per_pixel_; ++b) *out++ = static_cast<std::uint8_t>(pixel >> (8 * b));
  }
  count_ = 0;
  run_ = false;
}
