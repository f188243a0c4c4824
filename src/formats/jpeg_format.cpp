#include "formats/jpeg.h"
#include "image/picture_formats.h"

namespace {

LoadStatus ReadJpegFile(InputStream* stream, const std::string& /*path*/, TImage& image,
                        const TProfile* settings) {
  return ReadJpeg(stream, image, settings);
}

}  // namespace

void RegisterJpegFormat() {
  RegisterPictureReader(PictureFormat::Jpeg, ReadJpegFile);
  RegisterPictureWriter(PictureFormat::Jpeg, WriteJpeg);
}
