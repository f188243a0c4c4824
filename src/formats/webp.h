// WebP through libwebp, read only: lossy and lossless pictures, and the first
// frame of an animation, as 24-bit pictures; alpha is composed over the
// background colour.
#pragma once

#include "image/picture_formats.h"

struct InputStream;
class TImage;
class TProfile;

// `stream` is positioned at the "RIFF" signature. `settings` may be null.
// Refusals and decoding errors are logged as "WebP Error: %s"; rows decoded
// before an error stay.
LoadStatus ReadWebp(InputStream* stream, TImage& image, const TProfile* settings);

void RegisterWebpFormat();
