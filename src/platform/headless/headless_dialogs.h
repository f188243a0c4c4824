// Dialogs without a display: each one takes its answer from a script that the
// test (or a batch run) prepared, and every dialog shown is recorded with its
// texts. A dialog that finds no matching answer is cancelled (a Yes/No box
// answers No, an OK box OK), so a run without a display never waits.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/custom_colours.h"
#include "platform/dialogs.h"
#include "platform/display.h"

enum class DialogKind { kMessageBox, kOpenFile, kSaveFile, kColour, kCustom };

// What the user does in a described dialog: a value for a control.
struct ControlInput {
  int id = 0;
  std::optional<std::string> text;
  std::optional<bool> checked;
  std::optional<int> selection;
};

struct ScriptedAnswer {
  DialogKind kind = DialogKind::kMessageBox;
  std::string caption;                      // when not empty the dialog's caption must equal it
  DialogAnswer answer = DialogAnswer::kOk;  // message boxes; kCancel cancels any dialog
  // File dialogs: the folder and the names picked, and the type chosen (0 keeps it).
  std::string directory;
  std::vector<std::string> names;
  int filter_index = 0;
  ColorRef colour = 0;  // colour chooser
  std::optional<std::array<ColorRef, kCustomColourCount>> custom_colours;
  std::vector<ControlInput> inputs;  // described dialogs: values, then press `button`
  int button = kIdOk;

  static ScriptedAnswer Box(DialogAnswer answer);
  static ScriptedAnswer Open(std::string directory, std::vector<std::string> names,
                             int filter_index = 0);
  static ScriptedAnswer Save(std::string path, int filter_index = 0);
  static ScriptedAnswer Colour(ColorRef colour);
  static ScriptedAnswer Press(int button, std::vector<ControlInput> inputs = {});
  // The one-line prompt confirmed with `text`.
  static ScriptedAnswer Text(std::string text);
  static ScriptedAnswer Cancel(DialogKind kind);
};

// One dialog as it was shown.
struct DialogRecord {
  DialogKind kind = DialogKind::kMessageBox;
  std::string caption;             // as shown first
  std::vector<std::string> texts;  // message, filters, labels and static texts
  MessageBoxIcon icon = MessageBoxIcon::kNone;
  MessageBoxButtons buttons = MessageBoxButtons::kOk;
  int result = kIdCancel;     // the closing id or DialogAnswer value
  bool scripted = false;      // false: answered by default
  std::string final_caption;  // described dialogs may change it
};

class THeadlessDialogs : public DialogService {
 public:
  explicit THeadlessDialogs(const TDisplay& display) : display_(display) {}

  void Script(ScriptedAnswer answer) { script_.push_back(std::move(answer)); }
  // Run when the outermost dialog opens (before it is answered) and after it
  // closed, with its owner: the backend moves the focus and holds the loop's
  // modal scope there.
  void SetModalHooks(std::function<void(WindowId)> opening, std::function<void(WindowId)> closed) {
    opening_ = std::move(opening);
    closed_ = std::move(closed);
  }
  // Run while every dialog is up, as a toolkit's nested loop runs while a
  // real dialog waits for the user.
  void SetWhileShown(std::function<void()> while_shown) { while_shown_ = std::move(while_shown); }
  std::size_t ScriptLeft() const { return script_.size(); }
  const std::vector<DialogRecord>& Shown() const { return shown_; }
  void ClearRecord() { shown_.clear(); }

  DialogAnswer ShowMessageBox(const MessageBoxRequest& request) override;
  OpenFileResult OpenFile(const OpenFileRequest& request) override;
  SaveFileResult SaveFile(const SaveFileRequest& request) override;
  std::optional<ColorRef> ChooseColour(const ColourRequest& request) override;
  int RunDialog(const DialogTemplate& dialog, WindowId owner) override;

 private:
  // Holds the hooks' state from a dialog's start to its end.
  class Showing {
   public:
    Showing(THeadlessDialogs& dialogs, WindowId owner);
    ~Showing();
    Showing(const Showing&) = delete;
    Showing& operator=(const Showing&) = delete;

   private:
    THeadlessDialogs& dialogs_;
    WindowId owner_;
  };

  std::optional<ScriptedAnswer> Take(DialogKind kind, const std::string& caption);
  // Also raises the process-wide flag when the layout is too large.
  bool DoesNotFit(Size layout) const;
  std::size_t Record(DialogRecord record);

  const TDisplay& display_;
  std::deque<ScriptedAnswer> script_;
  std::vector<DialogRecord> shown_;
  std::function<void(WindowId)> opening_;
  std::function<void(WindowId)> closed_;
  std::function<void()> while_shown_;
  int depth_ = 0;
};
