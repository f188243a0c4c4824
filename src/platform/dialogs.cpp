#include "platform/dialogs.h"

namespace {
constexpr int kSystemFontWidth = 8;
constexpr int kSystemFontHeight = 16;

bool dialog_did_not_fit = false;
}  // namespace

bool DialogDidNotFit() {
  return dialog_did_not_fit;
}
void SetDialogDidNotFit(bool did_not_fit) {
  dialog_did_not_fit = did_not_fit;
}

Size DialogUnitsToPixels(Size units) {
  return Size{units.width * kSystemFontWidth / 4, units.height * kSystemFontHeight / 8};
}

DialogAnswer MessageBox(DialogService& dialogs, WindowId owner, const std::string& text,
                        const std::string& caption, MessageBoxIcon icon,
                        MessageBoxButtons buttons) {
  return dialogs.ShowMessageBox(MessageBoxRequest{owner, text, caption, icon, buttons});
}
