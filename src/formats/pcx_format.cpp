#include "formats/pcx.h"
#include "image/picture_formats.h"

namespace {

void ReadPcxFile(InputStream* stream, const std::string& /*path*/, TImage& image,
                 const TProfile* settings) {
  ReadPcx(stream, image, settings);
}

}  // namespace

void RegisterPcxFormat() {
  RegisterPictureReader(PictureFormat::Pcx, ReadPcxFile);
  RegisterPictureWriter(PictureFormat::Pcx, WritePcx);
}
