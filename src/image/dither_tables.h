// Process-wide constant tables of the dithering engine: the nine tone curves,
// the error distribution table, the Y/Cb/Cr tables and the quality settings.
// All are built once on first use and never change.
#pragma once

#include <array>
#include <cstdint>

// Brightness and Contrast run 1..9; 5 leaves colours unchanged.
inline constexpr int kMinTone = 1;
inline constexpr int kNeutralTone = 5;
inline constexpr int kMaxTone = 9;

inline constexpr int kLowDitherQuality = 1;
inline constexpr int kDefaultDitherQuality = 2;
inline constexpr int kHighDitherQuality = 3;

using ToneCurve = std::array<std::uint8_t, 256>;

// Curve k maps x to round(255 * (x / 255)^g), g = 1/3, 0.4, 0.5, 2/3, 1, 1.5,
// 2, 2.5, 3 for k = 0..8.
inline constexpr int kToneCurveCount = 9;
inline constexpr int kIdentityCurve = 4;
inline constexpr int kPrintPreCurve = 2;        // exponent 0.5
inline constexpr int kSmallTargetPreCurve = 6;  // exponent 2
inline constexpr int kSmallTargetMaxEntries = 16;

// `curve` is clamped to 0..8.
const ToneCurve& GetToneCurve(int curve);

// How one error n (clamped to -128..127) is spread: the four parts sum to n.
struct ErrorParts {
  std::int8_t behind_below;  // 3n/16
  std::int8_t below;         // 5n/16
  std::int8_t ahead_below;   // n/16
  std::int8_t ahead;         // the remainder
};
inline constexpr int kErrorTableSize = 1024;
inline constexpr int kErrorTableOffset = 512;

// Indexed by error + kErrorTableOffset; errors of -512..511 are valid indices.
const std::array<ErrorParts, kErrorTableSize>& GetErrorTable();

// Y/Cb/Cr as the engine computes it, in byte arithmetic: each table holds
// (v * c) >> 8; chroma is offset by 128 so neutral grey is 128.
struct ColourSpaceTables {
  std::array<std::array<std::int8_t, 256>, 9> table;

  std::uint8_t Y(int r, int g, int b) const {
    return static_cast<std::uint8_t>(table[0][r] + table[1][g] + table[2][b]);
  }
  std::uint8_t Cb(int r, int g, int b) const {
    return static_cast<std::uint8_t>(table[3][r] + table[4][g] + table[5][b] - 128);
  }
  std::uint8_t Cr(int r, int g, int b) const {
    return static_cast<std::uint8_t>(table[6][r] + table[7][g] + table[8][b] - 128);
  }
};

const ColourSpaceTables& GetColourSpaceTables();

// The cell geometry of one quality level.
struct DitherQualityParams {
  int luma_bits;
  int chroma_bits;
  std::uint8_t luma_mask;
  std::uint8_t chroma_mask;
  std::uint8_t luma_half_cell;
  std::uint8_t chroma_half_cell;
};

// `quality` is clamped to 1..3.
const DitherQualityParams& GetDitherQualityParams(int quality);
