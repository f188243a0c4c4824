// The page as the printout paints it, read back from the printer page's
// surface: the background around the picture, nothing outside the margins
// however narrow the area, and the abort dialog that stops the job.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/headless/headless_backend.h"
#include "platform/long_operation.h"
#include "platform/window_dialog.h"
#include "print/abort_dialog.h"
#include "print/pdf_page.h"
#include "print/print_job.h"
#include "print/print_messages.h"
#include "print/printer.h"
#include "print/printout.h"
#include "print_fixture.h"

namespace {
constexpr std::uint32_t kPaper = 0xFFFFFF;
constexpr std::uint32_t kTeal = 0x008080;

// Pixels of `surface` outside `inside` that are not paper.
int InkOutside(const TSurface& surface, const Rect& inside) {
  int count = 0;
  for (int y = 0; y < surface.Height(); ++y) {
    const std::uint32_t* row = surface.Row(y);
    for (int x = 0; x < surface.Width(); ++x) {
      if (!inside.Contains(Point{x, y}) && row[x] != kPaper) ++count;
    }
  }
  return count;
}

class PrintPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.picture = MakePalettePicture(64, 48);
    host_.path = dir_.File("sample.gif");
    host_.name = "sample.gif";
    host_.settings.Set(IntKey::BackgroundRed, 0);
    host_.settings.Set(IntKey::BackgroundGreen, 0x80);
    host_.settings.Set(IntKey::BackgroundBlue, 0x80);
  }

  void SetMargins(int top, int left, int right, int bottom) {
    host_.settings.Set(IntKey::TopMargin, top);
    host_.settings.Set(IntKey::LeftMargin, left);
    host_.settings.Set(IntKey::RightMargin, right);
    host_.settings.Set(IntKey::BottomMargin, bottom);
  }

  // Prepares and paints the page; the page for the test to read.
  std::unique_ptr<TPrinterPage> Paint(const PrinterPageMetrics& metrics, TWinPrintout& printout) {
    std::unique_ptr<TPrinterPage> page = TPrinterPage::Create(metrics);
    if (!page) return nullptr;
    printout.BeginPrinting(*page);
    EXPECT_TRUE(printout.PrintPage(*page));
    return page;
  }

  TempDir dir_;
  FakePrintHost host_;
};

TEST_F(PrintPageTest, AreaAroundThePictureTakesTheBackgroundAndMarginsStayPaper) {
  SetMargins(10, 20, 30, 40);
  TWinPrintout printout("sample.gif", host_);
  const std::unique_ptr<TPrinterPage> page = Paint(PrinterPageMetrics{}, printout);
  ASSERT_TRUE(page);
  const Rect area = printout.PrintableArea();
  EXPECT_EQ(area, Rect::FromSize(236, 118, 1889, 2917));
  const TSurface& surface = page->Surface();
  EXPECT_EQ(InkOutside(surface, area), 0);
  // Above and below the picture, right to the area's edges.
  for (const Point p : {Point{area.left, area.top}, Point{area.right - 1, area.top},
                        Point{area.left, area.bottom - 1}, Point{area.right - 1, area.bottom - 1},
                        Point{1000, 800}, Point{1000, 2400}}) {
    EXPECT_EQ(surface.PixelAt(p.x, p.y), kTeal) << p.x << "," << p.y;
  }
  const std::set<std::uint32_t> picture = PalettePictureColours();
  EXPECT_EQ(picture.count(surface.PixelAt(1000, 1500)), 1U);
}

TEST_F(PrintPageTest, DitheredPageFillsWithTheNearestFixedColour) {
  host_.settings.Set(IntKey::PrintDithered, 1);
  host_.settings.Set(IntKey::PrintInColor, 1);
  TWinPrintout printout("sample.gif", host_);
  const std::unique_ptr<TPrinterPage> page = Paint(PrinterPageMetrics{}, printout);
  ASSERT_TRUE(page);
  // Teal (0, 128, 128) is nearest to cyan among the eight.
  EXPECT_EQ(page->Surface().PixelAt(5, 5), 0x00FFFFU);
}

