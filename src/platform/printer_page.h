// A printer page as a device: a true-colour surface of the page in device
// pixels, white like paper, with the physical size and resolution that the
// print layout divides into margins. The printing backend sends the finished
// surface to the printer.
#pragma once

#include <memory>

#include "platform/device_context.h"
#include "platform/surface.h"

struct PrinterPageMetrics {
  int width_mm = 210;
  int height_mm = 297;
  int pixels_per_inch_x = 300;
  int pixels_per_inch_y = 300;
};

class TPrinterPage {
 public:
  // Null when a size or resolution is not positive or the page would be too large.
  static std::unique_ptr<TPrinterPage> Create(const PrinterPageMetrics& metrics);

  const PrinterPageMetrics& Metrics() const { return metrics_; }
  // Device pixels: millimetres × pixels per inch / 25.4, rounded.
  Size PixelSize() const { return Size{surface_->Width(), surface_->Height()}; }
  TSurface& Surface() { return *surface_; }
  // A context for drawing the page; its mapping mode starts as the identity.
  TDeviceContext DeviceContext() { return TDeviceContext(*surface_, nullptr); }

 private:
  TPrinterPage(const PrinterPageMetrics& metrics, std::unique_ptr<TSurface> surface)
      : metrics_(metrics), surface_(std::move(surface)) {}

  PrinterPageMetrics metrics_;
  std::unique_ptr<TSurface> surface_;
};

// Device pixels of a length in millimetres at a resolution, rounded; 0 for
// lengths or resolutions that are not positive.
int MillimetresToPixels(int millimetres, int pixels_per_inch);
