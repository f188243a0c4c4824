// The run-length codes of 4- and 8-bit bitmaps, decoded a row at a time with
// the position the codes move: runs advance along the row, an end of line
// moves to the start of the next row up, a delta moves right and up, and the
// end of the bitmap ends every row. Pixels the codes skip are index 0, and
// pixels beyond the width are dropped.
#pragma once

#include <cstdint>

#include "formats/bmp_source.h"

class TBmpRleDecoder {
 public:
  // bits_per_pixel is 4 or 8.
  void Reset(int bits_per_pixel, int width);
  // Decodes the next row up into `row` (width pixels). False when the data
  // ends before the row does.
  bool DecodeRow(BmpSource& source, std::uint8_t* row);

 private:
  // Stores `count` pixels from x on; the x that follows, at most the width.
  int PutRun(std::uint8_t* row, int x, int count, int value) const;
  // False when the data ends inside the run.
  bool PutAbsolute(BmpSource& source, std::uint8_t* row, int& x, int count) const;

  int bits_per_pixel_ = 8;
  int width_ = 0;
  // Rows a delta passed over, still to hand out as index 0.
  std::int64_t skipped_rows_ = 0;
  // Where the row after a delta's skipped rows resumes.
  int resume_x_ = 0;
  bool end_of_bitmap_ = false;
};
