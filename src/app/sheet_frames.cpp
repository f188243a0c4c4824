#include "app/sheet_frames.h"

#include <algorithm>
#include <cstdint>

#include "platform/random.h"
#include "settings/profile.h"

SheetSettings SheetSettingsFrom(const TProfile& settings) {
  SheetSettings sheet;
  sheet.enable = settings.Get(IntKey::ThumbnailsEnable) != 0;
  sheet.random = settings.Get(IntKey::ThumbnailsRandom) != 0;
  sheet.annotate = settings.Get(IntKey::ThumbnailsAnnotate) != 0;
  sheet.outline = settings.Get(IntKey::ThumbnailsOutline) != 0;
  sheet.across = settings.Get(IntKey::ThumbnailsAcross);
  sheet.down = settings.Get(IntKey::ThumbnailsDown);
  return sheet;
}

bool SheetOn(const SheetSettings& sheet) {
  return sheet.enable && (sheet.across > 1 || sheet.down > 1);
}
bool SequentialSheet(const SheetSettings& sheet) {
  return SheetOn(sheet) && !sheet.random;
}
bool RandomSheet(const SheetSettings& sheet) {
  return SheetOn(sheet) && sheet.random;
}
int CellsAcross(const SheetSettings& sheet) {
  return sheet.enable ? std::max(1, sheet.across) : 1;
}
int CellsDown(const SheetSettings& sheet) {
  return sheet.enable ? std::max(1, sheet.down) : 1;
}
int CellWidth(const SheetSettings& sheet) {
  return std::max(1, kFrameScale / CellsAcross(sheet));
}
int CellHeight(const SheetSettings& sheet) {
  return std::max(1, kFrameScale / CellsDown(sheet));
}

namespace {
int Scaled(int pixels, int thousandths) {
  return static_cast<int>(std::int64_t{pixels} * thousandths / kFrameScale);
}

Rect Cell(int column, int row, const SheetSettings& sheet) {
  const int across = CellsAcross(sheet);
  const int down = CellsDown(sheet);
  return Rect{column * kFrameScale / across, row * kFrameScale / down,
              (column * kFrameScale + kFrameScale) / across,
              (row * kFrameScale + kFrameScale) / down};
}

// A random position for a cell of `cell` thousandths.
int RandomStart(int cell) {
  return cell < kFrameScale
             ? static_cast<int>(NextRandom() % static_cast<std::uint32_t>(kFrameScale - cell))
             : 0;
}
}  // namespace

Rect OuterFramePixels(Size client, const Rect& frame, const SheetSettings& sheet) {
  int width = client.width;
  int height = client.height;
  if (SequentialSheet(sheet)) {
    --width;
    --height;
  }
  return Rect{Scaled(width, frame.left), Scaled(height, frame.top), Scaled(width, frame.right),
              Scaled(height, frame.bottom)};
}

Rect InnerFramePixels(const Rect& outer, const SheetSettings& sheet, Size label) {
  if (!SequentialSheet(sheet)) return outer;
  Rect inner{outer.left + kGridInset, outer.top + kGridInset, outer.right - kGridInset,
             outer.bottom - kGridInset};
  if (sheet.annotate && label.width < inner.Width() - kGridInset &&
      label.height < inner.Height() - kGridInset) {
    inner.bottom -= label.height + kGridInset;
  }
  return inner;
}

bool SetFrameFromPoint(Rect& frame, Point point, Size client, bool force,
                       const SheetSettings& sheet) {
  const int width = std::max(1, client.width);
  const int height = std::max(1, client.height);
  const int cell_width = CellWidth(sheet);
  const int cell_height = CellHeight(sheet);
  const bool random = RandomSheet(sheet);
  int gx = 0;
  int gy = 0;
  if (random && point.x == 0 && point.y == 0) {
    gx = RandomStart(cell_width);
    gy = RandomStart(cell_height);
  } else {
    gx = static_cast<int>(std::int64_t{point.x} * kFrameScale / width);
    gy = static_cast<int>(std::int64_t{point.y} * kFrameScale / height);
  }
  const Rect before = frame;
  if (random) {
    const bool inside =
        frame.left <= gx && gx < frame.right && frame.top <= gy && gy < frame.bottom;
    if (force || !inside) frame = Rect{gx, gy, gx + cell_width, gy + cell_height};
  } else {
    frame = Cell(gx / cell_width, gy / cell_height, sheet);
  }
  return !(frame == before);
}

NextFrame PlaceNextFrame(const Rect& frame, const SheetSettings& sheet) {
  NextFrame next;
  if (!SheetOn(sheet)) {
    next.frame = Rect{0, 0, kFrameScale, kFrameScale};
    return next;
  }
  const int cell_width = CellWidth(sheet);
  const int cell_height = CellHeight(sheet);
  if (sheet.random) {
    const int left = RandomStart(cell_width);
    const int top = RandomStart(cell_height);
    next.frame = Rect{left, top, left + cell_width, top + cell_height};
    return next;
  }
  int column = frame.left / cell_width + 1;
  int row = frame.top / cell_height;
  if (column >= CellsAcross(sheet)) {
    column = 0;
    ++row;
    if (row >= CellsDown(sheet)) {
      row = 0;
      next.new_page = true;
    }
  }
  next.frame = Cell(column, row, sheet);
  return next;
}

bool PageFull(const Rect& frame, const SheetSettings& sheet) {
  if (RandomSheet(sheet)) return false;
  const int column = frame.left / CellWidth(sheet);
  const int row = frame.top / CellHeight(sheet);
  return column + 1 >= CellsAcross(sheet) && row + 1 >= CellsDown(sheet);
}
