#include "image/dither.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "image/dither_buffers.h"

namespace {

constexpr int kWhite = 255;

int ClampTone(int tone) {
  return std::clamp(tone, kMinTone, kMaxTone);
}

int ClampedCount(int count) {
  return std::clamp(count, 0, kMaxPaletteEntries);
}

}  // namespace

std::uint8_t AdjustChannel(std::uint8_t value, int brightness, int contrast, bool invert) {
  brightness = ClampTone(brightness);
  int v = value;
  if (brightness < kNeutralTone) {
    v = v * brightness / kNeutralTone;
  } else if (brightness > kNeutralTone) {
    // (v - 255) is never positive, so the division truncates toward white.
    v = kWhite + (v - kWhite) * (2 * kNeutralTone - brightness) / kNeutralTone;
  }
  v = GetToneCurve(ClampTone(contrast) - kMinTone)[v];
  if (invert) v = kWhite - v;
  return static_cast<std::uint8_t>(v);
}

TDither::TDither(int quality)
    : colour_space_(GetColourSpaceTables()), buffers_(std::make_unique<Buffers>()) {
  buffers_->colour_cells.reset(new (std::nothrow) CachedColour[kCacheCells]);
  for (auto& row_pair : buffers_->errors) {
    for (auto& row : row_pair) row.assign(kErrorRowCells, 0);
  }
  buffers_->output.assign(kMaxDitherPixels, 0);
  SetQuality(quality);
}

TDither::~TDither() = default;

void TDither::SetSource(const LogPalette* palette, bool print, bool colour, int brightness,
                        int contrast, bool invert) {
  SetSource(palette, print, ToneSettings{colour, brightness, contrast, invert});
}

void TDither::SetSource(const LogPalette* palette, bool print, const ToneSettings& tone) {
  target_set_ = false;
  print_ = print;
  colour_ = tone.colour;
  curved_r_.fill(kWhite);
  curved_g_.fill(0);
  curved_b_.fill(0);
  target_r_.fill(kWhite);
  target_g_.fill(kWhite);
  target_b_.fill(kWhite);
  LoadSourceColours(palette);
  ApplyTone(tone);
  ResetErrors();
}

void TDither::LoadSourceColours(const LogPalette* palette) {
  source_r_.fill(0);
  source_g_.fill(0);
  source_b_.fill(0);
  if (palette == nullptr) {
    source_count_ = kMaxPaletteEntries;
    for (int v = 0; v < kMaxPaletteEntries; ++v) {
      source_r_[v] = source_g_[v] = source_b_[v] = static_cast<std::uint8_t>(v);
    }
    return;
  }
  source_count_ = ClampedCount(palette->count);
  for (int i = 0; i < source_count_; ++i) {
    const PaletteEntry& entry = palette->entries[i];
    if (colour_) {
      source_r_[i] = entry.red;
      source_g_[i] = entry.green;
      source_b_[i] = entry.blue;
    } else {
      source_r_[i] = source_g_[i] = source_b_[i] =
          colour_space_.Y(entry.red, entry.green, entry.blue);
    }
  }
}

void TDither::ApplyTone(const ToneSettings& tone) {
  std::array<std::uint8_t, 256> adjusted{};
  for (int v = 0; v < 256; ++v) {
    adjusted[v] =
        AdjustChannel(static_cast<std::uint8_t>(v), tone.brightness, tone.contrast, tone.invert);
  }
  for (int i = 0; i < source_count_; ++i) {
    source_r_[i] = adjusted[source_r_[i]];
    source_g_[i] = adjusted[source_g_[i]];
    source_b_[i] = adjusted[source_b_[i]];
  }
}

void TDither::GetSourcePalette(LogPalette& palette) const {
  palette.version = kLogPaletteVersion;
  palette.count = static_cast<std::uint16_t>(source_count_);
  for (int i = 0; i < source_count_; ++i) {
    palette.entries[i].red = source_r_[i];
    palette.entries[i].green = source_g_[i];
    palette.entries[i].blue = source_b_[i];
  }
}

