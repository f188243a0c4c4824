#include "formats/register_formats.h"

#include "formats/pcx.h"
#include "formats/tga.h"

void RegisterPictureFormats() {
  RegisterPcxFormat();
  RegisterTgaFormat();
}
