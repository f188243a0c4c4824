// Making the desktop backend, for code that must not see the toolkit's headers.
#pragma once

#include <memory>
#include <string>

#include "platform/backend.h"

// The wxWidgets/GTK backend on the display named by DISPLAY; null with a
// one-line `error` when the toolkit cannot open it. Forces GDK's X11 backend
// unless GDK_BACKEND is set, since drawing while the program works needs X11.
std::unique_ptr<PlatformBackend> CreateWxBackend(std::string* error);
