// Running as a hack of the desktop's saver: the saver's frame leaves the
// window manager and lives inside the window the saver run names, at that
// window's size, following it when it is resized.
#pragma once

class wxFrame;

// True for the first frame made while a saver target is requested, and only
// for it: that frame is the saver's own window.
bool ClaimSaverTarget();

// Realises `frame` and puts it into the requested window at the window's size,
// before the frame is shown. `scale` is device pixels per toolkit unit. False,
// with a log line, when the id is not a window on this display; the frame is
// untouched then and may go full screen as usual.
bool EmbedInSaverTarget(wxFrame& frame, int scale);
