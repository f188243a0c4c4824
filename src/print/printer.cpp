#include "print/printer.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "platform/dialogs.h"
#include "platform/long_operation.h"
#include "platform/path.h"
#include "platform/temp_file.h"
#include "print/pdf_page.h"
#include "print/print_dialogs.h"
#include "print/print_messages.h"
#include "print/printout.h"

namespace {
constexpr int kLastFileNumber = 999;
constexpr const char* kUnnamedPage = "page";

PaperSize DefaultPaper() {
  return PaperSize{"iso_a4_210x297mm", "A4", 210, 297};
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

// Removes the temporary PDF however the job ends.
struct FileRemover {
  std::string path;
  ~FileRemover() {
    if (!path.empty()) ::unlink(path.c_str());
  }
};
}  // namespace

std::string PdfFileBeside(const std::string& path, const std::string& name) {
  PathParts parts = SplitPath(path);
  parts.name = name.empty() ? kUnnamedPage : name;
  parts.extension = ".pdf";
  std::string candidate = JoinPath(parts);
  for (int number = 2; Exists(candidate) && number <= kLastFileNumber; ++number) {
    parts.name = (name.empty() ? kUnnamedPage : name) + std::string("-") + std::to_string(number);
    candidate = JoinPath(parts);
  }
  return candidate;
}

TWinPrinter::TWinPrinter(PrinterServices services) : services_(std::move(services)) {
  SelectDefault();
}

void TWinPrinter::SelectDefault() {
  const std::vector<PrinterDestination> printers = services_.list();
  Select(printers.empty() ? std::string() : printers.front().name);
}

void TWinPrinter::Select(const std::string& printer) {
  printer_ = printer;
  const std::vector<PaperSize> papers =
      printer.empty() ? std::vector<PaperSize>{} : services_.papers(printer);
  paper_ = papers.empty() ? DefaultPaper() : papers.front();
}

PrinterPageMetrics TWinPrinter::PageMetrics() const {
  PrinterPageMetrics metrics;
  metrics.width_mm = landscape_ ? paper_.height_mm : paper_.width_mm;
  metrics.height_mm = landscape_ ? paper_.width_mm : paper_.height_mm;
  metrics.pixels_per_inch_x = kPrintResolution;
  metrics.pixels_per_inch_y = kPrintResolution;
  return metrics;
}

std::vector<std::string> TWinPrinter::DestinationNames() const {
  std::vector<std::string> names;
  for (const PrinterDestination& printer : services_.list()) names.push_back(printer.name);
  if (names.empty()) names.push_back(kPdfFileDestination);
  return names;
}

bool TWinPrinter::ExecPrintDialog(DialogService& dialogs, WindowId owner) {
  const std::vector<std::string> names = DestinationNames();
  const auto current = std::find(names.begin(), names.end(), printer_);
  TWinPrintDlg dialog(names,
                      current == names.end() ? 0 : static_cast<int>(current - names.begin()));
  const std::optional<int> chosen = dialog.Execute(dialogs, owner);
  if (!chosen) return false;
  if (*chosen >= 0 && *chosen < static_cast<int>(names.size()) &&
      names[*chosen] != kPdfFileDestination && names[*chosen] != printer_) {
    Select(names[*chosen]);
  }
  return true;
}

void TWinPrinter::Setup(DialogService& dialogs, WindowId owner) {
  const std::vector<std::string> names = DestinationNames();
  const std::vector<PaperSize> papers =
      printer_.empty() ? std::vector<PaperSize>{DefaultPaper()} : services_.papers(printer_);
  std::vector<std::string> paper_names;
  SetupChoice current;
  for (const PaperSize& paper : papers) {
    if (paper.media == paper_.media) current.paper = static_cast<int>(paper_names.size());
    paper_names.push_back(paper.label.empty() ? paper.media : paper.label);
  }
  const auto printer = std::find(names.begin(), names.end(), printer_);
  current.printer = printer == names.end() ? 0 : static_cast<int>(printer - names.begin());
  current.landscape = landscape_;
  TPrintSetupDlg dialog(names, paper_names, current);
  const std::optional<SetupChoice> chosen = dialog.Execute(dialogs, owner);
  if (!chosen) return;
  landscape_ = chosen->landscape;
  const bool same_printer = chosen->printer == current.printer;
  if (chosen->printer >= 0 && chosen->printer < static_cast<int>(names.size()) && !same_printer &&
      names[chosen->printer] != kPdfFileDestination) {
    // Another printer brings its own paper sizes: its default one is taken.
    Select(names[chosen->printer]);
    return;
  }
  if (chosen->paper >= 0 && chosen->paper < static_cast<int>(papers.size())) {
    paper_ = papers[chosen->paper];
  }
}

PrintResult TWinPrinter::Print(TWinPrintout& printout, const std::string& pdf_file) {
  PrintResult result;
  std::unique_ptr<TPrinterPage> page = TPrinterPage::Create(PageMetrics());
  if (!page) {
    result.error = "no memory for the page";
    return result;
  }
  printout.BeginPrinting(*page);
  if (!printout.PrintPage(*page)) {
    result.outcome = PrintOutcome::kCancelled;
    return result;
  }
  if (printer_.empty()) {
    result.to_file = true;
    result.destination = pdf_file;
    if (!WritePdfPage(result.destination, printout.Title(), page->Metrics(), page->Surface(),
                      printout.PictureOnPage(), printout.Targets().factor)) {
      result.error = "cannot write " + result.destination;
      return result;
    }
    result.outcome = PrintOutcome::kPrinted;
    return result;
  }
  std::string pdf;
  const int descriptor = CreateTempFileBeside(
      (std::filesystem::temp_directory_path() / "zentrope-page.pdf").string(), pdf);
  if (descriptor < 0) {
    result.error = "no temporary file for the page";
    return result;
  }
  ::close(descriptor);
  const FileRemover remover{pdf};
  if (!WritePdfPage(pdf, printout.Title(), page->Metrics(), page->Surface(),
                    printout.PictureOnPage(), printout.Targets().factor)) {
    result.error = "cannot write the page";
    return result;
  }
  return Submit(pdf, printout.Title());
}

PrintResult TWinPrinter::Submit(const std::string& pdf, const std::string& title) {
  const auto cancelled = [] { return IsLongOperation() && PollLongOperation(-1); };
  const JobResult job = services_.submit(printer_, title, pdf, cancelled);
  PrintResult result;
  result.destination = printer_;
  result.job_id = job.job_id;
  result.error = job.error;
  switch (job.outcome) {
    case JobOutcome::kSubmitted:
      result.outcome = PrintOutcome::kPrinted;
      break;
    case JobOutcome::kCancelled:
      result.outcome = PrintOutcome::kCancelled;
      break;
    case JobOutcome::kFailed:
      result.outcome = PrintOutcome::kFailed;
      break;
  }
  return result;
}
