// TDither: the colour adjustments of the current picture (grey or colour,
// brightness, contrast, invert) as lookup tables, and the reduction of picture
// lines to a target palette by serpentine error diffusion in Y/Cb/Cr with a
// cached nearest-colour search. The main window owns one for its whole life;
// screen, clipboard, writers and printer share it.
//
// Calling order: SetSource, optionally GetSourcePalette, optionally SetTarget,
// then DitherLine for each line from top to bottom.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "image/dither_tables.h"
#include "image/image_limits.h"
#include "image/palette.h"

// Lines longer than the widest output are outside the error rows; the excess
// is left as is.
inline constexpr int kMaxDitherPixels = kMaxOutputSize;

// The tone settings that every output path applies (Brightness, Contrast,
// Invert and the grey/colour choice of the display).
struct ToneSettings {
  bool colour = true;
  int brightness = kNeutralTone;  // 1..9, out-of-range values are clamped
  int contrast = kNeutralTone;    // 1..9, selects tone curve contrast - 1
  bool invert = false;
};

// One channel value through brightness, contrast and invert, in that order.
std::uint8_t AdjustChannel(std::uint8_t value, int brightness, int contrast, bool invert);

class TDither {
 public:
  explicit TDither(int quality = kDefaultDitherQuality);
  ~TDither();
  TDither(const TDither&) = delete;
  TDither& operator=(const TDither&) = delete;

  // Loads the adjusted source colours and turns dithering off. A null palette
  // means the identity table of 256 entries (24-bit pictures). `print` selects
  // the printer's pre-curve. Ends with ResetErrors.
  void SetSource(const LogPalette* palette, bool print, const ToneSettings& tone);
  void SetSource(const LogPalette* palette, bool print, bool colour, int brightness, int contrast,
                 bool invert);

  // Version, source count and adjusted colours; flags are left untouched.
  void GetSourcePalette(LogPalette& palette) const;

  // Sets the target palette (at most 256 entries are used), builds the
  // candidate list, clears both caches and turns dithering on.
  void SetTarget(const LogPalette& palette);

  // 1 low, 2 medium, 3 high (clamped); clears both caches.
  void SetQuality(int quality);
  int Quality() const { return quality_; }

  // Clears the error rows; the next line runs left to right.
  void ResetErrors();

  // Converts one line in place: `count` palette indices (1 byte per pixel) or
  // `count` blue, green, red pixels (3 bytes per pixel). With a target set the
  // first `count` bytes become target indices; otherwise acts as AdjustLine.
  // Other pixel sizes, and counts below 1, leave the line alone.
  void DitherLine(std::uint8_t* line, int count, int bytes_per_pixel);

  // Applies the adjustments to a 3-byte line; a 1-byte line is left alone (the
  // adjusted palette carries the change).
  void AdjustLine(std::uint8_t* line, int count, int bytes_per_pixel) const;

  bool IsDithering() const { return target_set_; }
  bool IsColour() const { return colour_; }
  int SourceCount() const { return source_count_; }
  int TargetCount() const { return target_count_; }
  int CandidateCount() const { return candidate_count_; }

 private:
  struct Candidate {
    std::uint8_t y;
    std::uint8_t cb;
    std::uint8_t cr;
    std::uint8_t index;
  };
  // A cached search result: the target index and its Y, Cb, Cr, so that the
  // error is at hand without a second lookup.
  struct CachedColour {
    std::uint8_t index;
    std::uint8_t ycc[3];
  };
  struct CacheView;  // the cache geometry of the current quality
  struct Buffers;    // error rows, output line, caches
  static constexpr int kErrorRowCells = kMaxDitherPixels + 2;  // a guard cell at each end
  static constexpr int kCacheCells = 65536;  // 64 luma by 1024 chroma cells at High quality

  void ClearCaches();
  void LoadSourceColours(const LogPalette* palette);
  void ApplyTone(const ToneSettings& tone);
  void CurveSource(const ToneCurve& pre_curve);
  void LoadTarget(const LogPalette& palette, const ToneCurve& pre_curve);
  void ConvertToColourSpace(std::uint8_t* line, int count) const;
  CacheView ColourCacheView() const;
  CachedColour ResolveColourMiss(const CacheView& cache, int key, int y, int cb, int cr) const;
  std::uint8_t LookupGrey(int y);
  std::uint8_t NearestColour(int y, int cb, int cr) const;
  std::uint8_t NearestGrey(int y) const;
  template <bool kColour, bool kThreeBytes, bool kReverse>
  void DiffuseLine(const std::uint8_t* line, int count);

  const ColourSpaceTables& colour_space_;
  std::array<std::uint8_t, 256> source_r_{}, source_g_{}, source_b_{};
  std::array<std::uint8_t, 256> curved_r_{}, curved_g_{}, curved_b_{};
  std::array<std::uint8_t, 256> source_y_{}, source_cb_{}, source_cr_{};
  // The colour-space tables composed with the pre-curve, per source channel,
  // so that a 24-bit pixel converts with nine lookups.
  std::array<std::array<std::int8_t, 256>, 9> curved_space_{};
  int source_count_ = 2;
  std::array<std::uint8_t, 256> target_r_{}, target_g_{}, target_b_{};
  std::array<std::uint8_t, 256> target_y_{}, target_cb_{}, target_cr_{};
  int target_count_ = 2;
  std::array<Candidate, 256> candidates_{};
  int candidate_count_ = 0;
  bool target_set_ = false;
  bool print_ = false;
  bool colour_ = false;
  // Direction of the previous line; flipped before each line, so the first
  // line after ResetErrors runs left to right.
  bool right_to_left_ = true;
  int quality_ = kDefaultDitherQuality;
  DitherQualityParams params_{};
  std::unique_ptr<Buffers> buffers_;
};
