// One entry point per menu: each adds its menu's commands to the registry.
// The main window calls every one of them when it is made.
#pragma once

#include <cstdint>

class TCommandRegistry;
class TZentropeWin;

// Every menu's bindings, registered once on first use.
const TCommandRegistry& MainCommands();
// The command has a binding and its enabler, if any, allows it now.
bool CommandEnabled(const TZentropeWin& win, std::uint32_t command_id);

void RegisterFileCommands(TCommandRegistry& registry);
void RegisterEditCommands(TCommandRegistry& registry);
void RegisterSlideshowCommands(TCommandRegistry& registry);
void RegisterOptionsCommands(TCommandRegistry& registry);
void RegisterHelpCommands(TCommandRegistry& registry);
void RegisterImageCommands(TCommandRegistry& registry);
void RegisterFileOperationCommands(TCommandRegistry& registry);
void RegisterArchiveCommands(TCommandRegistry& registry);
void RegisterSheetOptionCommands(TCommandRegistry& registry);
// Run slideshow and Display thumbnails (main_window_slideshow.cpp).
void RegisterShowCommands(TCommandRegistry& registry);
// Install and Remove Zentrope, Install and Remove extension.
void RegisterUtilityCommands(TCommandRegistry& registry);
// Save wallpaper.
void RegisterWallpaperCommands(TCommandRegistry& registry);
// Install, Remove, Configure and Test screen saver.
void RegisterSaverCommands(TCommandRegistry& registry);
// The Sound and Movie menus.
void RegisterMediaCommands(TCommandRegistry& registry);
// Print, Print setup and Print margins.
void RegisterPrintCommands(TCommandRegistry& registry);
