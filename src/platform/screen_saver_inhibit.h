// The desktop starts its own screen saver without asking the program, but the
// program must be able to refuse (a slideshow or the running saver swallows
// the screen-save request). So a backend asks: every
// kScreenSaveQueryMilliseconds it sends the screen-save system command to the
// program's first visible top-level window. When the window passes it on to
// the platform's default handling, the desktop may start its saver; when the
// window swallows it, the backend inhibits the desktop's saver until the next
// answer says otherwise.
#pragma once

#include <cstdint>

class TEventLoop;

inline constexpr std::uint32_t kScreenSaveQueryMilliseconds = 20'000;

// How a backend keeps the desktop's saver from starting (the desktop backend
// asks the session; the headless one records).
class ScreenSaverInhibitor {
 public:
  virtual ~ScreenSaverInhibitor() = default;
  // Called with every answer; true keeps the desktop's saver off.
  virtual void SetScreenSaverInhibited(bool inhibited) = 0;
};

class TScreenSaveQuery {
 public:
  TScreenSaveQuery(TEventLoop& loop, ScreenSaverInhibitor& inhibitor)
      : loop_(loop), inhibitor_(inhibitor) {}

  // Asks when the interval has passed since the last question (the first
  // call only starts the interval). `now` is the tick count.
  void Poll(std::uint32_t now);
  // Asks now and hands the answer to the inhibitor; returns whether the
  // request was swallowed. Without a visible top-level window nothing
  // swallows it.
  bool Ask();
  // True while Ask waits for the window's answer: the platform's default
  // handling of a screen-save request then lets the desktop decide instead of
  // starting a saver, and calls PassedOn.
  bool Asking() const { return asking_; }
  void PassedOn() { passed_on_ = true; }

 private:
  TEventLoop& loop_;
  ScreenSaverInhibitor& inhibitor_;
  bool started_ = false;
  std::uint32_t last_ = 0;
  bool asking_ = false;
  bool passed_on_ = false;
};
