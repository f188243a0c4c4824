// Orders a palette picture's colours by use: most used first, equal colours
// merged, unused ones gone. Smaller palettes then write and dither better.
#include <algorithm>
#include <cstdint>

#include "image/image.h"

namespace {

struct IndexUse {
  std::int64_t count;
  int index;
};

bool SameColour(const PaletteEntry& a, const PaletteEntry& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

}  // namespace

void SortPaletteByUse(TImage& image) {
  if (image.bytesPerPixel != 1) return;
  std::array<IndexUse, kMaxPaletteEntries> uses{};
  for (int i = 0; i < kMaxPaletteEntries; ++i) uses[i] = {0, i};
  for (int r = 0; r < image.height; ++r) {
    const std::uint8_t* row = image.rows[r];
    for (int c = 0; c < image.width; ++c) ++uses[row[c]].count;
  }
  // Stable, so equally used entries keep their order.
  std::stable_sort(uses.begin(), uses.end(),
                   [](const IndexUse& a, const IndexUse& b) { return a.count > b.count; });

  std::array<PaletteEntry, kMaxPaletteEntries> old_colours;
  for (int i = 0; i < kMaxPaletteEntries; ++i) old_colours[i] = image.bitmap.Colour(i);
  std::array<std::uint8_t, kMaxPaletteEntries> remap{};
  std::array<int, kMaxPaletteEntries> new_index_of_pair{};
  std::array<std::int64_t, kMaxPaletteEntries> new_counts{};
  int next = 0;
  for (int p = 0; p < kMaxPaletteEntries && uses[p].count > 0; ++p) {
    const PaletteEntry colour = old_colours[uses[p].index];
    int target = -1;
    for (int q = 0; q < p; ++q) {
      if (SameColour(old_colours[uses[q].index], colour)) {
        target = new_index_of_pair[q];
        break;
      }
    }
    if (target < 0) {
      target = next++;
      image.bitmap.SetColour(target, colour);
    }
    new_index_of_pair[p] = target;
    remap[uses[p].index] = static_cast<std::uint8_t>(target);
    new_counts[target] += uses[p].count;
  }
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    image.useCounts[i] =
        static_cast<std::int32_t>(std::min<std::int64_t>(new_counts[i], INT32_MAX));
  }
  image.colourCount = static_cast<std::int16_t>(next);
  for (int r = 0; r < image.height; ++r) {
    std::uint8_t* row = image.rows[r];
    for (int c = 0; c < image.width; ++c) row[c] = remap[row[c]];
  }
}
