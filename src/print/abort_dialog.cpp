#include "print/abort_dialog.h"

#include "platform/long_operation.h"
#include "print/print_host.h"
#include "print/print_messages.h"

DialogTemplate AbortDialogTemplate(const std::string& title) {
  DialogTemplate dialog;
  dialog.caption = kAbortCaption;
  dialog.size = Size{160, 50};
  DialogControl text = DialogControl::Make(kAbortTitleId, ControlKind::kStatic, title);
  text.layout = Rect::FromSize(8, 8, 144, 10);
  dialog.controls.push_back(text);
  DialogControl cancel = DialogControl::Make(kIdCancel, ControlKind::kButton, kCancelLabel);
  cancel.layout = Rect::FromSize(55, 28, 50, 14);
  cancel.default_button = true;
  dialog.controls.push_back(cancel);
  dialog.handlers[kIdCancel] = [](TDialogState&) {
    RequestCancel();
    return ButtonResult::Close(kIdCancel);
  };
  return dialog;
}

std::unique_ptr<ModelessDialog> OpenAbortDialog(PrintHost& host, const std::string& title) {
  return host.OpenModelessDialog(AbortDialogTemplate(title));
}

bool AbortRequested(const ModelessDialog* dialog) {
  return dialog != nullptr && dialog->State().IsClosed() && dialog->State().Result() == kIdCancel;
}
