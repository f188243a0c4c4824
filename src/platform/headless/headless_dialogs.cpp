#include "platform/headless/headless_dialogs.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/file_filter.h"
#include "platform/path.h"

namespace {
bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string JoinDirectory(const std::string& directory, const std::string& name) {
  if (directory.empty() || (!name.empty() && name.front() == '/')) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

std::string WithoutTrailingSlash(std::string directory) {
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  return directory;
}

bool Offers(MessageBoxButtons buttons, DialogAnswer answer) {
  switch (buttons) {
    case MessageBoxButtons::kOk:
      return answer == DialogAnswer::kOk;
    case MessageBoxButtons::kOkCancel:
      return answer == DialogAnswer::kOk || answer == DialogAnswer::kCancel;
    case MessageBoxButtons::kYesNo:
      return answer == DialogAnswer::kYes || answer == DialogAnswer::kNo;
  }
  return false;
}

// What closing the box without a choice gives.
DialogAnswer DefaultAnswer(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::kOk:
      return DialogAnswer::kOk;
    case MessageBoxButtons::kYesNo:
      return DialogAnswer::kNo;
    case MessageBoxButtons::kOkCancel:
      break;
  }
  return DialogAnswer::kCancel;
}

int ClampFilterIndex(int index, const std::string& filters) {
  const int count = static_cast<int>(ParseFilterList(filters).size());
  return std::clamp(index, 1, std::max(1, count));
}

std::vector<std::string> ControlTexts(const TDialogState& state) {
  std::vector<std::string> texts;
  for (const DialogControl& control : state.Controls()) {
    if (!control.label.empty()) texts.push_back(control.label);
    if (control.kind == ControlKind::kEdit && !control.masked && !control.text.empty()) {
      texts.push_back(control.text);
    }
  }
  return texts;
}

DialogRecord NewRecord(DialogKind kind, const std::string& caption,
                       std::vector<std::string> texts) {
  DialogRecord record;
  record.kind = kind;
  record.caption = caption;
  record.texts = std::move(texts);
  return record;
}

void ApplyInput(TDialogState& state, const ControlInput& input) {
  const DialogControl* control = state.Control(input.id);
  if (!control || !control->enabled) return;
  if (input.text) state.Type(input.id, *input.text);
  if (input.checked && control->kind == ControlKind::kCheckBox) {
    state.SetChecked(input.id, *input.checked);
  }
  if (input.selection) state.Choose(input.id, *input.selection);
}
}  // namespace

ScriptedAnswer ScriptedAnswer::Box(DialogAnswer answer) {
  ScriptedAnswer a;
  a.kind = DialogKind::kMessageBox;
  a.answer = answer;
  return a;
}

ScriptedAnswer ScriptedAnswer::Open(std::string directory, std::vector<std::string> names,
                                    int filter_index) {
  ScriptedAnswer a;
  a.kind = DialogKind::kOpenFile;
  a.directory = std::move(directory);
  a.names = std::move(names);
  a.filter_index = filter_index;
  return a;
}

ScriptedAnswer ScriptedAnswer::Save(std::string path, int filter_index) {
  ScriptedAnswer a;
  a.kind = DialogKind::kSaveFile;
  a.names = {std::move(path)};
  a.filter_index = filter_index;
  return a;
}

ScriptedAnswer ScriptedAnswer::Colour(ColorRef colour) {
  ScriptedAnswer a;
  a.kind = DialogKind::kColour;
  a.colour = colour;
  return a;
}

ScriptedAnswer ScriptedAnswer::Press(int button, std::vector<ControlInput> inputs) {
  ScriptedAnswer a;
  a.kind = DialogKind::kCustom;
  a.button = button;
  a.inputs = std::move(inputs);
  return a;
}

ScriptedAnswer ScriptedAnswer::Text(std::string text) {
  ControlInput input;
  input.id = 1585;  // the prompt's edit field
  input.text = std::move(text);
  return Press(kIdOk, {input});
}

