#include "formats/bmp_source.h"

#include <algorithm>
#include <cstring>

bool BmpSource::Read(std::uint8_t* out, std::size_t count) {
  if (stream_ != nullptr) return stream_read(out, 1, count, stream_) == count;
  if (count > memory_.size() - at_) return false;
  std::memcpy(out, memory_.data() + at_, count);
  at_ += count;
  return true;
}

bool BmpSource::ReadRow(std::uint8_t* out, std::size_t count, std::size_t pad) {
  if (stream_ != nullptr) return stream_read(out, 1, count + pad, stream_) >= count;
  if (!Read(out, count)) return false;
  at_ += std::min(pad, memory_.size() - at_);
  return true;
}

bool BmpSource::Skip(std::uint64_t count) {
  return SeekForwardTo(Tell() + static_cast<std::int64_t>(count));
}

std::int64_t BmpSource::Tell() const {
  if (stream_ != nullptr) return stream_tell(stream_);
  return static_cast<std::int64_t>(at_);
}

bool BmpSource::SeekForwardTo(std::int64_t position) {
  if (position <= Tell()) return true;
  if (stream_ != nullptr) {
    // stream_seek takes a long; positions beyond 32 bits are beyond any stream.
    if (position > 0xFFFFFFFFLL) return false;
    return stream_seek(stream_, static_cast<long>(position), 0) == 0;
  }
  if (static_cast<std::uint64_t>(position) > memory_.size()) return false;
  at_ = static_cast<std::size_t>(position);
  return true;
}
