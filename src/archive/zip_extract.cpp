#include <zlib.h>

#include <cstring>
#include <memory>
#include <new>

#include "archive/archive_messages.h"
#include "archive/input_stream.h"
#include "archive/regular_input.h"
#include "archive/replacement_file.h"
#include "archive/safe_name.h"
#include "archive/zip_commands.h"
#include "archive/zip_walk.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/path.h"

namespace {
constexpr std::size_t kCopyBufferSize = 16384;

enum class CopyResult { kCreated, kReadError, kWriteError };

struct CopyOutcome {
  std::uint64_t copied = 0;
  std::uint32_t crc = 0;
};

// False when the copy buffer cannot be had.
bool CopyMember(InputStream* stream, TReplacementFile& out, CopyOutcome& outcome) {
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kCopyBufferSize]);
  if (!buffer) return false;
  uLong crc = crc32(0L, Z_NULL, 0);
  for (;;) {
    const std::size_t got = stream_read(buffer.get(), 1, kCopyBufferSize, stream);
    if (got == 0) break;
    crc = crc32(crc, buffer.get(), static_cast<uInt>(got));
    outcome.copied += got;
    out.Write(buffer.get(), got);
  }
  outcome.crc = static_cast<std::uint32_t>(crc);
  return true;
}

// The member goes in place only when every byte arrived and checks out; an
// existing file of its name is otherwise left alone.
CopyResult ExtractMember(InputStream* stream, const ZipMemberInfo& info,
                         const std::string& output_path) {
  TReplacementFile out;
  CopyOutcome outcome;
  const bool copied = out.Create(output_path) && CopyMember(stream, out, outcome);
  if (stream_error(stream) != 0) return CopyResult::kReadError;
  // The stream checks the CRC only when the member ends, too late for this.
  if (copied && (outcome.copied != info.size || outcome.crc != info.crc)) {
    return CopyResult::kReadError;
  }
  if (!copied) return CopyResult::kWriteError;
  const std::time_t when = ZipMemberTime(info.date, info.time);
  const timespec times[2] = {{when, 0}, {when, 0}};
  return out.Commit(times) ? CopyResult::kCreated : CopyResult::kWriteError;
}

std::string DestinationDirectory(const std::string& archive, const std::string& answer) {
  if (answer.empty()) return DefaultZipDestination(archive);
  const std::string folder = answer.back() == '/' ? answer : answer + "/";
  return SplitPath(folder).directory;
}

// A folder entry ("dir/") holds nothing to write.
bool IsFolderEntry(const ZipMemberInfo& info) {
  if (!info.name || info.name[0] == '\0' || info.size != 0) return false;
  const char last = info.name[strnlen(info.name, info.name_length) - 1];
  return last == '/' || last == '\\';
}

struct MemberOutcome {
  bool obsolete = false;
  bool failed = false;
};

MemberOutcome VisitMember(InputStream* stream, const ZipMemberInfo& info,
                          const std::string& destination) {
  if (IsFolderEntry(info)) return {};
  const std::string display_name = ZipDisplayName(info.name);
  const std::string output_path = destination + display_name;
  if (!IsExtractableMethod(info.method)) {
    LogLine(kLogObsoleteMethod, output_path);
    return {true, true};
  }
  if (ReduceToSafeFileName(display_name).empty()) {
    LogLine(kLogUnsafeName, output_path);
    return {false, true};
  }
  if (IsSameFile(output_path, stream->file)) {
    LogLine(kLogOwnInput, output_path);
    return {false, true};
  }
  switch (ExtractMember(stream, info, output_path)) {
    case CopyResult::kReadError:
      LogLine(kLogShortZipRead, output_path);
      return {false, true};
    case CopyResult::kWriteError:
      LogLine(kLogShortZipWrite, output_path);
      return {false, true};
    case CopyResult::kCreated:
      LogLine(kLogCreated, output_path);
      break;
  }
  return {};
}
}  // namespace

std::string DefaultZipDestination(const std::string& path) {
  const PathParts parts = SplitPath(path);
  return parts.drive + parts.directory;
}

bool ExtractZipArchive(const std::string& path, const std::optional<std::string>& answer) {
  UtilityScope utility;
  if (!utility.entered()) return false;
  if (!answer) return true;
  const std::string destination = DestinationDirectory(path, *answer);
  InputStream* stream = stream_open(path.c_str(), "rb");
  if (!stream) {
    LogLine(kLogUnableToOpen, path);
    return false;
  }
  bool any_member = false;
  bool any_obsolete = false;
  bool any_failed = false;
  bool damaged = false;
  ZipMemberInfo info{};
  while (stream_member_info(stream, &info) == 0) {
    if (HasDeferredSizes(info)) {
      damaged = true;
      break;
    }
    any_member = true;
    const MemberOutcome outcome = VisitMember(stream, info, destination);
    any_obsolete = any_obsolete || outcome.obsolete;
    any_failed = any_failed || outcome.failed;
    stream_next_member(stream);
  }
  if (any_member && !damaged) damaged = !WalkReachedArchiveEnd(stream);
  if (damaged) LogLine(kLogZipDamaged, path);
  LogZipWalkEnd(any_member || damaged, any_obsolete);
  stream_close(stream);
  return any_member && !damaged && !any_failed;
}

bool RunUnzip(const std::vector<std::string>& paths, DestinationPrompt ask, void* context) {
  ShowProgress(50);
  bool all_extracted = true;
  for (const std::string& path : paths) {
    all_extracted =
        ExtractZipArchive(path, ask(DefaultZipDestination(path), context)) && all_extracted;
  }
  EndProgress();
  return all_extracted;
}
