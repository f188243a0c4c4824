// TImage: the picture in memory. A bottom-up device-independent bitmap of
// palette indices (1 byte per pixel) or blue-green-red (3 bytes per pixel),
// row pointers with row 0 at the top, use counts per index, and the view state
// that decides which part is shown or written, at what size and orientation.
//
// Readers fill it through Create, SetPalette and PutRow; every consumer (the
// screen, the printer, the writers) takes rows out through SetOutputSize and
// GetOutputRow, so crop, pan, zoom and rotation apply everywhere alike.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "image/image_limits.h"
#include "image/palette.h"
#include "image/picture_memory.h"

// x, width, y, height: the order the record keeps its rectangles in.
struct ImageRect {
  int x = 0;
  int width = 0;
  int y = 0;
  int height = 0;
};

struct ImagePoint {
  int x = 0;
  int y = 0;
};

struct ImageSize {
  int width = 0;
  int height = 0;
};

// Window-style bounds: right and bottom are exclusive.
struct ImageBounds {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// A packed device-independent bitmap: a 40-byte information header, the colour
// table (blue, green, red, reserved per entry) and the bits, in one block. This
// is the clipboard's shape, so a picture can be handed over without copying.
class TDib {
 public:
  static constexpr int kInfoHeaderSize = 40;

  // Builds an uncompressed bottom-up bitmap of 8 bits (256 colours, all black)
  // or 24 bits, its pixels zero or, with `zero_bits` false, left as the memory
  // came (the pixels of an earlier picture). Returns an empty TDib when the
  // memory cannot be had or the size is out of range.
  static TDib Create(int width, int height, int bits_per_pixel, bool zero_bits = true);
  // Takes a packed bitmap as it is. Use the queries below to judge it.
  static TDib FromPacked(std::vector<std::uint8_t> packed);
  // Caps the memory one bitmap may take (0: no cap), so that running out of
  // memory can be met on purpose; Create reduces pictures that exceed it.
  static void SetBitmapMemoryLimit(std::size_t bytes);
  static std::size_t BitmapMemoryLimit();

  bool Empty() const { return packed_.empty(); }
  // Header fields; 0 when the header is missing or too short.
  int Width() const;
  int Height() const;  // Negative for a top-down bitmap.
  int BitsPerPixel() const;
  int Compression() const;
  // Entries of the colour table: biClrUsed, or 2^bits for 8 bits or fewer when 0.
  int ColourTableEntries() const;
  int ClrUsed() const;
  std::int64_t Stride() const;
  // True when the block holds the header, the colour table and every row.
  bool IsComplete() const;

  // Colour table entry i (0 <= i < ColourTableEntries()).
  PaletteEntry Colour(int index) const;
  void SetColour(int index, PaletteEntry colour);
  std::uint8_t* Bits();
  const std::uint8_t* Bits() const;

  std::span<const std::uint8_t> Packed() const { return {packed_.data(), packed_.size()}; }
  std::vector<std::uint8_t> Release() { return packed_.TakeVector(); }
  // True when the block is one of the large, page-aligned picture blocks.
  bool IsLargeBlock() const { return packed_.IsLargeBlock(); }

 private:
  std::size_t BitsOffset() const;
  TPictureMemory packed_;
};

// Registered by the formats layer: reads a packed bitmap that cannot be taken
// over directly (compressed, scaled, other depths) into the picture.
using PackedBitmapReader = void (*)(class TImage& image, std::span<const std::uint8_t> packed);
void RegisterPackedBitmapReader(PackedBitmapReader reader);

class TDither;

// The callbacks of QuantizeToOutput, in the order they are called. A callback
// that returns false ends the pipeline with failure. Any callback may be empty.
struct QuantizeSink {
  bool (*begin)(void* context) = nullptr;
  // count colours (2..256), as three component arrays.
  bool (*colour_map)(void* context, int count, const std::uint8_t* red, const std::uint8_t* green,
                     const std::uint8_t* blue) = nullptr;
  // One output row of count palette indices, delivered in output order.
  bool (*pixel_row)(void* context, const std::uint8_t* indices, int count) = nullptr;
  void (*end)(void* context) = nullptr;
  void* context = nullptr;
};

class TImage {
 public:
  TImage();
  TImage(const TImage&) = delete;
  TImage& operator=(const TImage&) = delete;

  // Replaces the picture; reduces it by powers of two when it exceeds `limit`
  // (see PictureLimit) or memory runs out.
  // With RowFill::kCallerStoresEveryPixel the rows are not filled: the bitmap
  // may hold an earlier picture's pixels (its memory is reused), so the caller
  // must store every pixel of every row, or FillRows those it did not.
  enum class RowFill { kFill, kCallerStoresEveryPixel };
  void Create(int new_width, int new_height, int aspect_x, int aspect_y, int bytes_per_pixel,
              int new_reduction, std::uint8_t fill, RowFill row_fill = RowFill::kFill,
              PictureLimit limit = PictureLimit::kClassic);
  // Sets stored rows first_row .. end_row - 1 (clamped to the picture) to the
  // fill byte given to Create.
  void FillRows(int first_row, int end_row);
  // Stores a row given in file coordinates. 1-byte pictures take indices from
  // `first`; 3-byte pictures take red, green, blue from first, second, third.
  // transparent >= 0 leaves pixels of that index unchanged (1-byte only).
  void PutRow(int x, int y, const std::uint8_t* first, const std::uint8_t* second,
              const std::uint8_t* third, int count, int transparent);

  // The white 64 x 48 picture (black and white palette, every pixel 1) that a
  // failed load leaves.
  void MakePlaceholder();

