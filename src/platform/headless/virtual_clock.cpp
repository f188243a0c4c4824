#include "platform/headless/virtual_clock.h"

std::uint32_t TVirtualClock::Now() {
  const std::uint32_t now = now_;
  now_ += per_read_;
  return now;
}

void TVirtualClock::WaitUntil(std::uint32_t target) {
  if (static_cast<std::int32_t>(target - now_) > 0) now_ = target;
}
