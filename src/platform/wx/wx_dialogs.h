// Dialogs on the desktop: message boxes, the toolkit's file dialogs with
// case-blind patterns and the program's hint line, the generic colour dialog
// with the 16 process-wide custom colours, and the program's described
// dialogs laid out with sizers. Nothing queued in the program's loop runs
// while one is up.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/event_loop.h"
#include "platform/modeless_dialog.h"

class WxWindowHost;
class wxWindow;

class TWxDialogs : public DialogService {
 public:
  TWxDialogs(TEventLoop& loop, const TDisplay& display, WxWindowHost& host)
      : loop_(loop), display_(display), host_(host) {}

  DialogAnswer ShowMessageBox(const MessageBoxRequest& request) override;
  OpenFileResult OpenFile(const OpenFileRequest& request) override;
  SaveFileResult SaveFile(const SaveFileRequest& request) override;
  std::optional<ColorRef> ChooseColour(const ColourRequest& request) override;
  int RunDialog(const DialogTemplate& dialog, WindowId owner) override;

 private:
  wxWindow* ParentOf(WindowId owner) const;
  // Records whether a dialog of the program's layout size fits the screen.
  void CheckFits(Size layout, WindowId owner) const;

  TEventLoop& loop_;
  const TDisplay& display_;
  WxWindowHost& host_;
};

// Runs a described dialog modally over `parent`; returns the closing id.
int RunDescribedDialog(const DialogTemplate& dialog, DialogService& service, wxWindow* parent);
// Shows a described dialog over `parent` and returns once it is on the
// screen, running `pump` (the toolkit's waiting events) until then; dropping
// the result destroys the dialog.
std::unique_ptr<ModelessDialog> ShowDescribedDialog(const DialogTemplate& dialog,
                                                    DialogService& service, wxWindow* parent,
                                                    const std::function<void()>& pump);
