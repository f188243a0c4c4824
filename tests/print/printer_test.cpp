// The current printer: its resolution and paper sizes as CUPS tells them
// (faked here; read from a cups-pdf queue where one runs), and print set-up
// switching between printers.
#include "print/printer.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/display.h"
#include "platform/headless/headless_dialogs.h"
#include "print/paper_names.h"
#include "print/print_dialogs.h"

namespace {
const std::map<std::string, std::vector<PaperSize>> kPapers = {
    {"Office", {{"iso_a4_210x297mm", "", 210, 297}, {"iso_a5_148x210mm", "A5 sheet", 148, 210}}},
    {"Plotter",
     {{"iso_a2_420x594mm", "", 420, 594},
      {"na_letter_8.5x11in", "", 216, 279},
      {"iso_a0_841x1189mm", "", 841, 1189}}},
};

PrinterServices TwoPrinters() {
  PrinterServices services;
  services.list = [] {
    return std::vector<PrinterDestination>{{"Office", true}, {"Plotter", false}};
  };
  services.papers = [](const std::string& printer) { return kPapers.at(printer); };
  services.resolution = [](const std::string& printer) -> std::optional<PrinterResolution> {
    if (printer == "Plotter") return PrinterResolution{600, 300};
    return std::nullopt;
  };
  return services;
}

ControlInput Chosen(int id, int selection) {
  ControlInput input;
  input.id = id;
  input.selection = selection;
  return input;
}

TEST(Printer, PagesAreDrawnAtThePrintersResolutionOrThreeHundred) {
  TWinPrinter printer(TwoPrinters());
  EXPECT_EQ(printer.PrinterName(), "Office");
  EXPECT_EQ(printer.PageMetrics().pixels_per_inch_x, 300);
  EXPECT_EQ(printer.PageMetrics().pixels_per_inch_y, 300);

  printer.Select("Plotter");
  EXPECT_EQ(printer.PageMetrics().pixels_per_inch_x, 600);
  EXPECT_EQ(printer.PageMetrics().pixels_per_inch_y, 300);
  EXPECT_EQ(printer.Paper().media, "iso_a2_420x594mm");
  printer.SetLandscape(true);
  EXPECT_EQ(printer.PageMetrics().pixels_per_inch_x, 300);
  EXPECT_EQ(printer.PageMetrics().width_mm, 594);
}

TEST(Printer, ResolutionTextsOfCups) {
  EXPECT_EQ(ParseResolution("300dpi"), (PrinterResolution{300, 300}));
  EXPECT_EQ(ParseResolution("600x1200dpi"), (PrinterResolution{600, 1200}));
  EXPECT_EQ(ParseResolution("118dpcm"), (PrinterResolution{300, 300}));
  for (const char* refused :
       {"", "dpi", "300", "0dpi", "300x0dpi", "-300dpi", "300xdpi", "300dots", "99999999999dpi"}) {
    EXPECT_EQ(ParseResolution(refused), std::nullopt) << refused;
  }
}

TEST(Printer, PaperNamesReadAsPeopleSayThem) {
  EXPECT_EQ(ReadablePaperName("iso_a4_210x297mm"), "A4 (210 x 297 mm)");
  EXPECT_EQ(ReadablePaperName("na_letter_8.5x11in"), "Letter (8.5 x 11 in)");
  EXPECT_EQ(ReadablePaperName("na_number-10_4.125x9.5in"), "Number 10 (4.125 x 9.5 in)");
  EXPECT_EQ(ReadablePaperName("iso_dl_110x220mm_borderless"), "DL (110 x 220 mm, borderless)");
  EXPECT_EQ(ReadablePaperName("custom_148.52x209.9mm_148.52x209.9mm"),
            "Custom (148.52 x 209.9 mm)");
  for (const char* kept : {"Letter", "iso_a4", "iso_a4_210x297", "iso_a4_x297mm", "a_b_1x2cm"}) {
    EXPECT_EQ(ReadablePaperName(kept), kept);
  }
  EXPECT_EQ(PaperLabel(PaperSize{"iso_a5_148x210mm", "A5 sheet", 148, 210}), "A5 sheet");
  EXPECT_EQ(PaperLabel(PaperSize{"iso_a5_148x210mm", "iso_a5_148x210mm", 148, 210}),
            "A5 (148 x 210 mm)");
}

class PrinterSetupTest : public ::testing::Test {
 protected:
  TDisplay display_;
  THeadlessDialogs dialogs_{display_};
};

TEST_F(PrinterSetupTest, AnotherPrinterBringsItsOwnPaperList) {
  TWinPrinter printer(TwoPrinters());
  // Plotter, then its third size: the list the dialog offers by then is the plotter's.
  dialogs_.Script(
      ScriptedAnswer::Press(kIdOk, {Chosen(kPrinterListId, 1), Chosen(kPaperListId, 2)}));
  printer.Setup(dialogs_, kNoWindow);
  EXPECT_EQ(printer.PrinterName(), "Plotter");
  EXPECT_EQ(printer.Paper().media, "iso_a0_841x1189mm");
  EXPECT_EQ(printer.PageMetrics().pixels_per_inch_x, 600);
}

TEST_F(PrinterSetupTest, SwitchingBackOffersTheFirstListAgain) {
  TWinPrinter printer(TwoPrinters());
  printer.SetPaper(kPapers.at("Office")[1]);
  dialogs_.Script(ScriptedAnswer::Press(
      kIdOk, {Chosen(kPrinterListId, 1), Chosen(kPrinterListId, 0), Chosen(kPaperListId, 1)}));
  printer.Setup(dialogs_, kNoWindow);
  EXPECT_EQ(printer.PrinterName(), "Office");
  EXPECT_EQ(printer.Paper().media, "iso_a5_148x210mm");
}

TEST_F(PrinterSetupTest, ThePaperListFollowsThePrinterInTheDialog) {
  TPrintSetupDlg dialog({"Office", "Plotter"}, {"A4", "A5"}, SetupChoice{}, [](int printer) {
    return printer == 1 ? PaperChoices{{"A2", "Letter", "A0"}, 0} : PaperChoices{{"A4", "A5"}, 0};
  });
  TDialogState state(dialog.Template(), dialogs_);
  ASSERT_TRUE(state.Choose(kPrinterListId, 1));
  EXPECT_EQ(state.Control(kPaperListId)->items, (std::vector<std::string>{"A2", "Letter", "A0"}));
  EXPECT_EQ(state.Selection(kPaperListId), 0);
}
}  // namespace
