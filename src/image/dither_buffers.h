// Working memory of TDither: the error rows, the output line and both caches.
// Private to the engine's own source files.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "image/dither.h"

struct TDither::Buffers {
  static constexpr int kChannels = 3;  // Y, Cb, Cr
  static constexpr int kValidWordBits = 64;

  // Two rows per channel (the row being scanned and the row below), swapped
  // after every line. Each row and the output line are separate allocations so
  // that memory checkers see any step outside them.
  std::vector<std::int8_t> errors[2][kChannels];
  int current_row = 0;
  std::vector<std::uint8_t> output;
  std::uint64_t colour_valid[kCacheCells / kValidWordBits];
  // Cached nearest candidates with their target values, found by the same key as the
  // valid bits (64 slabs of 1024 cells at High quality). Null when the memory
  // could not be had: every cell is then searched each time.
  std::unique_ptr<CachedColour[]> colour_cells;
  bool grey_valid[256];
  std::uint8_t grey_result[256];
};
