#include "image/dither_tables.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kToneExponents[kToneCurveCount] = {1.0 / 3, 0.4, 0.5, 2.0 / 3, 1.0,
                                                    1.5,     2.0, 2.5, 3.0};

// Y from R, G, B; Cb from R, G, B; Cr from R, G, B, in 1/256.
constexpr int kColourSpaceFactors[9] = {77, 150, 29, -43, -85, 128, 128, -107, -21};

constexpr int kErrorMin = -128;
constexpr int kErrorMax = 127;

std::array<ToneCurve, kToneCurveCount> BuildToneCurves() {
  std::array<ToneCurve, kToneCurveCount> curves{};
  for (int k = 0; k < kToneCurveCount; ++k) {
    for (int x = 0; x < 256; ++x) {
      const double value = 255.0 * std::pow(x / 255.0, kToneExponents[k]);
      curves[k][x] = static_cast<std::uint8_t>(std::clamp<long>(std::lround(value), 0, 255));
    }
  }
  return curves;
}

std::array<ErrorParts, kErrorTableSize> BuildErrorTable() {
  std::array<ErrorParts, kErrorTableSize> table{};
  for (int i = 0; i < kErrorTableSize; ++i) {
    const int n = std::clamp(i - kErrorTableOffset, kErrorMin, kErrorMax);
    const int behind_below = 3 * n / 16;
    const int below = 5 * n / 16;
    const int ahead_below = n / 16;
    table[i].behind_below = static_cast<std::int8_t>(behind_below);
    table[i].below = static_cast<std::int8_t>(below);
    table[i].ahead_below = static_cast<std::int8_t>(ahead_below);
    table[i].ahead = static_cast<std::int8_t>(n - behind_below - below - ahead_below);
  }
  return table;
}

ColourSpaceTables BuildColourSpaceTables() {
  ColourSpaceTables tables{};
  for (int k = 0; k < 9; ++k) {
    for (int v = 0; v < 256; ++v) {
      // Stored as bytes on purpose: sums are taken modulo 256.
      tables.table[k][v] = static_cast<std::int8_t>((v * kColourSpaceFactors[k]) >> 8);
    }
  }
  return tables;
}

constexpr DitherQualityParams kQualityParams[3] = {
    {4, 3, 0xF0, 0xE0, 8, 16},
    {5, 4, 0xF8, 0xF0, 4, 8},
    {6, 5, 0xFC, 0xF8, 2, 4},
};

}  // namespace

const ToneCurve& GetToneCurve(int curve) {
  static const std::array<ToneCurve, kToneCurveCount> curves = BuildToneCurves();
  return curves[std::clamp(curve, 0, kToneCurveCount - 1)];
}

const std::array<ErrorParts, kErrorTableSize>& GetErrorTable() {
  static const std::array<ErrorParts, kErrorTableSize> table = BuildErrorTable();
  return table;
}

const ColourSpaceTables& GetColourSpaceTables() {
  static const ColourSpaceTables tables = BuildColourSpaceTables();
  return tables;
}

const DitherQualityParams& GetDitherQualityParams(int quality) {
  return kQualityParams[std::clamp(quality, kLowDitherQuality, kHighDitherQuality) - 1];
}
