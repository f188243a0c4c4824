#include "print/print_job.h"

#include <memory>
#include <string>

#include "image/image.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/path.h"
#include "print/print_host.h"
#include "print/print_messages.h"
#include "print/printer.h"
#include "print/printout.h"
#include "settings/profile.h"

namespace {
bool SheetShown(const TProfile& settings) {
  return settings.Get(IntKey::ThumbnailsEnable) != 0 &&
         (settings.Get(IntKey::ThumbnailsAcross) > 1 || settings.Get(IntKey::ThumbnailsDown) >= 2);
}

void Report(PrintHost& window, const std::string& title, const PrintResult& result,
            bool with_dialog) {
  switch (result.outcome) {
    case PrintOutcome::kPrinted:
      LogLine(result.to_file ? kPrintedToFileLog : kPrintedLog, title, result.destination);
      return;
    case PrintOutcome::kCancelled:
      LogLine(kPrintCancelledLog, title);
      return;
    case PrintOutcome::kFailed:
      LogLine(kPrintFailedLog, title, result.error);
      if (with_dialog) {
        MessageBox(window.Dialogs(), window.Owner(),
                   FormatLogText(kPrintErrorText, title, result.error), kPrintErrorCaption,
                   MessageBoxIcon::kExclamation);
      }
      return;
  }
}
}  // namespace

bool RunPrintCommand(PrintHost& window, TWinPrinter& printer, bool with_dialog) {
  const bool sheet = SheetShown(window.Settings());
  const std::string title = sheet ? kSheetJobTitle : window.PictureName();
  if (with_dialog && !printer.ExecPrintDialog(window.Dialogs(), window.Owner())) return false;

  window.RunWaitingMessages();
  window.SetPrinting(true);
  std::unique_ptr<TImage> shown;
  if (sheet) {
    if (std::unique_ptr<TImage> picture = window.CaptureSheet()) {
      shown = window.ExchangePicture(std::move(picture));
    }
  }
  TWinPrintout printout(title, window);
  // The abort: a cancel request while the page is drawn or sent stops the job.
  const bool outer_operation = IsLongOperation();
  if (!outer_operation) BeginLongOperation();
  const std::string path = window.PicturePath();
  const PrintResult result =
      printer.Print(printout, PdfFileBeside(path, sheet ? title : SplitPath(path).name));
  if (!outer_operation) EndLongOperation();
  if (shown) window.ExchangePicture(std::move(shown));
  window.SetPrinting(false);
  window.PrintingDone();
  Report(window, title, result, with_dialog);
  return result.outcome == PrintOutcome::kPrinted;
}
