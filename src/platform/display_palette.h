// A logical palette object: the colours a window asks the display for, and,
// once realized, which system palette entry shows each of them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/colour.h"

inline constexpr int kMaxLogicalPaletteEntries = 256;

class TPalette {
 public:
  // At most 256 entries are taken; an empty palette holds black.
  explicit TPalette(std::span<const PaletteColour> entries);

  int Size() const { return static_cast<int>(entries_.size()); }
  const std::vector<PaletteColour>& Entries() const { return entries_; }
  ColorRef ColourOf(int index) const;

  // The index of the entry nearest to `colour` (first of equals).
  int GetNearestPaletteIndex(ColorRef colour) const;

  // Set by the display when it realizes the palette: the system palette index
  // of every entry. Empty until realized.
  const std::vector<std::uint8_t>& SystemIndices() const { return system_indices_; }
  void SetSystemIndices(std::vector<std::uint8_t> indices) { system_indices_ = std::move(indices); }

 private:
  std::vector<PaletteColour> entries_;
  std::vector<std::uint8_t> system_indices_;
};
