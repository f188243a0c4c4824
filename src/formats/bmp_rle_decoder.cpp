#include "formats/bmp_rle_decoder.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kEndOfLine = 0;
constexpr int kEndOfBitmap = 1;
constexpr int kDelta = 2;
}  // namespace

void TBmpRleDecoder::Reset(int bits_per_pixel, int width) {
  *this = TBmpRleDecoder();
  bits_per_pixel_ = bits_per_pixel;
  width_ = width;
}

int TBmpRleDecoder::PutRun(std::uint8_t* row, int x, int count, int value) const {
  const int end = std::min(x + count, width_);
  if (bits_per_pixel_ == 8) {
    if (x < end) std::memset(row + x, value, static_cast<std::size_t>(end - x));
    return end;
  }
  // 4 bits: the high and the low nibble in turn, high first.
  for (int i = 0; x + i < end; ++i)
    row[x + i] = static_cast<std::uint8_t>(i % 2 ? value & 0x0F : value >> 4);
  return end;
}

bool TBmpRleDecoder::PutAbsolute(BmpSource& source, std::uint8_t* row, int& x, int count) const {
  const int bytes = bits_per_pixel_ == 8 ? count : (count + 1) / 2;
  int left = count;
  for (int i = 0; i < bytes; ++i) {
    const int byte = source.Byte();
    if (byte < 0) return false;
    if (bits_per_pixel_ == 8) {
      x = PutRun(row, x, 1, byte);
      --left;
    } else {
      const int pixels = std::min(left, 2);
      // Two pixels of one byte are a run of that byte's nibbles.
      x = PutRun(row, x, pixels, byte);
      left -= pixels;
    }
  }
  // An odd number of bytes is followed by one pad byte.
  return bytes % 2 == 0 || source.Byte() >= 0;
}

bool TBmpRleDecoder::DecodeRow(BmpSource& source, std::uint8_t* row) {
  std::memset(row, 0, static_cast<std::size_t>(width_));
  if (end_of_bitmap_) return true;
  if (skipped_rows_ > 0) {
    --skipped_rows_;
    return true;
  }
  int x = resume_x_;
  resume_x_ = 0;
  for (;;) {
    const int count = source.Byte();
    const int value = source.Byte();
    if (count < 0 || value < 0) return false;
    if (count > 0) {
      x = PutRun(row, x, count, value);
    } else if (value == kEndOfLine) {
      return true;
    } else if (value == kEndOfBitmap) {
      end_of_bitmap_ = true;
      return true;
    } else if (value == kDelta) {
      const int dx = source.Byte();
      const int dy = source.Byte();
      if (dx < 0 || dy < 0) return false;
      x = std::min(x + dx, width_);
      if (dy > 0) {
        skipped_rows_ = dy - 1;
        resume_x_ = x;
        return true;
      }
    } else if (!PutAbsolute(source, row, x, value)) {
      return false;
    }
  }
}
