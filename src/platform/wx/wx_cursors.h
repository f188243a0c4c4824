// The program's cursors as desktop cursors.
#pragma once

#include <wx/cursor.h>

#include "platform/cursor.h"

// Standard cursors by kind; the program's own from its registered image (an
// arrow when none is registered), made once per resource.
const wxCursor& WxCursorFor(const MouseCursor& cursor);
