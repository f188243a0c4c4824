// A two-pass colour quantizer: a histogram of every pixel, a colour map of 2 to
// 256 colours chosen by splitting boxes of the histogram (the box whose
// pixels lie farthest from their mean first, at the plane that leaves the
// least spread), then rows mapped with serpentine Floyd-Steinberg error
// diffusion, limited as the JPEG library limits it, through an inverse colour
// map filled block by block as rows reach it. It serves the GIF and PCX
// writers and the representative palette of 24-bit pictures.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "image/image_limits.h"

class TColourQuantizer {
 public:
  static constexpr int kMinColours = 2;
  static constexpr int kMaxColours = 256;

  TColourQuantizer();
  ~TColourQuantizer();
  TColourQuantizer(const TColourQuantizer&) = delete;
  TColourQuantizer& operator=(const TColourQuantizer&) = delete;

  // Clears the histogram for a new picture; false when the tables cannot be
  // had. A quantizer may serve one picture after another.
  bool Init();

  // First pass: count `count` pixels of blue, green, red.
  void AddPixels(const std::uint8_t* bgr, int count);
  // Chooses at most `colours` (clamped to 2..256) colours; returns how many.
  int ChooseColours(int colours);
  int ColourCount() const { return colour_count_; }
  const std::uint8_t* Red() const { return red_.data(); }
  const std::uint8_t* Green() const { return green_.data(); }
  const std::uint8_t* Blue() const { return blue_.data(); }

  // Second pass: clears the errors; rows then follow each other top to bottom.
  void StartMapping();
  // Maps `count` (at most kMaxOutputSize) blue, green, red pixels to indices.
  void MapRow(const std::uint8_t* bgr, std::uint8_t* indices, int count);

 private:
  // The pixels of one histogram cell: their number, and the sums of how far
  // each lies above the cell's lowest value per channel (so that colours come
  // out exact, not at cell centres; at most 7 x 8192 x 8192, within 32 bits).
  struct Cell {
    std::uint32_t count;
    std::uint32_t red;
    std::uint32_t green;
    std::uint32_t blue;
  };
  struct Box;
  struct BoxSlices;

  void ShrinkBox(Box& box, BoxSlices& slices) const;
  bool SplitBox(Box& box, BoxSlices& box_slices, Box& upper, BoxSlices& upper_slices) const;
  void AverageColour(const Box& box, int slot);
  void FillBlock(int block);
  void BuildLimitTables();

  std::vector<Cell> histogram_;            // 32 x 64 x 32 cells: 5 bits red, 6 green, 5 blue
  std::vector<std::uint8_t> inverse_;      // cell -> nearest colour, valid once its block is
  std::vector<std::uint8_t> block_ready_;  // 8 x 8 x 8 blocks of 4 x 8 x 4 cells
  std::vector<BoxSlices> slices_;          // one per box while colours are chosen
  std::array<std::uint8_t, kMaxColours> red_{}, green_{}, blue_{};
  int colour_count_ = 0;

  // Errors in sixteenths, three per pixel, with a guard pixel at each end.
  std::vector<std::int32_t> errors_;
  bool reverse_ = false;
  // A value plus its carried error lies within -kClampMargin .. 255 + kClampMargin;
  // this table clamps it to 0..255.
  static constexpr int kClampMargin = 256;
  std::array<std::uint8_t, 256 + 2 * kClampMargin> clamp_{};
  // The carried error (-kMaxError .. kMaxError) after limiting.
  static constexpr int kMaxError = 255;
  std::array<std::int16_t, 2 * kMaxError + 1> error_limit_{};
};
