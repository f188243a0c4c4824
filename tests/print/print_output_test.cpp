// Pages printed end to end: drawn, written as PDF, rasterized by pdftoppm and
// measured; and, where a cupsd with a cups-pdf queue runs (CI starts one),
// sent through CUPS.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "platform/cups/cups_printer.h"
#include "print/pdf_page.h"
#include "print/print_dialogs.h"
#include "print/print_job.h"
#include "print/printer.h"
#include "print/printout.h"
#include "print_fixture.h"
#include "support/peer_tools.h"

namespace {
constexpr int kDpi = 300;
// A 64 × 48 picture with margins top 10, left 20, right 30, bottom 40 mm on
// A4 at 300 dpi: the area is 1889 × 2917 pixels from (236, 118); prepared at
// 118 × 182 (four halvings, factor 16) the picture fills 118 × 88 of it, 47
// rows down: device columns 236 .. 236 + 118 × 16, rows 118 + 47 × 16 .. + 88 × 16.
constexpr Box kMarginsPicture{236, 870, 2124, 2278};
// The rest of the area holds the background colour; the margins stay paper.
constexpr Box kMarginsArea{236, 118, 236 + 1889, 118 + 2917};
constexpr std::uint32_t kNavy = 0x000080;

PrinterServices NoPrinters() {
  PrinterServices services;
  services.list = [] { return std::vector<PrinterDestination>{}; };
  return services;
}

void ExpectWithinOnePixel(const Box& found, const Box& expected) {
  EXPECT_NEAR(found.left, expected.left, 1);
  EXPECT_NEAR(found.top, expected.top, 1);
  EXPECT_NEAR(found.right, expected.right, 1);
  EXPECT_NEAR(found.bottom, expected.bottom, 1);
}

class PrintOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.picture = MakePalettePicture(64, 48);
    host_.path = dir_.File("sample.gif");
    host_.name = "sample.gif";
    host_.settings.Set(IntKey::TopMargin, 10);
    host_.settings.Set(IntKey::LeftMargin, 20);
    host_.settings.Set(IntKey::RightMargin, 30);
    host_.settings.Set(IntKey::BottomMargin, 40);
    host_.settings.Set(IntKey::Rotate, 0);
    host_.settings.Set(IntKey::ThumbnailsEnable, 0);
    host_.settings.Set(IntKey::BackgroundRed, 0);
    host_.settings.Set(IntKey::BackgroundGreen, 0);
    host_.settings.Set(IntKey::BackgroundBlue, 0x80);
  }

  // The picture within the background, the background within white margins.
  static void ExpectPictureInItsArea(const Raster& page) {
    ExpectWithinOnePixel(InkBox(page), kMarginsArea);
    ExpectWithinOnePixel(BoxOf(page, PalettePictureColours()), kMarginsPicture);
    ExpectWithinOnePixel(BoxOf(page, {kNavy}), kMarginsArea);
  }

  std::set<std::uint32_t> PageColours(const std::string& pdf) {
    const Raster page = RasterizePdfExactly(pdf, kDpi, dir_);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < page.height; ++y) {
      for (int x = 0; x < page.width; ++x) colours.insert(page.At(x, y));
    }
    return colours;
  }

  TempDir dir_;
  FakePrintHost host_;
};

TEST_F(PrintOutputTest, PictureLandsWithinTheMarginsOfAPdfBesideIt) {
  REQUIRE_PEER_TOOL("pdftoppm");
  TWinPrinter printer(NoPrinters());
  ASSERT_TRUE(RunPrintCommand(host_, printer, false));
  EXPECT_FALSE(host_.printing);
  EXPECT_EQ(host_.done, 1);

  const std::string pdf = dir_.File("sample.pdf");
  EXPECT_EQ(PdfInfo(pdf, "Pages"), "1");
  EXPECT_EQ(PdfInfo(pdf, "Title"), "sample.gif");
  const Raster page = RasterizePdf(pdf, kDpi, dir_);
  // 595.28 × 841.89 points: pdftoppm rounds the page up.
  ASSERT_NEAR(page.width, 2480, 1);
  ASSERT_NEAR(page.height, 3508, 1);
  ExpectPictureInItsArea(page);
}

TEST_F(PrintOutputTest, AnExistingPdfBesideThePictureIsKept) {
  TWinPrinter printer(NoPrinters());
  ASSERT_TRUE(WriteFileText(dir_.File("sample.pdf"), "mine"));
  ASSERT_TRUE(RunPrintCommand(host_, printer, false));
  EXPECT_EQ(ReadFileText(dir_.File("sample.pdf")), "mine");
  EXPECT_TRUE(std::filesystem::exists(dir_.File("sample-2.pdf")));
}