  void SetPalette(const LogPalette& palette);
  // One colour of a palette picture's bitmap (index 0..255).
  void SetColourEntry(int index, PaletteEntry colour);
  void SetGreyPalette();
  // percentages (256 entries) may be null.
  void GetPalette(LogPalette& palette, int* percentages) const;
  int GetBytesPerPixel() const { return bytesPerPixel; }
  int GetColourCount() const { return colourCount; }

  // Takes over a packed bitmap, directly when it is an uncompressed 8- or
  // 24-bit bitmap with a full colour table that needs no reduction, otherwise
  // through the registered packed-bitmap reader. Returns false when the
  // bitmap could not be used at all (the picture is then the placeholder).
  bool AdoptBitmap(TDib dib);

  // View mapping and output rows. The orientation given is composed with
  // uprightOrientation, so callers pass Rotate as the user set it.
  void SetOutputSize(int area_width, int area_height, int x_resolution, int y_resolution,
                     int new_orientation, bool scale_to_area, bool fit);
  ImageBounds GetOutputRect() const;
  ImageSize GetViewSize() const;
  // The view's size as a Rotate of `rotate` shows it, turned upright first;
  // unlike GetViewSize it does not wait for the next SetOutputSize.
  ImageSize ShownViewSize(int rotate) const;
  // The orientation the output takes for a Rotate of `rotate`.
  int ShownOrientation(int rotate) const;
  // Fills count pixels of output row y from output column x (area coordinates).
  void GetOutputRow(int x, int y, std::uint8_t* buffer, int count) const;
  int BorderColour() const;
  void ClampView();
  void Pan(int dx, int dy);
  // direction > 0 zooms in, < 0 out, 0 resets to the whole picture. The window
  // is the area the picture is shown in; scale_to_window is AutoScale.
  void Zoom(int direction, bool fit, bool scale_to_window, int window_width, int window_height);
  // A window rectangle (bounds in area coordinates) becomes the view.
  void ZoomToRect(ImageBounds window_rect, bool fit, bool scale_to_window, int window_width,
                  int window_height);
  void SetViewSize(int view_width, int view_height);
  // A window point becomes the view's centre.
  void CentreAt(int x, int y);
  void AutoCrop();
  void MakeRepresentativePalette();

  // The row pointer of stored row r (0 = top), or null when out of range.
  std::uint8_t* Row(int r) { return r >= 0 && r < height ? rows[r] : nullptr; }
  const std::uint8_t* Row(int r) const { return r >= 0 && r < height ? rows[r] : nullptr; }
  int Stride() const { return static_cast<int>(bitmap.Stride()); }

  // The record's fields, in their fixed order. rows holds at least kMaxRows
  // pointers and scratchRow at least kMaxRowBytes bytes; both grow with a
  // larger picture, so a normal one costs what it always did.
  std::vector<std::uint8_t*> rows;
  std::vector<std::uint8_t> scratchRow;
  TDib bitmap;
  std::array<std::int32_t, kMaxPaletteEntries> useCounts{};
  std::int16_t colourCount = 256;
  std::int32_t width = 16;
  std::int32_t height = 16;
  int aspectX = 1;
  int aspectY = 1;
  int bytesPerPixel = 1;
  int reduction = 1;
  ImageRect cropRect{0, 16, 0, 16};
  ImageRect viewRect{0, 16, 0, 16};
  ImagePoint viewCentre{8, 8};
  int zoomNum = 1;
  int zoomDen = 1;
  // Source coordinates: every column and row of the largest picture must fit.
  static_assert(kFullResolutionMaxSide - 1 <= INT16_MAX);
  std::array<std::int16_t, kMaxOutputSize> columnMap{};
  std::array<std::int16_t, kMaxOutputSize> rowMap{};
  ImageRect outputRect{0, 16, 0, 16};
  int orientation = 0;
  // Turns the stored picture upright (a camera's orientation tag); 0 for
  // pictures stored as they are seen. Every new picture starts at 0.
  int uprightOrientation = 0;
  int representativeCount = 0;
  std::array<std::array<std::uint8_t, kMaxPaletteEntries>, 3> representative{};

 private:
  void ResetViewToWhole();
  void PointRowsAtBitmap();
  void ClearRowPadding();
  bool TryAdoptDirectly(TDib& dib);
  void RecentreView();
  void StepZoomFraction(int direction, int window_width, int window_height);
  void LimitViewToWindow(int window_width, int window_height);
  void FitZoomToWindow(int window_width, int window_height);
  ImagePoint WindowToPicture(int x, int y) const;
  void ApplyZoomToArea(int& area_width, int& area_height, bool fit);
  void CopyRow(int source_row, int column, int step, std::uint8_t* out, std::size_t count) const;
  void CopyTransposedRow(int source_column, int column, int step, std::uint8_t* out,
                         std::size_t count) const;

  // The column map is source x = view x + output column: rows copy whole.
  bool contiguousColumns_ = false;
  std::uint8_t fill_ = 0;
};

// Divides both terms by 2, 3, 5, 7 and 11 while each divides both, then halves
// both while either exceeds 32767.
void ReduceFraction(int& a, int& b);

// Orientation bits of the Rotate setting.
inline constexpr int kOrientTranspose = 1;
inline constexpr int kOrientMirror = 2;
inline constexpr int kOrientFlip = 4;

// Runs the output rows of `image` (after SetOutputSize) through a two-pass
// colour quantizer, or straight through when the picture's palette already
// fits in `colours`. `dither` supplies the adjustments and may be null.
// Returns 0, or 1 when the output is empty or a callback failed.
int QuantizeToOutput(TImage& image, TDither* dither, bool interlaced, int colours,
                     const QuantizeSink& sink);

// Reorders a palette picture's palette by decreasing use, merging equal
// colours and dropping unused ones; colourCount becomes the entries kept.
void SortPaletteByUse(TImage& image);
