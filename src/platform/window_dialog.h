// A modeless described dialog as a window of the window model: our own raster
// code paints its texts and buttons, a left click or Enter and Escape press
// them. The headless backend shows modeless dialogs this way, so a test sees
// the dialog among the loop's windows and clicks its buttons.
#pragma once

#include <memory>

#include "platform/dialog_template.h"
#include "platform/modeless_dialog.h"
#include "platform/window.h"

class PlatformBackend;

class TWindowDialog final : public ModelessDialog, public WindowHandler {
 public:
  // Null when the window cannot be made.
  static std::unique_ptr<TWindowDialog> Open(PlatformBackend& backend, const DialogTemplate& dialog,
                                             WindowId owner);
  ~TWindowDialog() override;
  TWindowDialog(const TWindowDialog&) = delete;
  TWindowDialog& operator=(const TWindowDialog&) = delete;

  const TDialogState& State() const override { return state_; }
  const TWindow& Window() const { return *window_; }
  // Where a control sits in the client area, in pixels; empty for an unknown id.
  Rect ControlRect(int id) const;

  void OnMessage(TWindow& window, const Message& message) override;
  void OnPaint(TWindow& window, TDeviceContext& dc, const Rect& paint_rect, bool erase) override;

 private:
  TWindowDialog(PlatformBackend& backend, const DialogTemplate& dialog);
  void Press(int id);
  int ButtonAt(Point point) const;
  int DefaultButton() const;

  DialogTemplate template_;
  TDialogState state_;
  std::unique_ptr<TWindow> window_;
  int pressed_ = 0;
};
