// PNG through libpng: every colour type and depth is read (palette and grey
// pictures stay palette pictures, the others become 24-bit; alpha is composed
// over the background colour); the writer saves palette or 24-bit pictures.
// Text chunks go to the comments window, and the comments come back out as one
// text chunk.
#pragma once

#include <string>

#include "image/palette.h"
#include "image/picture_formats.h"

struct InputStream;
class TImage;
class TDither;
class TProfile;

// `stream` is positioned at the signature. `settings` may be null. libpng's
// errors are logged as "PNG Error: %s"; rows read before an error stay.
LoadStatus ReadPng(InputStream* stream, TImage& image, const TProfile* settings);

// Returns 0 when written, 1 on failure (the reason is in the log).
int WritePng(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette* display_palette);

void RegisterPngFormat();
