#include "formats/webp.h"

#include "image/picture_formats.h"

namespace {
LoadStatus ReadWebpFile(InputStream* stream, const std::string&, TImage& image,
                        const TProfile* settings) {
  return ReadWebp(stream, image, settings);
}
}  // namespace

void RegisterWebpFormat() {
  RegisterPictureReader(PictureFormat::Webp, ReadWebpFile);
}
