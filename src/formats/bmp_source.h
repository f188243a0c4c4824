// The bytes a BMP is read from: an input stream, or a packed bitmap in memory
// where a read succeeds only while it stays inside the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "archive/input_stream.h"

class BmpSource {
 public:
  explicit BmpSource(InputStream* stream) : stream_(stream) {}
  explicit BmpSource(std::span<const std::uint8_t> memory) : memory_(memory) {}

  bool FromMemory() const { return stream_ == nullptr; }

  // All `count` bytes, or false (a partial read from memory takes nothing).
  bool Read(std::uint8_t* out, std::size_t count);
  // 0..255, or -1 at the end of the data.
  int Byte() {
    if (stream_ != nullptr) return stream_getc(stream_);
    return at_ < memory_.size() ? memory_[at_++] : -1;
  }
  bool Skip(std::uint64_t count);
  // A row of `count` bytes followed by `pad` bytes that may be missing at the
  // very end of the data.
  bool ReadRow(std::uint8_t* out, std::size_t count, std::size_t pad);
  std::int64_t Tell() const;
  // Moves forward to `position` when the source is before it. False when the
  // position lies beyond the data.
  bool SeekForwardTo(std::int64_t position);

 private:
  InputStream* stream_ = nullptr;
  std::span<const std::uint8_t> memory_;
  std::size_t at_ = 0;
};
