// TWinPrintout: one page of one Print command. Preparation lays the picture
// out for the area the margins leave and sets up its printing colours; the
// page is then painted as the window paints its client area, under a mapping
// that enlarges the reduced picture to the area and a clip that keeps every
// row inside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/geometry.h"
#include "platform/printer_page.h"
#include "print/print_layout.h"

class PrintHost;

// First and last page, and the range the user may choose from; all 0: no range.
struct PageRange {
  int min_page = 0;
  int max_page = 0;
  int from_page = 0;
  int to_page = 0;
};

class TWinPrintout {
 public:
  TWinPrintout(std::string title, PrintHost& window);

  const std::string& Title() const { return title_; }
  PrintHost& Window() const { return window_; }
  bool Banding() const { return false; }
  bool ScaleByMapping() const { return scale_by_mapping_; }

  PageRange GetDialogInfo() const { return PageRange{}; }
  // Lays the picture out for `page` and sets up its colours.
  void BeginPrinting(TPrinterPage& page);
  // Paints the area within the margins: the picture, and the background
  // colour around it. False when the job was cancelled meanwhile.
  bool PrintPage(TPrinterPage& page);

  const PrintTargets& Targets() const { return targets_; }
  // The area within the margins in device pixels; empty before PrintPage.
  const Rect& PrintableArea() const { return printable_; }

 private:
  PrintMargins Margins() const;
  bool Dithered() const;
  // The window's background colour, which fills the area around the
  // picture; on a dithered page the nearest of the fixed colours.
  ColorRef Background() const;

  std::string title_;
  PrintHost& window_;
  bool scale_by_mapping_ = true;
  PrintTargets targets_;
  std::vector<ColorRef> colour_table_;
  bool lines_indexed_ = false;
  Rect printable_;
  std::vector<std::uint8_t> line_;
};
