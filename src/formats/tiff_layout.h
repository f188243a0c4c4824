// The tags of a TIFF directory that the reader takes: how its pixels are
// stored, and its description.
#pragma once

#include <cstdint>

#include <tiffio.h>

inline constexpr std::uint16_t kPhotometricWhiteIsZero = 0;
inline constexpr std::uint16_t kPhotometricRgb = 2;
inline constexpr std::uint16_t kPhotometricPalette = 3;
inline constexpr int kMaxBitsPerSample = 16;
// Wider samples are read when they are 32-bit integers or floating point.
inline constexpr int kWordBitsPerSample = 32;
inline constexpr int kDoubleBitsPerSample = 64;

struct TiffLayout {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t bits = 1;
  std::uint16_t samples = 1;
  std::uint16_t photometric = 0;
  std::uint16_t planar = PLANARCONFIG_CONTIG;
  std::uint16_t compression = COMPRESSION_NONE;
  std::uint32_t min_value = 0;
  std::uint32_t max_value = 1;
  std::uint16_t orientation = ORIENTATION_TOPLEFT;
  std::uint16_t sample_format = SAMPLEFORMAT_UINT;
  bool has_photometric = false;
};

// The current directory's layout, with the defaults of absent tags.
TiffLayout ReadTiffLayout(TIFF* tiff);

// Floating-point samples of 16, 32 or 64 bits.
bool HasFloatSamples(const TiffLayout& layout);
// Whether the reader takes samples of this size and format: 1 to 16 bits as
// unsigned integers, 32-bit integers, and 16-, 32- or 64-bit floats.
bool SampleSizeRead(const TiffLayout& layout);

// Clears the comments and sends the ImageDescription to them.
void SendTiffDescription(TIFF* tiff);
