// The File menu's shell commands: open, convert, close, save as, stepping
// through the list, the comments and log windows, exit. The file operations
// and archive commands register themselves elsewhere.
#include <utility>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_rules.h"
#include "app/commands/file_handlers.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {
CommandBinding Binding(std::function<void(TZentropeWin&)> run,
                       std::function<bool(const TZentropeWin&)> enabled = {},
                       bool defer_if_busy = true) {
  CommandBinding binding;
  binding.run = std::move(run);
  binding.enabled = std::move(enabled);
  binding.defer_if_busy = defer_if_busy;
  return binding;
}

CommandBinding TextWindowToggle(std::uint32_t id, IntKey shown) {
  CommandBinding binding;
  binding.run = [id](TZentropeWin& win) { WindowInternals::ToggleTextWindow(win, id); };
  binding.checked = [shown](const TZentropeWin& win) {
    return WindowInternals::Settings(win).Get(shown) != 0;
  };
  binding.defer_if_busy = false;
  return binding;
}

// Thumbnails off, as their own toggle turns them off.
void EndSheet(TZentropeWin& win) {
  win.Settings().Set(IntKey::ThumbnailsEnable, 0);
  win.ErasePage(true);
  win.BuildDisplayPalette(true);
  WindowInternals::ResetZoom(win);
  win.RefreshFrame(false);
}
}  // namespace

void CloseFiles(TZentropeWin& win) {
  WindowInternals::FillClient(win, WindowInternals::BackgroundColour(win));
  if (DeferIfBusy()) return;
  TProfile& settings = win.Settings();
  if (settings.Get(IntKey::RunSlideshow) != 0) win.RunCommand(CM_RUN_SLIDESHOW);
  if (WindowInternals::SheetOn(win)) EndSheet(win);
  win.Files().Clear();
  win.LoadCurrent();
  win.ErasePage(false);
  AddCommentChar(0);
  if (settings.Get(IntKey::AutoComments) != 0 && WindowInternals::CommentsShown(win) &&
      WindowInternals::CommentsEmpty(win)) {
    WindowInternals::ToggleTextWindow(win, CM_SHOW_COMMENTS);
  }
  WindowInternals::InvalidateComments(win);
}

void RegisterFileCommands(TCommandRegistry& registry) {
  registry.Add(CM_OPEN, Binding([](TZentropeWin& win) { OpenFiles(win, 0); }));
  for (std::uint32_t id = CM_CONVERT_TO_GIF; id <= CM_CONVERT_TO_TIF; ++id) {
    const int type = static_cast<int>(id - CM_CONVERT_TO_GIF) + 1;
    registry.Add(id, Binding([type](TZentropeWin& win) { OpenFiles(win, type); }));
  }
  // Close clears the window before it makes way for a running operation.
  registry.Add(CM_CLOSE, Binding(CloseFiles, ImageShown, false));
  registry.Add(CM_SAVE_AS, Binding(SaveAs, ImageShown));
  for (std::uint32_t id : {CM_NEXT, CM_RANDOM, CM_PREVIOUS}) {
    registry.Add(id, Binding([id](TZentropeWin& win) {
                   WindowInternals::Navigate(win, static_cast<int>(id));
                 }));
  }
  registry.Add(CM_SHOW_COMMENTS, TextWindowToggle(CM_SHOW_COMMENTS, IntKey::ShowComments));
  registry.Add(CM_SHOW_LOG, TextWindowToggle(CM_SHOW_LOG, IntKey::ShowLog));
  registry.Add(CM_EXIT, Binding([](TZentropeWin& win) { win.Close(); }, {}, false));
}
