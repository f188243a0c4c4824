#include "app/commands/displayed_picture.h"

#include <algorithm>
#include <array>
#include <utility>

#include "image/adjustments.h"
#include "image/dither.h"
#include "image/image.h"
#include "settings/profile.h"

namespace {
// Both directions alike, so the layout needs no aspect correction.
constexpr int kEvenResolution = 96;

void FillRows(TImage& image, TDither& dither, TDib& dib, const ImageBounds& output) {
  const int width = output.right - output.left;
  const int height = output.bottom - output.top;
  const int bytes = image.GetBytesPerPixel();
  std::vector<std::uint8_t> line(static_cast<std::size_t>(width) * 3);
  const std::int64_t stride = dib.Stride();
  for (int y = 0; y < height; ++y) {
    image.GetOutputRow(output.left, output.top + y, line.data(), width);
    if (bytes > 1) dither.DitherLine(line.data(), width, bytes);
    std::copy_n(line.data(), width, dib.Bits() + stride * (height - 1 - y));
  }
}
}  // namespace

DisplayedPicture MakeDisplayedPicture(TImage& image, TDither& dither, const TProfile& settings) {
  const int rotate = settings.Get(IntKey::Rotate) & 7;
  const bool transposed = (image.ShownOrientation(rotate) & kOrientTranspose) != 0;
  int width = transposed ? image.height : image.width;
  int height = transposed ? image.width : image.height;

  LogPalette source;
  image.GetPalette(source, nullptr);
  const ToneSettings tone = ToneFromSettings(settings, settings.Get(IntKey::DisplayInColor) != 0);
  const bool palette_picture = image.GetBytesPerPixel() == 1;
  DisplayedPicture result;
  LogPalette table;
  if (palette_picture) {
    dither.SetSource(&source, false, tone);
    dither.GetSourcePalette(table);
  } else {
    dither.SetSource(nullptr, false, tone);
    dither.SetTarget(source);
    table = source;
  }

  for (;;) {
    image.SetOutputSize(width, height, kEvenResolution, kEvenResolution, rotate, true, true);
    const ImageBounds output = image.GetOutputRect();
    const int out_width = std::max(1, output.right - output.left);
    const int out_height = std::max(1, output.bottom - output.top);
    TDib dib = TDib::Create(out_width, out_height, 8);
    if (!dib.Empty()) {
      const int colours = std::clamp<int>(table.count, 1, kMaxPaletteEntries);
      for (int i = 0; i < colours; ++i) dib.SetColour(i, table.entries[i]);
      dither.ResetErrors();
      FillRows(image, dither, dib, output);
      result.palette.assign(table.entries.begin(), table.entries.begin() + colours);
      result.packed_dib = dib.Release();
      return result;
    }
    if (width <= 1 && height <= 1) return result;
    width = std::max(1, width / 2);
    height = std::max(1, height / 2);
  }
}
