// The rules most commands share: when they are enabled, and the bindings of
// toggles and option groups, which store a setting and tick their items.
#pragma once

#include <cstdint>
#include <functional>

#include "app/command_registry.h"
#include "settings/profile_keys.h"

class TZentropeWin;

// The image, sound or movie short name is not "No File".
bool ImageShown(const TZentropeWin& win);
bool SoundShown(const TZentropeWin& win);
bool MovieShown(const TZentropeWin& win);
// The file list's current name is not "No File".
bool ListHasCurrent(const TZentropeWin& win);

// Flips `key` between 0 and 1, ticked while it is non-zero, then runs `after`
// (may be empty). Plain unless `defer_if_busy`.
CommandBinding ToggleBinding(IntKey key, std::function<void(TZentropeWin&)> after = {},
                             bool defer_if_busy = false);
// One item of an option group: stores `value` in `key`, ticked while `key`
// holds it, then runs `after` with the previous value (may be empty).
CommandBinding GroupBinding(IntKey key, int value,
                            std::function<void(TZentropeWin&, int previous)> after = {},
                            bool defer_if_busy = false);
// Adds the items first_id .. first_id + count - 1 of a group storing
// id - base.
void AddGroup(TCommandRegistry& registry, std::uint32_t first_id, int count, std::uint32_t base,
              IntKey key, std::function<void(TZentropeWin&, int previous)> after = {},
              bool defer_if_busy = false);
