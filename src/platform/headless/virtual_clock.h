// The headless backend's clock: milliseconds that move only when a test (or
// the backend) advances them, so delays and pacing are exact and instant.
#pragma once

#include <cstdint>

#include "platform/tick_count.h"

class TVirtualClock : public TickSource {
 public:
  explicit TVirtualClock(std::uint32_t start = 0) : now_(start) {}
  std::uint32_t Now() override;
  // Time jumps to the target; nothing waits.
  void WaitUntil(std::uint32_t target) override;
  void Advance(std::uint32_t milliseconds) { now_ += milliseconds; }
  void Set(std::uint32_t now) { now_ = now; }
  // Every reading also advances the clock by this much, so that code that
  // busy-waits on the tick count (transition pacing) still finishes. 0: off.
  void SetAdvancePerRead(std::uint32_t milliseconds) { per_read_ = milliseconds; }

 private:
  std::uint32_t now_;
  std::uint32_t per_read_ = 0;
};
