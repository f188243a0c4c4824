// The per-line work of TDither: colour-space conversion, the cached
// nearest-candidate search and the serpentine error diffusion.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "image/dither.h"
#include "image/dither_buffers.h"

namespace {

constexpr int kNoDistance = 32767;
constexpr int kLumaSquareLimit = 16383;
constexpr int kChromaSquareLimit = 4095;

inline int ClampToByte(int value) {
  return std::clamp(value, 0, 255);
}

inline std::int8_t AddToCell(std::int8_t cell, int part) {
  return static_cast<std::int8_t>(cell + part);  // errors live in bytes and wrap as bytes
}

}  // namespace

std::uint8_t TDither::NearestColour(int y, int cb, int cr) const {
  // Every point of a cache cell gets the answer for the cell's centre.
  const int cell_y = (y & params_.luma_mask) | params_.luma_half_cell;
  const int cell_cb = (cb & params_.chroma_mask) | params_.chroma_half_cell;
  const int cell_cr = (cr & params_.chroma_mask) | params_.chroma_half_cell;
  int best = kNoDistance;
  std::uint8_t result = 0;
  for (int i = 0; i < candidate_count_; ++i) {
    const Candidate& candidate = candidates_[i];
    const int dy = (cell_y - candidate.y) >> 1;
    if (dy * dy > kLumaSquareLimit) continue;
    const int dcb = (cell_cb - candidate.cb) >> 2;
    if (dcb * dcb > kChromaSquareLimit) continue;
    const int dcr = (cell_cr - candidate.cr) >> 2;
    if (dcr * dcr > kChromaSquareLimit) continue;
    const int distance = dy * dy + dcb * dcb + dcr * dcr;
    if (distance <= best) {  // on a tie the later candidate wins
      best = distance;
      result = candidate.index;
    }
  }
  return result;
}

std::uint8_t TDither::NearestGrey(int y) const {
  int best = kNoDistance;
  std::uint8_t result = 0;
  for (int i = 0; i < candidate_count_; ++i) {
    const int distance = std::abs(y - candidates_[i].y);
    if (distance <= best) {
      best = distance;
      result = candidates_[i].index;
    }
  }
  return result;
}

// The cache geometry of the current quality, copied out of the object so that
// the per-pixel loop keeps it in registers.
struct TDither::CacheView {
  int luma_shift;
  int chroma_shift;
  int chroma_bits;
  std::uint64_t* valid;
  CachedColour* cells;

  int Key(int y, int cb, int cr) const {
    const int inner = ((cb >> chroma_shift) << chroma_bits) | (cr >> chroma_shift);
    return ((y >> luma_shift) << (2 * chroma_bits)) | inner;
  }
  bool Has(int key) const {
    return (valid[key / Buffers::kValidWordBits] >> (key % Buffers::kValidWordBits)) & 1;
  }
};

TDither::CacheView TDither::ColourCacheView() const {
  return {8 - params_.luma_bits, 8 - params_.chroma_bits, params_.chroma_bits,
          buffers_->colour_valid, buffers_->colour_cells.get()};
}

TDither::CachedColour TDither::ResolveColourMiss(const CacheView& cache, int key, int y, int cb,
                                                 int cr) const {
  const std::uint8_t index = NearestColour(y, cb, cr);
  const CachedColour found = {index, {target_y_[index], target_cb_[index], target_cr_[index]}};
  if (cache.cells != nullptr) {
    cache.cells[key] = found;
    cache.valid[key / Buffers::kValidWordBits] |= std::uint64_t{1}
                                                  << (key % Buffers::kValidWordBits);
  }
  return found;
}

inline std::uint8_t TDither::LookupGrey(int y) {
  if (!buffers_->grey_valid[y]) {
    buffers_->grey_result[y] = NearestGrey(y);
    buffers_->grey_valid[y] = true;
  }
  return buffers_->grey_result[y];
}

void TDither::ConvertToColourSpace(std::uint8_t* line, int count) const {
  const auto& t = curved_space_;
  for (int x = 0; x < count; ++x, line += 3) {
    const int red = line[2];
    const int green = line[1];
    const int blue = line[0];
    line[2] = static_cast<std::uint8_t>(t[0][red] + t[1][green] + t[2][blue]);
    if (colour_) {
      line[1] = static_cast<std::uint8_t>(t[3][red] + t[4][green] + t[5][blue] - 128);
      line[0] = static_cast<std::uint8_t>(t[6][red] + t[7][green] + t[8][blue] - 128);
    }
  }
}

