// The screen saver's settings as the shell edits them: the setup dialog run
// on its own (the ".scr" started with the setup switch) and from the viewer's
// Configure screen saver command.
#pragma once

#include "platform/backend.h"
#include "platform/message.h"
#include "show/saver_setup.h"

class TProfile;

// What the setup dialog takes from the shell: the file types of the open
// dialog, the change-password dialog and the program's help.
SaverSetupServices ShellSaverServices(PlatformBackend& backend);

// Runs the setup dialog on `profile`; saves it only after OK. Returns the
// closing id.
int RunSaverSetup(PlatformBackend& backend, WindowId owner, TProfile& profile);

// Edits the saver's own settings file from the viewer: the run mode is
// SaverOptions while a settings record of that file is read and edited, and
// Viewer again afterwards.
int ConfigureScreenSaver(PlatformBackend& backend, WindowId owner);
