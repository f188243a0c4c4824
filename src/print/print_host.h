// What printing needs of the window it prints from: the picture with its
// dithering engine and settings, the dialogs, the thumbnail sheet as a
// picture, the printing mark that keeps the window from painting and the
// slideshow from stepping while a job runs, and the abort dialog over it.
#pragma once

#include <memory>
#include <string>

#include "platform/dialog_template.h"
#include "platform/message.h"
#include "platform/modeless_dialog.h"

class DialogService;
class TDither;
class TImage;
class TProfile;

class PrintHost {
 public:
  virtual ~PrintHost() = default;

  virtual TProfile& Settings() = 0;
  virtual TImage& Picture() = 0;
  virtual TDither& Dither() = 0;
  // A picture is being read or written.
  virtual bool Loading() const = 0;
  virtual DialogService& Dialogs() = 0;
  virtual WindowId Owner() const = 0;
  // The current picture's full path and short name.
  virtual std::string PicturePath() const = 0;
  virtual std::string PictureName() const = 0;

  virtual void RunWaitingMessages() = 0;
  virtual void SetPrinting(bool printing) = 0;
  // The thumbnail sheet as shown, as a picture of its own; null when it
  // cannot be had.
  virtual std::unique_ptr<TImage> CaptureSheet() = 0;
  // Puts `picture` in place of the current one and returns that one.
  virtual std::unique_ptr<TImage> ExchangePicture(std::unique_ptr<TImage> picture) = 0;
  // The job is over: focus back to the window, the picture laid out for the
  // screen again and shown.
  virtual void PrintingDone() = 0;
  // A dialog over the window that stays up while the job runs; null where
  // none can be shown.
  virtual std::unique_ptr<ModelessDialog> OpenModelessDialog(const DialogTemplate& dialog) {
    (void)dialog;
    return nullptr;
  }
};
