// GIF 87a/89a: the reader paints every image of a file onto one canvas; the
// writer saves the current view as one LZW-coded (or uncompressed) image.
#pragma once

#include <string>

#include "image/palette.h"
#include "image/picture_formats.h"

struct InputStream;
class TImage;
class TDither;
class TProfile;

// The widest and tallest screen read without FullResolution.
inline constexpr int kGifClassicMaxSide = 8192;

// `stream` is positioned at the "GIF8" signature. `settings` may be null.
// A header or global colour table cut short, or a screen wider or taller than
// kGifClassicMaxSide without FullResolution, is refused and logged as
// "GIF Error: %s".
LoadStatus ReadGif(InputStream* stream, TImage& image, const TProfile* settings);

// Returns 0 when written, 1 on failure (the reason is in the log).
int WriteGif(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette* display_palette);

void RegisterGifFormat();