// Pixel x lives in error cell x + 1; cells 0 and count + 1 are guards.
template <bool kColour, bool kThreeBytes, bool kReverse>
void TDither::DiffuseLine(const std::uint8_t* line, int count) {
  constexpr int kStep = kReverse ? -1 : 1;
  constexpr int kChannels = kColour ? 3 : 1;
  const auto& spread = GetErrorTable();
  Buffers& buffers = *buffers_;
  std::int8_t* current[3];
  std::int8_t* below[3];
  for (int ch = 0; ch < 3; ++ch) {
    current[ch] = buffers.errors[buffers.current_row][ch].data();
    below[ch] = buffers.errors[buffers.current_row ^ 1][ch].data();
  }
  // The row below is built in registers: a cell is complete once the pixel
  // after it has added its behind-below part, and is stored then. `pending`
  // holds the cell behind the pixel and the cell under it; both start at zero,
  // as the cells at the starting edge do.
  int pending_behind[3] = {0, 0, 0};
  int pending_under[3] = {0, 0, 0};
  const std::uint8_t* target_y = target_y_.data();
  const std::uint8_t* source_ycc[3] = {source_y_.data(), source_cb_.data(), source_cr_.data()};
  const CacheView cache = ColourCacheView();
  std::uint8_t* output = buffers.output.data();
  int ahead[3] = {0, 0, 0};  // the ahead part, carried to the next pixel's current cell
  for (int n = 0; n < count; ++n) {
    const int x = kReverse ? count - 1 - n : n;
    const int cell = x + 1;
    int value[3];
    if constexpr (kThreeBytes) {
      value[0] = line[3 * x + 2];
      if constexpr (kColour) {
        value[1] = line[3 * x + 1];
        value[2] = line[3 * x];
      }
    } else {
      value[0] = source_ycc[0][line[x]];
      if constexpr (kColour) {
        value[1] = source_ycc[1][line[x]];
        value[2] = source_ycc[2][line[x]];
      }
    }
    for (int ch = 0; ch < kChannels; ++ch) {
      value[ch] = ClampToByte(value[ch] + AddToCell(current[ch][cell], ahead[ch]));
    }
    CachedColour chosen;
    if constexpr (kColour) {
      const int key = cache.Key(value[0], value[1], value[2]);
      chosen = cache.Has(key) ? cache.cells[key]
                              : ResolveColourMiss(cache, key, value[0], value[1], value[2]);
    } else {
      chosen.index = LookupGrey(value[0]);
      chosen.ycc[0] = target_y[chosen.index];
    }
    output[x] = chosen.index;
    for (int ch = 0; ch < kChannels; ++ch) {
      const ErrorParts& parts = spread[value[ch] - chosen.ycc[ch] + kErrorTableOffset];
      below[ch][cell - kStep] = static_cast<std::int8_t>(pending_behind[ch] + parts.behind_below);
      pending_behind[ch] = pending_under[ch] + parts.below;
      pending_under[ch] = parts.ahead_below;  // nothing has reached the next cell before
      ahead[ch] = parts.ahead;
    }
  }
  const int last_cell = kReverse ? 1 : count;
  for (int ch = 0; ch < kChannels; ++ch) {
    below[ch][last_cell] = static_cast<std::int8_t>(pending_behind[ch]);
    below[ch][last_cell + kStep] = static_cast<std::int8_t>(pending_under[ch]);
  }
  buffers.current_row ^= 1;
}

void TDither::DitherLine(std::uint8_t* line, int count, int bytes_per_pixel) {
  if (line == nullptr || count <= 0 || (bytes_per_pixel != 1 && bytes_per_pixel != 3)) return;
  if (!target_set_) {
    AdjustLine(line, count, bytes_per_pixel);
    return;
  }
  count = std::min(count, kMaxDitherPixels);
  const bool three_bytes = bytes_per_pixel == 3;
  if (three_bytes) ConvertToColourSpace(line, count);
  right_to_left_ = !right_to_left_;
  const int variant = (colour_ ? 4 : 0) | (three_bytes ? 2 : 0) | (right_to_left_ ? 1 : 0);
  switch (variant) {
    case 0:
      DiffuseLine<false, false, false>(line, count);
      break;
    case 1:
      DiffuseLine<false, false, true>(line, count);
      break;
    case 2:
      DiffuseLine<false, true, false>(line, count);
      break;
    case 3:
      DiffuseLine<false, true, true>(line, count);
      break;
    case 4:
      DiffuseLine<true, false, false>(line, count);
      break;
    case 5:
      DiffuseLine<true, false, true>(line, count);
      break;
    case 6:
      DiffuseLine<true, true, false>(line, count);
      break;
    default:
      DiffuseLine<true, true, true>(line, count);
      break;
  }
  std::memcpy(line, buffers_->output.data(), static_cast<std::size_t>(count));
}
