// The GIF variant of LZW decoding: variable-width codes from 3 to 12 bits,
// clear and end codes, and a table that simply stops growing when full.
#pragma once

#include <array>
#include <cstdint>

// Where codes come from (least significant bit first, over the data
// sub-blocks) and where decoded pixels go.
class GifCodeSource {
 public:
  virtual ~GifCodeSource() = default;
  // The next code of `width` bits, or -1 when the data has ended.
  virtual int NextCode(int width) = 0;
};

class GifPixelSink {
 public:
  virtual ~GifPixelSink() = default;
  // Takes `count` pixels; false when no more are wanted.
  virtual bool Put(const std::uint8_t* pixels, int count) = 0;
};

inline constexpr int kGifMaxCodeBits = 12;
inline constexpr int kGifMaxMinCodeSize = 11;
// Codes 0..4095 plus the slot that receives entries once the table is full.
inline constexpr int kGifLzwTableSize = 4097;

enum class GifDecodeResult { kEndCode, kDataEnded, kCorrupt, kStopped };

class TGifLzwDecoder {
 public:
  // False for a minimum code size above kGifMaxMinCodeSize.
  bool Start(int min_code_size);
  GifDecodeResult Decode(GifCodeSource& source, GifPixelSink& sink);

 private:
  void ResetWidth();
  // Expands `code` so that its string ends just before `end` in stack_;
  // returns where it starts, or -1 for a chain longer than the table.
  int Expand(int code, int end);

  int min_code_size_ = 8;
  int clear_code_ = 256;
  int end_code_ = 257;
  int width_ = 9;
  int mask_ = 511;
  int next_free_ = 0;
  int old_code_ = 0;
  std::array<std::int16_t, kGifLzwTableSize> prefix_{};
  std::array<std::uint8_t, kGifLzwTableSize> suffix_{};
  // One string of at most kGifLzwTableSize bytes plus the repeated first byte.
  std::array<std::uint8_t, kGifLzwTableSize + 1> stack_{};
};
