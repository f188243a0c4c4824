// A printed page as a one-page PDF: the picture's raster at the reduced size
// it was prepared at, enlarged by the print factor with nearest-pixel
// filtering, so the printer replicates pixels instead of blurring them.
#pragma once

#include <string>

#include "platform/geometry.h"
#include "platform/printer_page.h"

class TSurface;

// Writes `picture` (device pixels of `page`, a multiple of `factor` each way)
// as a page of the page's physical size titled `title`. The raster is taken
// at every `factor`-th pixel. False, with no file left, when it fails.
bool WritePdfPage(const std::string& path, const std::string& title,
                  const PrinterPageMetrics& metrics, const TSurface& page, const Rect& picture,
                  int factor);
