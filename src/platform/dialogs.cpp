#include "platform/dialogs.h"

#include <algorithm>

namespace {
constexpr int kSystemFontWidth = 8;
constexpr int kSystemFontHeight = 16;

bool dialog_did_not_fit = false;
}  // namespace

bool DialogDidNotFit() {
  return dialog_did_not_fit;
}
void SetDialogDidNotFit(bool did_not_fit) {
  dialog_did_not_fit = did_not_fit;
}

Size DialogUnitsToPixels(Size units) {
  return Size{units.width * kSystemFontWidth / 4, units.height * kSystemFontHeight / 8};
}

namespace {
// One direction of PlaceDialog; returns the start and whether it fitted.
int PlaceSpan(int length, int parent_start, int parent_length, int screen, bool* fits) {
  *fits = length <= screen;
  if (!*fits) return (screen - length) / 2;
  const int centred = parent_start + (parent_length - length) / 2;
  return std::clamp(centred, 0, screen - length);
}
}  // namespace

Rect PlaceDialog(Size size, const Rect& parent, Size screen) {
  const Rect over = parent.IsEmpty() ? Rect{0, 0, screen.width, screen.height} : parent;
  bool fits_across = true;
  bool fits_down = true;
  const int x = PlaceSpan(size.width, over.left, over.Width(), screen.width, &fits_across);
  const int y = PlaceSpan(size.height, over.top, over.Height(), screen.height, &fits_down);
  if (!fits_across || !fits_down) SetDialogDidNotFit(true);
  return Rect::FromSize(x, y, size.width, size.height);
}

DialogAnswer MessageBox(DialogService& dialogs, WindowId owner, const std::string& text,
                        const std::string& caption, MessageBoxIcon icon,
                        MessageBoxButtons buttons) {
  return dialogs.ShowMessageBox(MessageBoxRequest{owner, text, caption, icon, buttons});
}
