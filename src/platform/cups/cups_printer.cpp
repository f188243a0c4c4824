#include "platform/cups/cups_printer.h"

#include <cups/cups.h>

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
