#include "print/printer.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "platform/dialogs.h"
#include "platform/long_operation.h"
#include "platform/path.h"
#include "platform/temp_file.h"
#include "print/abort_dialog.h"
#include "print/paper_names.h"
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
  const std::optional<PrinterResolution> resolution =
      printer.empty() ? std::nullopt : services_.resolution(printer);
  resolution_ = resolution.value_or(PrinterResolution{kPrintResolution, kPrintResolution});
}

PrinterPageMetrics TWinPrinter::PageMetrics() const {
  PrinterPageMetrics metrics;
  metrics.width_mm = landscape_ ? paper_.height_mm : paper_.width_mm;
  metrics.height_mm = landscape_ ? paper_.width_mm : paper_.height_mm;
  // Turning the sheet turns its resolution with it.
  metrics.pixels_per_inch_x = landscape_ ? resolution_.y : resolution_.x;
  metrics.pixels_per_inch_y = landscape_ ? resolution_.x : resolution_.y;
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

std::vector<PaperSize> TWinPrinter::PapersOf(const std::string& printer) const {
  std::vector<PaperSize> papers =
      printer.empty() ? std::vector<PaperSize>{} : services_.papers(printer);
  if (papers.empty()) papers.push_back(DefaultPaper());
  return papers;
}

void TWinPrinter::Setup(DialogService& dialogs, WindowId owner) {
  const std::vector<std::string> names = DestinationNames();
  const auto printer_of = [&names](int index) {
    const bool listed = index >= 0 && index < static_cast<int>(names.size()) &&
                        names[static_cast<std::size_t>(index)] != kPdfFileDestination;
    return listed ? names[static_cast<std::size_t>(index)] : std::string();
  };
  const std::vector<PaperSize> papers = PapersOf(printer_);
  std::vector<std::string> paper_names;
  SetupChoice current;
  for (const PaperSize& paper : papers) {
    if (paper.media == paper_.media) current.paper = static_cast<int>(paper_names.size());
    paper_names.push_back(PaperLabel(paper));
  }
  const auto printer = std::find(names.begin(), names.end(), printer_);
  current.printer = printer == names.end() ? 0 : static_cast<int>(printer - names.begin());
  current.landscape = landscape_;
  // Another printer brings its own paper sizes, its default one selected.
  const PaperLister papers_of = [this, &printer_of](int index) {
    PaperChoices choices;
    for (const PaperSize& paper : PapersOf(printer_of(index))) {
      choices.names.push_back(PaperLabel(paper));
    }
    return choices;
  };
  TPrintSetupDlg dialog(names, paper_names, current, papers_of);
  const std::optional<SetupChoice> chosen = dialog.Execute(dialogs, owner);
  if (!chosen) return;
  landscape_ = chosen->landscape;
  if (chosen->printer != current.printer && !printer_of(chosen->printer).empty()) {
    Select(printer_of(chosen->printer));
  }
  const std::vector<PaperSize> offered =
      chosen->printer == current.printer ? papers : PapersOf(printer_);
  if (chosen->paper >= 0 && chosen->paper < static_cast<int>(offered.size())) {
    paper_ = offered[static_cast<std::size_t>(chosen->paper)];
  }
}

PrintResult TWinPrinter::Print(TWinPrintout& printout, const std::string& pdf_file) {
  PrintResult result;
  // Up while the page is made, drawn and sent; gone when the job is over.
  const std::unique_ptr<ModelessDialog> abort =
      OpenAbortDialog(printout.Window(), printout.Title());
  // Seen before the page is made, which takes a while at a fine resolution.
  if ((IsLongOperation() && PollLongOperation(-1)) || AbortRequested(abort.get())) {
    result.outcome = PrintOutcome::kCancelled;
    return result;
  }
  std::unique_ptr<TPrinterPage> page = TPrinterPage::Create(PageMetrics());
  if (!page) {
    result.error = "no memory for the page";
    return result;
  }
  printout.BeginPrinting(*page);
  if (!printout.PrintPage(*page) || AbortRequested(abort.get())) {
    result.outcome = PrintOutcome::kCancelled;
    return result;
  }
  if (printer_.empty()) {
    result.to_file = true;
    result.destination = pdf_file;
    if (!WritePdfPage(result.destination, printout.Title(), page->Metrics(), page->Surface(),
                      printout.PrintableArea(), printout.Targets().factor)) {
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
                    printout.PrintableArea(), printout.Targets().factor)) {
    result.error = "cannot write the page";
    return result;
  }
  return Submit(pdf, printout.Title(), abort.get());
}

PrintResult TWinPrinter::Submit(const std::string& pdf, const std::string& title,
                                const ModelessDialog* abort) {
  const auto cancelled = [abort] {
    return (IsLongOperation() && PollLongOperation(-1)) || AbortRequested(abort);
  };
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
