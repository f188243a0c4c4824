// PCX (Paintbrush): 1, 2, 4 or 8 bits per plane, one or more planes, run-length
// coded rows. The writer always writes one 8-bit plane with a 256-colour
// palette at the end of the file.
#pragma once

#include <string>

#include "image/palette.h"
#include "image/picture_formats.h"

struct InputStream;
class TImage;
class TProfile;
class TDither;

// Reads from the stream's current position (the file's first byte). Refuses
// (logged as "PCX Error: %s", the placeholder kept) a short header, a size out
// of range or a depth it does not unpack.
LoadStatus ReadPcx(InputStream* stream, TImage& image, const TProfile* settings);

// Writes the current view, quantized to at most 256 colours. 0 when written,
// 1 when the file could not be written completely.
int WritePcx(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette* display_palette);

// Joins ReadPcx and WritePcx to LoadImage and SaveImage.
void RegisterPcxFormat();
