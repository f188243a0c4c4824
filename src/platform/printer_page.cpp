#include "platform/printer_page.h"

#include <cstdint>
#include <limits>

namespace {
// Tenths of a millimetre per inch.
constexpr std::int64_t kTenthMillimetresPerInch = 254;
}  // namespace

int MillimetresToPixels(int millimetres, int pixels_per_inch) {
  if (millimetres <= 0 || pixels_per_inch <= 0) return 0;
  const std::int64_t pixels =
      (std::int64_t{millimetres} * pixels_per_inch * 10 + kTenthMillimetresPerInch / 2) /
      kTenthMillimetresPerInch;
  return pixels > std::numeric_limits<int>::max() ? 0 : static_cast<int>(pixels);
}

std::unique_ptr<TPrinterPage> TPrinterPage::Create(const PrinterPageMetrics& metrics) {
  const int width = MillimetresToPixels(metrics.width_mm, metrics.pixels_per_inch_x);
  const int height = MillimetresToPixels(metrics.height_mm, metrics.pixels_per_inch_y);
  auto surface = TSurface::Create(width, height, 24);
  if (!surface) return nullptr;
  TDeviceContext dc(*surface, nullptr);
  dc.FillRect(surface->Bounds(), MakeRgb(255, 255, 255));
  return std::unique_ptr<TPrinterPage>(new TPrinterPage(metrics, std::move(surface)));
}
