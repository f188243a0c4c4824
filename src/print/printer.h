// TWinPrinter: the current printer (a CUPS destination, or a PDF file next to
// the picture when CUPS offers none), its paper and orientation, the print
// and set-up dialogs, and the running of one printout: the page drawn at the
// printer's resolution, written as a PDF and sent as a job that a cancel
// request stops.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/cups/cups_printer.h"
#include "platform/message.h"
#include "platform/printer_page.h"

class DialogService;
class ModelessDialog;
class TWinPrintout;

// The resolution pages are drawn at when the printer tells none.
inline constexpr int kPrintResolution = 300;

enum class PrintOutcome { kPrinted, kCancelled, kFailed };

struct PrintResult {
  PrintOutcome outcome = PrintOutcome::kFailed;
  std::string destination;  // the printer's name, or the PDF file written
  bool to_file = false;
  int job_id = 0;
  std::string error;
};

// What the printer asks of CUPS; tests put in their own.
struct PrinterServices {
  std::function<std::vector<PrinterDestination>()> list = ListPrinters;
  std::function<std::vector<PaperSize>(const std::string&)> papers = PrinterPaperSizes;
  std::function<std::optional<PrinterResolution>(const std::string&)> resolution =
      DestinationResolution;
  std::function<JobResult(const std::string&, const std::string&, const std::string&,
                          const std::function<bool()>&)>
      submit = SubmitPdfJob;
};

class TWinPrinter {
 public:
  explicit TWinPrinter(PrinterServices services = {});

  // Empty: pages go to a PDF file next to the picture.
  const std::string& PrinterName() const { return printer_; }
  const PaperSize& Paper() const { return paper_; }
  bool Landscape() const { return landscape_; }
  // Pixels per inch of the portrait sheet: the printer's own, else kPrintResolution.
  const PrinterResolution& Resolution() const { return resolution_; }
  // Chooses the default destination again, with its default paper.
  void SelectDefault();
  void Select(const std::string& printer);
  void SetPaper(const PaperSize& paper) { paper_ = paper; }
  void SetLandscape(bool landscape) { landscape_ = landscape; }
  // The page as the printer draws it: paper in the chosen orientation.
  PrinterPageMetrics PageMetrics() const;

  // The print dialog (TWinPrintDlg); true when the user pressed OK, and the
  // chosen printer is then current.
  bool ExecPrintDialog(DialogService& dialogs, WindowId owner);
  // The set-up dialog: printer, paper size, orientation.
  void Setup(DialogService& dialogs, WindowId owner);

  // Runs the printout without a further prompt. `pdf_file` is where the page
  // goes when there is no printer.
  PrintResult Print(TWinPrintout& printout, const std::string& pdf_file);

 private:
  std::vector<std::string> DestinationNames() const;
  // The printer's paper sizes, or A4 alone where it tells none.
  std::vector<PaperSize> PapersOf(const std::string& printer) const;
  PrintResult Submit(const std::string& pdf, const std::string& title, const ModelessDialog* abort);

  PrinterServices services_;
  std::string printer_;
  PaperSize paper_;
  PrinterResolution resolution_{kPrintResolution, kPrintResolution};
  bool landscape_ = false;
};

// "<folder>/<name>.pdf" beside `path`, or the first of "<name>-2.pdf",
// "<name>-3.pdf", ... that does not exist yet, so no file is replaced.
std::string PdfFileBeside(const std::string& path, const std::string& name);