// Wider than the widest output, the area is halved to a reduced height below
// the smallest output; the picture is laid out 16 rows high all the same, and
// its enlarged rows must stop at the margin.
TEST_F(PrintPageTest, NarrowAreaOfAVeryWidePageNeverReachesIntoTheMargins) {
  SetMargins(50, 10, 10, 49);
  const PrinterPageMetrics wide{720, 100, 300, 300};
  TWinPrintout printout("sample.gif", host_);
  const std::unique_ptr<TPrinterPage> page = Paint(wide, printout);
  ASSERT_TRUE(page);
  ASSERT_GT(page->PixelSize().width, 8192);
  EXPECT_EQ(printout.Targets().factor, 2);
  const Rect area = printout.PrintableArea();
  EXPECT_EQ(area.Height(), 16);
  EXPECT_GT(area.Width(), 8192);
  EXPECT_EQ(InkOutside(page->Surface(), area), 0);
  // The last row and column of the area are painted, not left as paper.
  EXPECT_NE(page->Surface().PixelAt(area.right - 1, area.bottom - 1), kPaper);
  EXPECT_NE(page->Surface().PixelAt(area.left, area.bottom - 1), kPaper);

  const std::string pdf = dir_.File("wide.pdf");
  ASSERT_TRUE(WritePdfPage(pdf, "wide", wide, page->Surface(), area, printout.Targets().factor));
  EXPECT_TRUE(std::filesystem::exists(pdf));
}

// The abort dialog in a headless window model over an owner window; the
// page goes to a PDF file unless a test gives a printer.
class AbortDialogTest : public PrintPageTest {
 protected:
  void SetUp() override {
    PrintPageTest::SetUp();
    WindowParams params;
    params.placement.normal = Rect{100, 50, 740, 530};
    params.visible = true;
    owner_ = backend_.CreateWindow(params, &ignore_);
    host_.backend = &backend_;
    host_.owner = owner_->Id();
    InstallLongOperationPump(&backend_.EventLoop());
  }
  void TearDown() override { InstallLongOperationPump(nullptr); }

  // The abort dialog while it is up; null when none is.
  const TWindowDialog* Dialog() {
    for (TWindow* window : backend_.EventLoop().Windows()) {
      if (window->Caption() == kAbortCaption && window->IsVisible()) {
        return dynamic_cast<const TWindowDialog*>(window->Handler());
      }
    }
    return nullptr;
  }

  void ClickCancel() {
    const TWindowDialog* dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    const Rect button = dialog->ControlRect(kIdCancel);
    const Point centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    backend_.PressButton(dialog->Window().Id(), MouseButton::kLeft, centre);
    backend_.ReleaseButton(dialog->Window().Id(), MouseButton::kLeft, centre);
  }

  struct IgnoreAll : WindowHandler {
    void OnMessage(TWindow&, const Message&) override {}
    void OnPaint(TWindow&, TDeviceContext&, const Rect&, bool) override {}
  } ignore_;
  THeadlessBackend backend_{HeadlessOptions{}};
  std::unique_ptr<TWindow> owner_;
};

TEST_F(AbortDialogTest, ShowsCentredOverTheWindowWhileTheJobIsSentAndCancelStopsIt) {
  bool seen = false;
  bool cancelled_asked = false;
  PrinterServices services;
  services.list = [] { return std::vector<PrinterDestination>{{"Office", true}}; };
  services.papers = [](const std::string&) { return std::vector<PaperSize>{}; };
  services.resolution = [](const std::string&) { return std::nullopt; };
  services.submit = [&](const std::string&, const std::string& title, const std::string&,
                        const std::function<bool()>& cancelled) {
    const TWindowDialog* dialog = Dialog();
    seen = dialog != nullptr;
    JobResult result;
    if (!dialog) return result;
    EXPECT_EQ(dialog->State().Text(kAbortTitleId), title);
    const Rect shown = dialog->Window().WindowRect();
    const Rect over = owner_->WindowRect();
    EXPECT_NEAR(shown.left + shown.right, over.left + over.right, 1);
    EXPECT_NEAR(shown.top + shown.bottom, over.top + over.bottom, 1);
    EXPECT_FALSE(cancelled());
    ClickCancel();
    cancelled_asked = cancelled();
    result.outcome = cancelled_asked ? JobOutcome::kCancelled : JobOutcome::kSubmitted;
    result.job_id = 7;
    return result;
  };
  TWinPrinter printer(std::move(services));
  EXPECT_FALSE(RunPrintCommand(host_, printer, false));
  EXPECT_TRUE(seen);
  EXPECT_TRUE(cancelled_asked);
  EXPECT_EQ(Dialog(), nullptr);  // gone with the job
}

TEST_F(AbortDialogTest, CancelWhileThePageIsDrawnWritesNoFile) {
  host_.opened = [this] { ClickCancel(); };
  PrinterServices services;
  services.list = [] { return std::vector<PrinterDestination>{}; };
  TWinPrinter printer(std::move(services));
  EXPECT_FALSE(RunPrintCommand(host_, printer, false));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("sample.pdf")));
  EXPECT_EQ(Dialog(), nullptr);

  // Left alone, the same job prints and the dialog goes when it is done.
  host_.opened = nullptr;
  EXPECT_TRUE(RunPrintCommand(host_, printer, false));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("sample.pdf")));
  EXPECT_EQ(Dialog(), nullptr);
}
}  // namespace
