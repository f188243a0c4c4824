// Targa: colour-mapped, true-colour and greyscale pictures, plain or
// run-length coded, 8 to 32 bits per pixel. The writer writes run-length
// coded files with the origin at the top left.
#pragma once

#include <string>

#include "image/palette.h"
#include "image/picture_formats.h"

struct InputStream;
class TImage;
class TProfile;
class TDither;

// Reads from the stream's current position (the file's first byte). Refuses
// (logged as "TGA Error: %s", the placeholder kept) a header that fails its
// tests. The identification field goes to the comments.
LoadStatus ReadTga(InputStream* stream, TImage& image, const TProfile* settings);

// Writes the current view: colour-mapped (type 9) for palette pictures,
// true-colour (type 10) for 24-bit ones. 0 when written; 1 when the file could
// not be created or written, or the write was cancelled (the partial file is
// removed).
int WriteTga(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette* display_palette);

// Joins ReadTga and WriteTga to LoadImage and SaveImage.
void RegisterTgaFormat();
