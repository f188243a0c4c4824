#include "archive/zip_walk.h"

#include "archive/archive_messages.h"

namespace {
constexpr std::uint32_t kMethodStored = 0;
constexpr std::uint32_t kMethodDeflated = 8;
constexpr std::uint32_t kSizesFollowDataFlag = 8;
constexpr std::uint32_t kCentralDirectorySignature = 0x02014b50;
constexpr std::uint32_t kEndOfCentralDirectorySignature = 0x06054b50;
constexpr std::uint32_t kZip64EndOfCentralDirectorySignature = 0x06064b50;
}  // namespace

bool HasDeferredSizes(const ZipMemberInfo& info) {
  return (info.flags & kSizesFollowDataFlag) != 0 && info.compressed_size == 0;
}

bool WalkReachedArchiveEnd(const InputStream* stream) {
  return stream->signature == kCentralDirectorySignature ||
         stream->signature == kEndOfCentralDirectorySignature ||
         stream->signature == kZip64EndOfCentralDirectorySignature;
}

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
