#include "formats/tga.h"
#include "image/picture_formats.h"

namespace {

LoadStatus ReadTgaFile(InputStream* stream, const std::string& /*path*/, TImage& image,
                       const TProfile* settings) {
  return ReadTga(stream, image, settings);
}

}  // namespace

void RegisterTgaFormat() {
  RegisterPictureReader(PictureFormat::Tga, ReadTgaFile);
  RegisterPictureWriter(PictureFormat::Tga, WriteTga);
}
