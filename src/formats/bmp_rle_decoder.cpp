#include "formats/bmp_rle_decoder.h"

#include <algorithm>
#include <limits>

namespace {
constexpr int kEndOfLine = 0;
constexpr int kEndOfBitmap = 1;
constexpr int kDelta = 2;
// After the end of the bitmap every pixel is index 0.
constexpr std::int32_t kEndlessRun = std::numeric_limits<std::int32_t>::max();
}  // namespace

void TBmpRleDecoder::Reset(int bits_per_pixel, int width) {
  *this = TBmpRleDecoder();
  bits_per_pixel_ = bits_per_pixel;
  width_ = width;
}

bool TBmpRleDecoder::ReadCode(BmpSource& source) {
  if (pad_pending_) {
    if (source.Byte() < 0) return false;
    pad_pending_ = false;
  }
  const int count = source.Byte();
  const int value = source.Byte();
  if (count < 0 || value < 0) return false;
  low_nibble_next_ = false;
  if (count > 0) {
    absolute_ = false;
    remaining_ = count;
    value_ = value;
  } else if (value == kEndOfLine) {
    end_of_line_ = true;
  } else if (value == kEndOfBitmap) {
    absolute_ = false;
    remaining_ = kEndlessRun;
    value_ = 0;
  } else if (value == kDelta) {
    const int dx = source.Byte();
    const int dy = source.Byte();
    if (dx < 0 || dy < 0) return false;
    // The skipped pixels are filled with index 0.
    const std::int64_t skipped = dx + std::int64_t{dy} * width_;
    absolute_ = false;
    remaining_ = static_cast<std::int32_t>(std::min<std::int64_t>(skipped, kEndlessRun));
    value_ = 0;
  } else {
    absolute_ = true;
    remaining_ = value;
  }
  return true;
}

int TBmpRleDecoder::NextPixel(BmpSource& source) {
  while (!end_of_line_ && remaining_ <= 0) {
    if (!ReadCode(source)) return -1;
  }
  if (end_of_line_) return 0;
  --remaining_;
  if (absolute_ && (bits_per_pixel_ == 8 || !low_nibble_next_)) {
    value_ = source.Byte();
    if (value_ < 0) return -1;
    pad_pending_ = !pad_pending_;
  }
  if (bits_per_pixel_ == 8) return value_;
  const int pixel = low_nibble_next_ ? value_ & 0x0F : value_ >> 4;
  low_nibble_next_ = !low_nibble_next_;
  return pixel;
}
