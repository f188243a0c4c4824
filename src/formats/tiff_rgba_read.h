// The kinds of TIFF the reader does not convert itself (YCbCr, CMYK, tiled,
// JPEG-compressed, separate planes, 9 to 15 bits) through libtiff's RGBA
// conversion, reading only the rows the picture keeps.
#pragma once

#include <tiffio.h>

#include "formats/tiff_decode_plan.h"
#include "formats/tiff_layout.h"
#include "image/image_limits.h"
#include "image/picture_formats.h"

class TImage;

// Refuses (logged) what libtiff cannot convert and files whose decoding would
// pass the plan's bounds; otherwise creates a 24-bit picture. With
// `upright_by_tag` the rows are kept as stored and the picture's upright
// orientation comes from the tag; otherwise libtiff flips them top-left.
LoadStatus ReadTiffThroughRgba(TIFF* tiff, const TiffLayout& layout, const TiffUnits& units,
                               TImage& image, int reduction, PictureLimit limit,
                               bool upright_by_tag);
