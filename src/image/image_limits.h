// The fixed sizes of the picture record.
#pragma once

// Longest stored row in bytes, and the most rows a picture keeps.
inline constexpr int kMaxRowBytes = 8192;
inline constexpr int kMaxRows = 8192;
// Output sizes (and so the coordinate maps and dithered lines) stay within
// kMinOutputSize .. kMaxOutputSize in each direction.
inline constexpr int kMaxOutputSize = 8192;
inline constexpr int kMinOutputSize = 16;
// The view keeps at least this many pixels per side where the crop allows.
inline constexpr int kMinViewSize = 16;
