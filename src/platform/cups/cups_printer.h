// Printers as CUPS destinations: the list and the default, each one's paper
// sizes, and the submission of a finished PDF page as a job that can still be
// cancelled while it is being sent. Without a running cupsd the list is
// empty and nothing can be submitted.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// A paper size of a destination, in millimetres of the portrait sheet.
struct PaperSize {
  std::string media;  // the CUPS media name, e.g. "iso_a4_210x297mm"
  std::string label;  // what people call it, e.g. "A4"; empty when unknown
  int width_mm = 210;
  int height_mm = 297;
};

struct PrinterDestination {
  std::string name;
  bool is_default = false;
};

// Every destination CUPS knows, the default first.
std::vector<PrinterDestination> ListPrinters();
// The default destination (or the only one); nothing when there is none.
std::optional<std::string> DefaultPrinter();
// The destination's paper sizes; its default first. Empty when it has none
// that CUPS can tell.
std::vector<PaperSize> PrinterPaperSizes(const std::string& printer);

// Pixels per inch across and down.
struct PrinterResolution {
  int x = 0;
  int y = 0;
  friend bool operator==(const PrinterResolution&, const PrinterResolution&) = default;
};

// The destination's resolution: the one its options choose
// ("printer-resolution" or the PPD's "Resolution"), else its default
// ("printer-resolution-default", which CUPS makes from a PPD's
// DefaultResolution). Nothing when CUPS tells none.
std::optional<PrinterResolution> DestinationResolution(const std::string& printer);
// "300dpi", "600x300dpi" or "118dpcm" as pixels per inch; nothing for other
// texts or values that are not positive.
std::optional<PrinterResolution> ParseResolution(const std::string& text);

enum class JobOutcome { kSubmitted, kCancelled, kFailed };

struct JobResult {
  JobOutcome outcome = JobOutcome::kFailed;
  int job_id = 0;
  std::string error;  // CUPS's words when it failed
};

// Sends the PDF file at `path` to `printer` as a job titled `title`, a block
// at a time. `cancelled` is asked before each block; when it says yes the job
// is cancelled (cupsCancelJob2) before the document is complete, so nothing
// is printed.
JobResult SubmitPdfJob(const std::string& printer, const std::string& title,
                       const std::string& path, const std::function<bool()>& cancelled);
