#include "formats/tiff_layout.h"

#include <algorithm>

#include "platform/log_sink.h"

TiffLayout ReadTiffLayout(TIFF* tiff) {
  TiffLayout layout;
  std::uint16_t value16 = 0;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &layout.planar);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &layout.compression);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &layout.orientation);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &layout.sample_format);
  layout.has_photometric = TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &layout.photometric) != 0;
  const std::uint32_t full_scale = (std::uint32_t{1} << std::min<int>(layout.bits, 16)) - 1;
  layout.min_value = TIFFGetField(tiff, TIFFTAG_MINSAMPLEVALUE, &value16) ? value16 : 0;
  layout.max_value = TIFFGetField(tiff, TIFFTAG_MAXSAMPLEVALUE, &value16) ? value16 : full_scale;
  if (layout.max_value < layout.min_value) layout.max_value = full_scale;
  return layout;
}

bool HasFloatSamples(const TiffLayout& layout) {
  return layout.sample_format == SAMPLEFORMAT_IEEEFP &&
         (layout.bits == kMaxBitsPerSample || layout.bits == kWordBitsPerSample ||
          layout.bits == kDoubleBitsPerSample);
}

bool SampleSizeRead(const TiffLayout& layout) {
  if (HasFloatSamples(layout)) return true;
  if (layout.bits == kWordBitsPerSample) {
    return layout.sample_format == SAMPLEFORMAT_UINT || layout.sample_format == SAMPLEFORMAT_INT;
  }
  return layout.bits >= 1 && layout.bits <= kMaxBitsPerSample;
}

void SendTiffDescription(TIFF* tiff) {
  AddCommentChar(0);
  const char* description = nullptr;
  if (!TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description) || description == nullptr) return;
  for (const char* c = description; *c != '\0'; ++c) AddCommentChar(static_cast<unsigned char>(*c));
}
