#include "formats/pcx.h"
#include "image/picture_formats.h"

namespace {

LoadStatus ReadPcxFile(InputStream* stream, const std::string& /*path*/, TImage& image,
                       const TProfile* settings) {
  return ReadPcx(stream, image, settings);
}

}  // namespace

void RegisterPcxFormat() {
  RegisterPictureReader(PictureFormat::Pcx, ReadPcxFile);
  RegisterPictureWriter(PictureFormat::Pcx, WritePcx);
}
