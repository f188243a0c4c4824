#include "print/pdf_page.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/surface.h"

namespace {
constexpr double kPointsPerInch = 72.0;
constexpr double kMillimetresPerInch = 25.4;

struct SurfaceRelease {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using ContextPtr = std::unique_ptr<cairo_t, ContextRelease>;

double Points(int millimetres) {
  return millimetres * kPointsPerInch / kMillimetresPerInch;
}

// Every `factor`-th device pixel of the area, as a cairo image; a last block
// cut short by the area's edge still gives its pixel.
SurfacePtr ReducedRaster(const TSurface& page, const Rect& area, int factor) {
  const int width = (area.Width() + factor - 1) / factor;
  const int height = (area.Height() + factor - 1) / factor;
  SurfacePtr raster(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  if (cairo_surface_status(raster.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(raster.get());
  unsigned char* data = cairo_image_surface_get_data(raster.get());
  const int stride = cairo_image_surface_get_stride(raster.get());
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < width; ++x) {
      // Both hold 0x00RRGGBB in a 32-bit word.
      row[x] = page.PixelAt(area.left + x * factor, area.top + y * factor);
    }
  }
  cairo_surface_mark_dirty(raster.get());
  return raster;
}

bool DrawPage(cairo_surface_t* pdf, cairo_surface_t* raster, const PrinterPageMetrics& metrics,
              const Rect& area, int factor) {
  ContextPtr cr(cairo_create(pdf));
  const double scale_x = kPointsPerInch / metrics.pixels_per_inch_x;
  const double scale_y = kPointsPerInch / metrics.pixels_per_inch_y;
  cairo_rectangle(cr.get(), area.left * scale_x, area.top * scale_y, area.Width() * scale_x,
                  area.Height() * scale_y);
  cairo_clip(cr.get());
  cairo_translate(cr.get(), area.left * scale_x, area.top * scale_y);
  cairo_scale(cr.get(), factor * scale_x, factor * scale_y);
  cairo_set_source_surface(cr.get(), raster, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_NEAREST);
  cairo_paint(cr.get());
  cairo_show_page(cr.get());
  return cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
}
}  // namespace

bool WritePdfPage(const std::string& path, const std::string& title,
                  const PrinterPageMetrics& metrics, const TSurface& page, const Rect& area,
                  int factor) {
  if (factor < 1 || metrics.pixels_per_inch_x <= 0 || metrics.pixels_per_inch_y <= 0) return false;
  bool written = false;
  {
    SurfacePtr pdf(cairo_pdf_surface_create(path.c_str(), Points(metrics.width_mm),
                                            Points(metrics.height_mm)));
    if (cairo_surface_status(pdf.get()) != CAIRO_STATUS_SUCCESS) return false;
    cairo_pdf_surface_set_metadata(pdf.get(), CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(pdf.get(), CAIRO_PDF_METADATA_CREATOR, "Zentrope");
    const Rect shown = Intersect(area, page.Bounds());
    SurfacePtr raster = shown.IsEmpty() ? nullptr : ReducedRaster(page, shown, factor);
    if (raster) {
      written = DrawPage(pdf.get(), raster.get(), metrics, shown, factor);
    } else {
      // A page with nothing on it is still a page.
      ContextPtr cr(cairo_create(pdf.get()));
      cairo_show_page(cr.get());
      written = cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
    }
    cairo_surface_finish(pdf.get());
    written = written && cairo_surface_status(pdf.get()) == CAIRO_STATUS_SUCCESS;
  }
  if (!written) std::remove(path.c_str());
  return written;
}
