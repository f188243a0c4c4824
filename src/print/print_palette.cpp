#include "print/print_palette.h"

#include <algorithm>

#include "image/adjustments.h"
#include "image/dither.h"
#include "image/image.h"
#include "settings/profile.h"

namespace {
constexpr int kColourPrintEntries = 8;
constexpr int kGreyPrintEntries = 2;
constexpr std::uint8_t kFull = 255;

std::vector<ColorRef> ColourTable(const LogPalette& palette) {
  const int count = std::clamp<int>(palette.count, 0, kMaxPaletteEntries);
  std::vector<ColorRef> table;
  table.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const PaletteEntry& entry = palette.entries[i];
    table.push_back(MakeRgb(entry.red, entry.green, entry.blue));
  }
  return table;
}
}  // namespace

LogPalette FixedPrintPalette(bool colour) {
  LogPalette palette;
  palette.version = kLogPaletteVersion;
  if (!colour) {
    palette.count = kGreyPrintEntries;
    palette.entries[0] = PaletteEntry{0, 0, 0, 0};
    palette.entries[1] = PaletteEntry{kFull, kFull, kFull, 0};
    return palette;
  }
  palette.count = kColourPrintEntries;
  for (int i = 0; i < kColourPrintEntries; ++i) {
    palette.entries[i] = PaletteEntry{static_cast<std::uint8_t>((i & 1) ? kFull : 0),
                                      static_cast<std::uint8_t>((i & 2) ? kFull : 0),
                                      static_cast<std::uint8_t>((i & 4) ? kFull : 0), 0};
  }
  return palette;
}

ColorRef NearestPrintColour(ColorRef wanted, bool colour) {
  const LogPalette palette = FixedPrintPalette(colour);
  ColorRef nearest = 0;
  long best = -1;
  for (int i = 0; i < palette.count; ++i) {
    const PaletteEntry& entry = palette.entries[i];
    const long red = long{RedOf(wanted)} - entry.red;
    const long green = long{GreenOf(wanted)} - entry.green;
    const long blue = long{BlueOf(wanted)} - entry.blue;
    const long distance = red * red + green * green + blue * blue;
    if (best < 0 || distance < best) {
      best = distance;
      nearest = MakeRgb(entry.red, entry.green, entry.blue);
    }
  }
  return nearest;
}

std::vector<ColorRef> SetUpPrintColours(TDither& dither, const TImage& image,
                                        const TProfile& settings) {
  const bool colour = settings.Get(IntKey::PrintInColor) != 0;
  LogPalette source;
  image.GetPalette(source, nullptr);
  const bool palette_picture = image.GetBytesPerPixel() == 1;
  dither.SetSource(palette_picture ? &source : nullptr, true, ToneFromSettings(settings, colour));
  if (settings.Get(IntKey::PrintDithered) != 0) {
    const LogPalette target = FixedPrintPalette(colour);
    dither.SetTarget(target);
    return ColourTable(target);
  }
  if (!palette_picture) return {};
  LogPalette adjusted = source;
  dither.GetSourcePalette(adjusted);
  for (int i = 0; i < adjusted.count && i < kMaxPaletteEntries; ++i) adjusted.entries[i].flags = 0;
  return ColourTable(adjusted);
}
