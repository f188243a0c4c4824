// The Slideshow menu's settings: the file specification, the three delays,
// the order and page toggles and the six event groups. Running the slideshow
// and going to a slide register themselves elsewhere.
#include <optional>
#include <string>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_rules.h"
#include "app/commands/command_texts.h"
#include "app/commands/number_prompt.h"
#include "app/commands/register_commands.h"
#include "app/main_window.h"
#include "platform/long_operation.h"
#include "platform/text_prompt.h"

namespace {
constexpr int kProgressPercent = 50;
// The field takes 259 characters, a path's length.
constexpr int kFileSpecLimit = 260;
constexpr NumberRange kDelayRange{0, 9999};

void AskFileSpec(TZentropeWin& win) {
  TProfile& settings = win.Settings();
  const std::optional<std::string> spec =
      PromptText(win.Backend().Dialogs(), win.MainWindow().Id(), kFileSpecPrompt,
                 settings.Get(StringKey::FileSpec), kFileSpecLimit);
  if (!spec) return;
  settings.SetStringByName("FileSpec", *spec);
  if (spec->empty()) return;
  ShowProgress(kProgressPercent);
  BeginLongOperation();
  win.Files().Clear();
  win.Files().AddSpec(*spec, settings.Get(IntKey::OpenIndex), false,
                      settings.Get(IntKey::AutoSearch) != 0);
  EndLongOperation();
  EndProgress();
  win.LoadCurrent();
}

CommandBinding DelayPrompt(const char* prompt, IntKey key) {
  CommandBinding binding;
  binding.run = [prompt, key](TZentropeWin& win) {
    PromptNumber(win.Backend().Dialogs(), win.MainWindow().Id(), prompt, win.Settings(), key,
                 kDelayRange);
  };
  return binding;
}

struct EventGroup {
  std::uint32_t first_id;
  IntKey key;
  bool plain;
};

constexpr EventGroup kEventGroups[] = {
    {CM_KEYSTROKE_EVENT, IntKey::KeystrokeEvent, true},
    {CM_MOUSE_BUTTON_EVENT, IntKey::MouseButtonEvent, false},
    {CM_MOUSE_MOVEMENT_EVENT, IntKey::MouseMovementEvent, false},
    {CM_IMAGE_DISPLAY_EVENT, IntKey::ImageDisplayEvent, false},
    {CM_SCREEN_DONE_EVENT, IntKey::ScreenDoneEvent, false},
    {CM_SLIDESHOW_DONE_EVENT, IntKey::SlideshowDoneEvent, false},
};
}  // namespace

void RegisterSlideshowCommands(TCommandRegistry& registry) {
  CommandBinding file_spec;
  file_spec.run = AskFileSpec;
  registry.Add(CM_FILE_SPEC, file_spec);
  registry.Add(CM_DELAY_BETWEEN_IMAGES,
               DelayPrompt(kDelayImagesPrompt, IntKey::DelayBetweenImages));
  registry.Add(CM_DELAY_BETWEEN_SOUNDS,
               DelayPrompt(kDelaySoundsPrompt, IntKey::DelayBetweenSounds));
  registry.Add(CM_DELAY_BETWEEN_MOVIES,
               DelayPrompt(kDelayMoviesPrompt, IntKey::DelayBetweenMovies));
  registry.Add(CM_RANDOM_ORDER, ToggleBinding(IntKey::RandomOrder));
  registry.Add(CM_ERASE_NEW_PAGES, ToggleBinding(IntKey::EraseNewPages));
  for (const EventGroup& group : kEventGroups) {
    AddGroup(registry, group.first_id, kEventActionCount, group.first_id, group.key, {},
             !group.plain);
  }
}
