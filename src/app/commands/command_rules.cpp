#include "app/commands/command_rules.h"

#include <utility>

#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "files/file_pkg.h"
#include "platform/path.h"

namespace {
bool Named(const std::string& name) {
  return !EqualsNoCase(name, kNoFile);
}
}  // namespace

bool ImageShown(const TZentropeWin& win) {
  return Named(win.Names()[kImageName]);
}

bool SoundShown(const TZentropeWin& win) {
  return Named(win.Names()[kSoundName]);
}

bool MovieShown(const TZentropeWin& win) {
  return Named(win.Names()[kMovieName]);
}

bool ListHasCurrent(const TZentropeWin& win) {
  return Named(WindowInternals::Files(win).Current());
}

CommandBinding ToggleBinding(IntKey key, std::function<void(TZentropeWin&)> after,
                             bool defer_if_busy) {
  CommandBinding binding;
  binding.run = [key, after = std::move(after)](TZentropeWin& win) {
    TProfile& settings = win.Settings();
    settings.Set(key, settings.Get(key) == 0 ? 1 : 0);
    if (after) after(win);
  };
  binding.checked = [key](const TZentropeWin& win) {
    return WindowInternals::Settings(win).Get(key) != 0;
  };
  binding.defer_if_busy = defer_if_busy;
  return binding;
}

CommandBinding GroupBinding(IntKey key, int value,
                            std::function<void(TZentropeWin&, int previous)> after,
                            bool defer_if_busy) {
  CommandBinding binding;
  binding.run = [key, value, after = std::move(after)](TZentropeWin& win) {
    TProfile& settings = win.Settings();
    const int previous = settings.Get(key);
    settings.Set(key, value);
    if (after) after(win, previous);
  };
  binding.checked = [key, value](const TZentropeWin& win) {
    return WindowInternals::Settings(win).Get(key) == value;
  };
  binding.defer_if_busy = defer_if_busy;
  return binding;
}

void AddGroup(TCommandRegistry& registry, std::uint32_t first_id, int count, std::uint32_t base,
              IntKey key, std::function<void(TZentropeWin&, int previous)> after,
              bool defer_if_busy) {
  for (int item = 0; item < count; ++item) {
    const std::uint32_t id = first_id + static_cast<std::uint32_t>(item);
    registry.Add(id, GroupBinding(key, static_cast<int>(id - base), after, defer_if_busy));
  }
}
