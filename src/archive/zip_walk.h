// What the Zip info and Unzip operations share: the utility flag, the
// extractable methods and the closing lines of a walk.
#pragma once

#include <cstdint>

#include "platform/log_sink.h"

// Set while a utility runs so the log repaints between lines; a second
// utility started meanwhile does nothing.
class UtilityScope {
 public:
  UtilityScope() : entered_(!IsUtilityRunning()) {
    if (entered_) SetUtilityRunning(true);
  }
  ~UtilityScope() {
    if (entered_) SetUtilityRunning(false);
  }
  UtilityScope(const UtilityScope&) = delete;
  UtilityScope& operator=(const UtilityScope&) = delete;
  bool entered() const { return entered_; }

 private:
  bool entered_;
};

// Stored and deflated members; every other method gets the advice text.
bool IsExtractableMethod(std::uint32_t method);

// "This file is not a zip file." when no member was seen; otherwise an empty
// line and, when a member had another method, the advice text.
void LogZipWalkEnd(bool any_member, bool any_obsolete);
