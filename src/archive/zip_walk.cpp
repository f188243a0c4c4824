#include "archive/zip_walk.h"

#include "archive/archive_messages.h"

namespace {
constexpr std::uint32_t kMethodStored = 0;
constexpr std::uint32_t kMethodDeflated = 8;
}  // namespace

bool IsExtractableMethod(std::uint32_t method) {
  return method == kMethodStored || method == kMethodDeflated;
}

void LogZipWalkEnd(bool any_member, bool any_obsolete) {
  if (!any_member) {
    LogLine(kLogNotAZip);
    LogLine("");
    return;
  }
  LogLine("");
  if (any_obsolete) {
    for (const char* line : kZipAdvice) LogLine(line);
    LogLine("");
  }
}
