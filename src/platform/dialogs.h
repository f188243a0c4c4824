// The dialogs the platform provides: message boxes, file dialogs, the colour
// chooser, and the program's own dialogs described as data. Each call is
// modal: it returns when the dialog has closed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/dialog_template.h"
#include "platform/geometry.h"
#include "platform/message.h"

enum class MessageBoxIcon { kNone, kInformation, kExclamation, kQuestion, kStop };
enum class MessageBoxButtons { kOk, kOkCancel, kYesNo };
// The answers carry the platform's button ids.
enum class DialogAnswer { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

struct MessageBoxRequest {
  WindowId owner = kNoWindow;
  std::string text;
  std::string caption;
  MessageBoxIcon icon = MessageBoxIcon::kNone;
  MessageBoxButtons buttons = MessageBoxButtons::kOk;
};

struct OpenFileRequest {
  WindowId owner = kNoWindow;
  std::string caption;
  std::string filters;   // "Desc|*.a;*.b|..."
  int filter_index = 1;  // 1-based
  std::string initial_directory;
  bool multiple = false;
  bool must_exist = true;
  Size layout;       // the program's own layout in dialog units; 0 × 0 for the standard one
  std::string hint;  // the line of text the program's own layout adds
};

struct OpenFileResult {
  bool ok = false;
  int filter_index = 1;            // the file-type list's selection plus one
  std::string directory;           // without a trailing "/"
  std::vector<std::string> names;  // names within `directory`, at least one when ok
  bool did_not_fit = false;        // the requested layout was larger than the screen
};

struct SaveFileRequest {
  WindowId owner = kNoWindow;
  std::string caption;
  std::string filters;
  int filter_index = 1;
  std::string initial_directory;
  std::string initial_name;
  bool overwrite_prompt = true;
  // By filter index - 1: the extension the name takes when that type is picked.
  std::vector<std::string> type_extensions;
  Size layout;
  std::string hint;
};

struct SaveFileResult {
  bool ok = false;
  int filter_index = 1;
  std::string path;
  bool did_not_fit = false;
};

struct ColourRequest {
  WindowId owner = kNoWindow;
  std::string caption;
  ColorRef initial = 0;
  bool full_open = true;  // the custom-colour part shown from the start
};

// Dialog units of the system font: 4 per character width, 8 per line height.
Size DialogUnitsToPixels(Size units);

// Where a dialog of `size` pixels goes: centred over `parent` (the screen when
// it is empty), then moved inside the screen; in a direction where it is
// larger than the screen it is centred on the screen instead, and
// SetDialogDidNotFit(true) records that.
Rect PlaceDialog(Size size, const Rect& parent, Size screen);

// Process-wide: a dialog was larger than the screen. Backends set it when they
// place a dialog; the open and save commands read and clear it.
bool DialogDidNotFit();
void SetDialogDidNotFit(bool did_not_fit);

class DialogService {
 public:
  virtual ~DialogService() = default;
  virtual DialogAnswer ShowMessageBox(const MessageBoxRequest& request) = 0;
  virtual OpenFileResult OpenFile(const OpenFileRequest& request) = 0;
  virtual SaveFileResult SaveFile(const SaveFileRequest& request) = 0;
  // The chosen colour, or nothing when cancelled. Uses and updates CustomColours().
  virtual std::optional<ColorRef> ChooseColour(const ColourRequest& request) = 0;
  // Runs the described dialog until a button closes it; returns the closing id.
  virtual int RunDialog(const DialogTemplate& dialog, WindowId owner) = 0;
};

// Convenience over ShowMessageBox.
DialogAnswer MessageBox(DialogService& dialogs, WindowId owner, const std::string& text,
                        const std::string& caption, MessageBoxIcon icon = MessageBoxIcon::kNone,
                        MessageBoxButtons buttons = MessageBoxButtons::kOk);