TEST_F(PrintOutputTest, DitheredPagesHoldOnlyTheFixedColours) {
  REQUIRE_PEER_TOOL("gs");
  host_.picture = MakeRampPicture(200, 150);
  host_.settings.Set(IntKey::PrintDithered, 1);
  TWinPrinter printer(NoPrinters());

  host_.settings.Set(IntKey::PrintInColor, 1);
  ASSERT_TRUE(RunPrintCommand(host_, printer, false));
  const std::set<std::uint32_t> colours = PageColours(dir_.File("sample.pdf"));
  for (const std::uint32_t colour : colours) {
    for (const int shift : {0, 8, 16}) {
      const std::uint32_t component = (colour >> shift) & 0xFF;
      EXPECT_TRUE(component == 0 || component == 255) << std::hex << colour;
    }
  }
  EXPECT_GE(colours.size(), 6U);  // a ramp needs most of the eight

  host_.settings.Set(IntKey::PrintInColor, 0);
  ASSERT_TRUE(RunPrintCommand(host_, printer, false));
  EXPECT_EQ(PageColours(dir_.File("sample-2.pdf")), (std::set<std::uint32_t>{0x000000, 0xFFFFFF}));
}

TEST_F(PrintOutputTest, SheetPrintsAsOnePageTitledThumbnails) {
  REQUIRE_PEER_TOOL("pdfinfo");
  host_.settings.Set(IntKey::ThumbnailsEnable, 1);
  host_.settings.Set(IntKey::ThumbnailsAcross, 3);
  host_.settings.Set(IntKey::ThumbnailsDown, 1);
  host_.sheet = MakeRampPicture(90, 60);
  const TImage* single = host_.picture.get();
  TWinPrinter printer(NoPrinters());
  ASSERT_TRUE(RunPrintCommand(host_, printer, false));

  EXPECT_TRUE(host_.printing_while_captured);
  EXPECT_EQ(host_.picture.get(), single);  // the single picture is back
  const std::string pdf = dir_.File("thumbnails.pdf");
  EXPECT_EQ(PdfInfo(pdf, "Title"), "thumbnails");
  EXPECT_EQ(PdfInfo(pdf, "Pages"), "1");
}

TEST_F(PrintOutputTest, LandscapeFromSetupTurnsThePage) {
  REQUIRE_PEER_TOOL("pdfinfo");
  TWinPrinter printer(NoPrinters());
  ControlInput landscape;
  landscape.id = kOrientationListId;
  landscape.selection = 1;
  host_.dialogs.Script(ScriptedAnswer::Press(kIdOk, {landscape}));
  printer.Setup(host_.dialogs, kNoWindow);
  EXPECT_TRUE(printer.Landscape());
  ASSERT_TRUE(RunPrintCommand(host_, printer, false));
  EXPECT_EQ(PdfInfo(dir_.File("sample.pdf"), "Page size").rfind("841.89 x 595.2", 0), 0U)
      << PdfInfo(dir_.File("sample.pdf"), "Page size");
}

TEST_F(PrintOutputTest, CancelInThePrintDialogPrintsNothing) {
  TWinPrinter printer(NoPrinters());
  host_.dialogs.Script(ScriptedAnswer::Cancel(DialogKind::kCustom));
  EXPECT_FALSE(RunPrintCommand(host_, printer, true));
  EXPECT_EQ(host_.done, 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("sample.pdf")));

  host_.dialogs.Script(ScriptedAnswer::Press(kIdOk));
  EXPECT_TRUE(RunPrintCommand(host_, printer, true));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("sample.pdf")));
}

TEST_F(PrintOutputTest, FailedJobIsReportedAsNotPrinted) {
  PrinterServices services;
  services.list = [] { return std::vector<PrinterDestination>{{"Office", true}}; };
  services.papers = [](const std::string&) { return std::vector<PaperSize>{}; };
  services.submit = [](const std::string&, const std::string&, const std::string&,
                       const std::function<bool()>&) {
    JobResult failed;
    failed.error = "printer on fire";
    return failed;
  };
  TWinPrinter printer(std::move(services));
  EXPECT_EQ(printer.PrinterName(), "Office");
  EXPECT_FALSE(RunPrintCommand(host_, printer, false));
  EXPECT_FALSE(host_.printing);
}

// The default printer is a cups-pdf queue, so a test job lands in a file
// rather than on paper.
bool DefaultPrinterIsCupsPdf() {
  const std::optional<std::string> printer = DefaultPrinter();
  if (!printer) return false;
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer->c_str(), nullptr);
  if (dest == nullptr) return false;
  const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options);
  const bool cups_pdf = uri != nullptr && std::string(uri).rfind("cups-pdf:", 0) == 0;
  cupsFreeDests(1, dest);
  return cups_pdf;
}

// cups-pdf's output folder, when a cups-pdf queue is the default printer.
std::string CupsPdfFolder() {
  if (!DefaultPrinterIsCupsPdf()) return {};
  std::ifstream conf("/etc/cups/cups-pdf.conf");
  std::string line;
  while (std::getline(conf, line)) {
    if (line.rfind("Out ", 0) != 0) continue;
    std::string folder = line.substr(4);
    const std::size_t home = folder.find("${HOME}");
    if (home != std::string::npos) folder.replace(home, 7, "/root");
    return folder;
  }
  return {};
}

