// A two-pass colour quantizer: a histogram of every pixel, a colour map of 2 to
// 256 colours chosen by population-weighted median cut, then rows mapped with
// serpentine Floyd-Steinberg error diffusion (with the error limiting of the
// JPEG library's quantizer) through a lazily filled inverse colour map. It serves the GIF and PCX
// writers and the representative palette of 24-bit pictures, whose pixels do not come from a JPEG
// file.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "image/image_limits.h"

class TColourQuantizer {
 public:
  static constexpr int kMinColours = 2;
  static constexpr int kMaxColours = 256;

  // False when the tables cannot be had.
  bool Init();

  // First pass: count `count` pixels of blue, green, red.
  void AddPixels(const std::uint8_t* bgr, int count);
  // Chooses at most `colours` (clamped to 2..256) colours; returns how many.
  int ChooseColours(int colours);
  int ColourCount() const { return colour_count_; }
  const std::uint8_t* Red() const { return red_.data(); }
  const std::uint8_t* Green() const { return green_.data(); }
  const std::uint8_t* Blue() const { return blue_.data(); }

  // Second pass: clears the error rows; rows then follow each other top to bottom.
  void StartMapping();
  // Maps `count` (at most kMaxOutputSize) blue, green, red pixels to indices.
  void MapRow(const std::uint8_t* bgr, std::uint8_t* indices, int count);

 private:
  struct Box;
  void ShrinkBox(Box& box) const;
  bool SplitBox(Box& box, Box& upper) const;
  void AverageColour(const Box& box, int slot);
  void ResetInverseMap();
  int NearestColour(int red, int green, int blue);
  int NearestInBlock(int cell);
  void FillBlockCandidates(int block);

  // Pixels of one histogram cell and the sums of their channels, so that
  // colours come out exact rather than at cell centres.
  struct Cell {
    std::uint64_t count;
    std::uint64_t red;
    std::uint64_t green;
    std::uint64_t blue;
  };
  // 32 x 64 x 32 cells over red, green, blue (5, 6, 5 bits).
  std::vector<Cell> histogram_;
  // Cell -> colour index + 1; 0 while not yet searched.
  std::vector<std::uint16_t> inverse_;
  // Colours that can be nearest within each 8 x 8 x 8 block of cells.
  std::vector<std::vector<std::uint8_t>> block_candidates_;
  std::vector<bool> block_ready_;
  std::array<std::uint8_t, kMaxColours> red_{}, green_{}, blue_{};
  int colour_count_ = 0;
  // Errors of the row below, per channel, in sixteenths, with a guard cell at each end.
  std::vector<std::int32_t> errors_;
  bool reverse_ = false;
  // A value plus its carried error lies within -kClampMargin .. 255 + kClampMargin
  // (errors never exceed a channel's range); this table clamps it to 0..255.
  static constexpr int kClampMargin = 256;
  std::array<std::uint8_t, 256 + 2 * kClampMargin> clamp_{};
  // The carried error (-255 .. 255) after limiting, as the JPEG library limits it.
  static constexpr int kMaxError = 255;
  std::array<std::int16_t, 2 * kMaxError + 1> error_limit_{};
};
