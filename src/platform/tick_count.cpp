#include "platform/tick_count.h"

#include <chrono>

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
