#include "platform/cups/cups_printer.h"

#include <cups/cups.h>

#include <charconv>
#include <cstdio>
#include <memory>

namespace {
// Bytes sent between two looks at the cancel flag.
constexpr std::size_t kJobBlockSize = 28672;
// CUPS media sizes are in hundredths of a millimetre.
constexpr int kMediaUnitsPerMillimetre = 100;
constexpr int kConnectTimeoutMs = 30000;

struct DestList {
  cups_dest_t* dests = nullptr;
  int count = 0;
  DestList() { count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests); }
  ~DestList() { cupsFreeDests(count, dests); }
  DestList(const DestList&) = delete;
  DestList& operator=(const DestList&) = delete;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

PaperSize PaperFrom(cups_dest_t* dest, cups_dinfo_t* info, const cups_size_t& size) {
  PaperSize paper;
  paper.media = size.media;
  cups_size_t named = size;
  const char* label =
      cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &named);
  if (label != nullptr) paper.label = label;
  paper.width_mm = (size.width + kMediaUnitsPerMillimetre / 2) / kMediaUnitsPerMillimetre;
  paper.height_mm = (size.length + kMediaUnitsPerMillimetre / 2) / kMediaUnitsPerMillimetre;
  return paper;
}

JobResult Failed(int job_id) {
  JobResult result;
  result.job_id = job_id;
  const char* words = cupsLastErrorString();
  result.error = words ? words : "";
  return result;
}

// The document's own connection, so that a cancel can drop it mid-way.
http_t* ConnectForDocument() {
  return httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                      kConnectTimeoutMs, nullptr);
}

JobResult Cancel(const std::string& printer, int job_id, http_t* document) {
  if (document != nullptr) httpClose(document);
  cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.c_str(), job_id, 0);
  JobResult result;
  result.outcome = JobOutcome::kCancelled;
  result.job_id = job_id;
  return result;
}
}  // namespace

std::vector<PrinterDestination> ListPrinters() {
  const DestList list;
  std::vector<PrinterDestination> printers;
  for (int i = 0; i < list.count; ++i) {
    const cups_dest_t& dest = list.dests[i];
    // Instances are option sets of one queue; the queue itself is enough.
    if (dest.instance != nullptr) continue;
    PrinterDestination printer{dest.name, dest.is_default != 0};
    if (printer.is_default) {
      printers.insert(printers.begin(), printer);
    } else {
      printers.push_back(printer);
    }
  }
  return printers;
}

std::optional<std::string> DefaultPrinter() {
  const std::vector<PrinterDestination> printers = ListPrinters();
  if (printers.empty()) return std::nullopt;
  if (printers.front().is_default || printers.size() == 1) return printers.front().name;
  return std::nullopt;
}

std::vector<PaperSize> PrinterPaperSizes(const std::string& printer) {
  const DestList list;
  cups_dest_t* dest = cupsGetDest(printer.c_str(), nullptr, list.count, list.dests);
  if (dest == nullptr) return {};
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
  if (info == nullptr) return {};
  std::vector<PaperSize> papers;
  cups_size_t size;
  if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
    papers.push_back(PaperFrom(dest, info, size));
  }
  const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT);
  for (int i = 0; i < count; ++i) {
    if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest, info, i, CUPS_MEDIA_FLAGS_DEFAULT,
                                 &size)) {
      continue;
    }
    const PaperSize paper = PaperFrom(dest, info, size);
    if (paper.width_mm <= 0 || paper.height_mm <= 0) continue;
    if (!papers.empty() && papers.front().media == paper.media) continue;
    papers.push_back(paper);
  }
  cupsFreeDestInfo(info);
  return papers;
}

