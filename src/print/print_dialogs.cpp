#include "print/print_dialogs.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/dialogs.h"
#include "print/print_messages.h"
#include "settings/decimal.h"
#include "settings/profile.h"

namespace {
constexpr int kStaticId = -1;
constexpr int kGroupId = -2;
// A margin field reads this many characters at most.
constexpr int kMarginDigits = 9;
// The margin settings' range ends here (millimetres).
constexpr int kMaxMargin = 32767;

struct MarginField {
  int id;
  const char* label;
  IntKey key;
};
constexpr std::array<MarginField, 4> kMarginFields = {{
    {kTopMarginId, kTopMarginLabel, IntKey::TopMargin},
    {kLeftMarginId, kLeftMarginLabel, IntKey::LeftMargin},
    {kRightMarginId, kRightMarginLabel, IntKey::RightMargin},
    {kBottomMarginId, kBottomMarginLabel, IntKey::BottomMargin},
}};

DialogControl Placed(DialogControl control, Rect layout) {
  control.layout = layout;
  return control;
}

DialogControl List(int id, std::vector<std::string> items, int selection, Rect layout) {
  DialogControl control = Placed(DialogControl::Make(id, ControlKind::kDropDownList), layout);
  control.items = std::move(items);
  const int count = static_cast<int>(control.items.size());
  control.selection = selection >= 0 && selection < count ? selection : (count > 0 ? 0 : -1);
  return control;
}

void AddButtons(DialogTemplate& dialog, int x, int y) {
  DialogControl ok = Placed(DialogControl::Make(kIdOk, ControlKind::kButton, kOkLabel),
                            Rect::FromSize(x, y, 50, 14));
  ok.default_button = true;
  dialog.controls.push_back(ok);
  dialog.controls.push_back(
      Placed(DialogControl::Make(kIdCancel, ControlKind::kButton, kCancelLabel),
             Rect::FromSize(x + 56, y, 50, 14)));
}
}  // namespace

TWinPrintDlg::TWinPrintDlg(std::vector<std::string> printers, int current) {
  template_.caption = kPrintCaption;
  template_.size = Size{200, 96};
  template_.controls.push_back(
      Placed(DialogControl::Make(kStaticId, ControlKind::kStatic, kPrinterLabel),
             Rect::FromSize(8, 8, 184, 10)));
  template_.controls.push_back(
      List(kPrinterListId, std::move(printers), current, Rect::FromSize(8, 20, 184, 60)));
  // One page, always the whole picture.
  for (const auto& [id, label, y] :
       {std::tuple{kSelectionId, kSelectionLabel, 40}, std::tuple{kPagesId, kPagesLabel, 54}}) {
    DialogControl check = Placed(DialogControl::Make(id, ControlKind::kCheckBox, label),
                                 Rect::FromSize(8, y, 90, 10));
    check.enabled = false;
    template_.controls.push_back(check);
  }
  AddButtons(template_, 86, 74);
  template_.on_close = [this](TDialogState& state, int result) {
    if (result == kIdOk) chosen_ = state.Selection(kPrinterListId);
  };
}

std::optional<int> TWinPrintDlg::Execute(DialogService& dialogs, WindowId owner) {
  chosen_ = -1;
  if (dialogs.RunDialog(template_, owner) != kIdOk) return std::nullopt;
  return chosen_;
}

TPrintSetupDlg::TPrintSetupDlg(std::vector<std::string> printers, std::vector<std::string> papers,
                               const SetupChoice& current, PaperLister papers_of)
    : chosen_(current) {
  template_.caption = kPrintSetupCaption;
  template_.size = Size{200, 110};
  const std::array<std::pair<const char*, int>, 3> labels = {
      {{kPrinterLabel, 8}, {kPaperLabel, 36}, {kOrientationLabel, 64}}};
  for (const auto& [label, y] : labels) {
    template_.controls.push_back(Placed(DialogControl::Make(kStaticId, ControlKind::kStatic, label),
                                        Rect::FromSize(8, y, 184, 10)));
  }
  template_.controls.push_back(
      List(kPrinterListId, std::move(printers), current.printer, Rect::FromSize(8, 18, 184, 60)));
  template_.controls.push_back(
      List(kPaperListId, std::move(papers), current.paper, Rect::FromSize(8, 46, 184, 60)));
  template_.controls.push_back(List(kOrientationListId, {kPortrait, kLandscape},
                                    current.landscape ? 1 : 0, Rect::FromSize(8, 74, 184, 40)));
  AddButtons(template_, 86, 92);
  if (papers_of) {
    template_.on_select[kPrinterListId] = [papers_of = std::move(papers_of)](TDialogState& state) {
      PaperChoices offered = papers_of(state.Selection(kPrinterListId));
      state.SetItems(kPaperListId, std::move(offered.names), offered.selected);
    };
  }
  template_.on_close = [this](TDialogState& state, int result) {
    if (result != kIdOk) return;
    chosen_.printer = state.Selection(kPrinterListId);
    chosen_.paper = state.Selection(kPaperListId);
    chosen_.landscape = state.Selection(kOrientationListId) == 1;
  };
}

std::optional<SetupChoice> TPrintSetupDlg::Execute(DialogService& dialogs, WindowId owner) {
  if (dialogs.RunDialog(template_, owner) != kIdOk) return std::nullopt;
  return chosen_;
}

TGetMarginsDlg::TGetMarginsDlg(TProfile& settings) {
  template_.resource = kMarginsResource;
  template_.caption = kMarginsCaption;
  template_.size = Size{140, 100};
  template_.controls.push_back(
      Placed(DialogControl::Make(kGroupId, ControlKind::kGroupBox, kMarginsGroup),
             Rect::FromSize(6, 4, 128, 70)));
  int y = 16;
  for (const MarginField& field : kMarginFields) {
    template_.controls.push_back(
        Placed(DialogControl::Make(kStaticId, ControlKind::kStatic, field.label),
               Rect::FromSize(14, y + 2, 40, 10)));
    DialogControl edit =
        Placed(DialogControl::Make(field.id, ControlKind::kEdit), Rect::FromSize(60, y, 60, 12));
    edit.text = std::to_string(settings.Get(field.key));
    template_.controls.push_back(edit);
    y += 14;
  }
  AddButtons(template_, 22, 80);
  template_.on_close = [&settings](TDialogState& state, int result) {
    if (result != kIdOk) return;
    for (const MarginField& field : kMarginFields) {
      const std::string text = state.Text(field.id).substr(0, kMarginDigits);
      settings.Set(field.key, std::clamp(ParseDecimalInt(text).value_or(0), 0, kMaxMargin));
    }
  };
}

bool TGetMarginsDlg::Execute(DialogService& dialogs, WindowId owner) {
  return dialogs.RunDialog(template_, owner) == kIdOk;
}
