// Modeless dialogs on the desktop are real toolkit dialogs over the owner's
// frame; the program's loop keeps running, and the toolkit delivers their
// button presses whenever the loop collects events.
#include <wx/frame.h>

#include "platform/wx/wx_backend.h"
#include "platform/wx/wx_dialogs.h"

std::unique_ptr<ModelessDialog> TWxBackend::OpenModelessDialog(const DialogTemplate& dialog,
                                                               WindowId owner) {
  return ShowDescribedDialog(dialog, dialogs_, FrameOf(owner));
}
