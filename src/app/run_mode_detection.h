// Deciding at start whether this process is the viewer, the running screen
// saver or only the saver's setup dialog, from how it was started.
#pragma once

#include <string_view>

#include "settings/run_mode.h"

// Saver when argument 0 has the extension ".scr" (any case); then SaverSetup
// when argument 1 starts with 'c', "-c" or "/c" (any case). Viewer otherwise.
RunMode RunModeFromArguments(std::string_view argument0, std::string_view argument1);

// Sets the process-wide run mode and program path from the real arguments
// (argument 0 lower-cased on platforms of major version 3 or lower).
void DetectRunModeAtStart(int argc, char* argv[]);
