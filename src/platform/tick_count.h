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
};
void InstallTickSource(TickSource* source);
