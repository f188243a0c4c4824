#include "platform/display_palette.h"

#include <algorithm>

TPalette::TPalette(std::span<const PaletteColour> entries) {
  const std::size_t count = std::min<std::size_t>(entries.size(), kMaxLogicalPaletteEntries);
  entries_.assign(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(count));
  if (entries_.empty()) entries_.push_back(PaletteColour{});
}

ColorRef TPalette::ColourOf(int index) const {
  if (index < 0 || index >= Size()) return ToColorRef(entries_.front());
  return ToColorRef(entries_[static_cast<std::size_t>(index)]);
}

int TPalette::GetNearestPaletteIndex(ColorRef colour) const {
  int best = 0;
  int best_distance = ColourDistance(colour, ToColorRef(entries_.front()));
  for (int i = 1; i < Size() && best_distance > 0; ++i) {
    const int distance = ColourDistance(colour, ColourOf(i));
    if (distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return best;
}
