// Open and Convert: the open dialog fills a new list; a conversion then runs
// the list as a slideshow whose every picture is saved in the chosen type.
#include <filesystem>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/commands/command_texts.h"
#include "app/commands/file_handlers.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "platform/dialogs.h"
#include "platform/long_operation.h"
#include "platform/path.h"
#include "platform/platform_info.h"
#include "show/event_action.h"

namespace {
constexpr int kProgressPercent = 50;

std::string JoinName(const std::string& directory, const std::string& name) {
  if (directory.empty() || (!name.empty() && name.front() == '/')) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

// A name without an extension matches only the file without one.
std::string WithDot(std::string name) {
  const std::size_t slash = name.rfind('/');
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  if (name.find('.', base) == std::string::npos) name += '.';
  return name;
}

// The dialog reports where it was: that folder becomes current, and a layout
// too large for the screen is given up for good.
void AfterFileDialog(TZentropeWin& win, const std::string& directory, bool did_not_fit) {
  if (!directory.empty()) {
    std::error_code ignored;
    std::filesystem::current_path(directory, ignored);
  }
  if (did_not_fit) {
    win.Settings().Set(IntKey::EnableLargeDialogs, 0);
    win.Settings().WriteInt(IntKey::EnableLargeDialogs);
  }
  SetDialogDidNotFit(false);
}

void FillList(TZentropeWin& win, const OpenFileResult& chosen, bool converting) {
  TProfile& settings = win.Settings();
  TFilePkg& files = win.Files();
  const int index = settings.Get(IntKey::OpenIndex);
  ShowProgress(kProgressPercent);
  BeginLongOperation();
  if (chosen.names.size() == 1) {
    const std::string path = WithDot(JoinName(chosen.directory, chosen.names.front()));
    files.AddSpec(path, index, !converting, settings.Get(IntKey::AutoSearch) != 0);
    files.GoTo(path);
  } else {
    for (const std::string& name : chosen.names) {
      files.AddSpec(WithDot(JoinName(chosen.directory, name)), index, false, false);
    }
  }
  EndLongOperation();
  EndProgress();
}

// The slideshow saves each picture as it is shown and stops after the last;
// the settings changed here last only as long as it runs.
void StartConversion(TZentropeWin& win, int convert_type) {
  TFilePkg& files = win.Files();
  while (!files.AtEnd()) files.Next(kSortedOrder);
  win.RunCommand(CM_RUN_SLIDESHOW);
  TProfile& settings = win.Settings();
  // Without a running slideshow nothing would put these back.
  if (settings.Get(IntKey::RunSlideshow) == 0) return;
  for (IntKey key :
       {IntKey::RandomOrder, IntKey::SoundEnable, IntKey::MovieEnable, IntKey::DelayBetweenImages,
        IntKey::DelayBetweenSounds, IntKey::DelayBetweenMovies}) {
    settings.Set(key, 0);
  }
  settings.Set(IntKey::ImageDisplayEvent, SaveActionOfType(convert_type));
  settings.Set(IntKey::SlideshowDoneEvent, kStopSlideshowAction);
}
}  // namespace

void OpenFiles(TZentropeWin& win, int convert_type) {
  const bool converting = convert_type != 0;
  TProfile& settings = win.Settings();
  OpenFileRequest request;
  request.owner = win.MainWindow().Id();
  request.caption = converting ? kConvertCaption : kOpenCaption;
  request.filters = kOpenFilters;
  request.filter_index = settings.Get(IntKey::OpenIndex);
  std::error_code ignored;
  request.initial_directory = std::filesystem::current_path(ignored).string();
  request.multiple = true;
  request.must_exist = true;
  if (settings.Get(IntKey::EnableLargeDialogs) != 0) {
    request.layout = Size{kFileDialogWidth, kFileDialogHeight};
    request.hint = kOpenHint;
  }
  OpenFileResult chosen = win.Backend().Dialogs().OpenFile(request);
  if (PlatformMajorVersion() <= 3) {
    chosen.directory = ToLower(chosen.directory);
    for (std::string& name : chosen.names) name = ToLower(name);
  }
  AfterFileDialog(win, chosen.directory, chosen.did_not_fit || DialogDidNotFit());
  if (!chosen.ok || chosen.names.empty()) return;

  win.Files().Clear();
  settings.Set(IntKey::OpenIndex, chosen.filter_index);
  FillList(win, chosen, converting);
  if (converting) StartConversion(win, convert_type);
  win.LoadCurrent();
}
