#include "image/image.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kPlaceholderSide = 16;
constexpr int kLoadPlaceholderWidth = 64;
constexpr int kLoadPlaceholderHeight = 48;
constexpr int kBitsPerByte = 8;
// 768 = 3 x 256: how many colour values a 24-bit picture is said to have.
constexpr int kTrueColourCount = 3 * kMaxPaletteEntries;

PackedBitmapReader& MemoryBitmapReader() {
  static PackedBitmapReader reader = nullptr;
  return reader;
}

}  // namespace

void RegisterPackedBitmapReader(PackedBitmapReader reader) {
  MemoryBitmapReader() = reader;
}

TImage::TImage() {
  Create(kPlaceholderSide, kPlaceholderSide, 1, 1, 1, 1, 0);
  useCounts.fill(1);
}

void TImage::Create(int new_width, int new_height, int aspect_x, int aspect_y, int bytes_per_pixel,
                    int new_reduction, std::uint8_t fill, RowFill row_fill, PictureLimit limit) {
  // Freed first, so that its memory can serve the new picture.
  bitmap = TDib();
  bytesPerPixel = bytes_per_pixel == 3 ? 3 : 1;
  aspectX = std::max(aspect_x, 1);
  aspectY = std::max(aspect_y, 1);
  // A size the file got wrong still leaves a valid picture of at least one pixel.
  const std::int64_t full_width = std::max(new_width, 1);
  const std::int64_t full_height = std::max(new_height, 1);
  std::int64_t scale =
      ReductionWithinLimit(full_width, full_height, bytesPerPixel, new_reduction, limit);
  for (;;) {
    const int w = static_cast<int>(std::max<std::int64_t>(full_width / scale, 1));
    const int h = static_cast<int>(std::max<std::int64_t>(full_height / scale, 1));
    // Memory that is filled below, or by the caller, need not be zeroed first.
    const bool zero_bits = fill == 0 && row_fill == RowFill::kFill;
    bitmap = TDib::Create(w, h, bytesPerPixel * kBitsPerByte, zero_bits);
    if (!bitmap.Empty() || (w == 1 && h == 1)) {
      width = w;
      height = h;
      break;
    }
    scale *= 2;
  }
  reduction = static_cast<int>(std::min<std::int64_t>(scale, 1 << 30));
  uprightOrientation = 0;
  if (bytesPerPixel == 1) SetGreyPalette();

  fill_ = fill;
  scratchRow.assign(static_cast<std::size_t>(std::max<std::int64_t>(
                        PictureRowStride(width, bytesPerPixel), kMaxRowBytes)),
                    fill);
  PointRowsAtBitmap();
  if (fill != 0 && row_fill == RowFill::kFill) FillRows(0, height);
  if (row_fill == RowFill::kCallerStoresEveryPixel) ClearRowPadding();
  ResetViewToWhole();
  columnMap.fill(0);
  rowMap.fill(0);
  outputRect = {0, width, 0, height};
  useCounts.fill(static_cast<std::int32_t>(std::int64_t{width} * height / kMaxPaletteEntries));
  colourCount =
      static_cast<std::int16_t>(bytesPerPixel == 1 ? kMaxPaletteEntries : kTrueColourCount);
}

void TImage::FillRows(int first_row, int end_row) {
  if (bitmap.Bits() == nullptr) return;
  const std::size_t stride = static_cast<std::size_t>(Stride());
  for (int r = std::max(first_row, 0); r < std::min(end_row, height); ++r)
    std::memset(rows[r], fill_, stride);
}

// Callers store pixels, not the padding that rounds rows to 4 bytes; reused
// memory must not carry an earlier picture's bytes there.
void TImage::ClearRowPadding() {
  if (bitmap.Bits() == nullptr) return;
  const std::size_t used = std::size_t(width) * bytesPerPixel;
  const std::size_t padding = static_cast<std::size_t>(Stride()) - used;
  if (padding == 0) return;
  for (int r = 0; r < height; ++r) std::memset(rows[r] + used, 0, padding);
}

void TImage::MakePlaceholder() {
  Create(kLoadPlaceholderWidth, kLoadPlaceholderHeight, 1, 1, 1, 1, 1);
  SetColourEntry(0, PaletteEntry{0, 0, 0, 0});
  SetColourEntry(1, PaletteEntry{255, 255, 255, 0});
}

void TImage::SetColourEntry(int index, PaletteEntry colour) {
  bitmap.SetColour(index, colour);
}

void TImage::PointRowsAtBitmap() {
  rows.assign(static_cast<std::size_t>(std::max(height, kMaxRows)), scratchRow.data());
  std::uint8_t* bits = bitmap.Bits();
  // Without a bitmap (not even one pixel could be had) every row reads the scratch row.
  if (bits == nullptr) return;
  const std::size_t stride = static_cast<std::size_t>(bitmap.Stride());
  for (int r = 0; r < height; ++r) rows[r] = bits + (std::size_t(height) - 1 - r) * stride;
}

