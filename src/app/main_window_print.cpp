// The main window as the printer's host: its picture, dithering engine and
// settings, the thumbnail sheet as one picture, and the printing mark that
// holds painting and the slideshow while a job runs, and the abort dialog
// over the window.
#include <memory>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "platform/log_sink.h"
#include "platform/packed_dib.h"
#include "print/print_host.h"
#include "print/print_job.h"
#include "print/print_messages.h"

class TWindowPrintHost final : public PrintHost {
 public:
  explicit TWindowPrintHost(TZentropeWin& window) : window_(window) {}

  TProfile& Settings() override { return window_.settings_; }
  TImage& Picture() override { return *window_.image_; }
  TDither& Dither() override { return window_.dither_; }
  bool Loading() const override { return window_.loading_; }
  DialogService& Dialogs() override { return window_.backend_.Dialogs(); }
  WindowId Owner() const override { return window_.window_->Id(); }
  std::string PicturePath() const override { return window_.names_[kImagePath]; }
  std::string PictureName() const override { return window_.names_[kImageName]; }
  void RunWaitingMessages() override { window_.RunWaitingMessages(); }
  void SetPrinting(bool printing) override { window_.printing_ = printing; }

  // The client area as shown, from the page bitmap or else the screen.
  std::unique_ptr<TImage> CaptureSheet() override {
    TWindow& window = *window_.window_;
    const TSurface& source = window_.page_ ? *window_.page_ : window.ScreenSurface();
    std::vector<std::uint8_t> packed =
        CapturePackedDib(source, window.ClientRect(), window_.palette_.get());
    if (packed.empty()) return nullptr;
    auto sheet = std::make_unique<TImage>();
    if (!sheet->AdoptBitmap(TDib::FromPacked(std::move(packed)))) return nullptr;
    return sheet;
  }

  std::unique_ptr<TImage> ExchangePicture(std::unique_ptr<TImage> picture) override {
    return std::exchange(window_.image_, std::move(picture));
  }

  void PrintingDone() override {
    window_.BuildDisplayPalette(false);
    window_.RefreshFrame(false);
  }

  std::unique_ptr<ModelessDialog> OpenModelessDialog(const DialogTemplate& dialog) override {
    return window_.backend_.OpenModelessDialog(dialog, window_.window_->Id());
  }

 private:
  TZentropeWin& window_;
};

TWinPrinter& TZentropeWin::Printer() {
  if (!printer_) printer_ = std::make_unique<TWinPrinter>();
  return *printer_;
}

bool TZentropeWin::Print(bool with_dialog) {
  // A picture that did not load would print as its placeholder.
  if (!SheetOn(Sheet()) && !picture_loaded_) {
    LogLine(kPrintFailedLog, names_[kImageName], kPictureNotReadReason);
    return false;
  }
  TWindowPrintHost host(*this);
  return RunPrintCommand(host, Printer(), with_dialog);
}
