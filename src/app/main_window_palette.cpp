// The screen palette: the engine decides which palette the window realizes
// and whether the picture is dithered; this realizes it on the display and
// keeps the realized palette for painting.
#include <memory>

#include "app/main_window.h"
#include "image/display_palette.h"
#include "platform/display.h"

namespace {
class ScreenPalette final : public PaletteDisplay {
 public:
  ScreenPalette(TDisplay& display, WindowId window) : display_(display), window_(window) {}

  int BitsPerPixel() const override { return display_.Depth(); }
  bool HasPalette() const override { return display_.HasPaletteCaps(); }
  void RealizePalette(const LogPalette& palette) override {
    last_ = std::make_unique<TPalette>(
        std::span<const PaletteColour>(palette.entries.data(), palette.count));
    display_.RealizePalette(*last_, window_);
  }
  PaletteEntry SystemPaletteEntry(int index) const override {
    PaletteColour entry;
    display_.GetSystemPaletteEntries(index, 1, &entry);
    return entry;
  }
  PaletteEntry NearestColor(const PaletteEntry& colour) const override {
    const ColorRef shown = display_.GetNearestColor(ToColorRef(colour));
    return PaletteEntry{static_cast<std::uint8_t>(RedOf(shown)),
                        static_cast<std::uint8_t>(GreenOf(shown)),
                        static_cast<std::uint8_t>(BlueOf(shown)), 0};
  }
  // The palette realized last: the one the window keeps.
  std::unique_ptr<TPalette> TakeLast() { return std::move(last_); }

 private:
  TDisplay& display_;
  WindowId window_;
  std::unique_ptr<TPalette> last_;
};
}  // namespace

void TZentropeWin::BuildDisplayPalette(bool repaint) {
  palette_.reset();
  DisplayPicture picture;
  image_->GetPalette(picture.palette, picture.percentages.data());
  picture.is_24bit = image_->GetBytesPerPixel() > 1;
  ScreenPalette display(Display(), window_->Id());
  const DisplayPalettePlan plan = BuildDisplayPalettePlan(
      dither_, display, picture, DisplayPaletteSettingsFrom(settings_), repaint);
  if (plan.erase_background) ErasePage(false);
  if (plan.has_window_palette) palette_ = display.TakeLast();
  if (repaint) RefreshFrame(false);
}
