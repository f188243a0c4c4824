#include "formats/png.h"

#include "image/picture_formats.h"

namespace {
LoadStatus ReadPngFile(InputStream* stream, const std::string&, TImage& image,
                       const TProfile* settings) {
  return ReadPng(stream, image, settings);
}
}  // namespace

void RegisterPngFormat() {
  RegisterPictureReader(PictureFormat::Png, ReadPngFile);
  RegisterPictureWriter(PictureFormat::Png, WritePng);
}
