#include "formats/tiff.h"
#include "formats/tiff_bridge.h"
#include "image/picture_formats.h"

namespace {

LoadStatus ReadTiffFile(InputStream* stream, const std::string& path, TImage& image,
                        const TProfile* settings) {
  return ReadTiff(stream, image, settings, path);
}

}  // namespace

void RegisterTiffFormat() {
  InstallTiffMessageHandlers();
  RegisterPictureReader(PictureFormat::Tiff, ReadTiffFile);
  RegisterPictureWriter(PictureFormat::Tiff, WriteTiff);
}
