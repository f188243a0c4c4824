// The GIF LZW compressor: a 5003-entry hash of (prefix, pixel) strings, codes
// growing from the initial width to 12 bits, a clear code when the table is
// full. With compression off every pixel is one literal code, with a clear
// code before a decoder's table would need a wider code.
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
  static constexpr int kHashSize = 5003;
  static constexpr int kPacketSize = 255;

  // initial_width is the minimum code size + 1 (3..9).
  void Start(int initial_width, bool compress, GifPacketSink& sink);
  void Put(const std::uint8_t* pixels, int count);
  // Writes the last string, the end code and the last packet.
  void Finish();
  bool Failed() const { return failed_; }

 private:
  void PutCompressed(std::uint8_t pixel);
  void PutLiteral();
  void Output(int code);
  void Clear();
  void FlushPacket();

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
  std::uint32_t bits_ = 0;
  int bit_count_ = 0;
  std::array<std::uint16_t, kHashSize> codes_{};  // 0: empty
  std::array<std::int16_t, kHashSize> prefixes_{};
  std::array<std::uint8_t, kHashSize> suffixes_{};
  std::array<std::uint8_t, kPacketSize> packet_{};
  int packet_used_ = 0;
};
