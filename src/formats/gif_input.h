// The bytes of a GIF file for its readers: one 28672-byte buffer refilled
// from the stream, and the codes of an image's data sub-blocks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "archive/input_stream.h"
#include "platform/file_buffer.h"

class GifInput {
 public:
  explicit GifInput(InputStream* stream) : stream_(stream) {
    const long position = stream_tell(stream);
    buffer_start_ = position > 0 ? position : 0;
  }

  // 0..255, or -1 at the end of the file.
  int Byte() {
    if (next_ == end_ && !Refill()) return -1;
    return buffer_[next_++];
  }
  bool Buffered() const { return next_ < end_; }
  // Only after Buffered() said yes.
  std::uint8_t TakeBuffered() { return buffer_[next_++]; }
  bool Read(std::uint8_t* out, int count) {
    for (int i = 0; i < count; ++i) {
      const int byte = Byte();
      if (byte < 0) return false;
      out[i] = static_cast<std::uint8_t>(byte);
    }
    return true;
  }
  bool Skip(int count) {
    for (int i = 0; i < count; ++i) {
      if (Byte() < 0) return false;
    }
    return true;
  }
  // The stream offset of the next byte Byte() returns.
  long Position() const { return buffer_start_ + static_cast<long>(next_); }
  // False when the stream cannot go there.
  bool Seek(long position) {
    next_ = end_ = 0;
    buffer_start_ = position;
    return stream_seek(stream_, position, 0) == 0;
  }

 private:
  bool Refill() {
    buffer_start_ += static_cast<long>(end_);
    next_ = 0;
    end_ = stream_read(buffer_.data(), 1, buffer_.size(), stream_);
    return end_ > 0;
  }

  InputStream* stream_;
  std::array<std::uint8_t, kFileBufferSize> buffer_{};
  long buffer_start_ = 0;
  std::size_t next_ = 0;
  std::size_t end_ = 0;
};

// Codes from the image data's sub-blocks. A zero-length sub-block ends the
// data, as does the end of the file.
class GifDataBits {
 public:
  explicit GifDataBits(GifInput& input) : input_(input) {}

  int NextCode(int width) {
    while (bit_count_ < width) {
      const int byte = NextByte();
      if (byte < 0) return -1;
      bits_ |= static_cast<std::uint32_t>(byte) << bit_count_;
      bit_count_ += 8;
    }
    const int code = static_cast<int>(bits_ & ((1u << width) - 1));
    bits_ >>= width;
    bit_count_ -= width;
    return code;
  }

  // Passes over what is left of the data up to its terminator. False when the
  // file ended first.
  bool SkipRest() {
    if (terminated_) return !at_file_end_;
    if (!input_.Skip(block_left_)) return false;
    for (;;) {
      const int length = input_.Byte();
      if (length < 0) return false;
      if (length == 0) return true;
      if (!input_.Skip(length)) return false;
    }
  }
  bool AtFileEnd() const { return at_file_end_; }

 private:
  int NextByte() {
    // The fast path: inside a sub-block whose bytes are already buffered.
    if (block_left_ > 0 && input_.Buffered()) {
      --block_left_;
      return input_.TakeBuffered();
    }
    return NextByteSlow();
  }
  int NextByteSlow() {
    if (terminated_) return -1;
    if (block_left_ == 0) {
      const int length = input_.Byte();
      if (length <= 0) return Terminate(length < 0);
      block_left_ = length;
    }
    const int byte = input_.Byte();
    if (byte < 0) return Terminate(true);
    --block_left_;
    return byte;
  }
  int Terminate(bool file_end) {
    terminated_ = true;
    at_file_end_ = file_end;
    return -1;
  }

  GifInput& input_;
  int block_left_ = 0;
  bool terminated_ = false;
  bool at_file_end_ = false;
  std::uint32_t bits_ = 0;
  int bit_count_ = 0;
};