// CI starts a cupsd with a cups-pdf queue and says so; elsewhere the test
// skips without one.
#define SKIP_WITHOUT_CUPS_PDF()                                              \
  do {                                                                       \
    if (std::getenv("ZENTROPE_REQUIRE_CUPS") != nullptr) {                   \
      FAIL() << "no cupsd with a cups-pdf queue as the default printer";     \
    }                                                                        \
    GTEST_SKIP() << "no cupsd with a cups-pdf queue as the default printer"; \
  } while (0)

// The job's state and title as CUPS keeps them.
std::pair<ipp_jstate_t, std::string> JobState(int id) {
  cups_job_t* jobs = nullptr;
  const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
  std::pair<ipp_jstate_t, std::string> found{IPP_JSTATE_PENDING, ""};
  for (int i = 0; i < count; ++i) {
    if (jobs[i].id == id) found = {jobs[i].state, jobs[i].title ? jobs[i].title : ""};
  }
  cupsFreeJobs(count, jobs);
  return found;
}

// The job's state once it has ended, or after a minute.
ipp_jstate_t WaitForJobEnd(int id) {
  ipp_jstate_t state = IPP_JSTATE_PENDING;
  for (int attempt = 0; attempt < 600 && state <= IPP_JSTATE_STOPPED; ++attempt) {
    state = JobState(id).first;
    if (state <= IPP_JSTATE_STOPPED) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return state;
}

// The PDF cups-pdf made of job `id` once the job is done; empty when there is none.
std::string WaitForCupsPdf(const std::string& folder, int id) {
  if (WaitForJobEnd(id) != IPP_JSTATE_COMPLETED) return {};
  const std::string suffix = "job_" + std::to_string(id) + ".pdf";
  {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
      const std::string name = entry.path().filename().string();
      if (name.size() >= suffix.size() &&
          name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return entry.path().string();
      }
    }
  }
  return {};
}

TEST_F(PrintOutputTest, CupsPdfQueuePrintsWithinTheMargins) {
  const std::string folder = CupsPdfFolder();
  if (folder.empty()) SKIP_WITHOUT_CUPS_PDF();
  REQUIRE_PEER_TOOL("pdftoppm");
  TWinPrinter printer;
  printer.SetPaper(PaperSize{"iso_a4_210x297mm", "A4", 210, 297});
  ASSERT_FALSE(printer.PrinterName().empty());

  TWinPrintout printout("thumbnails", host_);
  const PrintResult result = printer.Print(printout, dir_.File("unused.pdf"));
  ASSERT_EQ(result.outcome, PrintOutcome::kPrinted) << result.error;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("unused.pdf")));
  EXPECT_EQ(JobState(result.job_id).second, "thumbnails");

  const std::string pdf = WaitForCupsPdf(folder, result.job_id);
  ASSERT_FALSE(pdf.empty()) << "no PDF of job " << result.job_id << " in " << folder;
  EXPECT_EQ(PdfInfo(pdf, "Pages"), "1");
  ExpectPictureInItsArea(RasterizePdf(pdf, kDpi, dir_));
}

TEST_F(PrintOutputTest, CupsPdfQueueDrawsAtItsOwnResolution) {
  if (CupsPdfFolder().empty()) SKIP_WITHOUT_CUPS_PDF();
  TWinPrinter printer;
  // The queue's PPD says DefaultResolution: 300dpi.
  EXPECT_EQ(DestinationResolution(printer.PrinterName()), (PrinterResolution{300, 300}));
  EXPECT_EQ(printer.PageMetrics().pixels_per_inch_x, 300);
  EXPECT_EQ(DestinationResolution("no-such-queue"), std::nullopt);
}

TEST_F(PrintOutputTest, CancelledCupsJobLeavesNoPdf) {
  const std::string folder = CupsPdfFolder();
  if (folder.empty()) SKIP_WITHOUT_CUPS_PDF();
  const std::string pdf = dir_.File("page.pdf");
  {
    std::ofstream out(pdf, std::ios::binary);
    out << "%PDF-1.4\n" << std::string(100000, '%') << "\n";
  }
  const std::string printer = *DefaultPrinter();
  // Cancelled before the first block, and after one block went out.
  for (const int blocks_sent : {0, 1}) {
    int asked = 0;
    const JobResult job =
        SubmitPdfJob(printer, "cancelled page", pdf, [&] { return asked++ > blocks_sent; });
    ASSERT_EQ(job.outcome, JobOutcome::kCancelled) << job.error;
    ASSERT_GT(job.job_id, 0);
    EXPECT_EQ(WaitForJobEnd(job.job_id), IPP_JSTATE_CANCELED);
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
      EXPECT_EQ(entry.path().filename().string().find("job_" + std::to_string(job.job_id) + "."),
                std::string::npos);
    }
  }
}
}  // namespace
