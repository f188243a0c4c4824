// The fixed sizes of the picture record.
#pragma once

#include <cstdint>

// Longest stored row in bytes, and the most rows a picture keeps.
inline constexpr int kMaxRowBytes = 8192;
inline constexpr int kMaxRows = 8192;
// With FullResolution on, pictures keep their size up to this many pixels a
// side and this many bytes of bitmap; only beyond them are they reduced.
inline constexpr int kFullResolutionMaxSide = 32768;
inline constexpr std::int64_t kFullResolutionMaxBytes = std::int64_t{1} << 30;
// Output sizes (and so the coordinate maps and dithered lines) stay within
// kMinOutputSize .. kMaxOutputSize in each direction.
inline constexpr int kMaxOutputSize = 8192;
inline constexpr int kMinOutputSize = 16;
// The view keeps at least this many pixels per side where the crop allows.
inline constexpr int kMinViewSize = 16;

// Which size a picture may be held at before it is reduced.
enum class PictureLimit {
  kClassic,         // rows of at most kMaxRowBytes bytes, at most kMaxRows rows
  kFullResolution,  // kFullResolutionMaxSide a side, kFullResolutionMaxBytes of bitmap
};

// Bytes of one stored row: pixels x bytes, rounded up to a multiple of 4.
inline constexpr std::int64_t PictureRowStride(std::int64_t pixels, int bytes_per_pixel) {
  return (pixels * bytes_per_pixel + 3) / 4 * 4;
}

// The reduction (requested, doubled as often as needed) at which a picture of
// width x height fits the limit. Memory shortage may double it further.
inline constexpr std::int64_t ReductionWithinLimit(std::int64_t width, std::int64_t height,
                                                   int bytes_per_pixel, std::int64_t requested,
                                                   PictureLimit limit) {
  std::int64_t reduction = requested < 1 ? 1 : requested;
  if (limit == PictureLimit::kClassic) {
    while (PictureRowStride(width / reduction, bytes_per_pixel) > kMaxRowBytes) reduction *= 2;
    while (height / reduction > kMaxRows) reduction *= 2;
    return reduction;
  }
  while (width / reduction > kFullResolutionMaxSide) reduction *= 2;
  while (height / reduction > kFullResolutionMaxSide) reduction *= 2;
  while (PictureRowStride(width / reduction, bytes_per_pixel) * (height / reduction) >
         kFullResolutionMaxBytes) {
    reduction *= 2;
  }
  return reduction;
}
