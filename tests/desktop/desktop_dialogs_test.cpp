// The desktop's dialogs, answered from inside their own modal loop the way a
// user would answer them: the program's described dialogs and the colour
// chooser with its custom colours. Skipped without a display.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <functional>
#include <memory>

#include "platform/custom_colours.h"
#include "platform/wx/wx_backend.h"

namespace {
// The dialog the user is looking at.
wxDialog* ShownDialog() {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = wxDynamicCast(window, wxDialog);
    if (dialog && dialog->IsModal()) return dialog;
  }
  return nullptr;
}

template <typename Control>
Control* FindChild(wxWindow* parent, const std::function<bool(Control*)>& wanted) {
  for (wxWindow* child : parent->GetChildren()) {
    if (auto* control = dynamic_cast<Control*>(child); control && wanted(control)) return control;
    if (Control* inner = FindChild<Control>(child, wanted)) return inner;
  }
  return nullptr;
}

void Click(wxButton* button) {
  ASSERT_NE(button, nullptr);
  wxCommandEvent click(wxEVT_BUTTON, button->GetId());
  click.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(click);
}

wxButton* ButtonLabelled(wxWindow* dialog, const wxString& label) {
  return FindChild<wxButton>(dialog, [&](wxButton* b) { return b->GetLabel() == label; });
}

class DesktopDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no display";
    std::string error;
    backend_ = TWxBackend::Create(&error);
    ASSERT_TRUE(backend_) << error;
    ResetCustomColours();
  }
  void TearDown() override { ResetCustomColours(); }

  // Acts once the dialog is up; a dialog still open then is closed so that
  // a failing test never hangs.
  void WhenShown(std::function<void(wxDialog&)> act) {
    wxTheApp->CallAfter([this, act = std::move(act)] {
      wxDialog* dialog = ShownDialog();
      if (!dialog) {
        WhenShown(act);
        return;
      }
      modal_while_shown_ = backend_->EventLoop().InModalDialog();
      act(*dialog);
      if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
    });
  }

  std::unique_ptr<TWxBackend> backend_;
  bool modal_while_shown_ = false;
};
}  // namespace

TEST_F(DesktopDialogs, DescribedDialogsRunTheirHandlersOnWhatWasTyped) {
  DialogTemplate dialog;
  dialog.caption = "Name";
  DialogControl edit = DialogControl::Make(10, ControlKind::kEdit);
  edit.limit = 5;
  dialog.controls = {DialogControl::Make(9, ControlKind::kStatic, "&Name:"), edit,
                     DialogControl::Make(kIdOk, ControlKind::kButton, "OK"),
                     DialogControl::Make(kIdCancel, ControlKind::kButton, "Cancel")};
  int presses = 0;
  dialog.handlers[kIdOk] = [&presses](TDialogState& state) {
    // The first press refuses and says why in the caption.
    if (++presses == 1) {
      state.SetCaption("Try again");
      return ButtonResult::StayOpen();
    }
    return ButtonResult::Close(kIdOk);
  };
  std::string closed_with;
  dialog.on_close = [&closed_with](TDialogState& state, int) { closed_with = state.Text(10); };
  WhenShown([](wxDialog& shown) {
    auto* field = FindChild<wxTextCtrl>(&shown, [](wxTextCtrl*) { return true; });
    ASSERT_NE(field, nullptr);
    // The field takes no more than its limit.
    field->ChangeValue("Zentrope");
    EXPECT_LE(field->GetValue().length(), 5u);
    field->ChangeValue("Zen");
    Click(ButtonLabelled(&shown, "OK"));
    EXPECT_EQ(shown.GetTitle(), "Try again");
    Click(ButtonLabelled(&shown, "OK"));
  });
  EXPECT_EQ(backend_->Dialogs().RunDialog(dialog, kNoWindow), kIdOk);
  EXPECT_TRUE(modal_while_shown_);
  EXPECT_FALSE(backend_->EventLoop().InModalDialog());
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(closed_with, "Zen");
}

TEST_F(DesktopDialogs, ClosingADescribedDialogCancelsIt) {
  DialogTemplate dialog;
  dialog.caption = "Question";
  dialog.controls = {DialogControl::Make(kIdOk, ControlKind::kButton, "OK")};
  WhenShown([](wxDialog& shown) { shown.Close(); });
  EXPECT_EQ(backend_->Dialogs().RunDialog(dialog, kNoWindow), kIdCancel);
}

TEST_F(DesktopDialogs, ColourChooserKeepsTheSixteenCustomColours) {
  const ColorRef chosen = MakeRgb(12, 34, 56);
  WhenShown([](wxDialog& shown) {
    Click(ButtonLabelled(&shown, "&Add to Custom Colors"));
    Click(FindChild<wxButton>(&shown, [](wxButton* b) { return b->GetId() == wxID_OK; }));
  });
  const std::optional<ColorRef> answer =
      backend_->Dialogs().ChooseColour(ColourRequest{kNoWindow, "Background", chosen, true});
  ASSERT_TRUE(answer);
  EXPECT_EQ(*answer, chosen);
  EXPECT_EQ(CustomColours()[0], chosen);
  EXPECT_EQ(CustomColours()[1], MakeRgb(16, 16, 16));  // the rest of the ramp stays

  // Cancelled: neither the colour nor the boxes change.
  WhenShown([](wxDialog& shown) {
    Click(ButtonLabelled(&shown, "&Add to Custom Colors"));
    Click(FindChild<wxButton>(&shown, [](wxButton* b) { return b->GetId() == wxID_CANCEL; }));
  });
  EXPECT_FALSE(
      backend_->Dialogs().ChooseColour(ColourRequest{kNoWindow, "", MakeRgb(200, 0, 0), true}));
  EXPECT_EQ(CustomColours()[1], MakeRgb(16, 16, 16));
}