ScriptedAnswer ScriptedAnswer::Cancel(DialogKind kind) {
  ScriptedAnswer a;
  a.kind = kind;
  a.answer = DialogAnswer::kCancel;
  a.button = kIdCancel;
  return a;
}

THeadlessDialogs::Showing::Showing(THeadlessDialogs& dialogs, WindowId owner)
    : dialogs_(dialogs), owner_(owner) {
  if (dialogs_.depth_++ == 0 && dialogs_.opening_) dialogs_.opening_(owner_);
  if (dialogs_.while_shown_) dialogs_.while_shown_();
}

THeadlessDialogs::Showing::~Showing() {
  if (--dialogs_.depth_ == 0 && dialogs_.closed_) dialogs_.closed_(owner_);
}

std::optional<ScriptedAnswer> THeadlessDialogs::Take(DialogKind kind, const std::string& caption) {
  if (script_.empty()) return std::nullopt;
  const ScriptedAnswer& front = script_.front();
  if (front.kind != kind || (!front.caption.empty() && front.caption != caption)) {
    return std::nullopt;
  }
  ScriptedAnswer answer = front;
  script_.pop_front();
  return answer;
}

bool THeadlessDialogs::DoesNotFit(Size layout) const {
  const Size pixels = DialogUnitsToPixels(layout);
  const Size screen = display_.ScreenSize();
  PlaceDialog(pixels, Rect{}, screen);
  return pixels.width > screen.width || pixels.height > screen.height;
}

std::size_t THeadlessDialogs::Record(DialogRecord record) {
  if (record.final_caption.empty()) record.final_caption = record.caption;
  shown_.push_back(std::move(record));
  return shown_.size() - 1;
}

DialogAnswer THeadlessDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  const Showing showing(*this, request.owner);
  DialogRecord record = NewRecord(DialogKind::kMessageBox, request.caption, {request.text});
  record.icon = request.icon;
  record.buttons = request.buttons;
  DialogAnswer answer = DefaultAnswer(request.buttons);
  if (auto scripted = Take(DialogKind::kMessageBox, request.caption)) {
    record.scripted = true;
    if (Offers(request.buttons, scripted->answer)) answer = scripted->answer;
  }
  record.result = static_cast<int>(answer);
  Record(std::move(record));
  return answer;
}

OpenFileResult THeadlessDialogs::OpenFile(const OpenFileRequest& request) {
  const Showing showing(*this, request.owner);
  OpenFileResult result;
  result.filter_index = ClampFilterIndex(request.filter_index, request.filters);
  result.did_not_fit = DoesNotFit(request.layout);
  DialogRecord record = NewRecord(DialogKind::kOpenFile, request.caption, {request.filters});
  if (!request.hint.empty()) record.texts.push_back(request.hint);
  const std::size_t index = Record(record);
  while (auto answer = Take(DialogKind::kOpenFile, request.caption)) {
    shown_[index].scripted = true;
    if (answer->answer == DialogAnswer::kCancel || answer->names.empty()) break;
    std::vector<std::string> names = answer->names;
    if (!request.multiple) names.resize(1);
    const std::string directory = WithoutTrailingSlash(answer->directory);
    const auto missing = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
      return !FileExists(JoinDirectory(directory, name));
    });
    if (request.must_exist && missing != names.end()) {
      // The dialog refuses a name that does not exist and stays open.
      DialogRecord refusal = NewRecord(
          DialogKind::kMessageBox, request.caption,
          {*missing + "\nFile not found.\nPlease verify the correct file name was given."});
      refusal.icon = MessageBoxIcon::kExclamation;
      refusal.result = static_cast<int>(DialogAnswer::kOk);
      Record(std::move(refusal));
      continue;
    }
    if (answer->filter_index > 0) {
      result.filter_index = ClampFilterIndex(answer->filter_index, request.filters);
    }
    result.ok = true;
    result.directory = directory;
    result.names = std::move(names);
    break;
  }
  shown_[index].result = result.ok ? kIdOk : kIdCancel;
  return result;
}

