// Printing through the main window: the print run of the command line, the
// thumbnail sheet as one page, and the margins dialog from the menu.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <string>
#include <vector>

#include "app/command_ids.h"
#include "command_window_fixture.h"
#include "platform/window_dialog.h"
#include "print/print_dialogs.h"
#include "print/print_messages.h"
#include "print/printer.h"

namespace {
class PrintWindowTest : public CommandWindowTest {
 protected:
  // No CUPS, whatever the machine has: pages go to PDF files beside the
  // pictures, never to a real printer.
  void SetUp() override {
    CommandWindowTest::SetUp();
    setenv("CUPS_SERVER", (dir_.path() + "/no-cupsd").c_str(), 1);
    cupsSetServer(nullptr);
  }
  void TearDown() override {
    CommandWindowTest::TearDown();
    unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
  }

  // As Start, with a default printer for the print option.
  void StartPrintRun(std::vector<std::string> arguments) {
    HeadlessOptions options;
    options.virtual_clock = true;
    backend_ = std::make_unique<THeadlessBackend>(options);
    StartupContext startup;
    startup.arguments = std::move(arguments);
    startup.default_printer = [] { return true; };
    window_ = std::make_unique<TZentropeWin>(*backend_, "Zentrope", std::move(startup));
    TProfile& settings = window_->Settings();
    settings.Set(IntKey::Effect, kDirectEffect);
    settings.Set(IntKey::RememberOptions, 0);
    settings.Set(IntKey::AutoResume, 0);
    settings.Set(IntKey::ShowLog, 0);
    settings.Set(IntKey::TopMargin, 5);
    window_->Create(ShowState::kNormal);
    Run();
    Run();
  }
};

TEST_F(PrintWindowTest, PrintRunPrintsEveryPictureOnceThenCloses) {
  const std::string first = WritePicture("first.gif");
  const std::string second = WritePicture("second.gif");
  StartPrintRun({"-p", first, second});
  EXPECT_TRUE(window_->IsClosed());
  ASSERT_NE(window_->BatchRun(), nullptr);
  EXPECT_EQ(window_->BatchRun()->Handled(), 2);
  EXPECT_FALSE(window_->BatchRun()->AnyFailed());
  EXPECT_TRUE(LogHas("Printed first.gif to " + dir_.File("first.pdf")));
  EXPECT_TRUE(LogHas("Printed second.gif to " + dir_.File("second.pdf")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("second.pdf")));
  // The run's settings were undone, the margins kept.
  EXPECT_EQ(Settings().Get(IntKey::ImageDisplayEvent), 0);
  EXPECT_EQ(Settings().Get(IntKey::TopMargin), 5);
}

TEST_F(PrintWindowTest, PrintRunFailsForAPictureThatDidNotLoad) {
  const std::string bad = dir_.File("bad.gif");
  ASSERT_TRUE(WriteFileText(bad, "GIF89a and then nothing"));
  const std::string good = WritePicture("good.gif");
  StartPrintRun({"-p", bad, good});
  ASSERT_NE(window_->BatchRun(), nullptr);
  EXPECT_EQ(window_->BatchRun()->Failures(), std::vector<std::string>{bad});
  EXPECT_TRUE(LogHas("Error occurred while printing bad.gif"));
  EXPECT_TRUE(LogHas("Printed good.gif"));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("bad.pdf")));
}

TEST_F(PrintWindowTest, SheetPrintsAsThumbnailsAndTheWindowShowsThePictureAgain) {
  Start({WritePicture("one.gif", 64, 48)}, [](TProfile& settings) {
    settings.Set(IntKey::ThumbnailsEnable, 1);
    settings.Set(IntKey::ThumbnailsAcross, 2);
    settings.Set(IntKey::ThumbnailsDown, 2);
  });
  Answer(ScriptedAnswer::Press(kIdOk));
  ASSERT_TRUE(Choose(CM_PRINT));
  EXPECT_TRUE(LogHas("Printed thumbnails to " + dir_.File("thumbnails.pdf")));
  EXPECT_FALSE(window_->Printing());
  EXPECT_EQ(window_->Picture().width, 64);
  EXPECT_EQ(window_->Picture().height, 48);
}

TEST_F(PrintWindowTest, AbortDialogOverTheWindowCancelsTheJob) {
  Start({WritePicture("one.gif")});
  const WindowId main = window_->MainWindow().Id();
  bool asked_before = true;
  bool asked_after = false;
  PrinterServices services;
  services.list = [] { return std::vector<PrinterDestination>{{"Office", true}}; };
  services.papers = [](const std::string&) { return std::vector<PaperSize>{}; };
  services.resolution = [](const std::string&) { return std::nullopt; };
  services.submit = [&](const std::string&, const std::string&, const std::string&,
                        const std::function<bool()>& cancelled) {
    JobResult result;
    const TWindowDialog* dialog = nullptr;
    for (TWindow* window : backend_->EventLoop().Windows()) {
      if (window->Owner() == main && window->Caption() == kAbortCaption && window->IsVisible()) {
        dialog = dynamic_cast<const TWindowDialog*>(window->Handler());
      }
    }
    if (!dialog) return result;
    asked_before = cancelled();
    const Rect button = dialog->ControlRect(kIdCancel);
    const Point centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    backend_->PressButton(dialog->Window().Id(), MouseButton::kLeft, centre);
    backend_->ReleaseButton(dialog->Window().Id(), MouseButton::kLeft, centre);
    asked_after = cancelled();
    result.outcome = asked_after ? JobOutcome::kCancelled : JobOutcome::kSubmitted;
    result.job_id = 3;
    return result;
  };
  window_->Printer() = TWinPrinter(std::move(services));
  Answer(ScriptedAnswer::Press(kIdOk));
  ASSERT_TRUE(Choose(CM_PRINT));
  EXPECT_FALSE(asked_before);
  EXPECT_TRUE(asked_after);
  EXPECT_TRUE(LogHas("Printing of one.gif cancelled"));
  for (TWindow* window : backend_->EventLoop().Windows()) {
    EXPECT_NE(window->Caption(), kAbortCaption);
  }
}

TEST_F(PrintWindowTest, MarginsFromTheMenuAreStored) {
  Start({WritePicture("one.gif")});
  ControlInput left;
  left.id = kLeftMarginId;
  left.text = "17";
  Answer(ScriptedAnswer::Press(kIdOk, {left}));
  ASSERT_TRUE(Choose(CM_PRINT_MARGINS));
  EXPECT_EQ(Settings().Get(IntKey::LeftMargin), 17);
  ASSERT_FALSE(Shown().empty());
  EXPECT_EQ(Shown().back().caption, "Print Margins");
}
}  // namespace
