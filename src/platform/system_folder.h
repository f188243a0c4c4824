// The user's Zentrope system folder, which stands in for the platform's
// Windows directory: control.ini, system.ini, win.ini, the
// registry store, the saver's settings file and the wallpaper live there.
#pragma once

#include <string>

// $ZENTROPE_WINDIR, else $XDG_DATA_HOME/zentrope, else ~/.local/share/zentrope;
// without a trailing "/". Not created by asking.
std::string WindowsDirectory();

// <windows directory>/system.
std::string SystemDirectory();

// Creates the folder (and its parents) when missing; false when that fails.
bool EnsureDirectory(const std::string& directory);