SaveFileResult THeadlessDialogs::SaveFile(const SaveFileRequest& request) {
  const Showing showing(*this, request.owner);
  SaveFileResult result;
  result.filter_index = ClampFilterIndex(request.filter_index, request.filters);
  result.did_not_fit = DoesNotFit(request.layout);
  DialogRecord record = NewRecord(DialogKind::kSaveFile, request.caption, {request.filters});
  if (!request.hint.empty()) record.texts.push_back(request.hint);
  const std::size_t index = Record(record);
  while (auto answer = Take(DialogKind::kSaveFile, request.caption)) {
    shown_[index].scripted = true;
    if (answer->answer == DialogAnswer::kCancel || answer->names.empty()) break;
    int filter_index = result.filter_index;
    std::string path = JoinDirectory(request.initial_directory, answer->names.front());
    if (answer->filter_index > 0) {
      filter_index = ClampFilterIndex(answer->filter_index, request.filters);
    }
    // Picking another type replaces the extension of the name typed.
    const auto type = static_cast<std::size_t>(filter_index - 1);
    if (filter_index != result.filter_index && type < request.type_extensions.size()) {
      PathParts parts = SplitPath(path);
      parts.extension = request.type_extensions[type];
      path = JoinPath(parts);
    }
    if (request.overwrite_prompt && FileExists(path)) {
      const DialogAnswer replace = ShowMessageBox(MessageBoxRequest{
          request.owner, path + " already exists.\nDo you want to replace it?", request.caption,
          MessageBoxIcon::kExclamation, MessageBoxButtons::kYesNo});
      if (replace != DialogAnswer::kYes) continue;
    }
    result.ok = true;
    result.path = path;
    result.filter_index = filter_index;
    break;
  }
  shown_[index].result = result.ok ? kIdOk : kIdCancel;
  return result;
}

std::optional<ColorRef> THeadlessDialogs::ChooseColour(const ColourRequest& request) {
  const Showing showing(*this, request.owner);
  DialogRecord record = NewRecord(DialogKind::kColour, request.caption, {});
  std::optional<ColorRef> chosen;
  if (auto answer = Take(DialogKind::kColour, request.caption)) {
    record.scripted = true;
    // The chooser keeps edits of the custom colours even when cancelled.
    if (answer->custom_colours) CustomColours() = *answer->custom_colours;
    if (answer->answer != DialogAnswer::kCancel) chosen = answer->colour & 0x00FFFFFF;
  }
  record.result = chosen ? kIdOk : kIdCancel;
  Record(std::move(record));
  return chosen;
}

int THeadlessDialogs::RunDialog(const DialogTemplate& dialog, WindowId owner) {
  const Showing showing(*this, owner);
  TDialogState state(dialog, *this);
  DoesNotFit(dialog.size);
  if (dialog.on_init) dialog.on_init(state);
  const std::size_t index =
      Record(NewRecord(DialogKind::kCustom, dialog.caption, ControlTexts(state)));
  while (!state.IsClosed()) {
    std::optional<ScriptedAnswer> answer = Take(DialogKind::kCustom, dialog.caption);
    if (!answer) break;
    shown_[index].scripted = true;
    for (const ControlInput& input : answer->inputs) ApplyInput(state, input);
    state.PressButton(answer->answer == DialogAnswer::kCancel ? kIdCancel : answer->button);
  }
  if (!state.IsClosed()) state.PressButton(kIdCancel);
  // A Cancel handler that keeps the dialog open must not hold a run without a user.
  if (!state.IsClosed()) state.Close(kIdCancel);
  shown_[index].result = state.Result();
  shown_[index].final_caption = state.Caption();
  return state.Result();
}
