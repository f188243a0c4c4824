// What sound and movie playback needs from the main window. The window
// implements it; nothing here includes the shell.
#pragma once

#include "platform/message.h"

class TProfile;
class TMediaControl;

class MediaHost {
 public:
  virtual ~MediaHost() = default;
  virtual TProfile& Settings() = 0;
  virtual TMediaControl& MediaControl() = 0;
  // The window that receives the completion notices.
  virtual WindowId NotifyWindow() const = 0;
  // Lets the messages that wait run, so the notices of what was just closed
  // arrive before the next file opens.
  virtual void RunWaitingMessages() = 0;
};
