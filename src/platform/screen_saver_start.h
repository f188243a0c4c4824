// Starting the screen saver now, as the platform does when a window passes
// the screen-save request on: the program's installed saver when the program
// has installed a way to start it, else the desktop's own saver.
#pragma once

#include <functional>

// True when it started a saver. Null removes it.
using ScreenSaverStarter = std::function<bool()>;
void InstallScreenSaverStarter(ScreenSaverStarter starter);

// Runs the installed starter; false when there is none or it started nothing,
// so that the backend starts the desktop's own saver.
bool StartInstalledScreenSaver();
