// The Sound and Movie menus: the enable, synchronous and loop switches, the
// wave volume, and playing the shown sound or movie again. None of them waits
// for a running operation.
#include <functional>
#include <utility>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_rules.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"

namespace {
constexpr bool kPlain = false;

CommandBinding PlainToggle(IntKey key, std::function<void(TZentropeWin&)> after = {}) {
  return ToggleBinding(key, std::move(after), kPlain);
}

CommandBinding Plain(std::function<void(TZentropeWin&)> run,
                     std::function<bool(const TZentropeWin&)> enabled = {}) {
  CommandBinding binding;
  binding.run = std::move(run);
  binding.enabled = std::move(enabled);
  binding.defer_if_busy = kPlain;
  return binding;
}

// Switching playback off closes what plays; switching it on waits for the
// next entry or Replay.
void StopSoundWhenOff(TZentropeWin& win) {
  if (win.Settings().Get(IntKey::SoundEnable) == 0) WindowInternals::StopSound(win);
}

void StopMovieWhenOff(TZentropeWin& win) {
  if (win.Settings().Get(IntKey::MovieEnable) == 0) WindowInternals::StopMovie(win);
}

void ReplaySound(TZentropeWin& win) {
  if (win.Settings().Get(IntKey::SoundEnable) != 0) WindowInternals::PlaySound(win);
}

void ReplayMovie(TZentropeWin& win) {
  if (win.Settings().Get(IntKey::MovieEnable) != 0) WindowInternals::PlayMovie(win);
}
}  // namespace

void RegisterMediaCommands(TCommandRegistry& registry) {
  registry.Add(CM_SOUND_ENABLE, PlainToggle(IntKey::SoundEnable, StopSoundWhenOff));
  registry.Add(CM_SOUND_SYNCHRONOUS, PlainToggle(IntKey::SoundSynchronous));
  registry.Add(CM_SOUND_LOUDER, Plain([](TZentropeWin& win) { win.Media().Louder(); }));
  registry.Add(CM_SOUND_SOFTER, Plain([](TZentropeWin& win) { win.Media().Softer(); }));
  registry.Add(CM_SOUND_LOOP, PlainToggle(IntKey::SoundLoop));
  registry.Add(CM_SOUND_REPLAY, Plain(ReplaySound, SoundShown));
  registry.Add(CM_MOVIE_ENABLE, PlainToggle(IntKey::MovieEnable, StopMovieWhenOff));
  registry.Add(CM_MOVIE_SYNCHRONOUS, PlainToggle(IntKey::MovieSynchronous));
  registry.Add(CM_MOVIE_LOOP, PlainToggle(IntKey::MovieLoop));
  registry.Add(CM_MOVIE_REPLAY, Plain(ReplayMovie, MovieShown));
}
