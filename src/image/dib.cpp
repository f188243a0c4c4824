#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "image/image.h"

namespace {

// Offsets of the information header fields.
constexpr std::size_t kHeaderSizeField = 0;
constexpr std::size_t kWidthField = 4;
constexpr std::size_t kHeightField = 8;
constexpr std::size_t kPlanesField = 12;
constexpr std::size_t kBitCountField = 14;
constexpr std::size_t kCompressionField = 16;
constexpr std::size_t kSizeImageField = 20;
constexpr std::size_t kClrUsedField = 32;

constexpr int kBitfieldsCompression = 3;
constexpr std::size_t kBitfieldMasksSize = 12;
constexpr std::size_t kColourEntrySize = 4;
// Anything larger than this cannot be a picture of at most 8192 x 8192 pixels.
constexpr std::int64_t kMaxDibBits = std::int64_t{1} << 31;

std::uint32_t ReadU32(std::span<const std::uint8_t> block, std::size_t offset) {
  if (offset + 4 > block.size()) return 0;
  return std::uint32_t{block[offset]} | std::uint32_t{block[offset + 1]} << 8 |
         std::uint32_t{block[offset + 2]} << 16 | std::uint32_t{block[offset + 3]} << 24;
}

std::uint16_t ReadU16(std::span<const std::uint8_t> block, std::size_t offset) {
  if (offset + 2 > block.size()) return 0;
  return static_cast<std::uint16_t>(block[offset] | block[offset + 1] << 8);
}

void WriteU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void WriteU16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::int64_t StrideOf(std::int64_t width, int bits_per_pixel) {
  return (width * bits_per_pixel + 31) / 32 * 4;
}

}  // namespace

TDib TDib::Create(int width, int height, int bits_per_pixel, bool zero_bits) {
  TDib dib;
  if (width <= 0 || height <= 0 || (bits_per_pixel != 8 && bits_per_pixel != 24)) return dib;
  const int entries = bits_per_pixel == 8 ? kMaxPaletteEntries : 0;
  const std::int64_t bits_size = StrideOf(width, bits_per_pixel) * height;
  if (bits_size > kMaxDibBits) return dib;
  const std::size_t total =
      kInfoHeaderSize + entries * kColourEntrySize + static_cast<std::size_t>(bits_size);
  if (total > BitmapMemoryLimit()) return dib;
  dib.packed_ = TPictureMemory::Allocate(
      total, zero_bits ? TPictureMemory::Contents::kZeroed : TPictureMemory::Contents::kAnything);
  if (dib.packed_.empty()) return dib;
  const std::size_t bits_offset = total - static_cast<std::size_t>(bits_size);
  std::uint8_t* header = dib.packed_.data();
  std::memset(header, 0, bits_offset);
  WriteU32(header + kHeaderSizeField, kInfoHeaderSize);
  WriteU32(header + kWidthField, static_cast<std::uint32_t>(width));
  WriteU32(header + kHeightField, static_cast<std::uint32_t>(height));
  WriteU16(header + kPlanesField, 1);
  WriteU16(header + kBitCountField, static_cast<std::uint16_t>(bits_per_pixel));
  WriteU32(header + kSizeImageField, static_cast<std::uint32_t>(bits_size));
  WriteU32(header + kClrUsedField, static_cast<std::uint32_t>(entries));
  return dib;
}

TDib TDib::FromPacked(std::vector<std::uint8_t> packed) {
  TDib dib;
  dib.packed_ = TPictureMemory::Adopt(std::move(packed));
  return dib;
}

namespace {
std::size_t& MemoryLimit() {
  static std::size_t limit = std::numeric_limits<std::size_t>::max();
  return limit;
}
}  // namespace

void TDib::SetBitmapMemoryLimit(std::size_t bytes) {
  MemoryLimit() = bytes == 0 ? std::numeric_limits<std::size_t>::max() : bytes;
}

std::size_t TDib::BitmapMemoryLimit() {
  return MemoryLimit();
}

int TDib::Width() const {
  return static_cast<std::int32_t>(ReadU32(Packed(), kWidthField));
}
int TDib::Height() const {
  return static_cast<std::int32_t>(ReadU32(Packed(), kHeightField));
}
int TDib::BitsPerPixel() const {
  return ReadU16(Packed(), kBitCountField);
}
int TDib::Compression() const {
  return static_cast<int>(ReadU32(Packed(), kCompressionField) & 0x7FFFFFFF);
}
int TDib::ClrUsed() const {
  return static_cast<int>(std::min<std::uint32_t>(ReadU32(Packed(), kClrUsedField), 0x7FFFFFFF));
}

int TDib::ColourTableEntries() const {
  const int used = ClrUsed();
  const int bits = BitsPerPixel();
  if (bits > 8) return std::min(used, kMaxPaletteEntries);
  const int full = 1 << bits;
  return used == 0 || used > full ? full : used;
}

std::int64_t TDib::Stride() const {
  return StrideOf(std::abs(static_cast<std::int64_t>(Width())), BitsPerPixel());
}

std::size_t TDib::BitsOffset() const {
  std::size_t offset = std::max<std::size_t>(ReadU32(Packed(), kHeaderSizeField), kInfoHeaderSize);
  if (Compression() == kBitfieldsCompression) offset += kBitfieldMasksSize;
  return offset + static_cast<std::size_t>(ColourTableEntries()) * kColourEntrySize;
}

bool TDib::IsComplete() const {
  if (packed_.size() < kInfoHeaderSize) return false;
  const std::size_t header_size = ReadU32(Packed(), kHeaderSizeField);
  if (header_size < kInfoHeaderSize || header_size > packed_.size()) return false;
  if (Width() <= 0 || Height() == 0 || BitsPerPixel() == 0) return false;
  const std::int64_t stride = Stride();
  const std::int64_t rows = std::abs(static_cast<std::int64_t>(Height()));
  // Checked before multiplying, so that no product can wrap.
  if (stride > kMaxDibBits || rows > kMaxDibBits / std::max<std::int64_t>(stride, 1)) return false;
  const std::int64_t bits_size = stride * rows;
  const std::size_t offset = BitsOffset();
  return offset <= packed_.size() && packed_.size() - offset >= static_cast<std::size_t>(bits_size);
}

PaletteEntry TDib::Colour(int index) const {
  PaletteEntry colour;
  if (index < 0 || index >= ColourTableEntries()) return colour;
  const std::size_t at = BitsOffset() - (ColourTableEntries() - index) * kColourEntrySize;
  if (at + kColourEntrySize > packed_.size()) return colour;
  colour.blue = packed_.data()[at];
  colour.green = packed_.data()[at + 1];
  colour.red = packed_.data()[at + 2];
  return colour;
}

void TDib::SetColour(int index, PaletteEntry colour) {
  if (index < 0 || index >= ColourTableEntries()) return;
  const std::size_t at = BitsOffset() - (ColourTableEntries() - index) * kColourEntrySize;
  if (at + kColourEntrySize > packed_.size()) return;
  packed_.data()[at] = colour.blue;
  packed_.data()[at + 1] = colour.green;
  packed_.data()[at + 2] = colour.red;
  packed_.data()[at + 3] = 0;
}

std::uint8_t* TDib::Bits() {
  return IsComplete() ? packed_.data() + BitsOffset() : nullptr;
}

const std::uint8_t* TDib::Bits() const {
  return IsComplete() ? packed_.data() + BitsOffset() : nullptr;
}
