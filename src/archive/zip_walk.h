// What the Zip info and Unzip operations share: the utility flag, the
// extractable methods, how a walk over local headers ends, and the closing
// lines of a walk.
#pragma once

#include <cstdint>

#include "archive/input_stream.h"
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

// A member whose sizes follow its data (flag bit 3) and are not in its local
// header: without the central directory neither it nor the next header can
// be found.
bool HasDeferredSizes(const ZipMemberInfo& info);

// After the walk has left the last member: true when the header there is the
// central directory or an end record, false when it is damage (another
// signature, or the file ends).
bool WalkReachedArchiveEnd(const InputStream* stream);

// "This file is not a zip file." when no member was seen; otherwise an empty
// line and, when a member had another method, the advice text.
void LogZipWalkEnd(bool any_member, bool any_obsolete);
