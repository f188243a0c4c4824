// The program's own cursors, drawn in code and registered once by resource
// number: eleven progress clocks for 0, 10, ..., 100 percent, shown while the
// program is busy, and the pan cursor shown while the right button drags the
// picture. The hidden cursor is the platform's MouseCursor::Hidden().
#pragma once

#include "platform/cursor.h"

inline constexpr int kPanCursorResource = 1600;
inline constexpr int kFirstProgressCursorResource = 1800;
inline constexpr int kProgressCursorCount = 11;
inline constexpr int kProgramCursorSize = 32;

// Registers every image; repeating it changes nothing.
void RegisterProgramCursors();

// The progress cursor for `percent`: number percent / 10, kept within 0..10.
MouseCursor ProgressCursor(int percent);
MouseCursor PanCursor();

// The images themselves: a clock face whose filled sector grows clockwise
// from twelve o'clock with `step` tenths, and four arrows for panning.
CursorImage DrawProgressCursor(int step);
CursorImage DrawPanCursor();
