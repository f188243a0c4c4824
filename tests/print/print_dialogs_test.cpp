#include "print/print_dialogs.h"

#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/headless/headless_dialogs.h"
#include "print/print_messages.h"
#include "settings/profile.h"

namespace {
ControlInput Typed(int id, std::string text) {
  ControlInput input;
  input.id = id;
  input.text = std::move(text);
  return input;
}

ControlInput Chosen(int id, int selection) {
  ControlInput input;
  input.id = id;
  input.selection = selection;
  return input;
}

class PrintDialogsTest : public ::testing::Test {
 protected:
  TDisplay display_;
  THeadlessDialogs dialogs_{display_};
  TProfile settings_;
};

TEST_F(PrintDialogsTest, MarginsShowTheSettingsAndStoreWhatWasTyped) {
  settings_.Set(IntKey::TopMargin, 12);
  settings_.Set(IntKey::LeftMargin, 7);
  TGetMarginsDlg dialog(settings_);
  const DialogTemplate& shown = dialog.Template();
  EXPECT_EQ(shown.caption, kMarginsCaption);
  EXPECT_EQ(shown.resource, 1105);

  dialogs_.Script(ScriptedAnswer::Press(
      kIdOk, {Typed(kTopMarginId, "25"), Typed(kLeftMarginId, "abc"),
              Typed(kRightMarginId, "1234567890"), Typed(kBottomMarginId, " 40mm")}));
  ASSERT_TRUE(dialog.Execute(dialogs_, kNoWindow));
  EXPECT_EQ(settings_.Get(IntKey::TopMargin), 25);
  EXPECT_EQ(settings_.Get(IntKey::LeftMargin), 0);  // not a number
  // Only nine characters count, and the result is clamped to 32767.
  EXPECT_EQ(settings_.Get(IntKey::RightMargin), 32767);
  EXPECT_EQ(settings_.Get(IntKey::BottomMargin), 40);
}

TEST_F(PrintDialogsTest, MarginsCancelledChangeNothing) {
  settings_.Set(IntKey::TopMargin, 12);
  TGetMarginsDlg dialog(settings_);
  dialogs_.Script(ScriptedAnswer::Press(kIdCancel, {Typed(kTopMarginId, "99")}));
  EXPECT_FALSE(dialog.Execute(dialogs_, kNoWindow));
  EXPECT_EQ(settings_.Get(IntKey::TopMargin), 12);
}

TEST_F(PrintDialogsTest, PrintDialogOffersPrintersButNoPagesOrSelection) {
  TWinPrintDlg dialog({"Office", "PDF"}, 1);
  bool found_list = false;
  for (const DialogControl& control : dialog.Template().controls) {
    if (control.id == kSelectionId || control.id == kPagesId) {
      EXPECT_FALSE(control.enabled);
    }
    if (control.id == kPrinterListId) {
      found_list = true;
      EXPECT_EQ(control.selection, 1);
    }
  }
  EXPECT_TRUE(found_list);

  dialogs_.Script(ScriptedAnswer::Press(kIdOk, {Chosen(kPrinterListId, 0)}));
  EXPECT_EQ(dialog.Execute(dialogs_, kNoWindow), 0);
  dialogs_.Script(ScriptedAnswer::Cancel(DialogKind::kCustom));
  EXPECT_EQ(dialog.Execute(dialogs_, kNoWindow), std::nullopt);
}

TEST_F(PrintDialogsTest, SetupChoosesPaperAndOrientation) {
  TPrintSetupDlg dialog({"PDF"}, {"iso_a4_210x297mm", "na_letter_8.5x11in"}, SetupChoice{});
  dialogs_.Script(
      ScriptedAnswer::Press(kIdOk, {Chosen(kPaperListId, 1), Chosen(kOrientationListId, 1)}));
  const std::optional<SetupChoice> chosen = dialog.Execute(dialogs_, kNoWindow);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->printer, 0);
  EXPECT_EQ(chosen->paper, 1);
  EXPECT_TRUE(chosen->landscape);
}
}  // namespace
