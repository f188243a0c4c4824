#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <memory>
#include <new>

#include "archive/archive_messages.h"
#include "archive/encoded_text.h"
#include "archive/input_stream.h"
#include "archive/zip_commands.h"
#include "archive/zip_walk.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/path.h"

namespace {
constexpr std::size_t kCopyBufferSize = 16384;

enum class CopyResult { kCreated, kReadError, kWriteError };

struct CopyOutcome {
  bool write_error = false;
  std::uint64_t copied = 0;
  std::uint32_t crc = 0;
};

void CopyMember(InputStream* stream, int out, CopyOutcome& outcome) {
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kCopyBufferSize]);
  if (!buffer) {
    outcome.write_error = true;
    return;
  }
  OutputBuffer output(out);
  uLong crc = crc32(0L, Z_NULL, 0);
  for (;;) {
    const std::size_t got = stream_read(buffer.get(), 1, kCopyBufferSize, stream);
    if (got == 0) break;
    crc = crc32(crc, buffer.get(), static_cast<uInt>(got));
    outcome.copied += got;
    output.Write(buffer.get(), got);
  }
  if (!output.Flush()) outcome.write_error = true;
  outcome.crc = static_cast<std::uint32_t>(crc);
}

void SetMemberTime(int fd, const ZipMemberInfo& info) {
  const std::time_t when = ZipMemberTime(info.date, info.time);
  const timespec times[2] = {{when, 0}, {when, 0}};
  futimens(fd, times);
}

CopyResult ExtractMember(InputStream* stream, const ZipMemberInfo& info,
                         const std::string& output_path) {
  CopyOutcome outcome;
  const int out = CreateOutputFile(output_path);
  if (out < 0) {
    outcome.write_error = true;
  } else {
    CopyMember(stream, out, outcome);
    SetMemberTime(out, info);
    if (close(out) != 0) outcome.write_error = true;
  }
  if (stream_error(stream) != 0) return CopyResult::kReadError;
  // The stream checks the CRC only when the member ends; a corrupt member
  // must not be reported as created.
  if (out >= 0 && outcome.copied == info.size && outcome.crc != info.crc) {
    return CopyResult::kReadError;
  }
  return outcome.write_error ? CopyResult::kWriteError : CopyResult::kCreated;
}

std::string DestinationDirectory(const std::string& archive, const std::string& answer) {
  if (answer.empty()) return DefaultZipDestination(archive);
  const std::string folder = answer.back() == '/' ? answer : answer + "/";
  return SplitPath(folder).directory;
}

// Visits one member; returns true when its method cannot be extracted.
bool VisitMember(InputStream* stream, const std::string& destination) {
  ZipMemberInfo info{};
  stream_member_info(stream, &info);
  const std::string display_name = ZipDisplayName(info.name);
  const std::string output_path = destination + display_name;
  if (!IsExtractableMethod(info.method)) {
    LogLine(kLogObsoleteMethod, output_path);
    return true;
  }
  if (ReduceToSafeFileName(display_name).empty()) {
    LogLine(kLogUnsafeName, output_path);
    return false;
  }
  if (IsSameFile(output_path, stream->file)) {
    LogLine(kLogOwnInput, output_path);
    return false;
  }
  switch (ExtractMember(stream, info, output_path)) {
    case CopyResult::kReadError:
      LogLine(kLogShortZipRead, output_path);
      break;
    case CopyResult::kWriteError:
      LogLine(kLogShortZipWrite, output_path);
      break;
    case CopyResult::kCreated:
      LogLine(kLogCreated, output_path);
      break;
  }
  return false;
}
}  // namespace

std::string DefaultZipDestination(const std::string& path) {
  const PathParts parts = SplitPath(path);
  return parts.drive + parts.directory;
}

void ExtractZipArchive(const std::string& path, const std::optional<std::string>& answer) {
  UtilityScope utility;
  if (!utility.entered() || !answer) return;
  const std::string destination = DestinationDirectory(path, *answer);
  InputStream* stream = stream_open(path.c_str(), "rb");
  if (!stream) {
    LogLine(kLogUnableToOpen, path);
    return;
  }
  bool any_member = false;
  bool any_obsolete = false;
  ZipMemberInfo info{};
  while (stream_member_info(stream, &info) == 0) {
    any_member = true;
    if (VisitMember(stream, destination)) any_obsolete = true;
    stream_next_member(stream);
  }
  LogZipWalkEnd(any_member, any_obsolete);
  stream_close(stream);
}

void RunUnzip(const std::vector<std::string>& paths, DestinationPrompt ask, void* context) {
  ShowProgress(50);
  for (const std::string& path : paths) {
    ExtractZipArchive(path, ask(DefaultZipDestination(path), context));
  }
  EndProgress();
}
