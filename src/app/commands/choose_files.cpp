#include "app/commands/choose_files.h"

#include "app/commands/command_texts.h"
#include "app/commands/file_handlers.h"
#include "app/main_window.h"
#include "platform/dialogs.h"

namespace {
std::string JoinFolder(const std::string& directory, const std::string& name) {
  if (directory.empty() || directory.back() == '/') return directory + name;
  return directory + "/" + name;
}
}  // namespace

std::vector<std::string> ChooseFiles(TZentropeWin& win, const std::string& caption,
                                     IntKey filter_key) {
  TProfile& settings = win.Settings();
  OpenFileRequest request;
  request.owner = win.MainWindow().Id();
  request.caption = caption;
  request.filters = kOpenFilters;
  request.filter_index = settings.Get(filter_key);
  request.multiple = true;
  request.must_exist = true;
  if (settings.Get(IntKey::EnableLargeDialogs) != 0) {
    request.layout = Size{kFileDialogWidth, kFileDialogHeight};
    request.hint = kOpenHint;
  }
  const OpenFileResult result = win.Backend().Dialogs().OpenFile(request);
  if (result.did_not_fit) {
    // The larger layout will never fit this screen.
    settings.Set(IntKey::EnableLargeDialogs, 0);
    settings.WriteInt(IntKey::EnableLargeDialogs);
  }
  SetDialogDidNotFit(false);
  std::vector<std::string> paths;
  if (!result.ok) return paths;
  settings.Set(filter_key, result.filter_index);
  for (const std::string& name : result.names) paths.push_back(JoinFolder(result.directory, name));
  return paths;
}
