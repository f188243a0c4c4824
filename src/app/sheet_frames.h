// Where pictures go in the client area: one frame for a single picture, or
// the cells of a thumbnail sheet (a fixed grid or random positions). Frames
// are kept in thousandths of the client area, so they survive resizing.
#pragma once

#include "platform/geometry.h"

class TProfile;

struct SheetSettings {
  bool enable = false;
  bool random = false;
  bool annotate = false;
  bool outline = false;
  int across = 1;
  int down = 1;
};

SheetSettings SheetSettingsFrom(const TProfile& settings);

inline constexpr int kFrameScale = 1000;
// Inset of a grid cell's picture area from its outline.
inline constexpr int kGridInset = 4;

// Several pictures to a page.
bool SheetOn(const SheetSettings& sheet);
// A fixed grid: cells left to right, top to bottom, with outlines.
bool SequentialSheet(const SheetSettings& sheet);
bool RandomSheet(const SheetSettings& sheet);
// Cells across and down (1 when thumbnails are off).
int CellsAcross(const SheetSettings& sheet);
int CellsDown(const SheetSettings& sheet);
// A cell's width and height in thousandths (at least 1).
int CellWidth(const SheetSettings& sheet);
int CellHeight(const SheetSettings& sheet);

// The frame in client pixels; a grid leaves the last column and row of
// pixels free so that the outlines fit.
Rect OuterFramePixels(Size client, const Rect& frame, const SheetSettings& sheet);
// The picture area inside the outer frame. `label` is the text extent of the
// picture's short name; an annotated grid keeps room below for it.
Rect InnerFramePixels(const Rect& outer, const SheetSettings& sheet, Size label);

// The frame that holds the client point; on a random sheet (0, 0) asks for a
// random place. Without `force` a random frame moves only when the point lies
// outside it. Returns whether the frame changed.
bool SetFrameFromPoint(Rect& frame, Point point, Size client, bool force,
                       const SheetSettings& sheet);

struct NextFrame {
  Rect frame;
  bool new_page = false;  // a grid wrapped round to its first cell
};
// The frame for the next picture.
NextFrame PlaceNextFrame(const Rect& frame, const SheetSettings& sheet);
// The frame is the last cell of a grid page (never on a random sheet).
bool PageFull(const Rect& frame, const SheetSettings& sheet);
