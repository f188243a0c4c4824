// Options > Thumbnails: the sheet toggles and the grid counts. Turning a sheet
// on or off or changing its grid erases the window and rebuilds the display
// palette, because sheets draw through the page bitmap and, on a palette
// display, dither every picture to one fixed palette.
#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_rules.h"
#include "app/commands/number_prompt.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"

namespace {
constexpr char kAcrossPrompt[] = "Number of thumbnails to display horizontally:";
constexpr char kDownPrompt[] = "Number of thumbnails to display vertically:";
constexpr NumberRange kCountRange{1, 9999};

bool IsOn(const TZentropeWin& win, IntKey key) {
  return win.Settings().Get(key) != 0;
}

void AfterEnable(TZentropeWin& win) {
  win.ErasePage(true);
  win.BuildDisplayPalette(true);
  WindowInternals::ResetZoom(win);
  win.RefreshFrame(false);
}

void AfterRandom(TZentropeWin& win) {
  if (IsOn(win, IntKey::ThumbnailsEnable)) win.ErasePage(true);
}

void AfterDecoration(TZentropeWin& win) {
  if (IsOn(win, IntKey::ThumbnailsEnable)) win.RefreshFrame(false);
}

CommandBinding CountPrompt(IntKey key, const char* prompt) {
  return CommandBinding{
      [key, prompt](TZentropeWin& win) {
        if (!PromptNumber(win.Backend().Dialogs(), win.MainWindow().Id(), prompt, win.Settings(),
                          key, kCountRange)) {
          return;
        }
        // Only a grid changes shape; a collage keeps its frame.
        if (IsOn(win, IntKey::ThumbnailsEnable) && !IsOn(win, IntKey::ThumbnailsRandom)) {
          win.ErasePage(true);
          win.BuildDisplayPalette(true);
        }
      },
      nullptr, nullptr, true};
}
}  // namespace

void RegisterSheetOptionCommands(TCommandRegistry& registry) {
  registry.Add(CM_THUMBNAILS_ENABLE, ToggleBinding(IntKey::ThumbnailsEnable, AfterEnable));
  registry.Add(CM_THUMBNAILS_RANDOM, ToggleBinding(IntKey::ThumbnailsRandom, AfterRandom));
  registry.Add(CM_THUMBNAILS_ANNOTATE, ToggleBinding(IntKey::ThumbnailsAnnotate, AfterDecoration));
  registry.Add(CM_THUMBNAILS_OUTLINE, ToggleBinding(IntKey::ThumbnailsOutline, AfterDecoration));
  registry.Add(CM_THUMBNAILS_ACROSS, CountPrompt(IntKey::ThumbnailsAcross, kAcrossPrompt));
  registry.Add(CM_THUMBNAILS_DOWN, CountPrompt(IntKey::ThumbnailsDown, kDownPrompt));
}
