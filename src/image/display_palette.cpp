#include "image/display_palette.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "image/fixed_palette.h"
#include "settings/profile.h"

namespace {

constexpr int kPaletteDepth = 8;
constexpr int kWholePercent = 100;
constexpr int kMisfitLimit = 4;

bool SharesScreen(const DisplayPaletteSettings& settings) {
  const bool sheet = settings.thumbnails_enable &&
                     (settings.thumbnails_across > 1 || settings.thumbnails_down > 1);
  return settings.effect != kDirectEffect || sheet;
}

LogPalette WithFlags(LogPalette palette, std::uint8_t flags) {
  for (int i = 0; i < palette.count && i < kMaxPaletteEntries; ++i) {
    palette.entries[i].flags = flags;
  }
  return palette;
}

bool SameColour(const PaletteEntry& a, const PaletteEntry& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// What a display shows in place of the fixed palette: the free system entries
// where there is a system palette, else the display's own nearest colours.
LogPalette DitherTarget(const PaletteDisplay& display) {
  LogPalette target;
  if (display.BitsPerPixel() == kPaletteDepth && display.HasPalette()) {
    for (int i = 0; i < kFreeSystemEntries; ++i) {
      target.entries[target.count++] = display.SystemPaletteEntry(kFirstFreeSystemEntry + i);
    }
    return target;
  }
  const LogPalette& fixed = GetFixedDitherPalette();
  for (int i = 0; i < fixed.count; ++i) {
    const PaletteEntry shown = display.NearestColor(fixed.entries[i]);
    bool seen = false;
    for (int k = 0; k < target.count && !seen; ++k) seen = SameColour(target.entries[k], shown);
    if (!seen) target.entries[target.count++] = shown;
  }
  return target;
}

// Makes whole percentages sum to exactly 100 in one pass.
void NormalizePercentages(std::array<int, kMaxPaletteEntries>& percentages, int count) {
  long long sum = 0;  // wide: the percentages come from the caller
  for (int i = 0; i < count; ++i) sum += percentages[i];
  for (int i = 0; i < count && sum != kWholePercent; ++i) {
    if (sum < kWholePercent) {
      ++percentages[i];
      ++sum;
    } else if (percentages[i] > 0) {
      --percentages[i];
      --sum;
    }
  }
}

bool ShouldDither(const DisplayPicture& picture, const LogPalette& adjusted,
                  const LogPalette& target, const DisplayPaletteSettings& settings, int depth) {
  if (picture.is_24bit) return true;
  if (settings.auto_dither) {
    return PaletteMisfit(adjusted, picture.percentages, target) > kMisfitLimit;
  }
  return (1 << depth) < adjusted.count;
}

}  // namespace

DisplayPaletteSettings DisplayPaletteSettingsFrom(const TProfile& profile) {
  DisplayPaletteSettings settings;
  settings.display_in_color = profile.Get(IntKey::DisplayInColor) != 0;
  settings.auto_dither = profile.Get(IntKey::AutoDither) != 0;
  settings.effect = profile.Get(IntKey::Effect);
  settings.thumbnails_enable = profile.Get(IntKey::ThumbnailsEnable) != 0;
  settings.thumbnails_across = profile.Get(IntKey::ThumbnailsAcross);
  settings.thumbnails_down = profile.Get(IntKey::ThumbnailsDown);
  settings.brightness = profile.Get(IntKey::Brightness);
  settings.contrast = profile.Get(IntKey::Contrast);
  settings.invert = profile.Get(IntKey::Invert) != 0;
  return settings;
}

int NearestPaletteIndex(const LogPalette& palette, const PaletteEntry& colour) {
  int best_index = 0;
  long best = -1;
  for (int i = 0; i < palette.count && i < kMaxPaletteEntries; ++i) {
    const PaletteEntry& entry = palette.entries[i];
    const long dr = entry.red - colour.red;
    const long dg = entry.green - colour.green;
    const long db = entry.blue - colour.blue;
    const long distance = dr * dr + dg * dg + db * db;
    if (best < 0 || distance < best) {
      best = distance;
      best_index = i;
    }
  }
  return best_index;
}

int PaletteMisfit(const LogPalette& picture, std::array<int, kMaxPaletteEntries> percentages,
                  const LogPalette& target) {
  const int count = std::min<int>(picture.count, kMaxPaletteEntries);
  NormalizePercentages(percentages, count);
  if (target.count == 0) return 0;
  long long total = 0;
  for (int i = 0; i < count; ++i) {
    const PaletteEntry& colour = picture.entries[i];
    const PaletteEntry& near = target.entries[NearestPaletteIndex(target, colour)];
    const long long spread = std::abs(colour.red - near.red) + std::abs(colour.green - near.green) +
                             std::abs(colour.blue - near.blue);
    total += spread * percentages[i] / 3;
  }
  return static_cast<int>(std::min<long long>(total / kWholePercent, INT_MAX));
}

DisplayPalettePlan BuildDisplayPalettePlan(TDither& dither, PaletteDisplay& display,
                                           const DisplayPicture& picture,
                                           const DisplayPaletteSettings& settings, bool repaint) {
  const int depth = display.BitsPerPixel();
  DisplayPalettePlan plan;
  plan.colour = settings.display_in_color && depth > 1;
  plan.forced = depth == kPaletteDepth && SharesScreen(settings);
  plan.erase_background = depth == kPaletteDepth && !plan.forced && repaint;

  const ToneSettings tone{plan.colour, settings.brightness, settings.contrast, settings.invert};
  LogPalette adjusted = picture.palette;
  dither.SetSource(&adjusted, false, tone);
  dither.GetSourcePalette(adjusted);
  if (picture.is_24bit) dither.SetSource(nullptr, false, tone);

  if (!plan.forced) {
    plan.window_palette = WithFlags(adjusted, kPaletteNoCollapse);
    plan.has_window_palette = true;
    display.RealizePalette(plan.window_palette);
  } else {
    // Realized only to fill the system palette; the window does not keep it.
    display.RealizePalette(WithFlags(GetFixedDitherPalette(), kPaletteNoCollapse));
  }
  if (depth > kPaletteDepth) return plan;

  LogPalette target = DitherTarget(display);
  plan.dither = plan.forced || ShouldDither(picture, adjusted, target, settings, depth);
  if (plan.dither) {
    plan.target = WithFlags(target, 0);
    plan.window_palette = plan.target;
    plan.has_window_palette = true;
    display.RealizePalette(plan.window_palette);
    dither.SetTarget(plan.target);
  }
  return plan;
}
