// The millisecond tick count that delays and load times are measured with.
#pragma once

#include <cstdint>

// Milliseconds since an arbitrary start, from a monotonic clock; wraps like a
// 32-bit counter.
std::uint32_t GetTickCount();

// A replacement clock (the headless backend's virtual clock, tests); null
// restores the monotonic clock.
class TickSource {
 public:
  virtual ~TickSource() = default;
  virtual std::uint32_t Now() = 0;
  // Returns once Now() has reached `target`; the default polls Now().
  virtual void WaitUntil(std::uint32_t target);
};
void InstallTickSource(TickSource* source);

// Returns once the tick count has reached `target` (compared as a wrapping
// counter, so a target up to 2^31 ms behind counts as reached). The
// monotonic clock sleeps; a virtual clock moves on to the target at once.
void WaitForTickCount(std::uint32_t target);
