// The GIF variant of LZW decoding: variable-width codes from 3 to 12 bits,
// clear and end codes, and a table that simply stops growing when full.
//
// Decode is a template over where codes come from and where pixels go, so
// the per-code calls inline. A Source provides
//   int NextCode(int width);                  // -1 when the data has ended
// and a Sink provides
//   std::uint8_t* Reserve(int count);         // room for count pixels, or null
//   bool Commit(int count);                   // after writing into Reserve's room
//   bool Put(const std::uint8_t* p, int count);
// where Commit and Put return false when no more pixels are wanted.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kGifMaxCodeBits = 12;
inline constexpr int kGifMaxMinCodeSize = 11;
// Codes 0..4095 plus the slot that receives entries once the table is full.
inline constexpr int kGifLzwTableSize = 4097;

enum class GifDecodeResult { kEndCode, kDataEnded, kCorrupt, kStopped };

class TGifLzwDecoder {
 public:
  // False for a minimum code size above kGifMaxMinCodeSize.
  bool Start(int min_code_size);

  template <class Source, class Sink>
  GifDecodeResult Decode(Source& source, Sink& sink);

 private:
  static constexpr int kLastCode = (1 << kGifMaxCodeBits) - 1;  // 4095
  static constexpr int kFullSlot = kLastCode + 1;               // never named by a code

  enum class Emitted { kDone, kCorrupt, kStopped };

  void ResetWidth() {
    width_ = min_code_size_ + 1;
    mask_ = (1 << width_) - 1;
  }
  // Writes the string of `code` backwards from `end`, following exactly its
  // recorded length, so a corrupt table (even one with cycles) cannot run
  // away. False when the chain ends early.
  bool WriteString(int code, int length, std::uint8_t* end) const {
    for (int i = length; i > 0; --i) {
      if (code < 0) return false;
      *--end = suffix_[code];
      code = prefix_[code];
    }
    return true;
  }
  // Sends the string of `code` to the sink, straight into its row when it
  // has room; first_byte receives the string's first pixel.
  template <class Sink>
  Emitted Emit(int code, Sink& sink, std::uint8_t& first_byte) {
    const int length = length_[code];
    if (std::uint8_t* room = sink.Reserve(length)) {
      if (!WriteString(code, length, room + length)) return Emitted::kCorrupt;
      first_byte = room[0];
      return sink.Commit(length) ? Emitted::kDone : Emitted::kStopped;
    }
    std::uint8_t* end = stack_.data() + stack_.size();
    if (!WriteString(code, length, end)) return Emitted::kCorrupt;
    first_byte = *(end - length);
    return sink.Put(end - length, length) ? Emitted::kDone : Emitted::kStopped;
  }

  int min_code_size_ = 8;
  int clear_code_ = 256;
  int end_code_ = 257;
  int width_ = 9;
  int mask_ = 511;
  int next_free_ = 0;
  int old_code_ = 0;
  std::array<std::int16_t, kGifLzwTableSize> prefix_{};
  std::array<std::uint8_t, kGifLzwTableSize> suffix_{};
  std::array<std::uint16_t, kGifLzwTableSize> length_{};
  std::array<std::uint8_t, kGifLzwTableSize> stack_{};
};

template <class Source, class Sink>
GifDecodeResult TGifLzwDecoder::Decode(Source& source, Sink& sink) {
  for (;;) {
    const int code = source.NextCode(width_);
    if (code < 0) return GifDecodeResult::kDataEnded;
    if (code == end_code_) return GifDecodeResult::kEndCode;
    if (code == clear_code_) {
      ResetWidth();
      next_free_ = 0;
      continue;
    }
    std::uint8_t first_byte = 0;
    Emitted emitted = Emitted::kDone;
    if (next_free_ == 0) {
      next_free_ = clear_code_ + 2;
      emitted = Emit(code, sink, first_byte);
    } else {
      if (code > next_free_) return GifDecodeResult::kCorrupt;
      const int length = length_[old_code_] + 1;
      if (length > kGifLzwTableSize) return GifDecodeResult::kCorrupt;
      if (code < next_free_) {
        emitted = Emit(code, sink, first_byte);
      } else {
        // The code being defined: the previous string and its own first pixel.
        emitted = Emit(old_code_, sink, first_byte);
        if (emitted == Emitted::kDone && !sink.Put(&first_byte, 1)) emitted = Emitted::kStopped;
      }
      suffix_[next_free_] = first_byte;
      prefix_[next_free_] = static_cast<std::int16_t>(old_code_);
      length_[next_free_] = static_cast<std::uint16_t>(length);
      if (next_free_ == kLastCode) {
        next_free_ = kFullSlot;
      } else if (next_free_ < kLastCode && ++next_free_ > mask_ && width_ < kGifMaxCodeBits) {
        ++width_;
        mask_ = (1 << width_) - 1;
      }
    }
    if (emitted == Emitted::kCorrupt) return GifDecodeResult::kCorrupt;
    if (emitted == Emitted::kStopped) return GifDecodeResult::kStopped;
    old_code_ = code;
  }
}
