// A printed page as a one-page PDF: the area within the margins as a raster
// at the reduced size the picture was prepared at, enlarged by the print
// factor with nearest-pixel filtering, so the printer replicates pixels
// instead of blurring them. The margins stay blank paper.
#pragma once

#include <string>

#include "platform/geometry.h"
#include "platform/printer_page.h"

class TSurface;

// Writes `area` (device pixels of `page`, drawn in blocks of `factor` pixels
// from its top-left corner) as a page of the page's physical size titled
// `title`. The raster is taken at every `factor`-th pixel, and the PDF clips
// it to the area. False, with no file left, when it fails.
bool WritePdfPage(const std::string& path, const std::string& title,
                  const PrinterPageMetrics& metrics, const TSurface& page, const Rect& area,
                  int factor);
