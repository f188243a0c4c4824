#include "platform/wx/wx_dialogs.h"

#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "platform/custom_colours.h"
#include "platform/file_filter.h"
#include "platform/path.h"
#include "platform/wx/wx_colour_dialog.h"
#include "platform/wx/wx_file_patterns.h"
#include "platform/wx/wx_window.h"

namespace {
// The hint line the program's file dialogs add under the chooser. The
// toolkit takes a plain function for it, so the text waits here.
std::string pending_hint;

wxWindow* MakeHintLine(wxWindow* parent) {
  return new wxStaticText(parent, wxID_ANY, wxString::FromUTF8(pending_hint));
}

long IconStyle(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::kInformation:
      return wxICON_INFORMATION;
    case MessageBoxIcon::kExclamation:
      return wxICON_EXCLAMATION;
    case MessageBoxIcon::kQuestion:
      return wxICON_QUESTION;
    case MessageBoxIcon::kStop:
      return wxICON_ERROR;
    case MessageBoxIcon::kNone:
      break;
  }
  return wxICON_NONE;
}

long ButtonStyle(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::kOkCancel:
      return wxOK | wxCANCEL;
    case MessageBoxButtons::kYesNo:
      return wxYES_NO;
    case MessageBoxButtons::kOk:
      break;
  }
  return wxOK;
}

int ClampedFilterIndex(int index, const std::string& filters) {
  const int count = static_cast<int>(ParseFilterList(filters).size());
  return std::clamp(index, 1, std::max(1, count));
}

std::string WithoutTrailingSlash(std::string directory) {
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  return directory;
}
}  // namespace

wxWindow* TWxDialogs::ParentOf(WindowId owner) const {
  wxFrame* frame = host_.FrameOf(owner);
  return frame && frame->IsShown() ? frame : nullptr;
}

void TWxDialogs::CheckFits(Size layout, WindowId owner) const {
  if (layout.width <= 0 || layout.height <= 0) return;
  const TWindow* window = loop_.Find(owner);
  PlaceDialog(DialogUnitsToPixels(layout), window ? window->WindowRect() : Rect{},
              display_.ScreenSize());
}

DialogAnswer TWxDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  const ModalScope modal(&loop_);
  wxMessageDialog box(ParentOf(request.owner), wxString::FromUTF8(request.text),
                      wxString::FromUTF8(request.caption),
                      ButtonStyle(request.buttons) | IconStyle(request.icon));
  switch (box.ShowModal()) {
    case wxID_OK:
      return DialogAnswer::kOk;
    case wxID_YES:
      return DialogAnswer::kYes;
    case wxID_NO:
      return DialogAnswer::kNo;
    default:
      break;
  }
  // Closed without a choice.
  if (request.buttons == MessageBoxButtons::kOk) return DialogAnswer::kOk;
  if (request.buttons == MessageBoxButtons::kYesNo) return DialogAnswer::kNo;
  return DialogAnswer::kCancel;
}

OpenFileResult TWxDialogs::OpenFile(const OpenFileRequest& request) {
  const ModalScope modal(&loop_);
  OpenFileResult result;
  SetDialogDidNotFit(false);
  CheckFits(request.layout, request.owner);
  result.did_not_fit = DialogDidNotFit();
  long style = wxFD_OPEN;
  if (request.multiple) style |= wxFD_MULTIPLE;
  if (request.must_exist) style |= wxFD_FILE_MUST_EXIST;
  wxFileDialog dialog(ParentOf(request.owner), wxString::FromUTF8(request.caption),
                      wxString::FromUTF8(request.initial_directory), wxString(),
                      wxString::FromUTF8(WxFilterList(request.filters)), style);
  dialog.SetFilterIndex(ClampedFilterIndex(request.filter_index, request.filters) - 1);
  pending_hint = request.hint;
  if (!pending_hint.empty()) dialog.SetExtraControlCreator(&MakeHintLine);
  result.filter_index = ClampedFilterIndex(request.filter_index, request.filters);
  if (dialog.ShowModal() != wxID_OK) return result;
  wxArrayString paths;
  dialog.GetPaths(paths);
  if (paths.empty()) return result;
  for (const wxString& path : paths) {
    const PathParts parts = SplitPath(path.utf8_string());
    if (result.names.empty()) result.directory = WithoutTrailingSlash(parts.directory);
    result.names.push_back(parts.name + parts.extension);
  }
  result.filter_index = dialog.GetFilterIndex() + 1;
  result.ok = true;
  return result;
}

SaveFileResult TWxDialogs::SaveFile(const SaveFileRequest& request) {
  const ModalScope modal(&loop_);
  SaveFileResult result;
  SetDialogDidNotFit(false);
  CheckFits(request.layout, request.owner);
  result.did_not_fit = DialogDidNotFit();
  long style = wxFD_SAVE;
  if (request.overwrite_prompt) style |= wxFD_OVERWRITE_PROMPT;
  wxFileDialog dialog(ParentOf(request.owner), wxString::FromUTF8(request.caption),
                      wxString::FromUTF8(request.initial_directory),
                      wxString::FromUTF8(request.initial_name),
                      wxString::FromUTF8(WxFilterList(request.filters)), style);
  dialog.SetFilterIndex(ClampedFilterIndex(request.filter_index, request.filters) - 1);
  pending_hint = request.hint;
  if (!pending_hint.empty()) dialog.SetExtraControlCreator(&MakeHintLine);
  result.filter_index = ClampedFilterIndex(request.filter_index, request.filters);
  if (dialog.ShowModal() != wxID_OK) return result;
  result.filter_index = dialog.GetFilterIndex() + 1;
  result.path = dialog.GetPath().utf8_string();
  // A name typed without an extension takes the one of the chosen type.
  const std::size_t type = static_cast<std::size_t>(result.filter_index - 1);
  if (SplitPath(result.path).extension.empty() && type < request.type_extensions.size()) {
    result.path += request.type_extensions[type];
  }
  result.ok = !result.path.empty();
  return result;
}

std::optional<ColorRef> TWxDialogs::ChooseColour(const ColourRequest& request) {
  const ModalScope modal(&loop_);
  return RunColourDialog(ParentOf(request.owner), request.caption, request.initial,
                         request.full_open, CustomColours());
}

int TWxDialogs::RunDialog(const DialogTemplate& dialog, WindowId owner) {
  const ModalScope modal(&loop_);
  SetDialogDidNotFit(false);
  CheckFits(dialog.size, owner);
  return RunDescribedDialog(dialog, *this, ParentOf(owner));
}