void TImage::ResetViewToWhole() {
  cropRect = {0, width, 0, height};
  viewRect = cropRect;
  viewCentre = {width / 2, height / 2};
  zoomNum = 1;
  zoomDen = 1;
}

void TImage::PutRow(int x, int y, const std::uint8_t* first, const std::uint8_t* second,
                    const std::uint8_t* third, int count, int transparent) {
  const int d = reduction;
  if (first == nullptr || y < 0 || x < 0 || count <= 0 || y % d != 0) return;
  const int input_count = count;
  x /= d;
  y /= d;
  // Rounded up, so a picture narrower than its reduction still gets its pixel.
  count = static_cast<int>((std::int64_t{input_count} + d - 1) / d);
  if (x >= width || y >= height) return;
  count = std::min(count, width - x);
  std::uint8_t* out = rows[y] + std::size_t(x) * bytesPerPixel;
  if (bytesPerPixel == 1) {
    for (int i = 0; i < count; ++i) {
      const std::uint8_t value = first[std::size_t(i) * d];
      if (transparent >= 0 && value == transparent) continue;
      out[i] = value;
    }
    return;
  }
  if (second == nullptr || third == nullptr) return;
  for (int i = 0; i < count; ++i) {
    const std::size_t at = std::size_t(i) * d;
    out[3 * i] = third[at];
    out[3 * i + 1] = second[at];
    out[3 * i + 2] = first[at];
  }
}

ImageSize TImage::ShownViewSize(int rotate) const {
  if (ShownOrientation(rotate) & kOrientTranspose) return {viewRect.height, viewRect.width};
  return {viewRect.width, viewRect.height};
}

void TImage::SetPalette(const LogPalette& palette) {
  const int count = std::min<int>(palette.count, kMaxPaletteEntries);
  if (bytesPerPixel == 3) {
    representativeCount = count;
    for (int i = 0; i < count; ++i) {
      representative[0][i] = palette.entries[i].red;
      representative[1][i] = palette.entries[i].green;
      representative[2][i] = palette.entries[i].blue;
    }
    return;
  }
  for (int i = 0; i < count; ++i) bitmap.SetColour(i, palette.entries[i]);
}

void TImage::SetGreyPalette() {
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    bitmap.SetColour(i, PaletteEntry{v, v, v, 0});
  }
}

void TImage::GetPalette(LogPalette& palette, int* percentages) const {
  palette.version = kLogPaletteVersion;
  if (bytesPerPixel == 3) {
    palette.count = static_cast<std::uint16_t>(representativeCount);
    for (int i = 0; i < kMaxPaletteEntries; ++i) {
      palette.entries[i] = {representative[0][i], representative[1][i], representative[2][i], 0};
      if (percentages) percentages[i] = 1;
    }
    return;
  }
  if (colourCount == 0) {
    palette.count = 2;
    palette.entries[0] = {0, 0, 0, 0};
    palette.entries[1] = {255, 255, 255, 0};
    if (percentages) percentages[0] = percentages[1] = 50;
    return;
  }
  palette.count = static_cast<std::uint16_t>(std::clamp<int>(colourCount, 0, kMaxPaletteEntries));
  const std::int64_t pixels = std::max<std::int64_t>(std::int64_t{width} * height, 1);
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    palette.entries[i] = bitmap.Colour(i);
    if (percentages) percentages[i] = static_cast<int>(std::int64_t{useCounts[i]} * 100 / pixels);
  }
}

bool TImage::TryAdoptDirectly(TDib& dib) {
  const int bits = dib.BitsPerPixel();
  const bool palette_ok = (bits == 8 && (dib.ClrUsed() == 0 || dib.ClrUsed() == 256)) ||
                          (bits == 24 && dib.ClrUsed() == 0);
  // Top-down bitmaps (negative height) have their rows the other way round.
  if (!palette_ok || dib.Compression() != 0 || dib.Height() <= 0 || !dib.IsComplete()) return false;
  if (dib.Stride() > kMaxRowBytes || dib.Height() > kMaxRows) return false;
  bitmap = std::move(dib);
  width = bitmap.Width();
  height = bitmap.Height();
  bytesPerPixel = bits / kBitsPerByte;
  reduction = 1;
  aspectX = aspectY = 1;
  uprightOrientation = 0;
  PointRowsAtBitmap();
  ResetViewToWhole();
  columnMap.fill(0);
  rowMap.fill(0);
  outputRect = {0, width, 0, height};
  // The depth may differ from the previous picture's, and the count follows it.
  colourCount =
      static_cast<std::int16_t>(bytesPerPixel == 1 ? kMaxPaletteEntries : kTrueColourCount);
  return true;
}

bool TImage::AdoptBitmap(TDib dib) {
  if (TryAdoptDirectly(dib)) return true;
  const PackedBitmapReader reader = MemoryBitmapReader();
  MakePlaceholder();
  if (reader == nullptr || dib.Empty()) return false;
  const std::vector<std::uint8_t> packed = dib.Release();
  reader(*this, packed);
  return true;
}
