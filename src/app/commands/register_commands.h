// One entry point per menu: each adds its menu's commands to the registry.
// The main window calls every one of them when it is made.
#pragma once

class TCommandRegistry;

void RegisterFileCommands(TCommandRegistry& registry);
void RegisterEditCommands(TCommandRegistry& registry);
void RegisterSlideshowCommands(TCommandRegistry& registry);
void RegisterOptionsCommands(TCommandRegistry& registry);
void RegisterHelpCommands(TCommandRegistry& registry);
void RegisterImageCommands(TCommandRegistry& registry);
void RegisterFileOperationCommands(TCommandRegistry& registry);
void RegisterArchiveCommands(TCommandRegistry& registry);
void RegisterSheetOptionCommands(TCommandRegistry& registry);
