// Modeless dialogs on the desktop are real toolkit dialogs over the owner's
// frame; the program's loop keeps running, and the toolkit delivers their
// button presses whenever the loop collects events.
#include <wx/evtloop.h>
#include <wx/frame.h>

#include "platform/wx/wx_backend.h"
#include "platform/wx/wx_dialogs.h"
#include "platform/wx/wx_start.h"

std::unique_ptr<ModelessDialog> TWxBackend::OpenModelessDialog(const DialogTemplate& dialog,
                                                               WindowId owner) {
  // Only the toolkit's events run meanwhile; input for the program's windows
  // waits in the queue as always.
  return ShowDescribedDialog(dialog, dialogs_, FrameOf(owner), [this] {
    wxGUIEventLoop& loop = WxLoop();
    while (loop.Pending()) loop.Dispatch();
  });
}
