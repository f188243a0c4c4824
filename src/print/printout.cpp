#include "print/printout.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "image/dither.h"
#include "image/image.h"
#include "image/image_limits.h"
#include "image/picture_rows.h"
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

ColorRef TWinPrintout::Background() const {
  const TProfile& settings = window_.Settings();
  const ColorRef background =
      MakeRgb(settings.Get(IntKey::BackgroundRed), settings.Get(IntKey::BackgroundGreen),
              settings.Get(IntKey::BackgroundBlue));
  if (!Dithered()) return background;
  return NearestPrintColour(background, settings.Get(IntKey::PrintInColor) != 0);
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
  const Point offset = PrintOffset(page.Metrics(), page.PixelSize(), Margins());
  printable_ =
      Intersect(Rect::FromSize(offset.x, offset.y, targets_.full.width, targets_.full.height),
                page.Surface().Bounds());
  TDeviceContext dc = page.DeviceContext();
  // The picture never shrinks below the smallest output, so on a narrow area
  // its enlarged rows would reach into the margin.
  dc.SetClipRect(printable_);
  const MappingMode saved = dc.SetMappingMode(PrintMapping(targets_, offset));
  // The area in logical units, rounded out: the clip trims the last pixels.
  const int factor = std::max(1, targets_.factor);
  const Rect area{0, 0, (targets_.full.width + factor - 1) / factor,
                  (targets_.full.height + factor - 1) / factor};
  const Rect picture = PictureRect(image, Point{});
  FillAroundPicture(dc, area, picture, Background());

  const RowFormat format{lines_indexed_ ? DibLineFormat::kIndexedRgbTable : DibLineFormat::kBgr24,
                         colour_table_};
  line_.resize(static_cast<std::size_t>(kMaxOutputSize) * kBytesPerColourPixel);
  window_.Dither().ResetErrors();
  bool cancelled = false;
  Rect pending = Intersect(picture, area);
  PaintPictureRows(image, window_.Dither(), dc, Point{}, pending, format, line_,
                   std::numeric_limits<int>::max(), [&](int y) {
                     const int percent = (y - picture.top) * 100 / (picture.Height() + 1);
                     cancelled = IsLongOperation() && PollLongOperation(percent);
                     return !cancelled;
                   });
  dc.SetMappingMode(saved);
  return !cancelled;
}
