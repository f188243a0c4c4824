#include "formats/gif_lzw_encoder.h"

namespace {
constexpr int kMaxCodeBits = 12;
constexpr int kTableLimit = 1 << kMaxCodeBits;  // 4096 codes
constexpr int kHashShift = 4;
}  // namespace

void TGifLzwEncoder::Start(int initial_width, bool compress, GifPacketSink& sink) {
  sink_ = &sink;
  compress_ = compress;
  failed_ = false;
  initial_width_ = initial_width;
  width_ = initial_width;
  max_code_ = (1 << width_) - 1;
  clear_code_ = 1 << (initial_width - 1);
  end_code_ = clear_code_ + 1;
  next_free_ = clear_code_ + 2;
  first_pixel_ = true;
  codes_.fill(0);
  bits_ = 0;
  bit_count_ = 0;
  packet_used_ = 0;
  Output(clear_code_);
}

void TGifLzwEncoder::Put(const std::uint8_t* pixels, int count) {
  int i = 0;
  if (count > 0 && first_pixel_) {
    waiting_ = pixels[0];
    first_pixel_ = false;
    i = 1;
  }
  if (compress_) {
    for (; i < count; ++i) PutCompressed(pixels[i]);
    return;
  }
  for (; i < count; ++i) {
    PutLiteral();
    waiting_ = pixels[i];
  }
}

void TGifLzwEncoder::PutCompressed(std::uint8_t pixel) {
  int i = (pixel << kHashShift) + waiting_;
  if (i >= kHashSize) i -= kHashSize;
  if (codes_[i] != 0) {
    if (prefixes_[i] == waiting_ && suffixes_[i] == pixel) {
      waiting_ = codes_[i];
      return;
    }
    const int displacement = i == 0 ? 1 : kHashSize - i;
    for (;;) {
      i -= displacement;
      if (i < 0) i += kHashSize;
      if (codes_[i] == 0) break;
      if (prefixes_[i] == waiting_ && suffixes_[i] == pixel) {
        waiting_ = codes_[i];
        return;
      }
    }
  }
  Output(waiting_);
  if (next_free_ >= kTableLimit) {
    Clear();
  } else {
    codes_[i] = static_cast<std::uint16_t>(next_free_++);
    prefixes_[i] = static_cast<std::int16_t>(waiting_);
    suffixes_[i] = pixel;
  }
  waiting_ = pixel;
}

void TGifLzwEncoder::PutLiteral() {
  Output(waiting_);
  if (next_free_ < max_code_) {
    ++next_free_;
  } else {
    Clear();
  }
}

void TGifLzwEncoder::Output(int code) {
  bits_ |= static_cast<std::uint32_t>(code) << bit_count_;
  bit_count_ += width_;
  while (bit_count_ >= 8) {
    packet_[packet_used_++] = static_cast<std::uint8_t>(bits_);
    if (packet_used_ == kPacketSize) FlushPacket();
    bits_ >>= 8;
    bit_count_ -= 8;
  }
  if (next_free_ > max_code_) {
    ++width_;
    max_code_ = width_ == kMaxCodeBits ? kTableLimit : (1 << width_) - 1;
  }
}

void TGifLzwEncoder::Clear() {
  codes_.fill(0);
  next_free_ = clear_code_ + 2;
  Output(clear_code_);
  width_ = initial_width_;
  max_code_ = (1 << width_) - 1;
}

void TGifLzwEncoder::Finish() {
  if (!first_pixel_) Output(waiting_);
  Output(end_code_);
  if (bit_count_ > 0) {
    packet_[packet_used_++] = static_cast<std::uint8_t>(bits_);
    if (packet_used_ == kPacketSize) FlushPacket();
    bits_ = 0;
    bit_count_ = 0;
  }
  FlushPacket();
}

void TGifLzwEncoder::FlushPacket() {
  if (packet_used_ > 0 && !failed_ && !sink_->WritePacket(packet_.data(), packet_used_)) {
    failed_ = true;
  }
  packet_used_ = 0;
}
