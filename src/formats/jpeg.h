// JPEG (JFIF) through libjpeg-turbo. The reader decodes to 24-bit colour, to
// 256 grey levels, or to a palette of 256 colours chosen by the library's
// two-pass quantizer; the writer compresses the current view.
#pragma once

#include <string>

#include "image/palette.h"
#include "image/picture_formats.h"

struct InputStream;
class TImage;
class TDither;
class TProfile;

// `stream` is positioned at the 0xFF 0xD8 0xFF signature. `settings` may be
// null (defaults, no reduction). Errors and warnings of the library are logged
// as "JPEG Error: %s" / "JPEG Warning: %s"; rows decoded before an error stay.
// An error before the picture is created refuses the file.
LoadStatus ReadJpeg(InputStream* stream, TImage& image, const TProfile* settings);

// Returns 0 when written, 1 when the file could not be created, the library
// reported an error or the write was cancelled (the target is then left as it was).
int WriteJpeg(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
              const LogPalette* display_palette);

void RegisterJpegFormat();
