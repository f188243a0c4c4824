#include "formats/gif_lzw_encoder.h"

#include <algorithm>

namespace {
constexpr int kMaxCodeBits = 12;
constexpr int kTableLimit = 1 << kMaxCodeBits;  // 4096 codes
constexpr std::uint32_t kHashMultiplier = 0x9E3779B1u;
constexpr std::uint32_t kCodeMask = kTableLimit - 1;
}  // namespace

// The coding state in locals for the length of one call, so that it stays in
// registers: byte stores into the buffer could otherwise alias every member.
struct TGifLzwEncoder::Coder {
  TGifLzwEncoder& encoder;
  std::uint32_t* entries;
  std::uint8_t* buffer;
  int used;
  std::uint64_t bits;
  int bit_count;
  int width;
  int max_code;
  int next_free;
  int waiting;

  explicit Coder(TGifLzwEncoder& owner)
      : encoder(owner),
        entries(owner.entries_.data()),
        buffer(owner.buffer_.data()),
        used(owner.buffer_used_),
        bits(owner.bits_),
        bit_count(owner.bit_count_),
        width(owner.width_),
        max_code(owner.max_code_),
        next_free(owner.next_free_),
        waiting(owner.waiting_) {}

  void Save() const {
    encoder.buffer_used_ = used;
    encoder.bits_ = bits;
    encoder.bit_count_ = bit_count;
    encoder.width_ = width;
    encoder.max_code_ = max_code;
    encoder.next_free_ = next_free;
    encoder.waiting_ = waiting;
  }

  void Output(int code) {
    bits |= static_cast<std::uint64_t>(code) << bit_count;
    bit_count += width;
    if (bit_count >= 8 * kStoreBytes) StoreWord();
    if (next_free > max_code) {
      ++width;
      max_code = width == kMaxCodeBits ? kTableLimit : (1 << width) - 1;
    }
  }

  void StoreWord() {
    for (int k = 0; k < kStoreBytes; ++k)
      buffer[used + k] = static_cast<std::uint8_t>(bits >> 8 * k);
    used += kStoreBytes;
    bits >>= 8 * kStoreBytes;
    bit_count -= 8 * kStoreBytes;
    if (used >= kBufferSize) {
      encoder.WriteBytes(kBufferSize);
      std::copy(buffer + kBufferSize, buffer + used, buffer);
      used -= kBufferSize;
    }
  }

  // The bits still held, the last byte partly filled.
  void StoreRest() {
    for (; bit_count > 0; bit_count -= 8, bits >>= 8)
      buffer[used++] = static_cast<std::uint8_t>(bits);
    bits = 0;
    bit_count = 0;
  }

  void Clear() {
    encoder.ClearTable();
    next_free = encoder.clear_code_ + 2;
    Output(encoder.clear_code_);
    width = encoder.initial_width_;
    max_code = (1 << width) - 1;
  }

  // The code of the string `waiting` + `pixel`, or 0 with `slot` at the empty
  // entry where it belongs.
  int Find(std::uint32_t key, int& slot) const {
    int i = static_cast<int>((key * kHashMultiplier) >> (32 - kHashBits));
    for (;; i = (i + 1) & (kHashSize - 1)) {
      const std::uint32_t entry = entries[i];
      if (entry == 0) break;
      if ((entry & ~kCodeMask) == key) return static_cast<int>(entry & kCodeMask);
    }
    slot = i;
    return 0;
  }

  void Compress(const std::uint8_t* pixels, int count) {
    for (int n = 0; n < count; ++n) {
      const int pixel = pixels[n];
      const std::uint32_t key =
          (static_cast<std::uint32_t>(pixel) << kMaxCodeBits | static_cast<std::uint32_t>(waiting))
          << kMaxCodeBits;
      int slot = 0;
      const int code = Find(key, slot);
      if (code != 0) {
        waiting = code;
        continue;
      }
      Output(waiting);
      if (next_free >= kTableLimit) {
        Clear();
      } else {
        entries[slot] = key | static_cast<std::uint32_t>(next_free++);
      }
      waiting = pixel;
    }
  }

  void Literals(const std::uint8_t* pixels, int count) {
    for (int n = 0; n < count; ++n) {
      Output(waiting);
      if (next_free < max_code) {
        ++next_free;
      } else {
        Clear();
      }
      waiting = pixels[n];
    }
  }
};

void TGifLzwEncoder::Start(int initial_width, bool compress, GifPacketSink& sink) {
  sink_ = &sink;
  compress_ = compress;
  failed_ = false;
  initial_width_ = initial_width;
  width_ = initial_width;
  max_code_ = (1 << width_) - 1;
  clear_code_ = 1 << (initial_width - 1);
  end_code_ = clear_code_ + 1;
  next_free_ = clear_code_ + 2;
  waiting_ = 0;
  first_pixel_ = true;
  ClearTable();
  bits_ = 0;
  bit_count_ = 0;
  buffer_used_ = 0;
  Coder coder(*this);
  coder.Output(clear_code_);
  coder.Save();
}

void TGifLzwEncoder::Put(const std::uint8_t* pixels, int count) {
  if (count <= 0) return;
  if (first_pixel_) {
    waiting_ = pixels[0];
    first_pixel_ = false;
    ++pixels;
    --count;
  }
  Coder coder(*this);
  if (compress_) {
    coder.Compress(pixels, count);
  } else {
    coder.Literals(pixels, count);
  }
  coder.Save();
}

void TGifLzwEncoder::Finish() {
  Coder coder(*this);
  if (!first_pixel_) coder.Output(coder.waiting);
  coder.Output(end_code_);
  coder.StoreRest();
  coder.Save();
  WriteBytes(buffer_used_);
  buffer_used_ = 0;
}

// Hands the first `count` buffered bytes to the sink in packets.
void TGifLzwEncoder::WriteBytes(int count) {
  for (int at = 0; at < count && !failed_; at += kPacketSize) {
    if (!sink_->WritePacket(buffer_.data() + at, std::min(kPacketSize, count - at))) failed_ = true;
  }
}