void TDither::SetTarget(const LogPalette& palette) {
  target_set_ = true;
  target_count_ = ClampedCount(palette.count);
  candidate_count_ = 0;
  int pre_curve = kIdentityCurve;
  if (print_) {
    pre_curve = kPrintPreCurve;
  } else if (target_count_ <= kSmallTargetMaxEntries) {
    pre_curve = kSmallTargetPreCurve;
  }
  CurveSource(GetToneCurve(pre_curve));
  LoadTarget(palette, GetToneCurve(pre_curve));
  ClearCaches();
}

void TDither::CurveSource(const ToneCurve& pre_curve) {
  for (int i = 0; i < source_count_; ++i) {
    curved_r_[i] = pre_curve[source_r_[i]];
    curved_g_[i] = pre_curve[source_g_[i]];
    curved_b_[i] = pre_curve[source_b_[i]];
  }
  // Entries past the source count keep their fill, so stray indices stay defined.
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    source_y_[i] = colour_space_.Y(curved_r_[i], curved_g_[i], curved_b_[i]);
    source_cb_[i] = colour_space_.Cb(curved_r_[i], curved_g_[i], curved_b_[i]);
    source_cr_[i] = colour_space_.Cr(curved_r_[i], curved_g_[i], curved_b_[i]);
  }
  const std::array<std::uint8_t, 256>* channel_curves[3] = {&curved_r_, &curved_g_, &curved_b_};
  for (int k = 0; k < 9; ++k) {
    const auto& channel = *channel_curves[k % 3];
    for (int v = 0; v < 256; ++v) curved_space_[k][v] = colour_space_.table[k][channel[v]];
  }
}

void TDither::LoadTarget(const LogPalette& palette, const ToneCurve& pre_curve) {
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    const bool present = i < target_count_;
    target_r_[i] = present ? palette.entries[i].red : kWhite;
    target_g_[i] = present ? palette.entries[i].green : kWhite;
    target_b_[i] = present ? palette.entries[i].blue : kWhite;
    const int r = pre_curve[target_r_[i]];
    const int g = pre_curve[target_g_[i]];
    const int b = pre_curve[target_b_[i]];
    target_y_[i] = colour_space_.Y(r, g, b);
    target_cb_[i] = colour_space_.Cb(r, g, b);
    target_cr_[i] = colour_space_.Cr(r, g, b);
    const bool grey = target_r_[i] == target_g_[i] && target_g_[i] == target_b_[i];
    if (present && (colour_ || grey)) {
      candidates_[candidate_count_++] = {target_y_[i], target_cb_[i], target_cr_[i],
                                         static_cast<std::uint8_t>(i)};
    }
  }
}

void TDither::SetQuality(int quality) {
  quality_ = std::clamp(quality, kLowDitherQuality, kHighDitherQuality);
  params_ = GetDitherQualityParams(quality_);
  ClearCaches();
}

void TDither::ClearCaches() {
  std::memset(buffers_->colour_valid, 0, sizeof(buffers_->colour_valid));
  std::memset(buffers_->grey_valid, 0, sizeof(buffers_->grey_valid));
  if (buffers_->colour_cells) {
    std::fill_n(buffers_->colour_cells.get(), kCacheCells, CachedColour{});
  }
}

void TDither::ResetErrors() {
  for (auto& row_pair : buffers_->errors) {
    for (auto& row : row_pair) std::fill(row.begin(), row.end(), 0);
  }
  buffers_->current_row = 0;
  right_to_left_ = true;
}

void TDither::AdjustLine(std::uint8_t* line, int count, int bytes_per_pixel) const {
  if (bytes_per_pixel != 3 || count <= 0 || line == nullptr) return;
  if (!colour_) {
    for (int x = 0; x < count; ++x, line += 3) {
      const std::uint8_t y =
          colour_space_.Y(source_r_[line[2]], source_g_[line[1]], source_b_[line[0]]);
      line[0] = line[1] = line[2] = y;
    }
    return;
  }
  if (source_r_[1] == 1 && source_g_[1] == 1 && source_b_[1] == 1) return;
  for (int x = 0; x < count; ++x, line += 3) {
    line[0] = source_b_[line[0]];
    line[1] = source_g_[line[1]];
    line[2] = source_r_[line[2]];
  }
}
