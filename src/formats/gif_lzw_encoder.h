// The GIF LZW compressor: a hash of (prefix, pixel) strings, codes growing
// from the initial width to 12 bits, a clear code when the table is full. With compression off
// every pixel is one literal code, with a clear code before a decoder's table would need a wider
// code.
#pragma once

#include <array>
#include <cstdint>

// Receives the data sub-blocks (length byte, then the bytes). False on a
// write error; the encoder then stops writing.
class GifPacketSink {
 public:
  virtual ~GifPacketSink() = default;
  virtual bool WritePacket(const std::uint8_t* bytes, int count) = 0;
};

class TGifLzwEncoder {
 public:
  static constexpr int kHashBits = 14;
  static constexpr int kHashSize = 1 << kHashBits;
  static constexpr int kPacketSize = 255;

  // initial_width is the minimum code size + 1 (3..9).
  void Start(int initial_width, bool compress, GifPacketSink& sink);
  void Put(const std::uint8_t* pixels, int count);
  // Writes the last string, the end code and the last packets.
  void Finish();
  // A failed packet write shows here at the latest after the next
  // kBufferedPackets packets, and always after Finish.
  bool Failed() const { return failed_; }

 private:
  // Packets are gathered and handed to the sink a batch at a time.
  static constexpr int kBufferedPackets = 16;
  static constexpr int kBufferSize = kBufferedPackets * kPacketSize;
  // Whole bytes leave the bit accumulator four at a time.
  static constexpr int kStoreBytes = 4;

  struct Coder;
  void WriteBytes(int count);
  void ClearTable() { entries_.fill(0); }

  GifPacketSink* sink_ = nullptr;
  bool compress_ = true;
  bool failed_ = false;
  int initial_width_ = 9;
  int width_ = 9;
  int max_code_ = 511;
  int clear_code_ = 256;
  int end_code_ = 257;
  int next_free_ = 258;
  int waiting_ = 0;
  bool first_pixel_ = true;
  std::uint64_t bits_ = 0;
  int bit_count_ = 0;
  // Open addressing with linear probing, at most a quarter full. Each entry:
  // (pixel << 12 | prefix) << 12 | code; 0 is empty (no code is 0).
  std::array<std::uint32_t, kHashSize> entries_{};
  std::array<std::uint8_t, kBufferSize + kStoreBytes> buffer_{};
  int buffer_used_ = 0;
};
