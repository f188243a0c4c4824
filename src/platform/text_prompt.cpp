#include "platform/text_prompt.h"

#include <algorithm>

namespace {
constexpr Size kPromptSize{180, 72};
}  // namespace

DialogTemplate MakeTextPrompt(const std::string& prompt, const std::string& initial,
                              int max_length) {
  DialogTemplate dialog;
  dialog.resource = kTextPromptResource;
  dialog.caption = kTextPromptCaption;
  dialog.size = kPromptSize;
  DialogControl label;
  label.id = kTextPromptLabelId;
  label.kind = ControlKind::kStatic;
  label.label = prompt;
  label.layout = Rect{8, 8, 172, 20};
  DialogControl edit;
  edit.id = kTextPromptEditId;
  edit.kind = ControlKind::kEdit;
  edit.limit = std::max(0, max_length - 1);
  edit.text = initial;
  edit.layout = Rect{8, 24, 172, 36};
  DialogControl ok;
  ok.id = kIdOk;
  ok.kind = ControlKind::kButton;
  ok.label = "OK";
  ok.default_button = true;
  ok.layout = Rect{40, 48, 84, 62};
  DialogControl cancel;
  cancel.id = kIdCancel;
  cancel.kind = ControlKind::kButton;
  cancel.label = "Cancel";
  cancel.layout = Rect{96, 48, 140, 62};
  dialog.controls = {label, edit, ok, cancel};
  return dialog;
}

std::optional<std::string> PromptText(DialogService& dialogs, WindowId owner,
                                      const std::string& prompt, const std::string& initial,
                                      int max_length) {
  std::string answer;
  DialogTemplate dialog = MakeTextPrompt(prompt, initial, max_length);
  dialog.on_close = [&answer](TDialogState& state, int) { answer = state.Text(kTextPromptEditId); };
  if (dialogs.RunDialog(dialog, owner) != kIdOk) return std::nullopt;
  return answer;
}
