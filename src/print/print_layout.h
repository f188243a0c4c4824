// Where a printed picture goes on the page: the area the margins leave, in
// device pixels; the reduced size the picture is prepared at and the factor
// the printer enlarges it by; and the mapping that does the enlarging.
#pragma once

#include "platform/device_context.h"
#include "platform/geometry.h"
#include "platform/printer_page.h"

// Millimetres, as the margin settings hold them.
struct PrintMargins {
  int top = 0;
  int left = 0;
  int right = 0;
  int bottom = 0;
};

// The full area, and the size the picture is prepared at: full = reduced × factor,
// within the halvings.
struct PrintTargets {
  Size full;
  Size reduced;
  int factor = 1;
};

// Areas are never smaller than this either way, nor offsets closer than this
// to the page's right or bottom edge.
inline constexpr int kMinPrintArea = 16;

// The page less the margins, in device pixels, each side at least kMinPrintArea.
Size PrintArea(const PrinterPageMetrics& metrics, Size page, const PrintMargins& margins);

// Halves both sides while either exceeds the widest output; then, unless the
// print is dithered, while the picture is below half the size both ways, so
// that a small picture is prepared at about twice its size and the printer
// does the rest. The factor doubles with each halving.
PrintTargets ReducePrintArea(Size full, Size picture, bool dithered);

// The top-left corner of the area in device pixels.
Point PrintOffset(const PrinterPageMetrics& metrics, Size page, const PrintMargins& margins);

// Logical units are pixels of the reduced picture; the origin lands at `offset`.
MappingMode PrintMapping(const PrintTargets& targets, Point offset);
