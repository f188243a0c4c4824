// TIFF through libtiff. The reader turns bilevel, grey, palette and RGB
// strips into pictures itself and lets libtiff's RGBA reading serve every
// other kind (YCbCr, CMYK, tiled, JPEG-compressed); the writer writes
// bilevel, palette or RGB strips, uncompressed, CCITT or LZW.
#pragma once

#include <string>

#include "image/palette.h"
#include "image/picture_formats.h"

struct InputStream;
class TImage;
class TProfile;
class TDither;

// Takes the stream over (reads it from offset 0) and closes it. `settings`
// may be null. A refused file (libtiff cannot open it, no
// PhotometricInterpretation, more than 16 bits per sample, a size beyond
// 2^20 or whose decoding would pass the reader's bounds) leaves the picture
// as it was; the reader's refusals are logged as "TIFF Error: %s", libtiff's
// errors and warnings as libtiff words them.
LoadStatus ReadTiff(InputStream* stream, TImage& image, const TProfile* settings,
                    const std::string& path);

// Returns 0 when written; 1 when the output is empty, the file cannot be
// created, a row cannot be written or the write was cancelled.
int WriteTiff(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
              const LogPalette* display_palette);

void RegisterTiffFormat();
