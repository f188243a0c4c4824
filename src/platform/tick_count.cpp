#include "platform/tick_count.h"

#include <chrono>
#include <thread>

namespace {
TickSource* installed_source = nullptr;
}

std::uint32_t GetTickCount() {
  if (installed_source) return installed_source->Now();
  const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
  return static_cast<std::uint32_t>(ms);
}

void InstallTickSource(TickSource* source) {
  installed_source = source;
}

namespace {
bool Reached(std::uint32_t now, std::uint32_t target) {
  return static_cast<std::int32_t>(now - target) >= 0;
}
}  // namespace

void TickSource::WaitUntil(std::uint32_t target) {
  while (!Reached(Now(), target)) {
  }
}

void WaitForTickCount(std::uint32_t target) {
  if (installed_source) {
    installed_source->WaitUntil(target);
    return;
  }
  for (std::uint32_t now = GetTickCount(); !Reached(now, target); now = GetTickCount()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(target - now));
  }
}
