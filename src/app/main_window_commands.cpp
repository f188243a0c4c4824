// Commands reach the window here: each id is looked up in the registry that
// every menu's file fills, checked against its enabler, made to wait for a
// running operation unless it is plain, and run. Before a menu opens, its
// items are enabled and ticked by the same rules; an id with no binding is
// shown disabled.
#include <vector>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/register_commands.h"
#include "app/main_window.h"
#include "platform/long_operation.h"

namespace {
void CollectItems(const MenuItem& menu, std::vector<std::uint32_t>& ids) {
  for (const MenuItem& item : menu.items) {
    if (item.kind == MenuItem::Kind::kCommand) ids.push_back(item.id);
    if (item.kind == MenuItem::Kind::kSubmenu) CollectItems(item, ids);
  }
}

TCommandRegistry BuildRegistry() {
  TCommandRegistry registry;
  RegisterImageCommands(registry);
  RegisterFileOperationCommands(registry);
  RegisterArchiveCommands(registry);
  RegisterSheetOptionCommands(registry);
  RegisterFileCommands(registry);
  RegisterEditCommands(registry);
  RegisterSlideshowCommands(registry);
  RegisterShowCommands(registry);
  RegisterOptionsCommands(registry);
  RegisterHelpCommands(registry);
  RegisterUtilityCommands(registry);
  RegisterWallpaperCommands(registry);
  RegisterPrintCommands(registry);
  RegisterSaverCommands(registry);
  RegisterMediaCommands(registry);
  return registry;
}
}  // namespace

const TCommandRegistry& MainCommands() {
  static const TCommandRegistry registry = BuildRegistry();
  return registry;
}

bool CommandEnabled(const TZentropeWin& win, std::uint32_t command_id) {
  const CommandBinding* binding = MainCommands().Find(command_id);
  return binding && binding->run && (!binding->enabled || binding->enabled(win));
}

void TZentropeWin::RunCommand(std::uint32_t command_id) {
  OnCommand(command_id);
}

void TZentropeWin::OnCommand(std::uint32_t command_id) {
  if (command_id == CM_STARTUP) {
    Startup();
    return;
  }
  // A disabled command does nothing, whether chosen, pressed or posted.
  if (!CommandEnabled(*this, command_id)) return;
  const CommandBinding& binding = *MainCommands().Find(command_id);
  if (binding.defer_if_busy && DeferIfBusy()) return;
  binding.run(*this);
}

void TZentropeWin::OnInitMenu(std::uint32_t menu_id) {
  const MenuItem* menu = window_->MenuBar().Find(menu_id);
  if (!menu || menu->kind != MenuItem::Kind::kSubmenu) return;
  std::vector<std::uint32_t> ids;
  CollectItems(*menu, ids);
  for (const std::uint32_t id : ids) {
    const CommandBinding* binding = MainCommands().Find(id);
    window_->EnableMenuItem(id, CommandEnabled(*this, id));
    window_->CheckMenuItem(id, binding && binding->checked && binding->checked(*this));
  }
}

void TZentropeWin::Navigate(int command) {
  if (command == CM_NEXT) {
    last_navigation_ = kNavigatedNext;
    files_.Next(kSortedOrder);
  } else if (command == CM_RANDOM) {
    last_navigation_ = kNavigatedRandom;
    files_.Next(kRandomOrder);
  } else if (last_navigation_ == kNavigatedNext || last_navigation_ == -kNavigatedNext) {
    last_navigation_ = -kNavigatedNext;
    files_.Previous(kSortedOrder);
  } else {
    last_navigation_ = -kNavigatedRandom;
    files_.Previous(kRandomOrder);
  }
  LoadCurrent();
}
