// The program's own dialogs described as data: controls with ids, labels,
// kinds and initial values, and button handlers. One description serves every
// backend: the backend shows the controls and reports what the user typed and
// pressed; TDialogState holds the live values and runs the handlers.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/geometry.h"

class DialogService;
class TDialogState;

// The ids that close a dialog by default.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

enum class ControlKind { kStatic, kGroupBox, kEdit, kCheckBox, kDropDownList, kButton };

struct DialogControl {
  int id = 0;
  ControlKind kind = ControlKind::kStatic;
  std::string label;  // static text, group, check box and button texts
  Rect layout;        // dialog units; empty leaves the layout to the backend
  std::string text;   // edit: initial text
  int limit = 0;      // edit: most characters it accepts; 0 for no limit
  bool masked = false;
  bool checked = false;            // check box
  std::vector<std::string> items;  // drop-down list
  int selection = -1;              // drop-down list: -1 for none
  bool enabled = true;
  bool default_button = false;

  static DialogControl Make(int id, ControlKind kind, std::string label = {}) {
    DialogControl control;
    control.id = id;
    control.kind = kind;
    control.label = std::move(label);
    return control;
  }
};

// What a button handler decides.
struct ButtonResult {
  bool close = true;
  int result = kIdOk;
  static ButtonResult Close(int result) { return ButtonResult{true, result}; }
  static ButtonResult StayOpen() { return ButtonResult{false, 0}; }
};

using ButtonHandler = std::function<ButtonResult(TDialogState&)>;

struct DialogTemplate {
  int resource = 0;
  std::string caption;
  Size size;  // dialog units
  std::vector<DialogControl> controls;
  // Runs once before the dialog is shown (fill controls, enable or disable).
  std::function<void(TDialogState&)> on_init;
  // By button id. Without a handler OK closes with kIdOk, Cancel with
  // kIdCancel, and any other button does nothing.
  std::map<int, ButtonHandler> handlers;
  // By drop-down list id: runs after the user picked an entry of the list.
  std::map<int, std::function<void(TDialogState&)>> on_select;
  // Runs when the dialog closes, either way, with the closing id.
  std::function<void(TDialogState&, int result)> on_close;
};

class TDialogState {
 public:
  // `dialogs` serves the message boxes that handlers show.
  TDialogState(const DialogTemplate& dialog, DialogService& dialogs);

  const DialogTemplate& Template() const { return template_; }
  DialogService& Dialogs() { return dialogs_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  // Flashes the dialog's frame once; counted so that tests can see it.
  void Flash() { ++flashes_; }
  int FlashCount() const { return flashes_; }

  // Live values. Unknown ids read as empty, unchecked, no selection.
  std::string Text(int id) const;
  // Sets the text, cut to the control's limit.
  void SetText(int id, std::string text);
  bool IsChecked(int id) const;
  void SetChecked(int id, bool checked);
  int Selection(int id) const;
  // -1 or an index within the items; others are refused.
  bool SetSelection(int id, int selection);
  // Replaces a drop-down list's entries and selects one (none when out of range).
  void SetItems(int id, std::vector<std::string> items, int selection);
  bool IsEnabled(int id) const;
  void Enable(int id, bool enabled);
  const DialogControl* Control(int id) const;
  const std::vector<DialogControl>& Controls() const { return controls_; }

  // What a user does. Typing goes only into an enabled edit and stops at its
  // limit; false when refused.
  bool Type(int id, const std::string& text);
  // Picks an entry of an enabled drop-down list and runs its on_select; false
  // when refused.
  bool Choose(int id, int selection);
  // Presses an enabled button: runs its handler, or the default for OK and
  // Cancel. Returns the closing id when the dialog closes, else nothing.
  std::optional<int> PressButton(int id);
  // Closes with `result`, running on_close once.
  void Close(int result);
  bool IsClosed() const { return closed_; }
  int Result() const { return result_; }

 private:
  DialogControl* MutableControl(int id);

  const DialogTemplate& template_;
  DialogService& dialogs_;
  std::vector<DialogControl> controls_;
  std::string caption_;
  int flashes_ = 0;
  bool closed_ = false;
  int result_ = kIdCancel;
};
