#include "platform/headless/virtual_clock.h"

std::uint32_t TVirtualClock::Now() {
  const std::uint32_t now = now_;
  now_ += per_read_;
  return now;
}
