// Save wallpaper: the picture written as a bitmap of the screen's size and
// depth into the system folder, then made the desktop's wallpaper.
#include <memory>
#include <optional>
#include <string>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_rules.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "formats/bmp_format.h"
#include "image/picture_formats.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/system_folder.h"
#include "platform/text_prompt.h"
#include "system/system_messages.h"
#include "system/wallpaper.h"

namespace {
constexpr int kBmpSaveType = 2;

// The palette the screen shows the picture with; none on a true-colour
// display, which the bitmap then matches at its full depth.
LogPalette ScreenPalette(const TZentropeWin& win) {
  LogPalette palette;
  if (const TPalette* shown = win.DisplayPalette()) {
    palette.count = static_cast<std::uint16_t>(std::min(shown->Size(), kMaxPaletteEntries));
    for (int i = 0; i < palette.count; ++i) palette.entries[i] = shown->Entries()[i];
  }
  return palette;
}

bool WriteWallpaper(TZentropeWin& win, const std::string& path) {
  const TDisplay& display = win.MainWindow().Display();
  SetWallpaperScreen({display.ScreenSize().width, display.ScreenSize().height, display.Depth()});
  const LogPalette palette = ScreenPalette(win);
  EnsureDirectory(WindowsDirectory());
  WindowInternals::SetLoading(win, true);
  const bool saved = SaveImage(path, kBmpSaveType, win.Picture(), win.Settings(),
                               WindowInternals::Dither(win), &palette) == 0;
  WindowInternals::SetLoading(win, false);
  EndProgress();
  win.Layout();
  return saved;
}

void SaveWallpaper(TZentropeWin& win) {
  const std::optional<std::string> answer =
      PromptText(win.Backend().Dialogs(), win.MainWindow().Id(), kWallpaperPrompt,
                 kWallpaperProposal, kWallpaperNameMaxChars + 1);
  if (!answer) return;
  const std::string windows_directory = WindowsDirectory();
  const std::string path = WallpaperPath(*answer, windows_directory);
  const std::string name = win.Names()[kImageName];
  if (!WriteWallpaper(win, path)) {
    if (win.Settings().Get(IntKey::ShowLog) == 0) {
      WindowInternals::ToggleTextWindow(win, CM_SHOW_LOG);
    }
    LogLine(kWallpaperFailedLog, name, path);
    return;
  }
  ApplyWallpaper(path, windows_directory);
  LogLine(kSavedWallpaperLog, name, path);
}
}  // namespace

void RegisterWallpaperCommands(TCommandRegistry& registry) {
  CommandBinding binding;
  binding.run = SaveWallpaper;
  binding.enabled = ImageShown;
  registry.Add(CM_SAVE_WALLPAPER, std::move(binding));
}
