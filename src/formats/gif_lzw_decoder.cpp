#include "formats/gif_lzw_decoder.h"

namespace {
constexpr int kLastCode = (1 << kGifMaxCodeBits) - 1;  // 4095
constexpr int kFullSlot = kLastCode + 1;               // 4096, never named by a code
constexpr std::int16_t kRoot = -1;
}  // namespace

bool TGifLzwDecoder::Start(int min_code_size) {
  if (min_code_size < 0 || min_code_size > kGifMaxMinCodeSize) return false;
  min_code_size_ = min_code_size;
  clear_code_ = 1 << min_code_size;
  end_code_ = clear_code_ + 1;
  // Codes a broken file names before defining them read as single zero bytes.
  prefix_.fill(kRoot);
  suffix_.fill(0);
  for (int i = 0; i < clear_code_; ++i) suffix_[i] = static_cast<std::uint8_t>(i);
  ResetWidth();
  next_free_ = 0;
  old_code_ = 0;
  return true;
}

void TGifLzwDecoder::ResetWidth() {
  width_ = min_code_size_ + 1;
  mask_ = (1 << width_) - 1;
}

int TGifLzwDecoder::Expand(int code, int end) {
  // Iterative, and bounded: a corrupt table may link entries into a cycle.
  int at = end;
  while (code >= 0) {
    if (at == 0) return -1;
    stack_[--at] = suffix_[code];
    code = prefix_[code];
  }
  return at;
}

GifDecodeResult TGifLzwDecoder::Decode(GifCodeSource& source, GifPixelSink& sink) {
  const int string_end = kGifLzwTableSize;  // leaves the last slot for the repeated byte
  for (;;) {
    const int code = source.NextCode(width_);
    if (code < 0) return GifDecodeResult::kDataEnded;
    if (code == end_code_) return GifDecodeResult::kEndCode;
    if (code == clear_code_) {
      ResetWidth();
      next_free_ = 0;
      continue;
    }
    int start = 0;
    int length = 0;
    if (next_free_ == 0) {
      next_free_ = clear_code_ + 2;
      start = Expand(code, string_end);
      if (start < 0) return GifDecodeResult::kCorrupt;
      length = string_end - start;
    } else {
      if (code > next_free_) return GifDecodeResult::kCorrupt;
      if (code < next_free_) {
        start = Expand(code, string_end);
        if (start < 0) return GifDecodeResult::kCorrupt;
        length = string_end - start;
      } else {
        start = Expand(old_code_, string_end);
        if (start < 0) return GifDecodeResult::kCorrupt;
        stack_[string_end] = stack_[start];
        length = string_end + 1 - start;
      }
      suffix_[next_free_] = stack_[start];
      prefix_[next_free_] = static_cast<std::int16_t>(old_code_);
      if (next_free_ == kLastCode) {
        next_free_ = kFullSlot;
      } else if (next_free_ < kLastCode) {
        ++next_free_;
        if (next_free_ > mask_ && width_ < kGifMaxCodeBits) {
          ++width_;
          mask_ = (1 << width_) - 1;
        }
      }
    }
    old_code_ = code;
    if (!sink.Put(stack_.data() + start, length)) return GifDecodeResult::kStopped;
  }
}
