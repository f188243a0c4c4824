#include "print/printout.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <utility>

#include "image/dither.h"
#include "image/image.h"
#include "platform/long_operation.h"
#include "print/print_host.h"
#include "print/print_palette.h"
#include "settings/profile.h"

namespace {
constexpr int kBytesPerColourPixel = 3;

std::vector<ColorRef> RawColours(const TImage& image) {
  LogPalette palette;
  image.GetPalette(palette, nullptr);
  std::vector<ColorRef> table;
  for (int i = 0; i < palette.count && i < kMaxPaletteEntries; ++i) {
    const PaletteEntry& entry = palette.entries[i];
    table.push_back(MakeRgb(entry.red, entry.green, entry.blue));
  }
  return table;
}
}  // namespace

TWinPrintout::TWinPrintout(std::string title, PrintHost& window)
    : title_(std::move(title)), window_(window) {}

PrintMargins TWinPrintout::Margins() const {
  const TProfile& settings = window_.Settings();
  return PrintMargins{settings.Get(IntKey::TopMargin), settings.Get(IntKey::LeftMargin),
                      settings.Get(IntKey::RightMargin), settings.Get(IntKey::BottomMargin)};
}

bool TWinPrintout::Dithered() const {
  return window_.Settings().Get(IntKey::PrintDithered) != 0;
}

void TWinPrintout::BeginPrinting(TPrinterPage& page) {
  const PrinterPageMetrics& metrics = page.Metrics();
  TImage& image = window_.Picture();
  const int rotate = window_.Settings().Get(IntKey::Rotate);
  const bool transposed = (rotate & kOrientTranspose) != 0;
  const Size picture =
      transposed ? Size{image.height, image.width} : Size{image.width, image.height};
  targets_ = ReducePrintArea(PrintArea(metrics, page.PixelSize(), Margins()), picture, Dithered());
  image.SetOutputSize(targets_.reduced.width, targets_.reduced.height, metrics.pixels_per_inch_x,
                      metrics.pixels_per_inch_y, rotate, true, true);
  if (window_.Loading()) {
    colour_table_ = RawColours(image);
    lines_indexed_ = image.GetBytesPerPixel() == 1;
    return;
  }
  colour_table_ = SetUpPrintColours(window_.Dither(), image, window_.Settings());
  lines_indexed_ = !colour_table_.empty();
}

bool TWinPrintout::PrintPage(TPrinterPage& page) {
  TImage& image = window_.Picture();
  TDither& dither = window_.Dither();
  TDeviceContext dc = page.DeviceContext();
  const Point offset = PrintOffset(page.Metrics(), page.PixelSize(), Margins());
  const MappingMode saved = dc.SetMappingMode(PrintMapping(targets_, offset));

  const ImageBounds output = image.GetOutputRect();
  const Rect picture{output.left, output.top, output.right, output.bottom};
  const int width = std::min(picture.Width(), kMaxOutputSize);
  const int picture_bytes = image.GetBytesPerPixel();
  const int line_bytes = lines_indexed_ ? 1 : kBytesPerColourPixel;
  const DibLineFormat format =
      lines_indexed_ ? DibLineFormat::kIndexedRgbTable : DibLineFormat::kBgr24;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(kMaxOutputSize) * kBytesPerColourPixel);
  dither.ResetErrors();
  bool cancelled = false;
  for (int y = picture.top; y < picture.bottom; ++y) {
    const int percent = (y - picture.top) * 100 / (picture.Height() + 1);
    if (IsLongOperation() && PollLongOperation(percent)) {
      cancelled = true;
      break;
    }
    image.GetOutputRow(picture.left, y, line.data(), width);
    dither.DitherLine(line.data(), width, picture_bytes);
    const std::span<const std::uint8_t> bits(line.data(),
                                             static_cast<std::size_t>(width) * line_bytes);
    dc.DrawDibLine(picture.left, y, width, bits, format, colour_table_);
  }
  picture_on_page_ = Intersect(dc.LogicalToDevice(picture), page.Surface().Bounds());
  dc.SetMappingMode(saved);
  return !cancelled;
}
