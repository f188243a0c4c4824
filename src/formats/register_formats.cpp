#include "formats/register_formats.h"

#include "formats/bmp_format.h"
#include "formats/gif_format.h"
#include "formats/jpeg.h"
#include "formats/pcx.h"
#include "formats/png.h"
#include "formats/tga.h"
#include "formats/tiff.h"
#include "formats/webp.h"

void RegisterPictureFormats() {
  RegisterGifFormat();
  RegisterBmpFormat();
  RegisterPcxFormat();
  RegisterTgaFormat();
  RegisterJpegFormat();
  RegisterTiffFormat();
  RegisterPngFormat();
  RegisterWebpFormat();
}
