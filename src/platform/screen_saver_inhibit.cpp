#include "platform/screen_saver_inhibit.h"

#include "platform/event_loop.h"
#include "platform/window.h"

void TScreenSaveQuery::Poll(std::uint32_t now) {
  if (!started_) {
    started_ = true;
    last_ = now;
    return;
  }
  // Unsigned difference: right across the tick count's wrap.
  if (now - last_ < kScreenSaveQueryMilliseconds) return;
  last_ = now;
  Ask();
}

bool TScreenSaveQuery::Ask() {
  if (asking_) return false;
  WindowId target = kNoWindow;
  for (const TWindow* window : loop_.Windows()) {
    if (window->Owner() == kNoWindow && window->IsVisible()) {
      target = window->Id();
      break;
    }
  }
  bool swallowed = false;
  if (target != kNoWindow) {
    asking_ = true;
    passed_on_ = false;
    const bool delivered = loop_.Send(Message::SysCommand(target, kScScreenSave));
    asking_ = false;
    swallowed = delivered && !passed_on_;
  }
  inhibitor_.SetScreenSaverInhibited(swallowed);
  return swallowed;
}
