#include "formats/jpeg.h"
#include "image/picture_formats.h"

namespace {

void ReadJpegFile(InputStream* stream, const std::string& /*path*/, TImage& image,
                  const TProfile* settings) {
  ReadJpeg(stream, image, settings);
}

}  // namespace

void RegisterJpegFormat() {
  RegisterPictureReader(PictureFormat::Jpeg, ReadJpegFile);
  RegisterPictureWriter(PictureFormat::Jpeg, WriteJpeg);
}
