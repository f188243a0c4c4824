#include "formats/gif_format.h"

#include "image/picture_formats.h"

namespace {
LoadStatus ReadGifFile(InputStream* stream, const std::string&, TImage& image,
                       const TProfile* settings) {
  return ReadGif(stream, image, settings);
}
}  // namespace

void RegisterGifFormat() {
  RegisterPictureReader(PictureFormat::Gif, ReadGifFile);
  RegisterPictureWriter(PictureFormat::Gif, WriteGif);
}
