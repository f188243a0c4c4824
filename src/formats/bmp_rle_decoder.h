// The run-length codes of 4- and 8-bit bitmaps, one pixel per request. The
// state carries from row to row; only the end-of-line flag is cleared per row.
#pragma once

#include <cstdint>

#include "formats/bmp_source.h"

class TBmpRleDecoder {
 public:
  // bits_per_pixel is 4 or 8.
  void Reset(int bits_per_pixel, int width);
  void StartRow() { end_of_line_ = false; }
  // The next pixel, or -1 when the data ended in the middle of a code.
  int NextPixel(BmpSource& source);

 private:
  bool ReadCode(BmpSource& source);

  int bits_per_pixel_ = 8;
  int width_ = 0;
  std::int32_t remaining_ = 0;
  bool absolute_ = false;
  int value_ = 0;
  bool low_nibble_next_ = false;
  bool pad_pending_ = false;
  bool end_of_line_ = false;
};
