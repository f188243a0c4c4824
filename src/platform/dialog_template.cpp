#include "platform/dialog_template.h"

TDialogState::TDialogState(const DialogTemplate& dialog, DialogService& dialogs)
    : template_(dialog), dialogs_(dialogs), controls_(dialog.controls), caption_(dialog.caption) {
  for (DialogControl& control : controls_) {
    if (control.limit > 0 && control.text.size() > static_cast<std::size_t>(control.limit)) {
      control.text.resize(static_cast<std::size_t>(control.limit));
    }
    if (control.selection < -1 || control.selection >= static_cast<int>(control.items.size())) {
      control.selection = -1;
    }
  }
}

const DialogControl* TDialogState::Control(int id) const {
  for (const DialogControl& control : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

DialogControl* TDialogState::MutableControl(int id) {
  return const_cast<DialogControl*>(Control(id));
}

std::string TDialogState::Text(int id) const {
  const DialogControl* control = Control(id);
  if (!control) return {};
  return control->kind == ControlKind::kEdit ? control->text : control->label;
}

void TDialogState::SetText(int id, std::string text) {
  DialogControl* control = MutableControl(id);
  if (!control) return;
  if (control->kind != ControlKind::kEdit) {
    control->label = std::move(text);
    return;
  }
  if (control->limit > 0 && text.size() > static_cast<std::size_t>(control->limit)) {
    text.resize(static_cast<std::size_t>(control->limit));
  }
  control->text = std::move(text);
}

bool TDialogState::IsChecked(int id) const {
  const DialogControl* control = Control(id);
  return control && control->checked;
}

void TDialogState::SetChecked(int id, bool checked) {
  if (DialogControl* control = MutableControl(id)) control->checked = checked;
}

int TDialogState::Selection(int id) const {
  const DialogControl* control = Control(id);
  return control ? control->selection : -1;
}

bool TDialogState::SetSelection(int id, int selection) {
  DialogControl* control = MutableControl(id);
  if (!control || selection < -1 || selection >= static_cast<int>(control->items.size())) {
    return false;
  }
  control->selection = selection;
  return true;
}

void TDialogState::SetItems(int id, std::vector<std::string> items, int selection) {
  DialogControl* control = MutableControl(id);
  if (!control || control->kind != ControlKind::kDropDownList) return;
  control->items = std::move(items);
  const int count = static_cast<int>(control->items.size());
  control->selection = selection >= 0 && selection < count ? selection : -1;
}

bool TDialogState::IsEnabled(int id) const {
  const DialogControl* control = Control(id);
  return control && control->enabled;
}

void TDialogState::Enable(int id, bool enabled) {
  if (DialogControl* control = MutableControl(id)) control->enabled = enabled;
}

bool TDialogState::Type(int id, const std::string& text) {
  const DialogControl* control = Control(id);
  if (!control || control->kind != ControlKind::kEdit || !control->enabled) return false;
  SetText(id, text);
  return true;
}

bool TDialogState::Choose(int id, int selection) {
  const DialogControl* control = Control(id);
  if (!control || control->kind != ControlKind::kDropDownList || !control->enabled) return false;
  if (!SetSelection(id, selection)) return false;
  const auto picked = template_.on_select.find(id);
  if (picked != template_.on_select.end() && picked->second) picked->second(*this);
  return true;
}

std::optional<int> TDialogState::PressButton(int id) {
  if (closed_) return result_;
  const DialogControl* control = Control(id);
  const bool standard = id == kIdOk || id == kIdCancel;
  if (control && !control->enabled) return std::nullopt;
  if (!control && !standard) return std::nullopt;
  ButtonResult action = ButtonResult::StayOpen();
  const auto handler = template_.handlers.find(id);
  if (handler != template_.handlers.end()) {
    action = handler->second(*this);
  } else if (standard) {
    action = ButtonResult::Close(id);
  }
  if (!action.close) return std::nullopt;
  Close(action.result);
  return result_;
}

void TDialogState::Close(int result) {
  if (closed_) return;
  closed_ = true;
  result_ = result;
  if (template_.on_close) template_.on_close(*this, result);
}