namespace {
constexpr double kCentimetresPerInch = 2.54;
// Beyond this a resolution is not a printer's.
constexpr int kMaxResolution = 9600;

std::optional<PrinterResolution> PerInch(int x, int y, bool per_centimetre) {
  if (per_centimetre) {
    x = static_cast<int>(x * kCentimetresPerInch + 0.5);
    y = static_cast<int>(y * kCentimetresPerInch + 0.5);
  }
  if (x <= 0 || y <= 0 || x > kMaxResolution || y > kMaxResolution) return std::nullopt;
  return PrinterResolution{x, y};
}

std::optional<PrinterResolution> ResolutionOption(const cups_dest_t& dest) {
  for (const char* name : {"printer-resolution", "Resolution"}) {
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    if (value == nullptr) continue;
    if (std::optional<PrinterResolution> found = ParseResolution(value)) return found;
  }
  return std::nullopt;
}
}  // namespace

std::optional<PrinterResolution> ParseResolution(const std::string& text) {
  const char* at = text.data();
  const char* end = text.data() + text.size();
  int x = 0;
  auto [after_x, x_error] = std::from_chars(at, end, x);
  if (x_error != std::errc()) return std::nullopt;
  int y = x;
  at = after_x;
  if (at != end && *at == 'x') {
    auto [after_y, y_error] = std::from_chars(at + 1, end, y);
    if (y_error != std::errc()) return std::nullopt;
    at = after_y;
  }
  const std::string unit(at, end);
  if (unit == "dpi") return PerInch(x, y, false);
  if (unit == "dpcm") return PerInch(x, y, true);
  return std::nullopt;
}

std::optional<PrinterResolution> DestinationResolution(const std::string& printer) {
  const DestList list;
  cups_dest_t* dest = cupsGetDest(printer.c_str(), nullptr, list.count, list.dests);
  if (dest == nullptr) return std::nullopt;
  if (std::optional<PrinterResolution> chosen = ResolutionOption(*dest)) return chosen;
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
  if (info == nullptr) return std::nullopt;
  std::optional<PrinterResolution> found;
  ipp_attribute_t* attribute =
      cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution");
  if (attribute != nullptr && ippGetValueTag(attribute) == IPP_TAG_RESOLUTION &&
      ippGetCount(attribute) > 0) {
    ipp_res_t units = IPP_RES_PER_INCH;
    int y = 0;
    const int x = ippGetResolution(attribute, 0, &y, &units);
    found = PerInch(x, y, units == IPP_RES_PER_CM);
  }
  cupsFreeDestInfo(info);
  return found;
}

JobResult SubmitPdfJob(const std::string& printer, const std::string& title,
                       const std::string& path, const std::function<bool()>& cancelled) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    JobResult result;
    result.error = "cannot read " + path;
    return result;
  }
  const int job_id = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.c_str(), title.c_str(), 0, nullptr);
  if (job_id <= 0) return Failed(0);
  if (cancelled && cancelled()) return Cancel(printer, job_id, nullptr);

  http_t* document = ConnectForDocument();
  if (document == nullptr) {
    JobResult result = Failed(job_id);
    cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.c_str(), job_id, 0);
    return result;
  }
  if (cupsStartDocument(document, printer.c_str(), job_id, title.c_str(), CUPS_FORMAT_PDF, 1) !=
      HTTP_STATUS_CONTINUE) {
    JobResult result = Failed(job_id);
    Cancel(printer, job_id, document);
    return result;
  }
  std::vector<char> block(kJobBlockSize);
  for (;;) {
    if (cancelled && cancelled()) return Cancel(printer, job_id, document);
    const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
    if (got == 0) break;
    if (cupsWriteRequestData(document, block.data(), got) != HTTP_STATUS_CONTINUE) {
      JobResult result = Failed(job_id);
      Cancel(printer, job_id, document);
      return result;
    }
  }
  if (std::ferror(file.get())) {
    JobResult result;
    result.job_id = job_id;
    result.error = "cannot read " + path;
    Cancel(printer, job_id, document);
    return result;
  }
  const ipp_status_t status = cupsFinishDocument(document, printer.c_str());
  httpClose(document);
  if (status > IPP_STATUS_OK_CONFLICTING) return Failed(job_id);
  JobResult result;
  result.outcome = JobOutcome::kSubmitted;
  result.job_id = job_id;
  return result;
}
