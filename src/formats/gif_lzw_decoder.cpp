#include "formats/gif_lzw_decoder.h"

bool TGifLzwDecoder::Start(int min_code_size) {
  if (min_code_size < 0 || min_code_size > kGifMaxMinCodeSize) return false;
  min_code_size_ = min_code_size;
  clear_code_ = 1 << min_code_size;
  end_code_ = clear_code_ + 1;
  // Codes a broken file names before defining them read as single zero bytes.
  prefix_.fill(-1);
  suffix_.fill(0);
  length_.fill(1);
  for (int i = 0; i < clear_code_; ++i) suffix_[i] = static_cast<std::uint8_t>(i);
  ResetWidth();
  next_free_ = 0;
  old_code_ = 0;
  return true;
}
