#include "formats/bmp_format.h"

#include "image/image.h"
#include "image/picture_formats.h"

namespace {
LoadStatus ReadBmpFile(InputStream* stream, const std::string&, TImage& image,
                       const TProfile* settings) {
  return ReadBmp(stream, image, settings);
}
}  // namespace

void RegisterBmpFormat() {
  RegisterPictureReader(PictureFormat::Bmp, ReadBmpFile);
  RegisterPictureWriter(PictureFormat::Bmp, WriteBmp);
  RegisterPackedBitmapReader(ReadBmpFromMemory);
}
